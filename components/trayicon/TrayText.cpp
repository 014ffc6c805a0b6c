#include "components/trayicon/TrayText.h"

#include <cstring>

#include "components/MaxMin.h"
#include "framework/core/SysUtils.h"

std::string TrayTipText(std::string_view hint) {
    std::string tip = GetShortHint(hint);
    if (tip.size() > kTrayTipCapacity - 1)
        tip.resize(kTrayTipCapacity - 1);
    return tip;
}

void FillTrayTip(char* tip, std::string_view hint) noexcept {
    std::memset(tip, 0, kTrayTipCapacity);
    // GetShortHint allocates; the short part is found here without it.
    const std::string_view shortPart = hint.substr(0, hint.find('|'));
    const std::size_t n =
        shortPart.size() < kTrayTipCapacity - 1 ? shortPart.size() : kTrayTipCapacity - 1;
    std::memcpy(tip, shortPart.data(), n);
}

std::int32_t ClampedFrameIndex(std::int32_t frame, std::int32_t count) noexcept {
    return IntMax(IntMin(frame, count - 1), 0);
}

std::int32_t NextFrameIndex(std::int32_t frame, std::int32_t count) noexcept {
    // In 64 bits: the index after INT32_MAX wraps like any other index past the end.
    const std::int64_t next = static_cast<std::int64_t>(frame) + 1;
    if (next < 0 || next >= count)
        return 0;
    return static_cast<std::int32_t>(next);
}
