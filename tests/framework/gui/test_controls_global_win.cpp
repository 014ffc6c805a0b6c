#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/gui/Application_win.h"
#include "framework/gui/CustomControl_win.h"
#include "framework/gui/GraphicControl_win.h"
#include "framework/gui/Messages.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

class TTestForm : public TForm {
    FW_CLASS(TTestForm, TForm)
public:
    explicit TTestForm(TComponent* AOwner) : TForm(AOwner) {}
};

class TPanelLike : public TCustomControl {
    FW_CLASS(TPanelLike, TCustomControl)
public:
    explicit TPanelLike(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 50, 50); }
    std::vector<TSize> Sizes;

protected:
    void Resize() override {
        TCustomControl::Resize();
        Sizes.push_back({ClientWidth(), ClientHeight()});
    }
};

// A window-less control that records its mouse events and paints red.
class TBox : public TGraphicControl {
    FW_CLASS(TBox, TGraphicControl)
public:
    explicit TBox(TComponent* AOwner) : TGraphicControl(AOwner) {}
    std::vector<std::string> Events;
    int Clicks = 0;
    int Paints = 0;
    void Click() override {
        ++Clicks;
        TGraphicControl::Click();
    }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TGraphicControl::MouseDown(Button, Shift, X, Y);
        Events.push_back("down " + std::to_string(Button) + " " + std::to_string(X) + "," +
                         std::to_string(Y) + (Shift.Contains(ssDouble) ? " double" : ""));
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        TGraphicControl::MouseMove(Shift, X, Y);
        Events.push_back("move " + std::to_string(X) + "," + std::to_string(Y));
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TGraphicControl::MouseUp(Button, Shift, X, Y);
        Events.push_back("up " + std::to_string(Button) + " " + std::to_string(X) + "," +
                         std::to_string(Y));
    }
    void Paint() override {
        ++Paints;
        RECT r{0, 0, Width(), Height()};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(Canvas()->Handle(), &r, red);
        DeleteObject(red);
    }
};

class ControlTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application->CreateForm(form);
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 300, 200);
    }
    template <class T> T* Add(TWinControl* parent, TRect bounds) {
        T* c = new T(form);
        CompleteConstruction(c);
        c->SetBoundsRect(bounds);
        c->SetParent(parent);
        return c;
    }
    TTestForm* form = nullptr;
};

TEST_F(ControlTest, AlignLayoutOnRealWindowsWithBorderWidth) {
    form->SetBorderWidth(4);
    auto* top = Add<TPanelLike>(form, Bounds(0, 0, 10, 20));
    auto* bottom = Add<TPanelLike>(form, Bounds(0, 0, 10, 15));
    auto* left = Add<TPanelLike>(form, Bounds(0, 0, 30, 10));
    auto* right = Add<TPanelLike>(form, Bounds(0, 0, 25, 10));
    auto* client = Add<TPanelLike>(form, Bounds(0, 0, 10, 10));
    client->SetAlign(alClient);
    right->SetAlign(alRight);
    left->SetAlign(alLeft);
    bottom->SetAlign(alBottom);
    top->SetAlign(alTop);
    form->Show();
    EXPECT_EQ(top->BoundsRect(), Rect(4, 4, 296, 24));
    EXPECT_EQ(bottom->BoundsRect(), Rect(4, 181, 296, 196));
    EXPECT_EQ(left->BoundsRect(), Rect(4, 24, 34, 181));
    EXPECT_EQ(right->BoundsRect(), Rect(271, 24, 296, 181));
    EXPECT_EQ(client->BoundsRect(), Rect(34, 24, 271, 181));
    RECT r{};
    GetWindowRect(client->Handle(), &r);
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(Rect(r.left, r.top, r.right, r.bottom), Rect(34, 24, 271, 181));

    // Layout follows a resize of the form and a hidden child.
    form->SetBounds(100, 100, 400, 200);
    EXPECT_EQ(client->BoundsRect(), Rect(34, 24, 371, 181));
    left->Hide();
    EXPECT_EQ(client->BoundsRect(), Rect(4, 24, 371, 181));
    // Moving a child out of alignment and back (the page control's trick).
    client->SetAlign(alNone);
    client->SetBounds(50, 50, 10, 10);
    EXPECT_EQ(client->BoundsRect(), Bounds(50, 50, 10, 10));
    client->SetAlign(alClient);
    EXPECT_EQ(client->BoundsRect(), Rect(4, 24, 371, 181));
}

TEST_F(ControlTest, ResizeFollowsTheFirstSizeAtWindowCreation) {
    auto* panel = Add<TPanelLike>(form, Bounds(5, 5, 80, 40));
    panel->Sizes.clear();
    form->HandleNeeded();
    ASSERT_FALSE(panel->Sizes.empty());
    EXPECT_EQ(panel->Sizes.back(), (TSize{80, 40}));
    panel->SetBounds(5, 5, 90, 45);
    EXPECT_EQ(panel->Sizes.back(), (TSize{90, 45}));
}

