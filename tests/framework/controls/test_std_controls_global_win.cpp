#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <thread>
#include <vector>

#include "framework/controls/Button_win.h"
#include "framework/controls/CheckBox_win.h"
#include "framework/controls/ComboBox_win.h"
#include "framework/controls/Edit_win.h"
#include "framework/controls/HotKey_win.h"
#include "framework/controls/Panel_win.h"
#include "framework/controls/RadioGroup_win.h"
#include "framework/controls/Splitter_win.h"
#include "framework/controls/StaticText_win.h"
#include "framework/controls/StatusBar_win.h"
#include "framework/gui/Messages.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/fixtures/WinFarmClient_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

struct Counter : TObject {
    int count = 0;
    void Hit(TObject*) { ++count; }
};

class StdControlsTest : public ControlsTest {};

TEST_F(StdControlsTest, CheckBoxFiresOnClickOnRealChangesOnly) {
    ShowForm();
    Counter c;
    auto* box = Create<TCheckBox>(form);
    box->SetCaption("Hide the tray icon");
    box->OnClick = TNotifyEvent(&c, &Counter::Hit);
    box->SetChecked(true);  // before the window exists
    EXPECT_EQ(c.count, 1);
    box->SetParent(form);
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    box->SetChecked(true);
    EXPECT_EQ(c.count, 1);
    box->SetChecked(false);
    EXPECT_EQ(c.count, 2);
    // A user's click: BN_CLICKED toggles once, one OnClick.
    SendMessageA(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(c.count, 3);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(StdControlsTest, CheckBoxMouseClickFiresOnce) {
    ShowForm();
    Counter c;
    auto* box = Create<TCheckBox>(form);
    box->SetBounds(20, 20, 120, 20);
    box->SetCaption("Click me");
    box->SetParent(form);
    box->OnClick = TNotifyEvent(&c, &Counter::Hit);
    PumpFor(50);
    const TPoint p = box->ClientToScreen(Point(8, 10));
    ASSERT_TRUE(mouse_input::Click(POINT{p.X, p.Y}));
    PumpUntil([&] { return c.count > 0; });
    PumpFor(100);
    EXPECT_EQ(c.count, 1);
    EXPECT_TRUE(box->Checked());
}

TEST_F(StdControlsTest, RadioGroupItemIndexFiresOnClickOnChange) {
    ShowForm();
    Counter c;
    auto* group = Create<TRadioGroup>(form);
    group->SetBounds(10, 10, 200, 100);
    group->SetParent(form);
    group->SetCaption("Position");
    group->Items()->Add("Top");
    group->Items()->Add("Bottom");
    group->SetColumns(2);
    group->OnClick = TNotifyEvent(&c, &Counter::Hit);
    ASSERT_EQ(group->ButtonCount(), 2);
    group->SetItemIndex(1);
    EXPECT_EQ(c.count, 1);
    group->SetItemIndex(1);
    EXPECT_EQ(c.count, 1);
    EXPECT_EQ(SendMessageA(group->Buttons(1)->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(group->Buttons(0)->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_EQ(c.count, 2);
    EXPECT_EQ(SendMessageA(group->Buttons(1)->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_GT(group->Buttons(1)->Left(), group->Buttons(0)->Left());
}

TEST_F(StdControlsTest, ComboBoxItemIndexFromCodeIsSilentUserSelectionIsNot) {
    ShowForm();
    Counter c;
    auto* combo = Create<TComboBox>(form);
    combo->Items()->Add("Centre");  // kept before the window exists
    combo->Items()->Add("Tile");
    combo->Items()->Add("Stretch");
    combo->SetItemIndex(1);
    combo->OnChange = TNotifyEvent(&c, &Counter::Hit);
    combo->SetParent(form);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCURSEL, 0, 0), 1);
    combo->SetItemIndex(2);
    EXPECT_EQ(c.count, 0);
    combo->SetFocus();
    PumpFor(50);
    ASSERT_EQ(winfarm::SendKeys("Up"), 0u);
    PumpUntil([&] { return c.count > 0; });
    EXPECT_EQ(c.count, 1);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_LT(combo->Height(), 40);
}

TEST_F(StdControlsTest, EditOnChangeOncePerRealChangeWithOrWithoutWindow) {
    ShowForm();
    Counter c;
    auto* edit = Create<TEdit>(form);
    edit->OnChange = TNotifyEvent(&c, &Counter::Hit);
    edit->SetText("abc");
    EXPECT_EQ(c.count, 1);
    edit->SetText("abc");
    EXPECT_EQ(c.count, 1);
    edit->SetParent(form);
    char text[32] = {};
    GetWindowTextA(edit->Handle(), text, sizeof(text));
    EXPECT_STREQ(text, "abc");
    edit->SetText("\xC4pfel");  // stored as given
    EXPECT_EQ(c.count, 2);
    EXPECT_EQ(edit->Text(), "\xC4pfel");
    edit->SetFocus();
    PumpFor(50);
    edit->SelectAll();
    ASSERT_EQ(winfarm::SendKeys("Delete"), 0u);
    PumpUntil([&] { return c.count > 2; });
    EXPECT_EQ(c.count, 3);
    EXPECT_EQ(edit->Text(), "");
    edit->SetMaxLength(2);
    edit->SetText("xy");
    edit->SetSelStart(1);
    edit->SetSelLength(1);
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 1);
    edit->SetModified(true);
    EXPECT_TRUE(edit->Modified());
}

TEST_F(StdControlsTest, DefaultAndCancelButtonsTakeEnterAndEscAndEndShowModal) {
    Counter ok, cancel;
    auto* okButton = Create<TButton>(form);
    okButton->SetParent(form);
    okButton->SetDefault(true);
    okButton->ModalResult = mrOk;
    okButton->OnClick = TNotifyEvent(&ok, &Counter::Hit);
    auto* cancelButton = Create<TButton>(form);
    cancelButton->SetParent(form);
    cancelButton->SetCancel(true);
    cancelButton->ModalResult = mrCancel;
    cancelButton->OnClick = TNotifyEvent(&cancel, &Counter::Hit);
    EXPECT_NE(GetWindowLongA(okButton->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
    EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 0);  // hidden form: no focus possible
    RunLater(300, [&] { form->Perform(CM_DIALOGKEY, VK_RETURN, 0); });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(ok.count, 1);
    RunLater(300, [&] { form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0); });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(cancel.count, 1);
    EXPECT_EQ(ok.count, 1);
}

TEST_F(StdControlsTest, HotKeyFromCodeBypassesRulesAndIsSilent) {
    ShowForm();
    Counter c;
    auto* hk = Create<THotKey>(form);
    hk->OnChange = TNotifyEvent(&c, &Counter::Hit);
    hk->SetHotKey('A');  // no modifier: stored as it is
    hk->SetParent(form);
    EXPECT_EQ(hk->HotKey(), 'A');
    const TShortCut ctrlEnd = ShortCut(VK_END, {ssCtrl});
    hk->SetHotKey(ctrlEnd);
    const LRESULT native = SendMessageA(hk->Handle(), HKM_GETHOTKEY, 0, 0);
    EXPECT_EQ(LOBYTE(native), VK_END);
    EXPECT_EQ(HIBYTE(native), HOTKEYF_CONTROL | HOTKEYF_EXT);
    EXPECT_EQ(hk->HotKey(), ctrlEnd);
    EXPECT_EQ(c.count, 0);
    // The user's key without a modifier gets Alt.
    hk->SetFocus();
    PumpFor(50);
    ASSERT_EQ(winfarm::SendKeys("B"), 0u);
    PumpUntil([&] { return c.count > 0; });
    EXPECT_GE(c.count, 1);
    EXPECT_EQ(hk->HotKey(), ShortCut('B', {ssAlt}));
    EXPECT_FALSE(hk->DoubleBuffered);
}

TEST(HotKeyValues, ConvertBothWays) {
    struct Case { TShortCut shortCut; unsigned native; };
    const Case cases[] = {
        {static_cast<TShortCut>('1' | scAlt), '1' | (HOTKEYF_ALT << 8)},
        {static_cast<TShortCut>('Q' | scCtrl | scShift), 'Q' | ((HOTKEYF_CONTROL | HOTKEYF_SHIFT) << 8)},
        {static_cast<TShortCut>(VK_LEFT | scCtrl | scAlt), VK_LEFT | ((HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT) << 8)},
        {0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortCutToHotKeyValue(c.shortCut), c.native);
        EXPECT_EQ(HotKeyValueToShortCut(c.native), c.shortCut);
    }
    EXPECT_EQ(HotKeyValueToShortCut(HOTKEYF_ALT << 8), 0);  // modifiers without a key
}

TEST_F(StdControlsTest, StatusBarSimpleTextAtTheBottom) {
    ShowForm();
    auto* bar = Create<TStatusBar>(form);
    bar->SetSimpleText("  Active Desktop: 1");
    bar->SetParent(form);
    EXPECT_EQ(bar->Height(), 19);
    EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
    EXPECT_EQ(bar->Width(), form->ClientWidth());
    EXPECT_NE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0), 0);
    EXPECT_EQ(bar->WindowSimpleText(), "  Active Desktop: 1");
    bar->SetSimpleText("  Active Desktop: 2");
    EXPECT_EQ(bar->WindowSimpleText(), "  Active Desktop: 2");
}

// The window's parts: right edges and texts.
struct TBarParts {
    std::vector<int> Edges;
    std::vector<std::string> Texts;
    bool operator==(const TBarParts&) const = default;
};

void PrintTo(const TBarParts& parts, std::ostream* os) {
    for (size_t i = 0; i < parts.Edges.size(); ++i)
        *os << (i ? ", " : "") << parts.Edges[i] << ":" << parts.Texts[i];
}

TBarParts PartsOf(TStatusBar* bar) {
    TBarParts parts;
    int edges[16] = {};
    const int count = static_cast<int>(
        SendMessageA(bar->Handle(), SB_GETPARTS, 16, reinterpret_cast<LPARAM>(edges)));
    for (int i = 0; i < count; ++i) {
        char text[64] = {};
        SendMessageA(bar->Handle(), SB_GETTEXTA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text));
        parts.Edges.push_back(edges[i]);
        parts.Texts.emplace_back(text);
    }
    return parts;
}

TEST_F(StdControlsTest, StatusBarPanelsMadeBeforeTheWindowAndChangedAfter) {
    ShowForm();
    auto* bar = Create<TStatusBar>(form);
    bar->SetSimplePanel(false);
    TStatusPanel* desk = bar->Panels()->Add();
    desk->SetText("Desktop 1");
    desk->SetWidth(100);
    bar->Panels()->Add()->SetText("3 windows");
    bar->SetParent(form);
    EXPECT_EQ(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0), 0);
    EXPECT_EQ(PartsOf(bar), (TBarParts{{100, -1}, {"Desktop 1", "3 windows"}}))
        << "the last part reaches the end";

    desk->SetText("Desktop 2");
    bar->Panels()->Items(1)->SetWidth(70);
    bar->Panels()->Add()->SetText("idle");
    EXPECT_EQ(PartsOf(bar), (TBarParts{{100, 170, -1}, {"Desktop 2", "3 windows", "idle"}}));
    bar->Panels()->Delete(0);
    desk = nullptr;
    EXPECT_EQ(PartsOf(bar), (TBarParts{{70, -1}, {"3 windows", "idle"}}));
    // Kept over a new window.
    bar->RecreateWnd();
    EXPECT_EQ(PartsOf(bar), (TBarParts{{70, -1}, {"3 windows", "idle"}}));
    bar->SetSimplePanel(true);
    EXPECT_NE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0), 0);
}

