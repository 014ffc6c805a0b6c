#include "controls/NavBarInput.h"

#include "framework/core/SysUtils.h"

namespace {

void Repaint(TNavInputEffects& e, const TRect& r, bool erase = false) {
    e.Repaint.push_back({r, erase});
}

} // namespace

TNavInputEffects NavMouseDown(TNavInputState& s, INavInputView& view, TPoint p, bool rightButton) {
    TNavInputEffects e;
    if (rightButton)
        return e;
    const int page = view.PageAt(p);
    if (page >= 0 && view.PageEnabled(page) && page != s.PressedPage) {
        s.PressedPage = page;
        if (page != view.ActivePage()) {
            s.DownPage = page;
            Repaint(e, view.HeaderRect(page));
        }
        return e;
    }
    if (s.PressedPage >= 0 && view.PageEnabled(s.PressedPage))
        Repaint(e, view.HeaderRect(s.PressedPage));
    s.PressedPage = -1;
    s.DownPage = -1;
    const int button = view.ButtonAt(p);
    if (button >= 0 && view.ButtonEnabled(button) && view.PageEnabled(view.ActivePage())) {
        s.HotButton = button;
        s.PressedButton = button;
        s.HotFrame = view.FrameRect(button);
        Repaint(e, s.HotFrame);
    }
    return e;
}

TNavInputEffects NavMouseMove(TNavInputState& s, INavInputView& view, TPoint p) {
    TNavInputEffects e;
    const int page = view.PageAt(p);
    if (view.Themed() && page != s.HotPage) {
        if (s.HotPage >= 0)
            Repaint(e, view.HeaderRect(s.HotPage));
        s.HotPage = page;
        if (page >= 0)
            Repaint(e, view.HeaderRect(page));
    }
    if (s.DownPage >= 0 && page != s.DownPage) {
        Repaint(e, view.HeaderRect(s.DownPage));
        s.DownPage = -1;
    } else if (s.DownPage < 0 && page >= 0 && page != view.ActivePage() && view.PageEnabled(page) &&
               page == s.PressedPage) {
        s.DownPage = page;
        Repaint(e, view.HeaderRect(page));
        return e;
    }
    const int button = view.ButtonAt(p);
    if (button >= 0 && view.ButtonEnabled(button) && view.PageEnabled(view.ActivePage())) {
        if (button == s.HotButton)
            return e;
        Repaint(e, s.HotFrame, true);
        s.HotFrame = view.FrameRect(button);
        Repaint(e, s.HotFrame);
        s.HotButton = button;
        return e;
    }
    if (s.HotButton >= 0)
        Repaint(e, s.HotFrame);
    s.HotButton = -1;
    s.HotFrame = {};
    return e;
}

TNavInputEffects NavMouseUp(TNavInputState& s, INavInputView& view, TPoint p, bool rightButton) {
    TNavInputEffects e;
    if (rightButton)
        return e;
    if (s.PressedPage >= 0 && s.PressedPage != view.ActivePage() && view.PageAt(p) == s.PressedPage)
        e.ChangePage = s.PressedPage;
    s.PressedPage = -1;
    const int button = view.ButtonAt(p);
    if (button >= 0) {
        if (button == s.PressedButton)
            e.ClickButton = button;
        s.HotButton = button;
        s.PressedButton = -1;
        s.HotFrame = view.FrameRect(button);
    } else {
        s.HotFrame = s.HotButton >= 0 ? view.FrameRect(s.HotButton) : TRect{};
        s.HotButton = -1;
        s.PressedButton = -1;
    }
    Repaint(e, s.HotFrame);
    return e;
}

TNavInputEffects NavMouseEnter(TNavInputState& s) {
    TNavInputEffects e;
    Repaint(e, s.HotFrame);
    return e;
}

TNavInputEffects NavMouseLeave(TNavInputState& s, INavInputView& view) {
    TNavInputEffects e;
    Repaint(e, s.HotFrame);
    s.DownPage = -1;
    s.HotButton = -1;
    if (view.Themed() && s.HotPage >= 0) {
        Repaint(e, view.HeaderRect(s.HotPage));
        s.HotPage = -1;
    }
    return e;
}

TNavScrollButtons NavScrollButtonPlaces(bool pageValid, bool pageEnabled, int pageCount,
                                        int buttonCount, int topButtonIndex, const TRect& pageRect,
                                        int rowHeight, int clientWidth) noexcept {
    TNavScrollButtons b;
    if (!pageValid || buttonCount < 1)
        return b;
    const bool room = pageCount >= 1 && pageRect.Top < pageRect.Bottom - 20;
    b.UpVisible = room && topButtonIndex > 0;
    const long long needed = static_cast<long long>(rowHeight) * (buttonCount - topButtonIndex);
    b.DownVisible = room && (pageRect.Bottom - pageRect.Top) < needed;
    b.Up = Bounds(clientWidth - 20, pageRect.Top + 4, 16, 16);
    b.Down = Bounds(clientWidth - 20, pageRect.Bottom - 20, 16, 16);
    b.Enabled = pageEnabled;
    return b;
}

TNavAccelChoice NavAccelerator(char key, bool activePageUsable,
                               const std::vector<TNavAccelItem>& buttons,
                               const std::vector<TNavAccelItem>& pages) {
    if (activePageUsable) {
        for (std::size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i].Enabled && IsAccel(key, buttons[i].Caption))
                return {true, static_cast<int>(i)};
    }
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (pages[i].Enabled && IsAccel(key, pages[i].Caption))
            return {false, static_cast<int>(i)};
    return {};
}
