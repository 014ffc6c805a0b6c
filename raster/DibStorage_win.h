#pragma once

#include <windows.h>

#include "raster/BitmapStorage.h"

// Pixels in a top-down 32-bit DIB section, selected into a memory DC of its own, so that GDI
// draws into the same block the library's loops work on.
class TDibStorage final : public TBitmapStorage {
public:
    ~TDibStorage() override;
    TColor32* Allocate(int width, int height) override;
    void Release() noexcept override;
    void* DeviceContext() const noexcept override { return dc_; }
    void* BitmapHandle() const noexcept override { return dib_; }

    // The header of the section: 40 bytes, one plane, 32 bits, BI_RGB, height negative.
    const BITMAPINFO& Info() const noexcept { return info_; }

    // DIB sections and DCs alive in the process, counted here because Wine's resource counts
    // are always 0.
    static int LiveDibs() noexcept;
    static int LiveDCs() noexcept;

private:
    HBITMAP dib_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    BITMAPINFO info_{};
};
