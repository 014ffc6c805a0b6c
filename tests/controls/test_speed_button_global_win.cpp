// The speed button under the real mouse (input through the system): clicks inside and outside,
// exclusive groups with and without all-up, the repeat while held, the drop-down menu, and click
// handlers that free the button or its form.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "controls/TkButtonGlyph_win.h"
#include "controls/TkSpeedButton_win.h"
#include "framework/controls/Action.h"
#include "framework/controls/ImageList_win.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/controls/PopupMenu_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

struct Clicks : TObject {
    std::vector<std::string> log;
    void Click(TObject* s) { log.push_back(static_cast<TControl*>(s)->Caption()); }
    TControl* toFree = nullptr;
    void FreeIt(TObject*) {
        log.push_back("free");
        if (toFree != nullptr) {
            TControl* c = toFree;
            toFree = nullptr;
            c->Free();
        }
    }
};

class SpeedButtonTest : public ControlsTest {
protected:
    TTkImageSpeedButton* Button(const std::string& caption, int x) {
        auto* b = Create<TTkImageSpeedButton>(form);
        b->SetCaption(caption);
        b->SetBounds(x, 20, 40, 25);
        b->OnClick = TNotifyEvent(&clicks, &Clicks::Click);
        b->SetParent(form);
        return b;
    }
    POINT At(TControl* b, int dx = 20, int dy = 12) {
        const TPoint p = b->ClientToScreen(Point(dx, dy));
        return POINT{p.X, p.Y};
    }
    void ClickAt(POINT p) {
        ASSERT_TRUE(mouse_input::Click(p));
        PumpFor(150);
    }
    Clicks clicks;
};

TEST_F(SpeedButtonTest, ReleasedInsideClicksReleasedOutsideDoesNot) {
    auto* b = Button("A", 20);
    ShowForm();
    ClickAt(At(b));
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"A"}));
    // Pressed inside, released on the row just below: no click; one pixel inside: a click.
    ASSERT_TRUE(mouse_input::Press(At(b)));
    PumpFor(100);
    EXPECT_EQ(b->State(), bsDown);
    ASSERT_TRUE(mouse_input::MoveTo(At(b, 20, 25)));
    PumpFor(100);
    EXPECT_EQ(b->State(), bsUp) << "off the button while held";
    ASSERT_TRUE(mouse_input::Release(At(b, 20, 25)));
    PumpFor(100);
    EXPECT_EQ(clicks.log.size(), 1u);
    ASSERT_TRUE(mouse_input::Press(At(b)));
    PumpFor(50);
    ASSERT_TRUE(mouse_input::Release(At(b, 20, 24)));
    PumpFor(100);
    EXPECT_EQ(clicks.log.size(), 2u);
    EXPECT_EQ(b->State(), bsUp);
}

TEST_F(SpeedButtonTest, ExclusiveGroupsWithAndWithoutAllUp) {
    auto* a = Button("A", 20);
    auto* c = Button("B", 70);
    a->SetGroupIndex(1);
    c->SetGroupIndex(1);
    ShowForm();
    ClickAt(At(a));
    EXPECT_TRUE(a->Down());
    ClickAt(At(c));
    EXPECT_TRUE(c->Down());
    EXPECT_FALSE(a->Down()) << "the other one goes up";
    EXPECT_EQ(a->State(), bsUp);
    ClickAt(At(c));
    EXPECT_TRUE(c->Down()) << "without all-up the last one stays down";
    c->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp()) << "the group takes the setting";
    ClickAt(At(c));
    EXPECT_FALSE(c->Down());
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"A", "B", "B", "B"}));
}

