#include "raster/LowLevel.h"

#include <cassert>
#include <climits>
#include <cstdint>
#include <cstring>

TFillProc Fill32 = &PlainForms::Fill32;

void PlainForms::Fill32(TColor32* x, int count, TColor32 value) {
    for (int i = 0; i < count; ++i) {
        x[i] = value;
    }
}

void MmxForms::Fill32(TColor32* x, int count, TColor32 value) {
    // The count is signed here: a negative count writes nothing instead of billions of cells.
    if (count <= 0) {
        return;
    }
    if (count & 1) {
        *x++ = value;
    }
    const std::uint64_t pair = (std::uint64_t{value} << 32) | value;
    for (int i = 0, pairs = count / 2; i < pairs; ++i, x += 2) {
        std::memcpy(x, &pair, sizeof pair);
    }
}

void Move32(const TColor32* source, TColor32* dest, int count) {
    if (count <= 0 || source == dest) {
        return;
    }
    // memmove equals the ascending copy wherever that copy is defined, and stays correct when a
    // caller breaks the overlap rule.
    std::memmove(dest, source, static_cast<std::size_t>(count) * sizeof(TColor32));
}

void SwapInts(int& a, int& b) {
    const int t = a;
    a = b;
    b = t;
}

void OrderInts(int& a, int& b) {
    if (a > b) {
        SwapInts(a, b);
    }
}

int ClampInt(int value, int min, int max) {
    if (value < min) {
        value = min;
    }
    if (value > max) {
        value = max;
    }
    return value;
}

// Both wrap functions work in 64 bits: Max - Min + 1 overflows 32 bits for wide ranges, and so
// do the differences from the ends.

int WrapInt(int value, int min, int max) {
    if (max < min) {
        return min;
    }
    const std::int64_t n = std::int64_t{max} - min + 1;
    if (value < min) {
        return static_cast<int>(max + (std::int64_t{value} - max) % n);
    }
    return static_cast<int>(min + (std::int64_t{value} - min) % n);
}

int MirrorInt(int value, int min, int max) {
    if (max < min) {
        return min;
    }
    const std::int64_t n = std::int64_t{max} - min + 1;
    std::int64_t q, r;
    if (value < min) {
        const std::int64_t d = std::int64_t{value} - max;
        q = d / n;
        r = d % n + max;
    } else {
        const std::int64_t d = std::int64_t{value} - min;
        q = d / n;
        r = d % n + min;
    }
    return static_cast<int>((q & 1) ? std::int64_t{min} + max - r : r);
}

int DivModInt(int dividend, int divisor, int& remainder) {
    assert(divisor != 0 && !(dividend == INT_MIN && divisor == -1));
    remainder = dividend % divisor;
    return dividend / divisor;
}

const TWrapProc WrapProcs[3] = {&ClampInt, &WrapInt, &MirrorInt};
