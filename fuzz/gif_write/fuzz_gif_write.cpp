// Reads any bytes as a GIF, writes what was read and reads the result again.
// Byte 0 bit 0 keeps damaged frames. The second read must succeed and give
// the same frames: count, positions, tables, and the indexes of every frame
// that was not damaged. Only the documented failures may come out of the
// first read; the writer may refuse only with its own messages.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "components/gif/GifBitmap.h"
#include "components/gif/GifErrors.h"
#include "components/gif/GifReader.h"
#include "components/gif/GifWriter.h"
#include "framework/core/Exceptions.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string Decode(const GifFrameInfo& frame, const GifOptions& options) {
    try {
        bool corrupted = false;
        const std::vector<std::uint8_t> bmp = DecodeFrameBitmap(frame, options, corrupted);
        return std::string(bmp.begin(), bmp.end());
    } catch (const EInvalidGraphicOperation& e) {
        return "error: " + e.Message();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    GifOptions options;
    options.LoadCorrupted = (data[0] & 1) != 0;
    options.MaxPixels = std::uint64_t(1) << 20;
    GifImageState first;
    try {
        GifParse(std::span<const std::uint8_t>(data + 1, size - 1), options, first);
    } catch (const EInvalidGraphicOperation&) {
    } catch (const EReadError&) {
    }
    if (first.Frames.empty()) {
        return 0;
    }
    GifImageState written = first;
    std::vector<std::uint8_t> bytes;
    try {
        bytes = GifSaveToBytes(written, nullptr);
    } catch (const EInvalidGraphicOperation& e) {
        // Only frames reaching past the 16-bit screen, or lacking data, can be refused.
        bool beyond = false;
        for (const GifFrameInfo& frame : first.Frames) {
            beyond = beyond || std::int64_t(frame.Left) + frame.Item->Width > 0xFFFF ||
                     std::int64_t(frame.Top) + frame.Item->Height > 0xFFFF;
        }
        Require(e.Message() == kGifNoData || (e.Message() == kGifEncodingError && beyond));
        return 0;
    }
    GifOptions keep = options;
    keep.LoadCorrupted = true;
    GifImageState second;
    GifParse(bytes, keep, second);
    Require(second.Frames.size() == first.Frames.size());
    Require(second.Data->GlobalColors == first.Data->GlobalColors);
    std::uint64_t budget = std::uint64_t(1) << 22;
    for (std::size_t i = 0; i < first.Frames.size(); ++i) {
        const GifFrameInfo& a = first.Frames[i];
        const GifFrameInfo& b = second.Frames[i];
        Require(a.Left == b.Left && a.Top == b.Top && a.Interlaced == b.Interlaced);
        Require(!b.Corrupted);
        // A size of 0 stands for the screen's on reading, and the written
        // screen is recomputed from the frames: such a frame may grow.
        if (a.Item->Width == 0 || a.Item->Height == 0) {
            continue;
        }
        Require(a.Item->Width == b.Item->Width && a.Item->Height == b.Item->Height);
        if (a.LocalColors) {
            const GifColorTable& ta = a.Item->ColorTable();
            const GifColorTable& tb = b.Item->ColorTable();
            Require(tb.Count >= ta.Count &&
                    std::memcmp(ta.Entries, tb.Entries, std::size_t(ta.Count) * 3) == 0);
        }
        const std::uint64_t pixels = std::uint64_t(a.Item->Width) * std::uint64_t(a.Item->Height);
        if (a.Corrupted || pixels > budget) {
            continue;
        }
        budget -= pixels;
        Require(Decode(a, options) == Decode(b, options));
    }
    return 0;
}