TEST_F(SpeedButtonTest, AHeldPressRepeatsItsClick) {
    auto* b = Button("R", 20);
    b->SetAllowTimer(true);
    b->InitPause = 300;
    b->RepeatInterval = 60;
    ShowForm();
    ASSERT_TRUE(mouse_input::Press(At(b)));
    PumpFor(150);
    EXPECT_TRUE(clicks.log.empty()) << "nothing before the first pause is over";
    PumpFor(600);
    const std::size_t held = clicks.log.size();
    EXPECT_GE(held, 4u);
    EXPECT_LE(held, 12u);
    ASSERT_TRUE(mouse_input::Release(At(b)));
    PumpFor(300);
    EXPECT_EQ(clicks.log.size(), held + 1) << "the release clicks once more, then it stops";
}

TEST_F(SpeedButtonTest, TheDropDownMenuOpensFromThePress) {
    auto* b = Button("M", 20);
    auto* menu = Create<TPopupMenu>(form);
    auto* item = Create<TMenuItem>(form);
    item->SetCaption("Item");
    menu->Items()->Add(item);
    b->SetDropDownMenu(menu);
    ShowForm();
    bool shown = false;
    RunLater(300, [&] {
        HWND m = FindWindowA("#32768", nullptr);
        shown = m != nullptr && IsWindowVisible(m);
        EndMenu();
    });
    ASSERT_TRUE(mouse_input::Press(At(b)));
    PumpFor(700);
    ASSERT_TRUE(mouse_input::Release(At(b)));
    PumpFor(200);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(clicks.log.empty()) << "the menu's press is no click";
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_FALSE(b->Pressing());
    menu->Free();
    EXPECT_EQ(b->DropDownMenu(), nullptr) << "the menu's end is noticed";
}

// The click that closes the menu, on the button itself, does not press the button again.
TEST_F(SpeedButtonTest, AClickOnTheButtonThatClosesItsMenuDoesNotPressItAgain) {
    auto* b = Button("M", 20);
    auto* menu = Create<TPopupMenu>(form);
    auto* item = Create<TMenuItem>(form);
    item->SetCaption("Item");
    menu->Items()->Add(item);
    int popups = 0;
    struct Count : TObject {
        int* n;
        void Popped(TObject*) { ++*n; }
    } count;
    count.n = &popups;
    menu->OnPopup = TNotifyEvent(&count, &Count::Popped);
    b->SetDropDownMenu(menu);
    ShowForm();
    const POINT at = At(b);
    std::atomic<bool> done{false};
    std::thread closer([&] {
        for (int i = 0; i < 300; ++i) {
            HWND m = FindWindowA("#32768", nullptr);
            if (m != nullptr && IsWindowVisible(m))
                break;
            Sleep(10);
        }
        Sleep(200);
        mouse_input::Click(at);
        done = true;
    });
    ASSERT_TRUE(mouse_input::Click(at));
    PumpUntil([&] { return done.load(); }, 5000);
    closer.join();
    PumpFor(400);
    EXPECT_EQ(popups, 1) << "the menu did not open again";
    EXPECT_TRUE(clicks.log.empty());
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_FALSE(b->Pressing());
}

