#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "controls/TkExButtons_win.h"
#include "controls/TkExControls_win.h"
#include "controls/TkThemes_win.h"
#include "framework/core/Exceptions.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

// Counts each operation and how often each message reaches the framework's end.
template <class Layer> class Probe : public Layer {
public:
    using Layer::Layer;
    std::map<std::string, int> calls;
    std::map<UINT, int> reached;
    std::vector<std::string> order;
    int hitX = 0, hitY = 0;
    std::uint16_t key = 0;
    TShiftState shift;
    void DefaultHandler(TMessage& m) override {
        ++reached[m.Msg];
        if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE || m.Msg == CM_PARENTCOLORCHANGED)
            order.push_back("framework");
        Layer::DefaultHandler(m);
    }

protected:
    void Hit(const char* name) { ++calls[name]; }
    void TextChanged() override { Hit("TextChanged"), Layer::TextChanged(); }
    bool AcceptsDialogKey(std::uint16_t k, TShiftState s, const std::string& t) override {
        Hit("AcceptsDialogKey");
        key = k;
        shift = s;
        return Layer::AcceptsDialogKey(k, s, t);
    }
    bool HitTest(int x, int y) override {
        Hit("HitTest");
        hitX = x;
        hitY = y;
        return Layer::HitTest(x, y);
    }
    void FocusChanged(TWinControl* c) override { Hit("FocusChanged"), Layer::FocusChanged(c); }
    void VisibleChanged() override { Hit("VisibleChanged"), Layer::VisibleChanged(); }
    void EnabledChanged() override { Hit("EnabledChanged"), Layer::EnabledChanged(); }
    void ColorChanged() override { Hit("ColorChanged"), Layer::ColorChanged(); }
    void FontChanged() override { Hit("FontChanged"), Layer::FontChanged(); }
    void ParentFontChanged() override { Hit("ParentFontChanged"), Layer::ParentFontChanged(); }
    void ParentColorChanged() override { Hit("ParentColorChanged"), Layer::ParentColorChanged(); }
    void ParentShowHintChanged() override {
        Hit("ParentShowHintChanged"), Layer::ParentShowHintChanged();
    }
    bool HintShow(THintInfo& h) override { return Hit("HintShow"), Layer::HintShow(h); }
    void MouseEnter(TControl* c) override { Hit("MouseEnter"), Layer::MouseEnter(c); }
    void MouseLeave(TControl* c) override { Hit("MouseLeave"), Layer::MouseLeave(c); }
    void CursorChanged() override { Hit("CursorChanged"), Layer::CursorChanged(); }
    void ShowingChanged() override { Hit("ShowingChanged"), Layer::ShowingChanged(); }
    void ShowHintChanged() override { Hit("ShowHintChanged"), Layer::ShowHintChanged(); }
};

struct Notification {
    UINT msg;
    const char* operation;
    bool windowedOnly;
};
const Notification kNotifications[] = {
    {CM_DIALOGCHAR, "AcceptsDialogKey", false},
    {CM_FOCUSCHANGED, "FocusChanged", false},
    {CM_PARENTFONTCHANGED, "ParentFontChanged", false},
    {CM_PARENTCOLORCHANGED, "ParentColorChanged", false},
    {CM_HITTEST, "HitTest", false},
    {CM_VISIBLECHANGED, "VisibleChanged", false},
    {CM_ENABLEDCHANGED, "EnabledChanged", false},
    {CM_COLORCHANGED, "ColorChanged", false},
    {CM_FONTCHANGED, "FontChanged", false},
    {CM_CURSORCHANGED, "CursorChanged", true},
    {CM_TEXTCHANGED, "TextChanged", false},
    {CM_MOUSEENTER, "MouseEnter", false},
    {CM_MOUSELEAVE, "MouseLeave", false},
    {CM_SHOWINGCHANGED, "ShowingChanged", true},
    {CM_SHOWHINTCHANGED, "ShowHintChanged", true},
    {CM_PARENTSHOWHINTCHANGED, "ParentShowHintChanged", false},
};

class BaseLayerTest : public ControlsTest {
protected:
    template <class Layer>
    void EachNotificationReachesItsOperationOnce(Probe<Layer>* probe, bool windowed) {
        THintInfo hint;
        for (const Notification& n : kNotifications) {
            if (n.windowedOnly && !windowed)
                continue;
            SCOPED_TRACE(n.operation);
            probe->calls.clear();
            probe->reached.clear();
            probe->Perform(n.msg, 0, reinterpret_cast<LPARAM>(probe));
            EXPECT_EQ(probe->calls[n.operation], 1);
            EXPECT_EQ(probe->reached[n.msg], 1) << "the framework hears it exactly once";
        }
        probe->calls.clear();
        probe->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&hint));
        EXPECT_EQ(probe->calls["HintShow"], 1);
        // Signed 16-bit halves of the point.
        probe->Perform(CM_HITTEST, 0, static_cast<LPARAM>(PointToLParam({-3, 7})));
        EXPECT_EQ(probe->hitX, -3);
        EXPECT_EQ(probe->hitY, 7);
        EXPECT_EQ(probe->Perform(CM_HITTEST, 0, static_cast<LPARAM>(PointToLParam({2, 2}))), 1);
        // 16-bit key, Alt from the key data.
        probe->Perform(CM_DIALOGCHAR, 0x10041, 0x20000000);
        EXPECT_EQ(probe->key, 0x41);
        EXPECT_TRUE(probe->shift.Contains(ssAlt));
        EXPECT_EQ(probe->Perform(CM_TKINTERFACEQUERY), 0);
    }
};

