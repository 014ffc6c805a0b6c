#pragma once

#include <cstdint>

#include "raster/BlendMath.h"
#include "raster/BlendTables.h"
#include "raster/Color32.h"

// The merge of a colour over a translucent background (not part of the library's interface).
// There is one merge for every processor, but over an opaque background it blends, and it does
// so through the BlendColors form bound beside it; hence one instance per blend form.
template <TColor32 (*Blend)(TColor32, TColor32)> struct MergeOver {
    [[gnu::always_inline]] static TColor32 Colors(TColor32 f, TColor32 b) {
        const std::uint32_t fa = AlphaComponent(f);
        if (fa == 0) {
            return b;
        }
        const std::uint32_t ba = AlphaComponent(b);
        if (ba == 255) {
            return Blend(f, b) | 0xFF000000;
        }
        if (fa == 255 || ba == 0) {
            return f;
        }
        // The result's alpha is F over B: Fa + Ba - Fa x Ba / 255, here between max(Fa, Ba) and
        // 255, so never 0. Each channel is the background premultiplied by its alpha (Bm),
        // moved towards F by F's alpha (X), then divided by the result's alpha. X never exceeds
        // the result's alpha, so DivTable is read only where its entries are at most 255.
        const std::uint32_t ra = (fa + ba - MulTable[ba][fa]) & 0xFF;
        const auto& fRow = MulTable[fa];
        const auto& bRow = MulTable[ba];
        const auto& dRow = DivTable[ra];
        return (ra << 24) | (Channel(f, b, 16, fRow, bRow, dRow) << 16) |
               (Channel(f, b, 8, fRow, bRow, dRow) << 8) | Channel(f, b, 0, fRow, bRow, dRow);
    }

    // One channel of the merge. X = Bm + MulTable[Fa][f - Bm] when f >= Bm, else
    // Bm - MulTable[Fa][Bm - f]: one look-up of |f - Bm| with the sign put back, without a branch
    // (the sign follows the picture and is no better than a coin toss to predict).
    [[gnu::always_inline]] static std::uint32_t Channel(TColor32 f, TColor32 b, int shift,
                                                        const TByteTable::value_type& fRow,
                                                        const TByteTable::value_type& bRow,
                                                        const TByteTable::value_type& dRow) {
        const int bm = bRow[(b >> shift) & 0xFF];
        const int diff = static_cast<int>((f >> shift) & 0xFF) - bm;
        const int sign = diff >> 31; // 0 or -1
        const int step = fRow[static_cast<std::uint32_t>((diff ^ sign) - sign)];
        return dRow[static_cast<std::uint32_t>(bm + ((step ^ sign) - sign))];
    }

    static TColor32 ColorsMaster(TColor32 f, TColor32 b, std::uint32_t m) {
        const std::uint32_t a = MulTable[BlendMath::Weight(m)][AlphaComponent(f)];
        return Colors((f & 0x00FFFFFF) | (a << 24), b);
    }

    static void Row(const TColor32* src, TColor32* dst, int count) {
        for (int i = 0; i < count; ++i) {
            dst[i] = Colors(src[i], dst[i]);
        }
    }

    static void RowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m) {
        for (int i = 0; i < count; ++i) {
            dst[i] = ColorsMaster(src[i], dst[i], m);
        }
    }
};
