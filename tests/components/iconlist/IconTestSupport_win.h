#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/graphics/IconFile.h"
#include "framework/graphics/Icon_win.h"

// The bytes of a 16x16 32-bit icon file filled with one colour (0xAARRGGBB),
// so that icons made from different colours have different bytes.
inline std::vector<std::uint8_t> SolidIconFile(std::uint32_t argb, int size = 16) {
    const std::size_t colour = static_cast<std::size_t>(size) * size * 4;
    const std::size_t maskStride = ((static_cast<std::size_t>(size) + 31) / 32) * 4;
    std::vector<std::uint8_t> image(40 + colour + maskStride * size, 0);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = size;
    h.biHeight = size * 2;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biSizeImage = static_cast<DWORD>(colour + maskStride * size);
    std::memcpy(image.data(), &h, 40);
    for (std::size_t i = 0; i < colour; i += 4)
        std::memcpy(image.data() + 40 + i, &argb, 4);
    return MakeIconFile(size, size, 32, image);
}

// A new icon of one colour; the caller owns it.
inline TIcon* SolidIcon(std::uint32_t argb, int size = 16) {
    const std::vector<std::uint8_t> file = SolidIconFile(argb, size);
    auto* icon = new TIcon();
    icon->LoadFromIconFile(file.data(), file.size());
    return icon;
}
