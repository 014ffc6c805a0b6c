// The button edit under the real mouse and keyboard: the button and the click key run the
// action (or do not, read-only), Ctrl+Tab and Ctrl+Enter go to the form, the clipboard messages
// pass only where allowed, group peers clear one another, the text area leaves room for the
// button, and handlers that free the edit or its form.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "controls/TkAutoComplete_win.h"
#include "controls/TkButtonGlyph_win.h"
#include "controls/TkToolEdit_win.h"
#include "framework/controls/Action.h"
#include "framework/core/StringList.h"
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
    e->SetText("keep");
    SendMessageA(h, EM_SETSEL, 0, -1);
    SendMessageA(h, WM_CUT, 0, 0);
    PumpFor(20);
    EXPECT_EQ(e->Text(), "keep") << "nor cutting";
    e->SetDirectInput(true);
    SendMessageA(h, EM_SETSEL, 0, -1);
    SendMessageA(h, WM_CUT, 0, 0);
    PumpFor(20);
    EXPECT_EQ(e->Text(), "");
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

// A popup as a class that supplies one would: a borderless top-level window owned by the form,
// whose value the test chooses.
class TTestPopup : public TWinControl {
    FW_CLASS(TTestPopup, TWinControl)
public:
    explicit TTestPopup(TComponent* AOwner) : TWinControl(AOwner) {
        SetVisible(false);
        SetBounds(0, 0, 120, 80);
    }
    HWND OwnerWindow = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        Params.Style = WS_POPUP | WS_BORDER;
        Params.WndParent = OwnerWindow;
    }
    void PaintWindow(HDC DC) override {
        RECT r{0, 0, Width(), Height()};
        FillRect(DC, &r, GetSysColorBrush(COLOR_WINDOW));
        TextOutA(DC, 4, 4, "popup", 5);
    }
};

class TPopupEdit : public TTkComboEdit {
    FW_CLASS(TPopupEdit, TTkComboEdit)
public:
    using TTkComboEdit::TTkComboEdit;
    using TTkCustomComboEdit::SetPopup;
    std::string Chosen = "chosen";
    bool FailAutoComplete = false;
    int Changes = 0, PopupChanges = 0;

protected:
    Variant GetPopupValue() override { return Variant(Chosen); }
    bool CreateAutoComplete() override {
        return !FailAutoComplete && TTkComboEdit::CreateAutoComplete();
    }
    void PopupChange() override { ++PopupChanges; }
};

class ComboPopupTest : public ComboEditTest {
protected:
    TPopupEdit* PopupEdit(int y) {
        auto* e = Create<TPopupEdit>(form);
        e->SetBounds(20, y, 150, 21);
        e->SetText("typed");
        e->OnButtonClick = TNotifyEvent(&log, &Log::ButtonClick);
        e->SetParent(form);
        popup = Create<TTestPopup>(form);
        popup->OwnerWindow = form->Handle();
        e->SetPopup(popup);
        return e;
    }
    bool Shown() { return popup->HandleAllocated() && IsWindowVisible(popup->Handle()); }
    TTestPopup* popup = nullptr;
};

