#include "raster/IntegerMap.h"

#include "framework/core/Exceptions.h"

std::int32_t* TIntegerMap::ValueAddress(int x, int y) noexcept {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return nullptr;
    return &values_[static_cast<std::size_t>(std::int64_t{y} * width_ + x)];
}

void TIntegerMap::ChangeSize(int& width, int& height, int newWidth, int newHeight) {
    const std::int64_t count = std::int64_t{newWidth} * newHeight;
    if (count > (std::int64_t{1} << 28))
        throw EOutOfMemory();
    values_.assign(static_cast<std::size_t>(count), 0);
    width = newWidth;
    height = newHeight;
}
