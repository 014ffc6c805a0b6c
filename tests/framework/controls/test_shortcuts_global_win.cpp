#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/controls/Action.h"
#include "framework/controls/Edit_win.h"
#include "framework/controls/PopupMenu_win.h"
#include "tests/fixtures/WinFarmClient_win.h"
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
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit->Handle(); }));

    const struct {
        const char* Chord;
        std::vector<std::string> Expected;
    } cases[] = {
        {"Ctrl+R", {"action:Refresh"}}, {"Alt+2", {"item:Desktop 2"}},
        {"Ctrl+K", {"form"}},           {"Ctrl+Q", {"key:Q"}}, // disabled action: the key goes on
        {"Alt+3", {"key:3"}},                                  // hidden item
        {"Alt+4", {"key:4"}},                                  // disabled item
        {"Ctrl+T", {"key:T"}},                                 // nobody's
    };
    for (const auto& c : cases) {
        log.lines.clear();
        ASSERT_EQ(winfarm::SendKeys(c.Chord), 0u);
        // F9 behind the chord: once the edit has it, the chord is through.
        ASSERT_EQ(winfarm::SendKeys("F9"), 0u);
        ASSERT_TRUE(PumpUntil([&] { return !log.lines.empty() && log.lines.back() == "key:F9"; }))
            << c.Chord;
        log.lines.pop_back();
        EXPECT_EQ(log.lines, c.Expected) << c.Chord;
    }
}

} // namespace
