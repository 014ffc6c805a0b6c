#include "raster/Samplers.h"

#include <climits>

#include "framework/core/TypInfo.h"

TColor32 TCustomSampler::GetSampleInt(int x, int y) {
    return GetSampleFixed(static_cast<TFixed>(static_cast<std::uint32_t>(x) << 16),
                          static_cast<TFixed>(static_cast<std::uint32_t>(y) << 16));
}

TColor32 TCustomSampler::GetSampleFixed(TFixed x, TFixed y) {
    return GetSampleFloat(x / 65536.0, y / 65536.0);
}

TColor32 TCustomSampler::GetSampleFloat(double x, double y) {
    return GetSampleFixed(FloatToFixed(static_cast<float>(x)), FloatToFixed(static_cast<float>(y)));
}

TRect TCustomSampler::GetSampleBounds() {
    return TRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
}
