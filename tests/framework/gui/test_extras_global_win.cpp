#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/CustomControl_win.h"
#include "framework/gui/GraphicControl_win.h"
#include "framework/gui/Messages.h"
#include "framework/gui/Screen_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

class TPlainForm : public TForm {
    FW_CLASS(TPlainForm, TForm)
public:
    explicit TPlainForm(TComponent* AOwner) : TForm(AOwner) {}
};

// Records the notifications a control hears about the mouse and hints.
class TSpot : public TGraphicControl {
    FW_CLASS(TSpot, TGraphicControl)
public:
    explicit TSpot(TComponent* AOwner) : TGraphicControl(AOwner) {}
    std::vector<std::string> Log;
    std::string ReplaceHint;
    bool Veto = false;
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE)
            Log.push_back(std::string(m.Msg == CM_MOUSEENTER ? "enter" : "leave") +
                          (m.LParam == reinterpret_cast<LPARAM>(this) ? ":self" : ":other"));
        if (m.Msg == CM_HINTSHOW) {
            auto* info = reinterpret_cast<THintInfo*>(m.LParam);
            Log.push_back("hint:" + info->HintStr + (info->HintControl == this ? ":self" : ""));
            if (!ReplaceHint.empty())
                info->HintStr = ReplaceHint;
            m.Result = Veto ? 1 : 0;
            return;
        }
        TGraphicControl::WndProc(m);
    }
};

class ExtrasTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application->CreateForm(form);
        form->SetBorderStyle(bsNone);
        form->SetBounds(200, 200, 200, 120);
        spot = new TSpot(form);
        CompleteConstruction(spot);
        spot->SetBounds(10, 10, 50, 40);
        spot->SetParent(form);
        form->Show();
        timer = SetTimer(nullptr, 0, 10, nullptr); // wakes the idle wait
    }
    void TearDown() override {
        KillTimer(nullptr, timer);
        GuiTest::TearDown();
    }
    // Runs the application's own loop (idle work included) for a while.
    void Loop(DWORD ms) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms)
            Application->HandleMessage();
    }
    // Runs the loop until `done` answers true or `ms` have passed.
    template <class F> void LoopUntil(F done, DWORD ms) {
        const DWORD start = GetTickCount();
        while (!done() && GetTickCount() - start < ms)
            Application->HandleMessage();
    }
    TPlainForm* form = nullptr;
    TSpot* spot = nullptr;
    UINT_PTR timer = 0;
};

TEST_F(ExtrasTest, MouseEnterAndLeaveReachTheWindowlessControlItself) {
    struct THook {
        TSpot* Spot;
        TWndMethod Saved;
        void Proc(TMessage& m) {
            if (m.Msg == WM_MOUSELEAVE)
                Spot->Log.push_back("WM_MOUSELEAVE");
            Saved(m);
        }
    } hook{spot, form->WindowProc};
    form->WindowProc = TWndMethod(&hook, &THook::Proc);
    // Each move is drained before the next: under load the system may still deliver a move
    // to the first point after the pointer has left it.
    ASSERT_TRUE(mouse_input::MoveTo({200 + 20, 200 + 20}));
    LoopUntil([&] { return !spot->Log.empty(); }, 1000);
    Loop(150);
    ASSERT_TRUE(mouse_input::MoveTo({200 + 150, 200 + 100}));
    LoopUntil([&] { return spot->Log.size() >= 2; }, 1000);
    Loop(150);
    form->WindowProc = hook.Saved;
    // A loaded X server may echo a move late, so the pair can repeat; what matters is that the
    // control itself hears them, in pairs, and that the pointer ends outside it.
    ASSERT_GE(spot->Log.size(), 2u);
    for (size_t i = 0; i < spot->Log.size(); ++i)
        EXPECT_EQ(spot->Log[i], i % 2 == 0 ? "enter:self" : "leave:self") << "entry " << i;
    EXPECT_EQ(spot->Log.size() % 2, 0u);
    EXPECT_EQ(MouseControl(), form);
}