TEST_F(StdControlsTest, StaticTextWithoutAccelCharHasNoPrefixStyle) {
    auto* text = Create<TStaticText>(form);
    text->SetCaption("Line one\r\nA && B");
    text->SetParent(form);
    EXPECT_EQ(GetWindowLongA(text->Handle(), GWL_STYLE) & SS_NOPREFIX, 0);
    text->SetShowAccelChar(false);
    EXPECT_NE(GetWindowLongA(text->Handle(), GWL_STYLE) & SS_NOPREFIX, 0);
    char buffer[64] = {};
    GetWindowTextA(text->Handle(), buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "Line one\r\nA && B");
}

TEST_F(StdControlsTest, SplitterResizesItsNeighbourWithinTheConstraints) {
    ShowForm();
    auto* side = Create<TPanel>(form);
    side->SetAlign(alLeft);
    side->SetWidth(150);
    side->SetConstraints(TSizeConstraints{122, 0, 0, 0});
    side->SetParent(form);
    auto* splitter = Create<TSplitter>(form);
    splitter->SetWidth(4);
    splitter->SetLeft(200);
    splitter->SetParent(form);
    auto* rest = Create<TPanel>(form);
    rest->SetAlign(alClient);
    rest->SetParent(form);
    ASSERT_EQ(splitter->Left(), 150);
    EXPECT_EQ(splitter->FindNeighbour(), side);
    splitter->MoveBy(-100);
    EXPECT_EQ(side->Width(), 122);
    EXPECT_EQ(splitter->Left(), 122);
    splitter->MoveBy(10000);
    EXPECT_EQ(form->ClientWidth() - side->Width() - splitter->Width(), splitter->MinSize);
    // Dragged with the mouse through the parent's routing.
    splitter->MoveBy(-10000);
    const int y = 50;
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(splitter->Left() + 1, y));
    form->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(splitter->Left() + 31, y));
    form->Perform(WM_LBUTTONUP, 0, MAKELPARAM(splitter->Left() + 1, y));
    EXPECT_EQ(side->Width(), 152);
    splitter->Movable = false;
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(splitter->Left() + 1, y));
    form->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(splitter->Left() + 31, y));
    form->Perform(WM_LBUTTONUP, 0, MAKELPARAM(splitter->Left() + 1, y));
    EXPECT_EQ(side->Width(), 152);
}

}  // namespace
