#include "framework/gui/AlignLayout.h"

#include <algorithm>
#include <numeric>

std::int32_t ConstrainSize(std::int32_t size, std::int32_t minSize, std::int32_t maxSize) noexcept {
    if (maxSize > 0 && size > maxSize)
        size = maxSize;
    if (minSize > 0 && size < minSize)
        size = minSize;
    return std::max<std::int32_t>(size, 0);
}

namespace {

// The sort key of a child within its kind: smaller keys are placed first.
std::int64_t PositionKey(const TAlignEntry& e) {
    switch (e.Align) {
    case alTop:
        return e.Bounds.Top;
    case alBottom:
        return -static_cast<std::int64_t>(e.Bounds.Bottom);
    case alLeft:
        return e.Bounds.Left;
    case alRight:
        return -static_cast<std::int64_t>(e.Bounds.Right);
    default:
        return 0;
    }
}

// Places one child into the remaining rectangle and shrinks it.
TRect Place(const TAlignEntry& e, TRect& rest) {
    const std::int32_t restWidth = std::max(rest.Right - rest.Left, 0);
    const std::int32_t restHeight = std::max(rest.Bottom - rest.Top, 0);
    const std::int32_t w = ConstrainSize(e.Bounds.Width(), e.MinWidth, e.MaxWidth);
    const std::int32_t h = ConstrainSize(e.Bounds.Height(), e.MinHeight, e.MaxHeight);
    const std::int32_t fillW = ConstrainSize(restWidth, e.MinWidth, e.MaxWidth);
    const std::int32_t fillH = ConstrainSize(restHeight, e.MinHeight, e.MaxHeight);
    TRect r;
    switch (e.Align) {
    case alTop:
        r = Bounds(rest.Left, rest.Top, fillW, h);
        rest.Top += h;
        break;
    case alBottom:
        r = Bounds(rest.Left, rest.Bottom - h, fillW, h);
        rest.Bottom -= h;
        break;
    case alLeft:
        r = Bounds(rest.Left, rest.Top, w, fillH);
        rest.Left += w;
        break;
    case alRight:
        r = Bounds(rest.Right - w, rest.Top, w, fillH);
        rest.Right -= w;
        break;
    default: // alClient
        r = Bounds(rest.Left, rest.Top, fillW, fillH);
        break;
    }
    return r;
}

} // namespace

std::vector<TRect> AlignLayout(const TRect& clientRect, std::int32_t borderWidth,
                               std::span<const TAlignEntry> entries) {
    std::vector<TRect> result;
    result.reserve(entries.size());
    for (const TAlignEntry& e : entries)
        result.push_back(e.Bounds);

    TRect rest = clientRect;
    rest.Left += borderWidth;
    rest.Top += borderWidth;
    rest.Right -= borderWidth;
    rest.Bottom -= borderWidth;

    std::vector<std::size_t> order(entries.size());
    for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        order.clear();
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].Visible && entries[i].Align == kind)
                order.push_back(i);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return PositionKey(entries[a]) < PositionKey(entries[b]);
        });
        for (std::size_t i : order)
            result[i] = Place(entries[i], rest);
    }
    return result;
}
