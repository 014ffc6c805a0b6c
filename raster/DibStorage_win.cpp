#include "raster/DibStorage_win.h"

#include <atomic>

#include "framework/core/Exceptions.h"

namespace {
std::atomic<int> gLiveDibs{0};
std::atomic<int> gLiveDCs{0};
} // namespace

TDibStorage::~TDibStorage() {
    Release();
}

TColor32* TDibStorage::Allocate(int width, int height) {
    // GDI sizes the section in 32 bits; a byte count beyond that must not reach it.
    const std::int64_t bytes = std::int64_t{width} * height * 4;
    if (width <= 0 || height <= 0 || bytes > kMaxBitmapBytes)
        throw Exception("Can't allocate the DIB handle");
    info_ = BITMAPINFO{};
    info_.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info_.bmiHeader.biWidth = width;
    info_.bmiHeader.biHeight = -height;
    info_.bmiHeader.biPlanes = 1;
    info_.bmiHeader.biBitCount = 32;
    info_.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dib_ = CreateDIBSection(nullptr, &info_, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib_ == nullptr || bits == nullptr) {
        if (dib_ != nullptr)
            DeleteObject(dib_);
        dib_ = nullptr;
        throw Exception("Can't allocate the DIB handle");
    }
    gLiveDibs.fetch_add(1);
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_ == nullptr) {
        DeleteObject(dib_);
        dib_ = nullptr;
        gLiveDibs.fetch_sub(1);
        throw Exception("Can't create compatible DC");
    }
    gLiveDCs.fetch_add(1);
    oldBitmap_ = SelectObject(dc_, dib_);
    if (oldBitmap_ == nullptr) {
        DeleteDC(dc_);
        DeleteObject(dib_);
        dc_ = nullptr;
        dib_ = nullptr;
        gLiveDCs.fetch_sub(1);
        gLiveDibs.fetch_sub(1);
        throw Exception("Can't select an object into DC");
    }
    return static_cast<TColor32*>(bits);
}

void TDibStorage::Release() noexcept {
    if (dc_ != nullptr) {
        if (oldBitmap_ != nullptr)
            SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
        dc_ = nullptr;
        oldBitmap_ = nullptr;
        gLiveDCs.fetch_sub(1);
    }
    if (dib_ != nullptr) {
        DeleteObject(dib_);
        dib_ = nullptr;
        gLiveDibs.fetch_sub(1);
    }
}

int TDibStorage::LiveDibs() noexcept {
    return gLiveDibs.load();
}

int TDibStorage::LiveDCs() noexcept {
    return gLiveDCs.load();
}

TBitmapStorage* NewDefaultStorage() {
    return new TDibStorage;
}
