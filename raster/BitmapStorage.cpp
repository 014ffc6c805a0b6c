#include "raster/BitmapStorage.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "framework/core/Exceptions.h"

namespace {
std::atomic<int> gLiveHeapBlocks{0};
}

TBitmapStorage::~TBitmapStorage() = default;

THeapStorage::~THeapStorage() {
    Release();
}

TColor32* THeapStorage::Allocate(int width, int height) {
    const std::int64_t bytes = std::int64_t{width} * height * 4;
    if (width <= 0 || height <= 0 || bytes > kMaxBitmapBytes)
        throw Exception("Can't allocate the DIB handle");
    pixels_ = static_cast<TColor32*>(std::calloc(static_cast<std::size_t>(bytes), 1));
    if (pixels_ == nullptr)
        throw Exception("Can't allocate the DIB handle");
    gLiveHeapBlocks.fetch_add(1);
    return pixels_;
}

void THeapStorage::Release() noexcept {
    if (pixels_ != nullptr) {
        std::free(pixels_);
        pixels_ = nullptr;
        gLiveHeapBlocks.fetch_sub(1);
    }
}

int THeapStorage::LiveBlocks() noexcept {
    return gLiveHeapBlocks.load();
}

#ifndef _WIN32
TBitmapStorage* NewDefaultStorage() {
    return new THeapStorage;
}
#endif