TEST_F(ControlTest, WindowlessControlGetsMouseWithCaptureAndClickRules) {
    auto* box = Add<TBox>(form, Bounds(20, 30, 40, 40));
    form->Show();
    HWND h = form->Handle();
    // Press inside, drag out to the upper left (negative under capture), release outside: no click.
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 35));
    EXPECT_EQ(GetCapture(), h);
    EXPECT_EQ(CaptureControl(), box);
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(box->Clicks, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(box->Events,
              (std::vector<std::string>{"down 0 5,5", "move -10,-10", "up 0 -10,-10"}));
    // Press and release inside: one click.
    box->Events.clear();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 40));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(31, 41));
    EXPECT_EQ(box->Clicks, 1);
    // A right press never captures.
    SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 40));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(h, WM_RBUTTONUP, 0, MAKELPARAM(30, 40));
    // A double click: DblClick plus a press marked double.
    int dbl = 0;
    struct TSink {
        int* N;
        void Fire(TObject*) { ++*N; }
    } sink{&dbl};
    box->OnDblClick = TNotifyEvent(&sink, &TSink::Fire);
    box->Events.clear();
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(30, 40));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(30, 40));
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(box->Events.front(), "down 0 10,10 double");
    // Outside the box the form itself gets the press.
    box->Events.clear();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 150));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(200, 150));
    EXPECT_TRUE(box->Events.empty());
}

TEST_F(ControlTest, WindowlessControlIsPaintedAndHitTested) {
    auto* box = Add<TBox>(form, Bounds(20, 30, 40, 40));
    form->SetColor(clWhite);
    form->Show();
    // Paint into a memory DC through Perform, as buffers do.
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 300, 200);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    form->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
    form->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    EXPECT_EQ(GetPixel(mem, 25, 35) & 0xFFFFFF, RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, 59, 69) & 0xFFFFFF, RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, 60, 70) & 0xFFFFFF, RGB(255, 255, 255)); // clipped to the box
    EXPECT_EQ(GetPixel(mem, 5, 5) & 0xFFFFFF, RGB(255, 255, 255));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    // And on screen, through the real WM_PAINT.
    box->Paints = 0;
    InvalidateRect(form->Handle(), nullptr, TRUE);
    UpdateWindow(form->Handle());
    EXPECT_GE(box->Paints, 1);

    EXPECT_EQ(form->ControlAtPos(Point(25, 35), false), box);
    EXPECT_EQ(form->ControlAtPos(Point(60, 70), false), nullptr);
    box->SetEnabled(false);
    EXPECT_EQ(form->ControlAtPos(Point(25, 35), false), nullptr);
    EXPECT_EQ(form->ControlAtPos(Point(25, 35), true), box);
}

// Notifications about the child list come in the documented order.
class TListener : public TPanelLike {
    FW_CLASS(TListener, TPanelLike)
public:
    explicit TListener(TComponent* AOwner) : TPanelLike(AOwner) {}
    std::vector<std::string> Log;
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_CONTROLLISTCHANGE || m.Msg == CM_CONTROLCHANGE) {
            bool present = false;
            for (int i = 0; i < ControlCount(); ++i)
                present = present || Controls(i) == reinterpret_cast<TControl*>(m.WParam);
            Log.push_back(std::string(m.Msg == CM_CONTROLLISTCHANGE ? "list" : "change") + "(" +
                          std::to_string(m.LParam) + (present ? ",in" : ",out") + ")");
        }
        TPanelLike::WndProc(m);
    }
};

TEST_F(ControlTest, ControlListNotificationsInOrder) {
    auto* parent = Add<TListener>(form, Bounds(0, 0, 100, 100));
    auto* child = Add<TBox>(form, Bounds(0, 0, 10, 10));
    child->SetParent(parent);
    child->SetParent(nullptr);
    EXPECT_EQ(parent->Log, (std::vector<std::string>{"list(1,out)", "change(1,in)", "change(0,in)",
                                                     "list(0,out)"}));
}

TEST_F(ControlTest, ColorAndFontInheritance) {
    auto* panel = Add<TPanelLike>(form, Bounds(0, 0, 50, 50));
    panel->SetParentColor(true);
    form->SetColor(clRed);
    EXPECT_EQ(panel->Color(), clRed);
    EXPECT_TRUE(panel->ParentColor());
    panel->SetColor(clBlue);
    EXPECT_FALSE(panel->ParentColor());
    form->SetColor(clGreen);
    EXPECT_EQ(panel->Color(), clBlue);

    // The pushed-down font keeps ParentFont; the control's own change clears it.
    EXPECT_TRUE(panel->ParentFont());
    form->Font()->SetName("Courier New");
    EXPECT_EQ(panel->Font()->Name(), "Courier New");
    EXPECT_TRUE(panel->ParentFont());
    panel->Font()->SetHeight(-20);
    EXPECT_FALSE(panel->ParentFont());
    form->Font()->SetName("Tahoma");
    EXPECT_EQ(panel->Font()->Name(), "Courier New");
}

