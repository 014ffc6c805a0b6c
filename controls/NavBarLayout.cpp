#include "controls/NavBarLayout.h"

#include <algorithm>

namespace {

bool ValidPage(const TNavBarGeometry& bar, int page) noexcept {
    return page >= 0 && page < bar.PageCount;
}

bool Inside(const TRect& r, TPoint p) noexcept {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

TRect Offset(TRect r, int dx, int dy) noexcept {
    return Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
}

} // namespace

TRect NavPageButtonRect(const TNavBarGeometry& bar, int page) noexcept {
    if (!ValidPage(bar, page))
        return {};
    const int h = bar.PageButtonHeight;
    const int top =
        page <= bar.ActivePage ? page * h : bar.ClientHeight - h * (bar.PageCount - page);
    return Bounds(0, top, bar.ClientWidth, h);
}

TRect NavPageRect(const TNavBarGeometry& bar, int page) noexcept {
    if (!ValidPage(bar, page))
        return {};
    const int h = bar.PageButtonHeight;
    return Rect(0, h * (page + 1), bar.ClientWidth,
                bar.ClientHeight - h * (bar.PageCount - 1 - page));
}

int NavButtonHeight(bool valid, const TNavPageGeometry& page, int textHeight) noexcept {
    const int f = page.FontHeight < 0 ? -page.FontHeight : page.FontHeight;
    if (!valid || (page.Size != olbsLarge && page.Size != olbsSmall))
        return textHeight + 4;
    if (page.Size == olbsLarge)
        return page.HasImages ? std::max(textHeight, f + page.ImageHeight + 8) + 4 : f + 12;
    return page.HasImages ? std::max(page.ImageHeight, f) + 8 : f + 8;
}

TRect NavButtonRect(const TNavBarGeometry& bar, int pageIndex, const TNavPageGeometry& page,
                    int textHeight, int button, int captionWidth) noexcept {
    if (!ValidPage(bar, pageIndex) || button < 0 || button >= page.ButtonCount)
        return {};
    const int h = NavButtonHeight(true, page, textHeight);
    TRect r;
    if (page.Size == olbsLarge && page.HasImages) {
        const int width = std::max(page.ImageWidth, captionWidth) + 4;
        r = Bounds((bar.ClientWidth - width) / 2, 4, width, h);
    } else if (page.Size == olbsSmall && page.HasImages) {
        r = Bounds(4, 4, captionWidth + page.ImageWidth + 8, h);
    } else {
        r = Bounds(0, 0, bar.ClientWidth, h + 4);
    }
    return Offset(r, 0, NavPageRect(bar, pageIndex).Top + h * (button - page.TopButtonIndex));
}

TRect NavButtonFrameRect(const TNavBarGeometry& bar, int pageIndex, const TNavPageGeometry& page,
                         int textHeight, int button) noexcept {
    if (!ValidPage(bar, pageIndex) || button < 0 || button >= page.ButtonCount)
        return {};
    const int h = NavButtonHeight(true, page, textHeight);
    const int top = NavPageRect(bar, pageIndex).Top + h * (button - page.TopButtonIndex);
    const bool large = page.Size == olbsLarge;
    if (page.HasImages) {
        if (large) {
            const int w = page.ImageWidth + 6;
            return Bounds((bar.ClientWidth - w) / 2, top + 5, w, page.ImageHeight + 6);
        }
        return Bounds(4, top + 4, page.ImageWidth + 4, page.ImageHeight + 4);
    }
    return Bounds(0, top + (large ? 5 : 4), bar.ClientWidth, h);
}

TRect NavButtonTextRect(const TNavBarGeometry& bar, int pageIndex, const TNavPageGeometry& page,
                        int textHeight, int button, int captionWidth) noexcept {
    TRect r = NavButtonRect(bar, pageIndex, page, textHeight, button, captionWidth);
    if (r == TRect{} || !page.HasImages)
        return r;
    const int f = page.FontHeight < 0 ? -page.FontHeight : page.FontHeight;
    const int h = NavButtonHeight(true, page, textHeight);
    if (page.Size == olbsLarge) {
        r.Top = r.Bottom - f - 2;
        return Offset(r, 0, -4);
    }
    r.Left = page.ImageWidth + 10;
    r.Top += (h - f) / 2;
    r.Bottom = r.Top + f + 2;
    r.Right = r.Left + captionWidth + 4;
    return Offset(r, 0, (f + 2 - h) / 4);
}

int NavButtonAtPos(const TNavBarGeometry& bar, const TNavPageGeometry& page, int textHeight,
                   TPoint p, int firstCaptionWidth) noexcept {
    const int active = bar.ActivePage;
    if (!ValidPage(bar, active) || page.ButtonCount <= 0)
        return -1;
    const TRect area = NavPageRect(bar, active);
    if (!Inside(area, p))
        return -1;
    const int h = NavButtonHeight(true, page, textHeight);
    const int top = std::clamp(page.TopButtonIndex, 0, page.ButtonCount - 1);
    // Button 0's horizontal extent, at the row of the first visible button.
    TRect r = NavButtonRect(bar, active, page, textHeight, 0, firstCaptionWidth);
    r = Offset(r, 0, h * top);
    for (int b = top; b < page.ButtonCount; ++b) {
        if (r.Top >= area.Bottom)
            break;
        if (Inside(r, p))
            return b;
        r = Offset(r, 0, h);
    }
    return -1;
}
