#pragma once

#include <cstdint>

#include "raster/Color32.h"

// Where a bitmap's pixels live: one block of Width x Height top-down rows without padding. The
// Windows build keeps them in a device-independent section selected into a memory device
// context (raster/DibStorage_win.h); the heap storage serves builds without the platform.
class TBitmapStorage {
public:
    virtual ~TBitmapStorage();

    // Makes a block for width x height pixels (both > 0), zeroed. The previous block must have
    // been released. Raises Exception with "Can't allocate the DIB handle" when the pixels
    // cannot be had (including a size whose byte count does not fit), "Can't create compatible
    // DC" or "Can't select an object into DC"; the storage then holds nothing.
    virtual TColor32* Allocate(int width, int height) = 0;
    // Gives the block (and any device context) back; nothing when there is none.
    virtual void Release() noexcept = 0;
    // The memory device context with the pixels selected (an HDC), nullptr without one.
    virtual void* DeviceContext() const noexcept { return nullptr; }
    // The platform bitmap (an HBITMAP), nullptr without one.
    virtual void* BitmapHandle() const noexcept { return nullptr; }
};

// Pixels on the heap, zeroed; no device context.
class THeapStorage final : public TBitmapStorage {
public:
    ~THeapStorage() override;
    TColor32* Allocate(int width, int height) override;
    void Release() noexcept override;
    // Blocks alive in the process, for leak tests.
    static int LiveBlocks() noexcept;

private:
    TColor32* pixels_ = nullptr;
};

// The largest block a storage hands out, in bytes: 2^31 - 1, so every pixel index and byte
// offset fits a 32-bit integer.
inline constexpr std::int64_t kMaxBitmapBytes = 0x7FFFFFFF;

// A new storage of the build's default kind (the DIB section on Windows, the heap elsewhere).
TBitmapStorage* NewDefaultStorage();
