#include "desktops/WindowHandle.h"

std::string HandleText(TWindowHandle handle) {
    return std::to_string(handle);
}

TWindowHandle ParseHandle(std::string_view text) noexcept {
    if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) {
        return 0;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value > 0xFFFFFFFFu ? 0 : static_cast<TWindowHandle>(value);
}