TEST_F(BaseLayerTest, GraphicCopyDispatchesEveryNotification) {
    auto* probe = Create<Probe<TTkExGraphicControl>>(form);
    probe->SetBounds(10, 10, 40, 20);
    probe->SetParent(form);
    EachNotificationReachesItsOperationOnce(probe, false);
}

TEST_F(BaseLayerTest, SpeedButtonCopyDispatchesEveryNotification) {
    auto* probe = Create<Probe<TTkExSpeedButton>>(form);
    probe->SetBounds(10, 10, 40, 20);
    probe->SetParent(form);
    EachNotificationReachesItsOperationOnce(probe, false);
}

TEST_F(BaseLayerTest, WindowedCopyDispatchesEveryNotification) {
    auto* probe = Create<Probe<TTkExCustomControl>>(form);
    probe->SetBounds(10, 10, 40, 20);
    probe->SetParent(form);
    EachNotificationReachesItsOperationOnce(probe, true);
}

TEST_F(BaseLayerTest, EventsComeAroundTheFrameworkInOrder) {
    auto* probe = Create<Probe<TTkExCustomControl>>(form);
    probe->SetParent(form);
    struct Recorder : TObject {
        std::vector<std::string>* order = nullptr;
        void Enter(TObject*) { order->push_back("enter"); }
        void Leave(TObject*) { order->push_back("leave"); }
        void ParentColour(TObject*) { order->push_back("parent colour"); }
    } recorder;
    recorder.order = &probe->order;
    probe->OnMouseEnter = TNotifyEvent(&recorder, &Recorder::Enter);
    probe->OnMouseLeave = TNotifyEvent(&recorder, &Recorder::Leave);
    probe->OnParentColorChange = TNotifyEvent(&recorder, &Recorder::ParentColour);
    probe->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(probe));
    EXPECT_TRUE(probe->MouseOver());
    probe->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(probe));
    EXPECT_FALSE(probe->MouseOver());
    probe->Perform(CM_PARENTCOLORCHANGED);
    const std::vector<std::string> expected = {"enter", "framework", "framework",
                                               "leave", "framework", "parent colour"};
    EXPECT_EQ(probe->order, expected);
}

// The list-change defaults give the notification to the inherited handler:
// through Perform they would recurse without end.
TEST_F(BaseLayerTest, ListChangeDefaultsDoNotComeBack) {
    auto* parent = Create<Probe<TTkExCustomControl>>(form);
    parent->SetParent(form);
    auto* child = Create<TTkGraphicControl>(form);
    child->SetParent(parent);
    EXPECT_EQ(parent->reached[CM_CONTROLLISTCHANGE], 1);
    EXPECT_EQ(parent->reached[CM_CONTROLCHANGE], 1);
    child->SetParent(nullptr);
    EXPECT_EQ(parent->reached[CM_CONTROLLISTCHANGE], 2);
    EXPECT_EQ(parent->reached[CM_CONTROLCHANGE], 2);
}

class DlgProbe : public TTkExCustomControl {
public:
    using TTkExCustomControl::TTkExCustomControl;
    bool dropNative = false;
    TTkDialogCodes codes{dcWantArrows};
    bool raise = false;

protected:
    void GetDlgCode(TTkDialogCodes& c) override {
        if (dropNative)
            c = codes;
    }
    bool EraseBackground(TCanvas* canvas, LPARAM) override {
        SetWindowOrgEx(canvas->Handle(), 5, 5, nullptr);
        IntersectClipRect(canvas->Handle(), 0, 0, 2, 2);
        if (raise)
            throw Exception("erase failed");
        return true;
    }
    void DefaultHandler(TMessage& m) override {
        TTkExCustomControl::DefaultHandler(m);
        if (m.Msg == WM_GETDLGCODE)
            m.Result = DLGC_WANTCHARS | DLGC_DEFPUSHBUTTON;
    }
};

TEST_F(BaseLayerTest, DialogCodesKeepTheNativeAnswerUnlessDropped) {
    auto* probe = Create<DlgProbe>(form);
    probe->SetParent(form);
    EXPECT_EQ(probe->Perform(WM_GETDLGCODE), DLGC_WANTCHARS | DLGC_DEFPUSHBUTTON);
    probe->dropNative = true;
    EXPECT_EQ(probe->Perform(WM_GETDLGCODE), DLGC_WANTARROWS);
    probe->codes = {dcWantTab, dcButton, dcWantAllKeys};
    EXPECT_EQ(probe->Perform(WM_GETDLGCODE), DLGC_WANTTAB | DLGC_BUTTON | DLGC_WANTALLKEYS);
}