class TNativeButton : public TWinControl {
    FW_CLASS(TNativeButton, TWinControl)
public:
    explicit TNativeButton(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(true); }
    int Commands = 0;
    bool IsDefault = false;
    int DialogKeys = 0;
    void WndProc(TMessage& m) override {
        if (m.Msg == CN_COMMAND) {
            ++Commands;
            return;
        }
        if (m.Msg == CM_DIALOGKEY && m.WParam == VK_RETURN && IsDefault) {
            ++DialogKeys;
            Click();
            m.Result = 1;
            return;
        }
        TWinControl::WndProc(m);
    }

protected:
    void CreateParams(TCreateParams& P) override {
        TWinControl::CreateParams(P);
        P.WinClassName = "BUTTON";
        P.Style |= BS_PUSHBUTTON;
    }
};

TEST_F(ControlTest, NativeChildIsSubclassedAndGetsReflectedCommands) {
    auto* button = Add<TNativeButton>(form, Bounds(10, 10, 80, 25));
    button->SetCaption("OK");
    form->Show();
    HWND h = button->Handle();
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    EXPECT_STREQ(cls, "Button");
    EXPECT_EQ(TWinControl::FindControl(h), button);
    char text[16] = {};
    GetWindowTextA(h, text, sizeof text);
    EXPECT_STREQ(text, "OK");
    SendMessageA(h, BM_CLICK, 0, 0);
    EXPECT_EQ(button->Commands, 1);
    EXPECT_EQ(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY, 0);
    // Destroying the window unlinks it.
    button->Free();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(TWinControl::FindControl(h), nullptr);
}

TEST_F(ControlTest, TabMovesFocusInTabOrderAndEnterPressesTheDefault) {
    auto* a = Add<TNativeButton>(form, Bounds(10, 10, 80, 25));
    auto* b = Add<TNativeButton>(form, Bounds(10, 40, 80, 25));
    auto* c = Add<TNativeButton>(form, Bounds(10, 70, 80, 25));
    b->SetTabOrder(0); // order now b, a, c
    c->IsDefault = true;
    form->Show();
    PumpFor(30);
    struct TFocusLog {
        std::vector<std::string>* Log;
        void Enter(TObject* s) { Log->push_back("enter " + static_cast<TControl*>(s)->Name()); }
        void Exit(TObject* s) { Log->push_back("exit " + static_cast<TControl*>(s)->Name()); }
    };
    std::vector<std::string> focusLog;
    TFocusLog sink{&focusLog};
    a->SetName("A");
    b->SetName("B");
    a->OnEnter = TNotifyEvent(&sink, &TFocusLog::Enter);
    b->OnExit = TNotifyEvent(&sink, &TFocusLog::Exit);
    b->SetFocus();
    EXPECT_EQ(form->ActiveControl(), b);
    form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), a->Handle());
    EXPECT_EQ(focusLog, (std::vector<std::string>{"exit B", "enter A"}));
    EXPECT_EQ(form->ActiveControl(), a);
    form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), c->Handle());
    form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), b->Handle());
    EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
    EXPECT_EQ(c->DialogKeys, 1);
    // Through the loop: a posted Tab key becomes a dialog key.
    PostMessageA(b->Handle(), WM_KEYDOWN, VK_TAB, 0x000F0001);
    PumpUntil([&] { return GetFocus() == a->Handle(); }, 500);
    EXPECT_EQ(GetFocus(), a->Handle());
    // A hidden control is skipped; focus on it is a no-op.
    c->Hide();
    c->SetFocus();
    EXPECT_EQ(GetFocus(), a->Handle());
}

TEST_F(ControlTest, FocusRestoredWhenTheFormIsActivatedAgain) {
    auto* a = Add<TNativeButton>(form, Bounds(10, 10, 80, 25));
    auto* b = Add<TNativeButton>(form, Bounds(10, 40, 80, 25));
    (void)a;
    TTestForm* other = nullptr;
    Application->CreateForm(other);
    form->Show();
    b->SetFocus();
    other->Show();
    PumpFor(30);
    form->SetFocus();
    PumpUntil([&] { return GetFocus() == b->Handle(); }, 500);
    EXPECT_EQ(GetFocus(), b->Handle());
}

} // namespace
