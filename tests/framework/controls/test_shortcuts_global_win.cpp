#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/controls/Action.h"
#include "framework/controls/Edit_win.h"
#include "framework/controls/PopupMenu_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

// What ran, and which key downs reached the focused edit (modifiers left
// out): a chord used up as a shortcut never reaches it.
struct Log : TObject {
    std::vector<std::string> lines;
    void Ran(TObject* s) {
        if (auto* item = dynamic_cast<TMenuItem*>(s))
            lines.push_back("item:" + item->Caption());
        else
            lines.push_back("action:" + static_cast<TAction*>(s)->Caption());
    }
    void Key(TObject*, std::uint16_t& key, TShiftState) {
        if (key != VK_CONTROL && key != VK_MENU && key != VK_SHIFT)
            lines.push_back("key:" + KeyName(key));
    }
    void FormShortCut(TMessage& m, bool& handled) {
        if (m.WParam == 'K' && GetKeyState(VK_CONTROL) < 0) {
            lines.push_back("form");
            handled = true;
        }
    }
};

// Presses Chord on Target as the input system delivers it, without the
// input system (whose focus other test programs may take): the thread's key
// state holds the modifiers while the key-down, posted to the control, goes
// through the application's message loop.
void Press(HWND Target, TShortCut Chord) {
    std::uint16_t key = 0;
    TShiftState shift;
    ShortCutToKey(Chord, key, shift);
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    BYTE keys[256];
    std::memcpy(keys, saved, sizeof keys);
    keys[VK_CONTROL] = shift.Contains(ssCtrl) ? 0x80 : 0;
    keys[VK_SHIFT] = shift.Contains(ssShift) ? 0x80 : 0;
    keys[VK_MENU] = shift.Contains(ssAlt) ? 0x80 : 0;
    SetKeyboardState(keys);
    const bool alt = shift.Contains(ssAlt);
    const LPARAM data = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16) |
                        (alt ? (1 << 29) : 0);
    PostMessageA(Target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, data);
    Application->ProcessMessages();
    SetKeyboardState(saved);
}

class ShortCutTest : public ControlsTest {};

TEST_F(ShortCutTest, ChordsOnTheActiveFormRunItsActionsAndMenuItemsOnce) {
    Log log;
    auto* edit = Create<TEdit>(form);
    edit->SetParent(form);
    edit->OnKeyDown = TKeyEvent(&log, &Log::Key);
    form->OnShortCut = TShortCutEvent(&log, &Log::FormShortCut);

    auto* list = Create<TActionList>(form);
    auto makeAction = [&](const char* caption, TShortCut shortCut, bool enabled) {
        auto* action = Create<TAction>(form);
        action->SetCaption(caption);
        action->SetShortCut(shortCut);
        action->SetEnabled(enabled);
        action->OnExecute = TNotifyEvent(&log, &Log::Ran);
        action->SetActionList(list);
        return action;
    };
    TAction* refresh = makeAction("Refresh", ShortCut('R', {ssCtrl}), true);
    makeAction("Off", ShortCut('Q', {ssCtrl}), false);

    auto* menu = Create<TPopupMenu>(form);
    auto addItem = [&](TMenuItem* parent, const char* caption, TShortCut shortCut) {
        auto* item = Create<TMenuItem>(form);
        item->SetCaption(caption);
        item->SetShortCut(shortCut);
        item->OnClick = TNotifyEvent(&log, &Log::Ran);
        parent->Add(item);
        return item;
    };
    // The refresh action is in the list and on the menu: it runs once.
    auto* refreshItem = Create<TMenuItem>(form);
    refreshItem->SetAction(refresh);
    menu->Items()->Add(refreshItem);
    TMenuItem* moveTo = addItem(menu->Items(), "Move to", 0);
    addItem(moveTo, "Desktop 2", ShortCut('2', {ssAlt}));
    addItem(menu->Items(), "Desktop 3", ShortCut('3', {ssAlt}))->SetVisible(false);
    addItem(menu->Items(), "Desktop 4", ShortCut('4', {ssAlt}))->SetEnabled(false);

    ShowForm();

    const struct {
        TShortCut Chord;
        std::vector<std::string> Expected;
    } cases[] = {
        {ShortCut('R', {ssCtrl}), {"action:Refresh"}},
        {ShortCut('2', {ssAlt}), {"item:Desktop 2"}},
        {ShortCut('K', {ssCtrl}), {"form"}},
        {ShortCut('Q', {ssCtrl}), {"key:Q"}}, // disabled action: the key goes on
        {ShortCut('3', {ssAlt}), {"key:3"}},  // hidden item
        {ShortCut('4', {ssAlt}), {"key:4"}},  // disabled item
        {ShortCut('T', {ssCtrl}), {"key:T"}}, // nobody's
    };
    for (const auto& c : cases) {
        log.lines.clear();
        Press(edit->Handle(), c.Chord);
        EXPECT_EQ(log.lines, c.Expected) << ShortCutToText(c.Chord);
    }
}

} // namespace
