// The button edit under the real mouse and keyboard: the button and the click key run the
// action (or do not, read-only), Ctrl+Tab and Ctrl+Enter go to the form, the clipboard messages
// pass only where allowed, group peers clear one another, the text area leaves room for the
// button, and handlers that free the edit or its form.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "controls/TkButtonGlyph_win.h"
#include "controls/TkToolEdit_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

// A key with one modifier held, through the input queue.
void Chord(WORD modifier, WORD key) {
    INPUT in[4] = {};
    for (INPUT& i : in)
        i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = modifier;
    in[1].ki.wVk = key;
    in[2].ki.wVk = key;
    in[2].ki.dwFlags = KEYEVENTF_KEYUP;
    in[3].ki.wVk = modifier;
    in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, in, sizeof(INPUT));
}

void PutTextOnClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

struct Log : TObject {
    int buttonClicks = 0;
    std::vector<std::string> formKeys;
    TObject* toFree = nullptr;
    void ButtonClick(TObject*) { ++buttonClicks; }
    void FreeIt(TObject*) {
        ++buttonClicks;
        if (toFree != nullptr) {
            TObject* o = toFree;
            toFree = nullptr;
            o->Free();
        }
    }
    void FreeOnKey(TObject*, std::uint16_t&, TShiftState) { FreeIt(nullptr); }
    void FormKeyDown(TObject*, std::uint16_t& Key, TShiftState Shift) {
        formKeys.push_back(std::to_string(Key) + (Shift.Contains(ssCtrl) ? "+ctrl" : ""));
    }
};

class ComboEditTest : public ControlsTest {
protected:
    TTkComboEdit* Edit(int y, const std::string& text = "text") {
        auto* e = Create<TTkComboEdit>(form);
        e->SetBounds(20, y, 150, 21);
        e->SetText(text);
        e->OnButtonClick = TNotifyEvent(&log, &Log::ButtonClick);
        e->SetParent(form);
        return e;
    }
    POINT ButtonCentre(TTkComboEdit* e) {
        TTkEditButton* b = e->Button();
        const TPoint p = b->ClientToScreen(Point(b->Width() / 2, b->Height() / 2));
        return POINT{p.X, p.Y};
    }
    void ClickButton(TTkComboEdit* e) {
        ASSERT_TRUE(mouse_input::Click(ButtonCentre(e)));
        PumpFor(150);
    }
    Log log;
};

TEST_F(ComboEditTest, TheButtonRunsTheActionUnlessTheEditIsReadOnly) {
    auto* e = Edit(20);
    ShowForm();
    ClickButton(e);
    EXPECT_EQ(log.buttonClicks, 1);
    EXPECT_TRUE(e->Focused()) << "a press on the button focuses the edit";

    e->SetReadOnly(true);
    ClickButton(e);
    EXPECT_EQ(log.buttonClicks, 1) << "read-only: the button is idle";
    e->AlwaysEnableButton = true;
    ClickButton(e);
    EXPECT_EQ(log.buttonClicks, 2) << "unless it is kept enabled";

    e->SetReadOnly(false);
    e->SetDirectInput(false);
    EXPECT_NE(GetWindowLongA(e->Handle(), GWL_STYLE) & ES_READONLY, 0)
        << "no typing: the window is read-only";
    ClickButton(e);
    EXPECT_EQ(log.buttonClicks, 3) << "but the button still works";
    e->SetDirectInput(true);
    EXPECT_EQ(GetWindowLongA(e->Handle(), GWL_STYLE) & ES_READONLY, 0);
}

TEST_F(ComboEditTest, AltDownRunsTheActionAlsoWithTheButtonHidden) {
    auto* e = Edit(20);
    ShowForm();
    e->SetFocus();
    PumpFor(50);
    Chord(VK_MENU, VK_DOWN);
    PumpFor(150);
    EXPECT_EQ(log.buttonClicks, 1);
    e->SetShowButton(false);
    EXPECT_FALSE(e->ButtonHost()->Visible());
    EXPECT_EQ(e->ButtonWidth(), 21) << "a hidden button reads its remembered width";
    Chord(VK_MENU, VK_DOWN);
    PumpFor(150);
    EXPECT_EQ(log.buttonClicks, 2);
    // Width 0 through ButtonWidth hides it too and keeps the width for ShowButton.
    e->SetShowButton(true);
    e->SetButtonWidth(30);
    e->SetButtonWidth(1);
    EXPECT_FALSE(e->ShowButton());
    e->SetShowButton(true);
    EXPECT_TRUE(e->ButtonHost()->Visible());
    EXPECT_EQ(e->ButtonHost()->Width(), 30);
    TComboFrameLook look;
    look.Themed = ThemeServices()->ThemesEnabled();
    EXPECT_EQ(e->ButtonHost()->BoundsRect(), ButtonHostBounds(look, 150, e->Height(), 30))
        << "the host keeps its right edge";
}

