#pragma once

#include <cstdint>

// How a translucent colour is combined with what lies under it: cmBlend paints over an opaque
// background, cmMerge over a background that is itself translucent.
enum TCombineMode : std::uint8_t { cmBlend, cmMerge };

// How a coordinate outside a range is brought back into it: clamped to the nearest end, repeated
// with the range's period, or mirrored at the ends.
enum TWrapMode : std::uint8_t { wmClamp, wmRepeat, wmMirror };
