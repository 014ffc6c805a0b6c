#include "controls/ImageListRules.h"

TPixelFormat PixelFormatFromDepth(int planesTimesBits) noexcept {
    switch (planesTimesBits) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 15:
        return pf15bit;
    case 16:
        return pf16bit;
    case 24:
        return pf24bit;
    case 32:
        return pf32bit;
    default:
        return pfDevice;
    }
}

std::uint32_t ImageListColorFlag(TPixelFormat format) noexcept {
    switch (format) {
    case pf4bit:
        return kIlcColor4;
    case pf8bit:
        return kIlcColor8;
    case pf15bit:
    case pf16bit:
        return kIlcColor16;
    case pf24bit:
        return kIlcColor24;
    case pf32bit:
        return kIlcColor32;
    default:
        return kIlcColorDdb;
    }
}

std::uint32_t ImageListCreateFlags(TPixelFormat format, TPixelFormat screen, bool masked) noexcept {
    if (format == pfDevice)
        format = screen;
    std::uint32_t flags = ImageListColorFlag(format);
    if (masked)
        flags |= kIlcMask;
    return flags;
}

bool HasImageSource(const TTkImageSourceState& state) noexcept {
    switch (state.Mode) {
    case imPicture:
        return state.PictureHasImage;
    case imResourceIds:
        return state.ResourceIdLines > 0;
    case imItemList:
        return state.ItemCount > 0;
    default:
        return false;
    }
}

int StripCellCount(int bitmapWidth, int cellWidth) noexcept {
    if (cellWidth <= 0 || bitmapWidth <= 0)
        return 0;
    const int count = bitmapWidth / cellWidth;
    return count == 0 ? 1 : count;
}

std::optional<TPoint> StripKeyPixel(int cell, int cellWidth, int cellHeight, int bitmapWidth,
                                    int bitmapHeight) noexcept {
    // In 64 bits: cell x width may pass 2^31 for a wide strip of wide cells.
    const long long x = static_cast<long long>(cell) * cellWidth;
    const long long y = static_cast<long long>(cellHeight) - 1;
    if (cell < 0 || x < 0 || y < 0 || x >= bitmapWidth || y >= bitmapHeight)
        return std::nullopt;
    return TPoint{static_cast<int>(x), static_cast<int>(y)};
}
