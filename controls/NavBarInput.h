#pragma once

// The side bar's input apart from any window: what a press, a move, a release, the mouse
// entering or leaving does to the tracked header and button indexes, which rectangles it
// repaints and which page change or button click follows; where the scroll buttons stand; and
// which button or page an accelerator picks.

#include <string>
#include <vector>

#include "framework/core/Types.h"

// What the bar tracks (-1 or an empty rectangle: nothing).
struct TNavInputState {
    int PressedPage = -1; // the header the mouse went down on
    int DownPage = -1;    // the header drawn down
    int HotPage = -1;     // the header under the mouse (themes only)
    int HotButton = -1;   // the button carrying the frame
    int PressedButton = -1;
    TRect HotFrame{};
    friend bool operator==(const TNavInputState&, const TNavInputState&) = default;
};

// What the rules ask of the bar.
class INavInputView {
public:
    virtual ~INavInputView() = default;
    // The first page whose header holds P, -1 for none.
    virtual int PageAt(TPoint p) = 0;
    // The active page's button under P (the bar's hit test), -1 for none.
    virtual int ButtonAt(TPoint p) = 0;
    virtual TRect HeaderRect(int page) = 0;
    virtual bool PageEnabled(int page) = 0;
    // Of the active page.
    virtual bool ButtonEnabled(int button) = 0;
    virtual TRect FrameRect(int button) = 0;
    virtual int ActivePage() = 0;
    virtual bool Themed() = 0;
};

struct TNavRepaint {
    TRect Rect;
    bool Erase = false;
    friend bool operator==(const TNavRepaint&, const TNavRepaint&) = default;
};

// The effects of one event, to be carried out in this order: the repaints, the page change,
// then the click (last: its handler may free the bar).
struct TNavInputEffects {
    std::vector<TNavRepaint> Repaint;
    int ChangePage = -1;
    int ClickButton = -1;
};

TNavInputEffects NavMouseDown(TNavInputState& s, INavInputView& view, TPoint p, bool rightButton);
TNavInputEffects NavMouseMove(TNavInputState& s, INavInputView& view, TPoint p);
TNavInputEffects NavMouseUp(TNavInputState& s, INavInputView& view, TPoint p, bool rightButton);
TNavInputEffects NavMouseEnter(TNavInputState& s);
TNavInputEffects NavMouseLeave(TNavInputState& s, INavInputView& view);

// Where the scroll buttons go for the active page (PageRect R, row height H).
struct TNavScrollButtons {
    bool UpVisible = false;
    bool DownVisible = false;
    TRect Up{};
    TRect Down{};
    bool Enabled = false; // for the shown ones
    friend bool operator==(const TNavScrollButtons&, const TNavScrollButtons&) = default;
};
TNavScrollButtons NavScrollButtonPlaces(bool pageValid, bool pageEnabled, int pageCount,
                                        int buttonCount, int topButtonIndex, const TRect& pageRect,
                                        int rowHeight, int clientWidth) noexcept;

// One item an accelerator may pick.
struct TNavAccelItem {
    std::string Caption;
    bool Enabled = true;
};
struct TNavAccelChoice {
    bool Button = false; // else a page
    int Index = -1;      // -1: nothing answers
    friend bool operator==(const TNavAccelChoice&, const TNavAccelChoice&) = default;
};
// The active page's first enabled button with Key as its accelerator (when that page exists and
// is enabled), else the first enabled page with it.
TNavAccelChoice NavAccelerator(char key, bool activePageUsable,
                               const std::vector<TNavAccelItem>& buttons,
                               const std::vector<TNavAccelItem>& pages);