TEST_F(ComboPopupTest, TheButtonOpensThePopupBelowTheEditAndClosesItWithItsValue) {
    auto* e = PopupEdit(20);
    ShowForm();
    e->RunButtonAction();
    EXPECT_TRUE(e->PopupVisible());
    EXPECT_TRUE(Shown());
    RECT edit{}, pop{};
    GetWindowRect(e->Handle(), &edit);
    GetWindowRect(popup->Handle(), &pop);
    EXPECT_EQ(pop.top, edit.bottom) << "below the edit";
    EXPECT_EQ(pop.right, edit.right) << "right edges together";
    EXPECT_NE(GetWindowLongA(e->Handle(), GWL_STYLE) & ES_READONLY, 0) << "no typing while open";
    EXPECT_TRUE(e->Focused());

    // A text change while open is the popup's.
    e->SetText("during");
    EXPECT_EQ(e->PopupChanges, 1);

    e->RunButtonAction(); // the button again: closes and takes the value
    EXPECT_FALSE(e->PopupVisible());
    EXPECT_FALSE(Shown());
    EXPECT_EQ(e->Text(), "chosen");
    EXPECT_EQ(GetWindowLongA(e->Handle(), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(log.buttonClicks, 2);
}

TEST_F(ComboPopupTest, KeysAndTheButtonPressCloseThePopup) {
    auto* e = PopupEdit(20);
    ShowForm();
    e->SetFocus();
    PumpFor(50);
    Chord(VK_MENU, VK_DOWN);
    PumpFor(100);
    ASSERT_TRUE(e->PopupVisible());
    mouse_input::Key(VK_ESCAPE);
    PumpFor(100);
    EXPECT_FALSE(e->PopupVisible());
    EXPECT_EQ(e->Text(), "typed") << "Escape does not take the value";

    Chord(VK_MENU, VK_DOWN);
    PumpFor(100);
    ASSERT_TRUE(e->PopupVisible());
    mouse_input::Key(VK_RETURN);
    PumpFor(100);
    EXPECT_FALSE(e->PopupVisible());
    EXPECT_EQ(e->Text(), "chosen") << "Enter takes it";

    // A press on the button while open closes it and the click that follows does not open it again.
    e->Chosen = "from the button";
    e->RunButtonAction();
    ASSERT_TRUE(e->PopupVisible());
    ClickButton(e);
    EXPECT_FALSE(e->PopupVisible());
    EXPECT_EQ(e->Text(), "from the button");
    EXPECT_EQ(log.buttonClicks, 3) << "the swallowed click ran no action";
}

TEST_F(ComboPopupTest, LosingTheFocusClosesWithoutTheValue) {
    auto* e = PopupEdit(20);
    auto* other = Edit(60);
    ShowForm();
    e->RunButtonAction();
    ASSERT_TRUE(e->PopupVisible());
    other->SetFocus();
    PumpFor(100);
    EXPECT_FALSE(e->PopupVisible());
    EXPECT_EQ(e->Text(), "typed");
    // Anyone may post the close request: it never takes the value.
    e->RunButtonAction();
    ASSERT_TRUE(e->PopupVisible());
    PostMessageA(e->Handle(), CM_TKPOPUPCLOSEUP, 1, 0);
    PumpFor(50);
    EXPECT_FALSE(e->PopupVisible());
    EXPECT_EQ(e->Text(), "typed");
}

TEST_F(ComboPopupTest, AReadOnlyEditOpensItsPopupOnlyWhenAskedTo) {
    auto* e = PopupEdit(20);
    e->SetReadOnly(true);
    e->AlwaysEnableButton = true;
    ShowForm();
    e->RunButtonAction();
    EXPECT_EQ(log.buttonClicks, 1);
    EXPECT_FALSE(e->PopupVisible());
    e->AlwaysShowPopup = true;
    e->RunButtonAction();
    EXPECT_TRUE(e->PopupVisible());
    e->RunButtonAction();
    EXPECT_FALSE(e->PopupVisible());
    EXPECT_EQ(e->Text(), "typed") << "a read-only edit takes no value";
}

TEST_F(ComboPopupTest, AFreedPopupIsForgotten) {
    auto* e = PopupEdit(20);
    ShowForm();
    e->RunButtonAction();
    ASSERT_TRUE(e->PopupVisible());
    popup->Free();
    EXPECT_EQ(e->Popup(), nullptr);
    EXPECT_FALSE(e->PopupVisible());
    e->RunButtonAction(); // nothing to open
    EXPECT_FALSE(e->PopupVisible());
}

TEST_F(ComboPopupTest, AutoCompleteMadeOrRefusedTheEditWorks) {
    auto* made = PopupEdit(20);
    auto* refused = PopupEdit(60);
    refused->FailAutoComplete = true;
    for (TPopupEdit* e : {made, refused}) {
        e->AutoCompleteItems()->Add("alpha");
        e->AutoCompleteItems()->Add("beta");
        e->SetAutoCompleteOptions({acoAutoSuggest, acoAutoAppend});
    }
    ShowForm();
    EXPECT_TRUE(made->HasAutoComplete()) << "the shell has the object";
    EXPECT_FALSE(refused->HasAutoComplete());
    for (TPopupEdit* e : {made, refused}) {
        e->SetText("");
        e->SetFocus();
        PumpFor(50);
        mouse_input::Key('X');
        PumpFor(100);
        EXPECT_EQ(e->Text(), "x") << "typing works either way";
    }
    // A new window gets a new object.
    made->RecreateWnd();
    made->HandleNeeded();
    EXPECT_TRUE(made->HasAutoComplete());
}

TEST(AutoCompleteSource, HandsOutWideCopiesAndOutlivesItsEdit) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    TStringList items;
    items.Add("alpha");
    items.Add("b\xE9ta");
    auto ref = std::make_shared<TAutoCompleteItemsRef>();
    ref->List = &items;
    IEnumString* source = new TAutoCompleteSource(ref);
    LPOLESTR out[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(source->Next(3, out, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_STREQ(out[0], L"alpha");
    EXPECT_STREQ(out[1], L"b\u00E9ta");
    CoTaskMemFree(out[0]);
    CoTaskMemFree(out[1]);

    source->Reset();
    EXPECT_EQ(source->Skip(1), S_OK);
    IEnumString* clone = nullptr;
    ASSERT_EQ(source->Clone(&clone), S_OK);
    EXPECT_EQ(clone->Next(1, out, nullptr), S_OK) << "the clone goes on from the same place";
    EXPECT_STREQ(out[0], L"b\u00E9ta");
    CoTaskMemFree(out[0]);

    // The allocation fails: nothing is handed out.
    auto& allocator = TAutoCompleteSource::Allocator();
    const auto real = allocator;
    allocator = [](SIZE_T) WINAPI -> void* { return nullptr; };
    source->Reset();
    EXPECT_EQ(source->Next(2, out, &fetched), E_OUTOFMEMORY);
    EXPECT_EQ(fetched, 0u);
    allocator = real;

    // The edit is gone: the source the shell still holds reads nothing.
    ref->List = nullptr;
    source->Reset();
    EXPECT_EQ(source->Next(1, out, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(clone->Release(), 0u);
    EXPECT_EQ(source->Release(), 0u);
    CoUninitialize();
}

struct Executed : TObject {
    int runs = 0;
    void Run(TObject*) { ++runs; }
    void Other(TObject*) {}
};

TEST_F(ComboEditTest, TheActionLinkFollowsTheAction) {
    Executed ex;
    auto* action = Create<TAction>(form);
    action->SetCaption("Never the text");
    action->SetHint("Pick a file");
    action->SetShortCut(ShortCut(VK_F4, {}));
    action->SetImageIndex(2);
    action->OnExecute = TNotifyEvent(&ex, &Executed::Run);
    auto* e = Edit(20, "kept");
    e->OnButtonClick = nullptr;
    e->SetAction(action);
    EXPECT_EQ(e->Text(), "kept") << "the caption is never linked";
    EXPECT_EQ(e->ButtonHint(), "Pick a file");
    EXPECT_EQ(e->ClickKey, ShortCut(VK_F4, {}));
    EXPECT_EQ(e->ImageIndex(), 2);
    EXPECT_TRUE(e->OnButtonClick == action->OnExecute);
    ShowForm();
    ClickButton(e);
    EXPECT_EQ(ex.runs, 1) << "the button runs the action's handler";

    action->SetHint("Pick another");
    EXPECT_EQ(e->ButtonHint(), "Pick another");
    e->SetButtonHint("mine");
    action->SetHint("ignored");
    EXPECT_EQ(e->ButtonHint(), "mine") << "a hint of its own is no longer linked";
    action->SetImageIndex(5);
    EXPECT_EQ(e->ImageIndex(), 5);
    action->SetShortCut(ShortCut(VK_F2, {}));
    EXPECT_EQ(e->ClickKey, ShortCut(VK_F2, {})) << "a click key equal to the action's follows it";
    e->ClickKey = 32808;
    action->SetShortCut(ShortCut(VK_F3, {}));
    EXPECT_EQ(e->ClickKey, 32808);
    action->SetEnabled(false);
    EXPECT_FALSE(e->Enabled());
}

TEST_F(ComboEditTest, ADisabledEditPaintsItsTextInTheDisabledColours) {
    auto* e = Edit(20, "WWWWWW");
    e->SetDisabledColor(clYellow);
    e->SetDisabledTextColor(clRed);
    ShowForm();
    e->SetEnabled(false);
    EXPECT_FALSE(e->Button()->Enabled()) << "the button follows the edit";
    const int w = e->ClientWidth(), h = e->ClientHeight();
    const std::vector<COLORREF> erased = DrawnPixels(
        [&](HDC dc) { SendMessageA(e->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0); },
        w, h);
    EXPECT_EQ(erased[static_cast<std::size_t>(h / 2 * w + 2)], RGB(255, 255, 0));
    const std::vector<COLORREF> painted = DrawnPixels(
        [&](HDC dc) { SendMessageA(e->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); }, w,
        h);
    int red = 0, yellow = 0, other = 0;
    for (COLORREF c : painted)
        (c == RGB(255, 0, 0) ? red : c == RGB(255, 255, 0) ? yellow : other)++;
    EXPECT_GT(red, 20) << "the text in DisabledTextColor";
    EXPECT_GT(yellow, w * h / 2) << "on DisabledColor";
    e->SetEnabled(true);
    EXPECT_TRUE(e->Button()->Enabled());
}

// For a look at the edits on the screen (run with --gtest_also_run_disabled_tests).
TEST_F(ComboPopupTest, DISABLED_Showcase) {
    const char* texts[] = {"custom (empty glyph)", "ellipsis",  "drop-down",
                           "right aligned",        "no button", "disabled"};
    TTkComboEdit* e[6];
    for (int i = 0; i < 6; ++i)
        e[i] = Edit(20 + i * 30, texts[i]);
    e[1]->SetImageKind(ikEllipsis);
    e[2]->SetImageKind(ikDropDown);
    e[3]->SetAlignment(taRightJustify);
    e[3]->SetImageKind(ikEllipsis);
    e[4]->SetShowButton(false);
    e[5]->SetImageKind(ikEllipsis);
    e[5]->SetEnabled(false);
    auto* p = PopupEdit(210);
    p->SetImageKind(ikDropDown);
    ShowForm();
    p->RunButtonAction();
    PumpFor(4000);
}

} // namespace