TEST_F(BaseLayerTest, ARaisingEraseLeavesTheDCAsItWas) {
    auto* probe = Create<DlgProbe>(form);
    probe->SetParent(form);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    for (bool raise : {false, true}) {
        SCOPED_TRACE(raise);
        probe->raise = raise;
        const int level = SaveDC(dc);
        RestoreDC(dc, level);
        if (raise)
            EXPECT_THROW(probe->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), Exception);
        else
            EXPECT_EQ(probe->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), 1);
        POINT origin{};
        GetWindowOrgEx(dc, &origin);
        EXPECT_EQ(origin.x, 0);
        HRGN clip = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetClipRgn(dc, clip), 0) << "no clip region left behind";
        DeleteObject(clip);
        EXPECT_EQ(SaveDC(dc), level) << "the save level is back";
        RestoreDC(dc, -1);
    }
    DeleteDC(dc);
}

TEST_F(BaseLayerTest, HintColourClimbsTheParents) {
    Application->HintColor = clAqua;
    auto* outer = Create<TTkExCustomControl>(form);
    outer->SetParent(form);
    outer->HintColor = clRed;
    auto* middle = Create<TTkExCustomControl>(form);
    middle->SetParent(outer);
    auto* inner = Create<TTkExGraphicControl>(form);
    inner->SetParent(middle);
    THintInfo info;
    inner->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.HintColor, clRed);
    inner->HintColor = clNone;
    inner->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.HintColor, clAqua);
    inner->HintColor = clLime;
    inner->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.HintColor, clLime);
}

// A parent whose background tells its rows apart: red above row 35, blue below.
class RowsParent : public TTkExCustomControl {
public:
    using TTkExCustomControl::TTkExCustomControl;

protected:
    bool EraseBackground(TCanvas* canvas, LPARAM) override {
        canvas->Brush()->SetColor(clRed);
        canvas->FillRect(Rect(0, 0, 200, 35));
        canvas->Brush()->SetColor(clBlue);
        canvas->FillRect(Rect(0, 35, 200, 200));
        return true;
    }
};

TEST_F(BaseLayerTest, AControlAwayFromTheOriginIsErasedWhole) {
    ASSERT_TRUE(CurrentThemeServices()->ThemesEnabled());
    auto* parent = Create<RowsParent>(form);
    parent->SetBounds(0, 0, 200, 200);
    parent->SetParent(form);
    for (int top : {0, 20}) {
        SCOPED_TRACE(top);
        auto* child = Create<TTkGraphicControl>(form);
        child->SetBounds(0, top, 40, 30);
        child->SetParent(parent);
        child->SetColor(parent->Color());
        TBitmap* target = Create<TBitmap>();
        target->SetPixelFormat(pf24bit);
        target->Canvas()->Brush()->SetColor(clLime);
        target->SetSize(40, 30);
        target->Canvas()->FillRect(Rect(0, 0, 40, 30));
        PaintControlBackground(child, target->Canvas(), Rect(0, 0, 40, 30), false, child->Color());
        // Row r of the child shows row top + r of the parent, to the last row.
        for (int row : {0, 14, 15, 29})
            EXPECT_EQ(target->Canvas()->Pixel(39, row), top + row < 35 ? clRed : clBlue) << row;
        target->Free();
        child->Free();
    }
}

TEST_F(BaseLayerTest, ThemeStyleFlags) {
    auto* c = Create<TTkExGraphicControl>(form);
    AddThemeStyleFlags(c, 0xFFFFFFFF);
    EXPECT_EQ(ReadThemeStyleFlags(c), 0x60000u);
    EXPECT_TRUE(c->ControlStyle.Contains(csParentBackground));
    RemoveThemeStyleFlags(c, 0x20000);
    EXPECT_EQ(ReadThemeStyleFlags(c), 0x40000u);
}

// Notifications carry object pointers: from the window system (another
// thread or process) they are dropped; in-process Perform still works.
TEST_F(BaseLayerTest, NotificationsFromOutsideAreDropped) {
    auto* probe = Create<Probe<TTkExCustomControl>>(form);
    probe->SetParent(form);
    ShowForm();
    HWND window = probe->Handle();
    probe->calls.clear();
    std::atomic<bool> done{false};
    std::thread outside([window, &done] {
        SendMessageA(window, CM_MOUSEENTER, 0, 0x12345678);
        SendMessageA(window, CM_HINTSHOW, 0, 0x12345678);
        SendMessageA(window, CM_CONTROLCHANGE, 0x12345678, 1);
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    outside.join();
    EXPECT_TRUE(probe->calls.empty());
    EXPECT_FALSE(probe->MouseOver());
    probe->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(probe));
    EXPECT_EQ(probe->calls["MouseEnter"], 1);
}

} // namespace
