#include <atomic>

#include "raster/Platform_win.h"
#include "raster/RasterTypes.h"

namespace raster {

namespace {
std::atomic<HGDIOBJ> gSystemFont{nullptr};
}

void StartPlatform() {
    gSystemFont.store(GetStockObject(SYSTEM_FONT));
}

HGDIOBJ StockSystemFont() noexcept {
    return gSystemFont.load();
}

} // namespace raster

std::uint32_t PlatformSysColor(int index) {
    return GetSysColor(index);
}
