#include "framework/core/Types.h"

#include <atomic>
#include <cstdlib>
#include <limits>

namespace {

// The classic Windows scheme, so native code resolves system colours to the
// values a default desktop shows.
constexpr std::uint32_t kClassicScheme[] = {
    0xC8C8C8, 0x000000, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xFF9933, 0xF0F0F0};

std::uint32_t ClassicSysColor(int index) noexcept {
    if (index < 0 || index >= static_cast<int>(std::size(kClassicScheme)))
        return 0;
    return kClassicScheme[index];
}

std::atomic<TSysColorResolver> gResolver{nullptr};

}  // namespace

TSysColorResolver SetSysColorResolver(TSysColorResolver resolver) noexcept {
    return gResolver.exchange(resolver);
}

TColor ColorToRGB(TColor color) noexcept {
    if (!IsSystemColor(color))
        return color;
    int index = static_cast<int>(static_cast<std::uint32_t>(color) & 0xFF);
    TSysColorResolver resolver = gResolver.load();
    std::uint32_t rgb = resolver != nullptr ? resolver(index) : ClassicSysColor(index);
    return ColorFromRaw(rgb & 0x00FFFFFF);
}

bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) noexcept {
    TRect r{a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
            a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
    if (r.Left >= r.Right || r.Top >= r.Bottom) {
        dst = TRect{};
        return false;
    }
    dst = r;
    return true;
}

std::int32_t PortableMulDiv(std::int32_t number, std::int32_t numerator,
                            std::int32_t denominator) noexcept {
    if (denominator == 0)
        return -1;
    // |number * numerator| < 2^62 and |denominator| <= 2^31, so neither the
    // product nor product + |denominator| / 2 can overflow 64 bits.
    std::int64_t product = std::int64_t{number} * numerator;
    std::int64_t divisor = denominator;
    bool negative = (product < 0) != (divisor < 0);
    std::uint64_t magnitude = product < 0 ? 0 - static_cast<std::uint64_t>(product)
                                          : static_cast<std::uint64_t>(product);
    std::uint64_t div = divisor < 0 ? 0 - static_cast<std::uint64_t>(divisor)
                                    : static_cast<std::uint64_t>(divisor);
    std::uint64_t quotient = (magnitude + div / 2) / div;
    constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
    if (quotient > kMax + (negative ? 1 : 0))
        return -1;
    return negative ? static_cast<std::int32_t>(0 - quotient) : static_cast<std::int32_t>(quotient);
}
