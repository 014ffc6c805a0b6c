#pragma once

// The rows of the separable bilinear magnification in the vector form's arithmetic: a source
// row interpolated across at each destination column, and two such rows mixed down. The plain
// C++ forms are the reference; the SSE2 forms give the same pixels, bound at start.

#include <cstdint>

#include "raster/Color32.h"

// A source column and its weight (0 to 256; 256 takes the column itself, 0 its right neighbour).
struct TLinearColumn {
    std::int32_t Pos;
    std::uint32_t Weight;
};

using TInterpolateRow = void (*)(const TColor32* line, const TLinearColumn* columns, int count,
                                 TColor32* out);
using TMixRows = void (*)(const TColor32* upper, const TColor32* lower, std::uint32_t weight,
                          int count, TColor32* out);

// Per channel floor((a w + b (256 - w)) / 256), w from 0 to 256.
TColor32 LerpChannels(TColor32 a, TColor32 b, std::uint32_t w) noexcept;

void InterpolateRowPlain(const TColor32* line, const TLinearColumn* columns, int count,
                         TColor32* out);
void MixRowsPlain(const TColor32* upper, const TColor32* lower, std::uint32_t weight, int count,
                  TColor32* out);
extern TInterpolateRow InterpolateRow;
extern TMixRows MixRows;

#if RASTER_SSE2_FORMS
namespace Sse2Forms {
void InterpolateRow(const TColor32* line, const TLinearColumn* columns, int count, TColor32* out);
void MixRows(const TColor32* upper, const TColor32* lower, std::uint32_t weight, int count,
             TColor32* out);
} // namespace Sse2Forms
#endif

// The SSE2 forms when the build has them and asked, else the plain ones.
void BindLinearRows(bool sse2);