TEST_F(ComboEditTest, CtrlTabAndCtrlEnterGoToTheFormAndAreDropped) {
    auto* e = Edit(20, "abc");
    auto* other = Edit(60);
    form->OnKeyDown = TKeyEvent(&log, &Log::FormKeyDown);
    ShowForm();
    e->SetFocus();
    PumpFor(50);
    Chord(VK_CONTROL, VK_TAB);
    PumpFor(100);
    Chord(VK_CONTROL, VK_RETURN);
    PumpFor(100);
    EXPECT_EQ(log.formKeys, (std::vector<std::string>{"9+ctrl", "13+ctrl"}));
    EXPECT_EQ(e->Text(), "abc") << "no tab and no line break in the text";
    EXPECT_TRUE(e->Focused());
    // A plain Tab still moves the focus on.
    mouse_input::Key(VK_TAB);
    PumpFor(100);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(log.buttonClicks, 0);
}

TEST_F(ComboEditTest, ClipboardMessagesPassOnlyWhereAllowed) {
    auto* e = Edit(20, "");
    ShowForm();
    HWND h = e->Handle();
    PutTextOnClipboard("pasted");
    e->SetClipboardCommands(kAllClipboardCommands - TClipboardCommands{caPaste});
    EXPECT_EQ(SendMessageA(h, WM_PASTE, 0, 0), 1) << "a command outside the set is answered 1";
    EXPECT_EQ(e->Text(), "");
    e->SetClipboardCommands(kAllClipboardCommands);
    SendMessageA(h, WM_PASTE, 0, 0);
    PumpFor(20);
    EXPECT_EQ(e->Text(), "pasted");

    SendMessageA(h, WM_CLEAR, 0, 0);
    EXPECT_EQ(e->Text(), "") << "clear empties the whole text";

    e->SetDirectInput(false);
    SendMessageA(h, WM_PASTE, 0, 0);
    PumpFor(20);
    EXPECT_EQ(e->Text(), "") << "no pasting without typing";
    e->SetDirectInput(true);
    e->SetReadOnly(true);
    EXPECT_EQ(e->ClipboardCommands(), TClipboardCommands{caCopy}) << "read-only keeps copying only";
    SendMessageA(h, WM_PASTE, 0, 0);
    PumpFor(20);
    EXPECT_EQ(e->Text(), "");
}

TEST_F(ComboEditTest, APasteOrAKeyClearsTheGroupPeersOnly) {
    auto* a = Edit(20, "a");
    auto* b = Edit(50, "b");
    auto* c = Edit(80, "c");
    auto* d = Edit(110, "d");
    a->SetGroupIndex(3);
    b->SetGroupIndex(3);
    d->SetGroupIndex(4);
    ShowForm();
    PutTextOnClipboard("x");
    SendMessageA(a->Handle(), EM_SETSEL, 0, -1);
    SendMessageA(a->Handle(), WM_PASTE, 0, 0);
    PumpFor(20);
    EXPECT_EQ(a->Text(), "x");
    EXPECT_EQ(b->Text(), "") << "the other edit of group 3";
    EXPECT_EQ(c->Text(), "c") << "no group";
    EXPECT_EQ(d->Text(), "d") << "another group";

    b->SetText("typed over");
    a->SetFocus();
    PumpFor(50);
    mouse_input::Key(VK_END);
    PumpFor(100);
    EXPECT_EQ(b->Text(), "") << "a key down in a clears b";
    EXPECT_EQ(a->Text(), "x");
    // Joining a group clears its members.
    c->SetGroupIndex(3);
    EXPECT_EQ(a->Text(), "");
    EXPECT_EQ(c->Text(), "c");
}

