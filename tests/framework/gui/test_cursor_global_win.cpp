// The mouse cursor of a framework window (WM_SETCURSOR): the screen's global
// cursor when one is set, else the cursor of the control under the pointer
// (window-less controls looked up by the window they sit on), else the
// window's default. Moves the real pointer, hence global.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/gui/Application_win.h"
#include "framework/gui/CustomControl_win.h"
#include "framework/gui/GraphicControl_win.h"
#include "framework/gui/Screen_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

class TCursorForm : public TForm {
    FW_CLASS(TCursorForm, TForm)
public:
    explicit TCursorForm(TComponent* AOwner) : TForm(AOwner) {}
};

class TSpot : public TGraphicControl {
    FW_CLASS(TSpot, TGraphicControl)
public:
    explicit TSpot(TComponent* AOwner) : TGraphicControl(AOwner) {}
};

class TPanel : public TCustomControl {
    FW_CLASS(TPanel, TCustomControl)
public:
    explicit TPanel(TComponent* AOwner) : TCustomControl(AOwner) {}
};

// The form at (300, 300), client coordinates below:
//   (10,10)-(60,50)    window-less, crHandPoint
//   (70,10)-(110,50)   window-less, crDefault
//   (120,10)-(180,70)  windowed panel, crSizeAll, holding
//     (125,15)-(145,35)  window-less, crIBeam
//   elsewhere          the form, crCross
class CursorTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application->CreateForm(form);
        form->SetBorderStyle(bsNone);
        form->SetBounds(300, 300, 200, 120);
        form->SetCursor(crCross);
        Add<TSpot>(form, 10, 10, 50, 40)->SetCursor(crHandPoint);
        Add<TSpot>(form, 70, 10, 40, 40);
        panel = Add<TPanel>(form, 120, 10, 60, 60);
        panel->SetCursor(crSizeAll);
        Add<TSpot>(panel, 5, 5, 20, 20)->SetCursor(crIBeam);
        form->Show();
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }));
    }
    void TearDown() override {
        if (Screen != nullptr)
            Screen->SetCursor(crDefault);
        GuiTest::TearDown();
    }
    template <class T> T* Add(TWinControl* parent, int left, int top, int width, int height) {
        T* control = new T(form);
        CompleteConstruction(control);
        control->SetBounds(left, top, width, height);
        control->SetParent(parent);
        return control;
    }
    // Stands the pointer on a client point of the form, lets the system's
    // own cursor messages pass, then asks the window under it again.
    HCURSOR CursorAt(int x, int y) {
        const POINT at{300 + x, 300 + y};
        EXPECT_TRUE(mouse_input::MoveTo(at));
        Application->ProcessMessages();
        HWND window = WindowFromPoint(at);
        ::SetCursor(LoadCursorA(nullptr, IDC_NO)); // a cursor no case expects
        SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }
    TCursorForm* form = nullptr;
    TPanel* panel = nullptr;
};

TEST_F(CursorTest, ScreenCursorElseControlUnderThePointElseDefault) {
    struct Case {
        int X, Y;
        TCursor Global;
        TCursor Expected; // crDefault: the window class's arrow
        const char* What;
    };
    const Case cases[] = {
        {20, 20, crDefault, crHandPoint, "window-less control"},
        {80, 20, crDefault, crDefault, "window-less control without a cursor"},
        {150, 100, crDefault, crCross, "the form itself"},
        {170, 60, crDefault, crSizeAll, "windowed control"},
        {130, 20, crDefault, crIBeam, "window-less control on the windowed one"},
        {20, 20, crHourGlass, crHourGlass, "global over a window-less control"},
        {150, 100, crHourGlass, crHourGlass, "global over the form"},
        {130, 20, crHourGlass, crHourGlass, "global over the windowed control's child"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Screen->SetCursor(c.Global);
        const HCURSOR expected =
            c.Expected == crDefault ? LoadCursorA(nullptr, IDC_ARROW) : Screen->Cursors(c.Expected);
        EXPECT_EQ(CursorAt(c.X, c.Y), expected);
    }
}

// Clearing the global cursor hands the pointer back to the control under
// it without a mouse move.
TEST_F(CursorTest, ClearingTheScreenCursorRestoresTheControlsCursor) {
    ASSERT_EQ(CursorAt(20, 20), Screen->Cursors(crHandPoint));
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(GetCursor(), Screen->Cursors(crHourGlass));
    Screen->SetCursor(crDefault);
    EXPECT_TRUE(PumpUntil([] { return GetCursor() == Screen->Cursors(crHandPoint); }));
}

} // namespace