TEST_F(ExtrasTest, HintShowsAfterThePauseThroughTheNotification) {
    spot->SetHint("Switch to desktop 1");
    spot->SetShowHint(true);
    spot->ReplaceHint = "Desktop 1";
    Application->HintPause = 50;
    ASSERT_TRUE(mouse_input::MoveTo({200 + 20, 200 + 20}));
    LoopUntil([] { return Application->HintWindow() && Application->HintWindow()->Active(); },
              3000);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_TRUE(Application->HintWindow()->Active());
    EXPECT_EQ(spot->Log.back(), "hint:Switch to desktop 1:self");
    HWND hint = Application->HintWindow()->Handle();
    EXPECT_TRUE(IsWindowVisible(hint));
    EXPECT_EQ(Application->HintWindow()->Caption(), "Desktop 1");
    EXPECT_EQ(GetWindow(hint, GW_OWNER), Application->Handle());
    EXPECT_NE(GetWindowLongA(hint, GWL_STYLE) & WS_POPUP, 0);
    // Leaving hides it.
    ASSERT_TRUE(mouse_input::MoveTo({200 + 150, 200 + 100}));
    LoopUntil([&] { return !IsWindowVisible(hint); }, 2000);
    EXPECT_FALSE(IsWindowVisible(hint));
}

TEST_F(ExtrasTest, HintVetoedByTheControl) {
    spot->SetHint("x");
    spot->SetShowHint(true);
    spot->Veto = true;
    Application->HintPause = 30;
    SetCursorPos(200 + 20, 200 + 20);
    Loop(200);
    EXPECT_TRUE(Application->HintWindow() == nullptr || !Application->HintWindow()->Active());
}

TEST_F(ExtrasTest, ScreenCursorsAndTheGlobalOverride) {
    for (TCursor id : {crDrag, crMultiDrag, crNoDrop, crArrow, crIBeam, crHandPoint, TCursor(100)})
        EXPECT_NE(Screen->Cursors(id), nullptr) << id;
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    Screen->SetCursors(100, cross);
    EXPECT_EQ(Screen->Cursors(100), cross);
    Screen->SetCursor(crHourGlass);
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    Screen->SetCursor(crDefault);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(Screen->PixelsPerInch(), 96);
    EXPECT_EQ(Screen->ActiveForm(), form);
}

class TFailingPaint : public TCustomControl {
    FW_CLASS(TFailingPaint, TCustomControl)
public:
    explicit TFailingPaint(TComponent* AOwner) : TCustomControl(AOwner) {}

protected:
    void Paint() override {
        SetTextColor(Canvas()->Handle(), RGB(1, 2, 3));
        SetViewportOrgEx(Canvas()->Handle(), 7, 9, nullptr);
        throw Exception("paint failed");
    }
};

TEST_F(ExtrasTest, PrintClientKeepsTheDeviceContextAlsoOnARaise) {
    auto* c = new TFailingPaint(form);
    CompleteConstruction(c);
    c->SetBounds(0, 0, 40, 40);
    c->SetParent(form);
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(9, 9, 9));
    EXPECT_THROW(c->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT), Exception);
    EXPECT_EQ(GetTextColor(dc), RGB(9, 9, 9));
    POINT org{};
    GetViewportOrgEx(dc, &org);
    EXPECT_EQ(org.x, 0);
    DeleteDC(dc);
}

class TTestMenu : public TPopupMenuBase {
    FW_CLASS(TTestMenu, TPopupMenuBase)
public:
    explicit TTestMenu(TComponent* AOwner) : TPopupMenuBase(AOwner) {}
    std::vector<TPoint> Popups;
    void Popup(int X, int Y) override { Popups.push_back(Point(X, Y)); }
};

TEST_F(ExtrasTest, ContextMenuPopsUpTheControlsMenu) {
    auto* menu = Create<TTestMenu>(form);
    form->SetPopupMenu(menu);
    SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()),
                 MAKELPARAM(230, 240));
    SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), -1);
    ASSERT_EQ(menu->Popups.size(), 2u);
    EXPECT_EQ(menu->Popups[0], Point(230, 240));
    EXPECT_EQ(menu->Popups[1], form->ClientToScreen(Point(100, 60)));
    EXPECT_EQ(menu->PopupComponent, form);
    menu->Free();
    EXPECT_EQ(form->PopupMenu(), nullptr);
}

TEST_F(ExtrasTest, HelpCommandAsksTheSlotFirst) {
    struct THelp {
        std::vector<int> Commands;
        bool Handler(std::uint16_t Command, std::intptr_t, bool& CallHelp) {
            Commands.push_back(Command);
            CallHelp = false;
            return true;
        }
    } help;
    Application->HelpFile = "missing.hlp";
    Application->OnHelp = THelpEvent(&help, &THelp::Handler);
    EXPECT_TRUE(Application->HelpCommand(15, 0));
    EXPECT_EQ(help.Commands, std::vector<int>{15});
}

} // namespace
