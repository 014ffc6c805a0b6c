#pragma once

#include <windows.h>

namespace raster {
// The stock system font, taken at start-up; selected back into a bitmap's DC when the bitmap's
// own font handle is released.
HGDIOBJ StockSystemFont() noexcept;
} // namespace raster