TEST_F(SpeedButtonTest, PropertiesAndTheirWriters) {
    auto* b = Button("&Open", 20);
    EXPECT_EQ(b->Width(), 40);
    EXPECT_EQ(b->Alignment(), taCenter);
    EXPECT_TRUE(b->GrayNewStyle());
    EXPECT_TRUE(b->GrayedInactive());
    EXPECT_TRUE(b->MarkDropDown());
    EXPECT_EQ(b->Layout(), blGlyphTop);
    EXPECT_EQ(b->Margin(), -1);
    EXPECT_EQ(b->Spacing(), 1);
    EXPECT_EQ(b->InitPause, 500u);
    EXPECT_EQ(b->RepeatInterval, 100u);
    EXPECT_EQ(b->ImageIndex(), -1);
    EXPECT_EQ(b->HotTrackImageIndex(), 0);
    EXPECT_TRUE(b->DoubleBuffered);
    EXPECT_FALSE(b->HotTrackOptions()->Enabled);
    EXPECT_EQ(b->HotTrackFontOptions(),
              (TTkTrackFontOptions{hoFollowFont, hoPreserveColor, hoPreserveStyle}));
    b->SetMargin(-5);
    EXPECT_EQ(b->Margin(), -1) << "below -1 is ignored";
    b->SetMargin(4);
    EXPECT_EQ(b->Margin(), 4);
    b->SetWordWrap(true);
    EXPECT_TRUE(b->ButtonGlyph()->WordWrap) << "kept by the glyph drawer";
    b->SetAlignment(taLeftJustify);
    EXPECT_EQ(b->ButtonGlyph()->Alignment, taLeftJustify);
    b->SetGrayNewStyle(false);
    EXPECT_FALSE(b->ButtonGlyph()->GrayNewStyle());
    // Images: a list's end and nil both leave no image index behind.
    auto* images = Create<TImageList>(form);
    b->SetImages(images);
    b->SetImageIndex(3);
    images->Free();
    EXPECT_EQ(b->Images(), nullptr);
    EXPECT_EQ(b->ImageIndex(), -1);
    b->SetImageIndex(2);
    b->SetImages(nullptr);
    EXPECT_EQ(b->ImageIndex(), -1);
    // The hot image shows only with HotTrack while hot.
    b->SetImageIndex(5);
    EXPECT_EQ(b->ShownImageIndex(), 5);
    // The options copy their three fields.
    TTkSpeedButtonHotTrackOptions other;
    other.Enabled = true;
    other.Color = clRed;
    b->HotTrackOptions()->Assign(&other);
    EXPECT_TRUE(b->HotTrackOptions()->Enabled);
    EXPECT_EQ(b->HotTrackOptions()->Color, clRed);
    // The caption's accelerator with Alt clicks it.
    ShowForm();
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'o', 0x20000000), 1);
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"&Open"}));
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'o', 0), 0) << "not without Alt";
    // A double click counts on a down button only.
    int doubles = 0;
    struct Doubles : TObject {
        int* n;
        void Double(TObject*) { ++*n; }
    } d;
    d.n = &doubles;
    b->OnDblClick = TNotifyEvent(&d, &Doubles::Double);
    b->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(doubles, 0);
    b->SetGroupIndex(4);
    b->SetDown(true);
    b->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(doubles, 1);
    b->SetAllowAllUp(true);
    b->SetDown(false);
    b->SetGroupIndex(0);
    // Disabled, it paints disabled; enabled again, up.
    b->SetEnabled(false);
    b->Repaint();
    EXPECT_EQ(b->State(), bsDisabled);
    b->SetEnabled(true);
    b->Repaint();
    EXPECT_EQ(b->State(), bsUp);
}

// The button's paint into a memory bitmap, read back (0x00BBGGRR per pixel).
std::vector<COLORREF> Picture(TControl* b) {
    return DrawnPixels(
        [b](HDC dc) { b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); }, b->Width(),
        b->Height());
}

COLORREF Sys(int index) {
    return GetSysColor(index);
}

