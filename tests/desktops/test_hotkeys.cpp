#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktops/HotKeys.h"

namespace {

struct RecordingRegistrar : THotKeyRegistrar {
    std::vector<std::string> calls;
    std::vector<int> refused;  // ids whose combination someone else holds
    bool Register(int id, unsigned modifiers, unsigned key) override {
        calls.push_back("reg " + std::to_string(id) + " " + std::to_string(modifiers) + " " +
                        std::to_string(key));
        for (int r : refused)
            if (r == id)
                return false;
        return true;
    }
    void Unregister(int id) override { calls.push_back("unreg " + std::to_string(id)); }
};

const std::vector<std::string> kUnregisterAll{"unreg 1", "unreg 2", "unreg 3", "unreg 4",
                                              "unreg 5"};

struct SchemeCase {
    int scheme;
    unsigned modifier;
    unsigned firstKey;  // key of desktop 1
    const char* deskStr3;
    const char* caption3;
    const char* shortcut4;
};

// Every scheme, plus an index outside the table, which falls back to Alt with the digits for
// registrations and captions but shows no key text in the tree's helper.
const SchemeCase kSchemes[] = {
    {0, 1, '1', "Alt+3", "Desktop 3 (Alt+3)", "Alt+4"},
    {1, 2, '1', "Ctrl+3", "Desktop 3 (Ctrl+3)", "Ctrl+4"},
    {2, 4, '1', "Shift+3", "Desktop 3 (Shift+3)", "Shift+4"},
    {3, 1, 0x70, "Alt+F3", "Desktop 3 (Alt+F3)", "Alt+F4"},
    {4, 2, 0x70, "Ctrl+F3", "Desktop 3 (Ctrl+F3)", "Ctrl+F4"},
    {5, 4, 0x70, "Shift+F3", "Desktop 3 (Shift+F3)", "Shift+F4"},
    {-1, 1, '1', "", "Desktop 3 (Alt+3)", "Alt+4"},
    {9, 1, '1', "", "Desktop 3 (Alt+3)", "Alt+4"},
};

TEST(HotKeySchemes, RegistrationsAndCaptionsForEverySchemeAndCount) {
    for (const auto& c : kSchemes) {
        for (int count = 2; count <= 4; ++count) {
            SCOPED_TRACE("scheme " + std::to_string(c.scheme) + " count " + std::to_string(count));
            RecordingRegistrar r;
            RegisterHotKeys(r, c.scheme, count, 0);
            std::vector<std::string> expected = kUnregisterAll;
            for (int desk = 1; desk <= count; ++desk)
                expected.push_back("reg " + std::to_string(desk) + " " + std::to_string(c.modifier) +
                                   " " + std::to_string(c.firstKey + desk - 1));
            EXPECT_EQ(r.calls, expected);
        }
        EXPECT_EQ(getDeskHotKeyStr(c.scheme, 3), c.deskStr3);
        EXPECT_EQ(DeskNodeCaption(c.scheme, 3), c.caption3);
        EXPECT_EQ(DeskActionShortCutText(c.scheme, 4), c.shortcut4);
    }
}

TEST(HotKeySchemes, ComboItemsInIndexOrder) {
    EXPECT_EQ(SwitchSchemeItems(),
              (std::vector<std::string>{"Alt + Numbers (1-4)", "Ctrl + Numbers (1-4)",
                                        "Shift + Numbers (1-4)", "Alt + Function keys (F1-F4)",
                                        "Ctrl + Function keys (F1-F4)",
                                        "Shift + Function keys (F1-F4)"}));
}

TEST(HotKeySchemes, ShowHideKeyRegistersWithItsModifiersOnlyWhenSet) {
    RecordingRegistrar none;
    RegisterHotKeys(none, 0, 2, 0);
    EXPECT_EQ(none.calls.back(), "reg 2 1 50");

    RecordingRegistrar set;
    RegisterHotKeys(set, 0, 2, static_cast<TShortCut>(scCtrl | scAlt | 'Q'));
    EXPECT_EQ(set.calls.back(), "reg 5 3 81");

    RecordingRegistrar shift;
    RegisterHotKeys(shift, 0, 2, static_cast<TShortCut>(scShift | 0x70));
    EXPECT_EQ(shift.calls.back(), "reg 5 4 112");
}

TEST(HotKeySchemes, ARefusedCombinationDoesNotStopTheOthers) {
    RecordingRegistrar r;
    r.refused = {2};
    RegisterHotKeys(r, 1, 4, static_cast<TShortCut>(scAlt | 'Z'));
    EXPECT_EQ(r.calls.size(), 10u);
    EXPECT_EQ(r.calls.back(), "reg 5 1 90");
}

struct HotKeyCase {
    const char* name;
    int id;
    bool allowed;
    int active;
    int numDesks;
    bool visible;
    bool inFront;
    THotKeyCommand command;
    int desk;
};

const HotKeyCase kHotKeys[] = {
    {"switch to 2", 2, true, 0, 4, false, false, THotKeyCommand::Switch, 1},
    {"switch to 1", 1, true, 3, 2, false, false, THotKeyCommand::Switch, 0},
    {"active desktop", 2, true, 1, 4, false, false, THotKeyCommand::None, -1},
    {"gate closed", 2, false, 0, 4, false, false, THotKeyCommand::None, -1},
    {"gate closed for show", 5, false, 0, 4, false, false, THotKeyCommand::None, -1},
    {"3 with two desktops", 3, true, 0, 2, false, false, THotKeyCommand::None, -1},
    {"3 with three desktops", 3, true, 0, 3, false, false, THotKeyCommand::Switch, 2},
    {"4 with three desktops", 4, true, 0, 3, false, false, THotKeyCommand::None, -1},
    {"4 with four desktops", 4, true, 0, 4, false, false, THotKeyCommand::Switch, 3},
    {"show hidden manager", 5, true, 0, 4, false, false, THotKeyCommand::ShowManager, -1},
    {"hide manager in front", 5, true, 0, 4, true, true, THotKeyCommand::HideManager, -1},
    {"bring manager forward", 5, true, 0, 4, true, false, THotKeyCommand::BringToFront, -1},
    {"unknown id", 6, true, 0, 4, true, true, THotKeyCommand::None, -1},
    {"id 0", 0, true, 1, 4, false, false, THotKeyCommand::None, -1},
};

TEST(HotKeyDecisions, Table) {
    for (const auto& c : kHotKeys) {
        SCOPED_TRACE(c.name);
        const THotKeyDecision d =
            DecideHotKey(c.id, c.allowed, c.active, c.numDesks, c.visible, c.inFront);
        EXPECT_EQ(d.command, c.command);
        EXPECT_EQ(d.desk, c.desk);
    }
}

}  // namespace
