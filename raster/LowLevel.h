#pragma once

#include <cstdint>

#include "raster/Color32.h"
#include "raster/Modes.h"

// 32-bit fills and moves and the integer helpers under the bitmap and sampler code.

// Fill32(X, Count, Value): writes Value into Count consecutive cells from X. A Count of 0 or less
// writes nothing. Bound at start-up (see raster/Bindings.h); before that the plain form.
using TFillProc = void (*)(TColor32* x, int count, TColor32 value);
extern TFillProc Fill32;

// The forms Fill32 is bound to. Every form writes exactly the cells [X, X + Count) and nothing
// for Count <= 0.
namespace PlainForms {
void Fill32(TColor32* x, int count, TColor32 value);
}
namespace MmxForms {
// Pairs of cells written with 64-bit stores after one single store for an odd count.
void Fill32(TColor32* x, int count, TColor32 value);
} // namespace MmxForms
#if RASTER_SSE2_FORMS
// Only x86 builds have the SSE2 forms (the build defines RASTER_SSE2_FORMS to 1 there).
namespace Sse2Forms {
// 16-byte stores, string stores for long runs.
void Fill32(TColor32* x, int count, TColor32 value);
} // namespace Sse2Forms
#endif

// Copies Count cells from Source to Dest when the addresses differ; nothing for Count <= 0. The
// result is that of a copy in ascending address order wherever that copy is well defined (no
// overlap, or Dest below Source); overlapping ranges with Dest above Source are copied intact.
void Move32(const TColor32* source, TColor32* dest, int count);

// Exchanges A and B.
void SwapInts(int& a, int& b);

// Exchanges A and B when A > B, so that A <= B afterwards.
void OrderInts(int& a, int& b);

// max(Value, Min), then min(that, Max). With Max < Min the result is Max.
int ClampInt(int value, int min, int max);

// Value brought into [Min, Max] with period Max - Min + 1: WrapInt(-1, 0, 9) = 9. With Max < Min
// (an empty range) the result is Min.
int WrapInt(int value, int min, int max);

// Value reflected into [Min, Max], each end repeated once per reflection (period 2 x (Max - Min
// + 1)): MirrorInt(-1, 0, 9) = 0, MirrorInt(10, 0, 9) = 9. With Max < Min the result is Min.
int MirrorInt(int value, int min, int max);

// The truncating quotient of Dividend by Divisor; Remainder gets the truncating remainder.
// Divisor must not be 0, and the quotient must fit (not INT_MIN / -1).
int DivModInt(int dividend, int divisor, int& remainder);

// The wrap functions by TWrapMode: wmClamp ClampInt, wmRepeat WrapInt, wmMirror MirrorInt.
using TWrapProc = int (*)(int value, int min, int max);
extern const TWrapProc WrapProcs[3];

// Ends a run of work in MMX registers. No form in this library uses those registers (the
// processor-specific forms use SSE2 registers or ordinary ones), so the x87 state is never at
// stake and this does nothing; callers still call it where a run of blending ends.
inline void EndMMX() {}