TEST_F(ComboEditTest, TheTextAreaLeavesRoomForTheButton) {
    auto* e = Edit(20);
    ShowForm();
    RECT r{};
    SendMessageA(e->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    TComboFrameLook look;
    look.Themed = ThemeServices()->ThemesEnabled();
    const TComboTextMargins m = ComboTextMargins(look, e->ButtonHost()->Width());
    const TRect want = ComboFormattingRect(m, e->Width(), e->ClientHeight());
    // The edit keeps its own margins inside the rectangle it is given.
    EXPECT_GE(r.left, want.Left);
    EXPECT_GE(r.top, want.Top);
    EXPECT_LE(r.right, want.Right);
    EXPECT_LT(r.right, e->ButtonHost()->Left()) << "the text stops before the button";
    // A wider button moves the text's right edge with it.
    const LONG before = r.right;
    e->SetButtonWidth(40);
    SendMessageA(e->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.right, before - 19);
    EXPECT_LT(r.right, e->ButtonHost()->Left());
}

TEST_F(ComboEditTest, EllipsisAndDropDownGlyphsAreOneImage) {
    auto* e = Edit(20);
    for (int width : {25, 26, 18}) {
        e->SetButtonWidth(width);
        e->SetImageKind(ikEllipsis);
        TBitmap* g = e->Button()->Glyph();
        EXPECT_EQ(g->Width(), width - 6) << width;
        EXPECT_EQ(g->Height(), 4) << width;
        EXPECT_EQ(e->Button()->NumGlyphs(), 1) << width << ": not cut into several images";
    }
    // 25 wide: dots at 3, 8 and 13 of row 1.
    e->SetButtonWidth(25);
    TBitmap* g = e->Button()->Glyph();
    HDC dc = g->Canvas()->Handle();
    std::string row;
    for (int x = 0; x < g->Width(); ++x)
        row += GetPixel(dc, x, 1) == RGB(0, 0, 0) ? '#' : '.';
    EXPECT_EQ(row, "...##...##...##....");
    e->SetImageKind(ikDropDown);
    EXPECT_EQ(e->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(e->Button()->NumGlyphs(), 1);
    if (!ThemeServices()->ThemesEnabled()) {
        // The system's arrow is black on white and ends in a black bar: white must be its
        // transparent colour, or the arrow itself goes transparent.
        EXPECT_TRUE(e->Button()->Glyph()->Monochrome());
        EXPECT_EQ(e->Button()->ButtonGlyph()->TransparentColor(), clWhite);
    }
    EXPECT_FALSE(e->IsButtonWidthStored()) << "the kind's own width is not stored";
    e->SetImageKind(ikCustom);
    EXPECT_TRUE(e->IsButtonWidthStored());
}

TEST_F(ComboEditTest, HandlersThatFreeTheEditOrItsForm) {
    auto* e = Edit(20);
    ShowForm();
    e->OnButtonClick = TNotifyEvent(&log, &Log::FreeIt);
    log.toFree = e;
    ClickButton(e);
    EXPECT_EQ(log.buttonClicks, 1);
    EXPECT_EQ(form->ControlCount(), 0) << "the edit is gone";

    // The click key's handler frees the whole form.
    auto* k = Edit(20);
    k->OnButtonClick = TNotifyEvent(&log, &Log::FreeIt);
    k->SetFocus();
    PumpFor(50);
    log.toFree = form;
    Chord(VK_MENU, VK_DOWN);
    PumpFor(150);
    EXPECT_EQ(log.buttonClicks, 2);
    form = nullptr;

    // A key-down handler frees its edit.
    form = Create<TForm>(Application);
    form->SetBounds(100, 100, 300, 200);
    auto* f = Edit(20);
    f->OnKeyDown = TKeyEvent(&log, &Log::FreeOnKey);
    ShowForm();
    f->SetFocus();
    PumpFor(50);
    log.toFree = f;
    mouse_input::Key('A');
    PumpFor(150);
    EXPECT_EQ(log.buttonClicks, 3);
    EXPECT_EQ(form->ControlCount(), 0);
}

} // namespace

namespace {

// For a look at the edits on the screen (run with --gtest_also_run_disabled_tests).
TEST_F(ComboEditTest, DISABLED_Showcase) {
    const char* texts[] = {"custom (empty glyph)", "ellipsis", "drop-down", "right aligned",
                           "no button"};
    TTkComboEdit* e[5];
    for (int i = 0; i < 5; ++i)
        e[i] = Edit(20 + i * 30, texts[i]);
    e[1]->SetImageKind(ikEllipsis);
    e[2]->SetImageKind(ikDropDown);
    e[3]->SetAlignment(taRightJustify);
    e[3]->SetImageKind(ikEllipsis);
    e[4]->SetShowButton(false);
    ShowForm();
    e[1]->SetFocus();
    PumpFor(4000);
}

} // namespace