COLORREF Shifted(COLORREF c, int by) {
    auto ch = [&](int v) { return static_cast<BYTE>(std::clamp(v + by, 0, 255)); };
    return RGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

// The classic looks (this test program has no visual styles): the bevel of each state, the
// dither of a down button, a flat button's bare face, the hot-tracked frame, the drop-down
// mark and a transparent button over its parent.
TEST_F(SpeedButtonTest, ClassicLooksOfEachState) {
    ASSERT_FALSE(ThemeServices()->ThemesEnabled());
    auto* b = Button("", 20);
    ShowForm();
    const int w = b->Width();
    auto at = [&](const std::vector<COLORREF>& p, int x, int y) { return p[y * w + x]; };
    const COLORREF face = Sys(COLOR_BTNFACE);
    std::vector<COLORREF> p = Picture(b);
    EXPECT_EQ(at(p, 0, 0), Shifted(face, 64)) << "up: light outer top-left";
    EXPECT_EQ(at(p, w - 1, 24), Sys(COLOR_WINDOWFRAME)) << "up: window frame bottom-right";
    EXPECT_EQ(at(p, w - 2, 23), Shifted(face, -64)) << "up: dark inner bottom-right";
    EXPECT_EQ(at(p, 20, 12), face);

    b->SetGroupIndex(1);
    b->SetDown(true); // exclusive: sunken with the dither
    p = Picture(b);
    EXPECT_EQ(at(p, 0, 0), Sys(COLOR_WINDOWFRAME)) << "down: window frame outer top-left";
    const COLORREF a = at(p, 10, 10), c = at(p, 11, 10);
    EXPECT_NE(a, c) << "the dither alternates";
    EXPECT_TRUE((a == face && c == Sys(COLOR_BTNHIGHLIGHT)) ||
                (c == face && a == Sys(COLOR_BTNHIGHLIGHT)));
    b->SetAllowAllUp(true);
    b->SetDown(false);

    b->SetFlat(true); // flat, not hot: no bevel at all
    p = Picture(b);
    EXPECT_EQ(at(p, 0, 0), face);
    EXPECT_EQ(at(p, w - 1, 24), face);
    b->HotTrack = true;
    b->HotTrackOptions()->Enabled = true;
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b)); // hot
    p = Picture(b);
    EXPECT_EQ(at(p, 0, 0), ColorToRGB(b->HotTrackOptions()->FrameColor)) << "the hot frame";
    EXPECT_EQ(at(p, 20, 12), ColorToRGB(b->HotTrackOptions()->Color)) << "the hot fill";
    b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
    b->SetFlat(false);
    b->HotTrack = false;

    // The drop-down mark: a few text-coloured pixels more.
    auto dark = [&](const std::vector<COLORREF>& q) {
        int n = 0;
        for (COLORREF x : q)
            n += x == Sys(COLOR_BTNTEXT);
        return n;
    };
    const int before = dark(Picture(b));
    auto* menu = Create<TPopupMenu>(form);
    b->SetDropDownMenu(menu);
    EXPECT_EQ(dark(Picture(b)), before + 16) << "the mark's 7 + 5 + 3 + 1 pixels";

    // Transparent over a red parent: the parent shows inside the bevel (away from the mark).
    form->SetColor(clRed);
    b->SetTransparent(true);
    for (bool buffered : {true, false}) {
        b->DoubleBuffered = buffered;
        p = Picture(b);
        EXPECT_EQ(at(p, 6, 5), RGB(255, 0, 0)) << "buffered " << buffered;
        EXPECT_EQ(at(p, 0, 0), Shifted(face, 64)) << "the bevel over it";
    }
}

struct Executed : TObject {
    int count = 0;
    void Run(TObject*) { ++count; }
};

// The action link: caption, enabled state, image (with the action list's images) and hint follow
// the action; a click runs it.
TEST_F(SpeedButtonTest, TheActionLinkFollowsTheAction) {
    auto* b = Button("", 20);
    auto* images = Create<TImageList>(form);
    auto* list = Create<TActionList>(form);
    list->Images = images;
    auto* action = Create<TAction>(form);
    action->SetActionList(list);
    action->SetCaption("Go");
    action->SetHint("Go there");
    action->SetImageIndex(1);
    Executed run;
    action->OnExecute = TNotifyEvent(&run, &Executed::Run);
    b->OnClick = nullptr;
    b->SetAction(action);
    EXPECT_EQ(b->Caption(), "Go");
    EXPECT_EQ(b->Hint(), "Go there");
    EXPECT_EQ(b->Images(), images);
    EXPECT_EQ(b->ImageIndex(), 1);
    action->SetCaption("Again");
    action->SetHint("Once more");
    action->SetImageIndex(2);
    action->SetEnabled(false);
    EXPECT_EQ(b->Caption(), "Again");
    EXPECT_EQ(b->Hint(), "Once more");
    EXPECT_EQ(b->ImageIndex(), 2);
    EXPECT_FALSE(b->Enabled());
    action->SetEnabled(true);
    EXPECT_TRUE(b->Enabled());
    ShowForm();
    ClickAt(At(b));
    EXPECT_EQ(run.count, 1);
    // A grouped button that may be all up follows the check mark as Down.
    b->SetGroupIndex(7);
    b->SetAllowAllUp(true);
    action->SetChecked(true);
    EXPECT_TRUE(b->Down());
    action->SetChecked(false);
    EXPECT_FALSE(b->Down());
    b->SetAction(nullptr);
    action->SetCaption("Gone");
    EXPECT_EQ(b->Caption(), "Again") << "unlinked";
}

// The font a hot button takes: derived from Font at each change, keeping what the options
// preserve of its own.
TEST_F(SpeedButtonTest, TheHotFontFollowsTheFontAsItsOptionsSay) {
    auto* b = Button("H", 20);
    b->HotTrackFont()->SetColor(clRed);
    b->HotTrackFont()->SetName("Courier New");
    struct Case {
        TTkTrackFontOptions options;
        TColor colour;
        const char* name;
    };
    const Case cases[] = {
        {{hoFollowFont}, clBlue, "Tahoma"},
        {{hoFollowFont, hoPreserveColor}, clRed, "Tahoma"},
        {{hoFollowFont, hoPreserveName}, clBlue, "Courier New"},
        {{}, clRed, "Courier New"}, // not following at all
    };
    for (const Case& c : cases) {
        b->HotTrackFont()->SetColor(clRed);
        b->HotTrackFont()->SetName("Courier New");
        b->SetHotTrackFontOptions(c.options);
        b->Font()->SetColor(clBlue);
        b->Font()->SetName("Tahoma"); // the change re-derives the hot font
        EXPECT_EQ(b->HotTrackFont()->Color(), c.colour) << c.name;
        EXPECT_EQ(b->HotTrackFont()->Name(), c.name);
        b->Font()->SetName("Arial");
        b->Font()->SetColor(clBlack);
    }
}

TEST_F(SpeedButtonTest, AClickHandlerMayFreeTheButtonOrItsForm) {
    auto* b = Button("F", 20);
    b->OnClick = TNotifyEvent(&clicks, &Clicks::FreeIt);
    clicks.toFree = b;
    ShowForm();
    ClickAt(At(b));
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"free"}));
    EXPECT_EQ(form->ComponentCount(), 0);
    // The form this time.
    auto* other = Button("G", 20);
    other->OnClick = TNotifyEvent(&clicks, &Clicks::FreeIt);
    clicks.toFree = form;
    const POINT at = At(other);
    form = nullptr;
    ClickAt(at);
    EXPECT_EQ(clicks.log.back(), "free");
}

// Not a check: the buttons in each look side by side, held for a screenshot (run with
// --gtest_also_run_disabled_tests).
TEST_F(SpeedButtonTest, DISABLED_Showcase) {
    const char* captions[] = {"Up", "Down", "Off", "Flat", "Hot", "Menu"};
    TTkImageSpeedButton* b[6];
    for (int i = 0; i < 6; ++i) {
        b[i] = Button(captions[i], 10 + i * 62);
        b[i]->SetWidth(56);
    }
    b[1]->SetGroupIndex(1);
    b[1]->SetDown(true);
    b[2]->SetEnabled(false);
    b[3]->SetFlat(true);
    b[4]->SetFlat(true);
    b[4]->HotTrack = true;
    b[4]->HotTrackOptions()->Enabled = true;
    b[5]->SetDropDownMenu(Create<TPopupMenu>(form));
    ShowForm();
    b[4]->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b[4]));
    b[4]->Invalidate();
    PumpFor(4000);
}

} // namespace
