#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktops/Settings.h"
#include "tests/desktops/FakeSettingsStore.h"

namespace {

const std::string kExe = "C:\\Program Files\\Quorvane\\Quorvane.exe";

TSettingsValues Read(TFakeSettingsStore& store) {
    TSettingsValues values;
    ReadSettings(store, kExe, values);
    return values;
}

TEST(ReadSettings, FirstStartWithoutAKeyKeepsTheSystemWallpaper) {
    TFakeSettingsStore store;
    const TSettingsValues v = Read(store);
    EXPECT_EQ(v.SwitchHotKey, 0);
    EXPECT_EQ(v.AppHotKey, 0);
    EXPECT_EQ(v.NumDesks, 4);
    EXPECT_FALSE(v.ShowTreeOnRightClick);
    EXPECT_TRUE(v.ShowDeskbandHelp);
    EXPECT_EQ(v.TBHandle, 0u);
    EXPECT_FALSE(v.RunAtStartup);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v.WPDeskFile[i], "");
        EXPECT_EQ(v.WPDeskStyle[i], 0);
    }
}

struct ValueCase {
    const char* name;
    const char* text;  // nullptr: the value is of another type
    int switchHotKey;
    int numDesks;
    bool rightClick;
    bool help;
};

// One stored value at a time over an otherwise empty key; the others keep their defaults.
const ValueCase kValues[] = {
    {"NumDesks", "7", 0, 4, false, true},
    {"NumDesks", "1", 0, 4, false, true},
    {"NumDesks", "x", 0, 4, false, true},
    {"NumDesks", "3", 0, 3, false, true},
    {"NumDesks", "2", 0, 2, false, true},
    {"NumDesks", nullptr, 0, 4, false, true},
    {"SwitchHotKey", "9", 0, 4, false, true},
    {"SwitchHotKey", "-1", 0, 4, false, true},
    {"SwitchHotKey", "5", 5, 4, false, true},
    {"SwitchHotKey", "$3", 3, 4, false, true},
    {"ShowTreeOnRightClick", "true", 0, 4, true, true},
    {"ShowTreeOnRightClick", "1", 0, 4, true, true},
    {"ShowTreeOnRightClick", "TRUE", 0, 4, true, true},
    {"ShowTreeOnRightClick", "yes", 0, 4, false, true},
    {"ShowTreeOnRightClick", nullptr, 0, 4, false, true},
    {"ShowDeskbandHelp", "FALSE", 0, 4, false, false},
    {"ShowDeskbandHelp", "0", 0, 4, false, false},
    {"ShowDeskbandHelp", "", 0, 4, false, true},
    {"ShowDeskbandHelp", nullptr, 0, 4, false, true},
};

TEST(ReadSettings, EachValueParsesOrGivesItsDefault) {
    for (const auto& c : kValues) {
        SCOPED_TRACE(std::string(c.name) + "=" + (c.text ? c.text : "<number>"));
        TFakeSettingsStore store;
        if (c.text)
            store.Put(kSettingsKey, c.name, c.text);
        else
            store.PutNumber(kSettingsKey, c.name);
        const TSettingsValues v = Read(store);
        EXPECT_EQ(v.SwitchHotKey, c.switchHotKey);
        EXPECT_EQ(v.NumDesks, c.numDesks);
        EXPECT_EQ(v.ShowTreeOnRightClick, c.rightClick);
        EXPECT_EQ(v.ShowDeskbandHelp, c.help);
    }
}

TEST(ReadSettings, BandHandleIsUnsignedAndAnythingElseReadsAsNone) {
    const std::pair<const char*, TWindowHandle> cases[] = {
        {"4294967294", 4294967294u}, {"2147483648", 2147483648u}, {"65704", 65704u},
        {"0", 0u},  {"-5", 0u}, {"4294967296", 0u}, {"band", 0u}, {"", 0u}};
    for (const auto& [text, handle] : cases) {
        SCOPED_TRACE(text);
        TFakeSettingsStore store;
        store.Put(kSettingsKey, "TBHandle", text);
        EXPECT_EQ(Read(store).TBHandle, handle);
    }
}

// A global key of Shift alone would take every capital letter (or shifted key) from the user: the
// stored key needs Ctrl or Alt, as the hot-key control asks.
TEST(ReadSettings, ShowHideShortcutNeedsCtrlOrAlt) {
    const std::pair<const char*, TShortCut> cases[] = {
        {"Ctrl+Alt+Q", static_cast<TShortCut>(scCtrl | scAlt | 'Q')},
        {"Shift+Ctrl+M", static_cast<TShortCut>(scShift | scCtrl | 'M')},
        {"Shift+Alt+F5", static_cast<TShortCut>(scShift | scAlt | 0x74)},
        {"Alt+F5", static_cast<TShortCut>(scAlt | 0x74)},
        {"Shift+A", 0},
        {"Shift+F5", 0},
        {"A", 0},
        {"F5", 0},
        {"", 0},
        {"Ctrl+Nonsense", 0},
    };
    for (const auto& [text, shortCut] : cases) {
        SCOPED_TRACE(text);
        TFakeSettingsStore store;
        store.Put(kSettingsKey, "AppHotKey", text);
        EXPECT_EQ(Read(store).AppHotKey, shortCut);
    }
    // A value of another type keeps the shortcut held before.
    TFakeSettingsStore store;
    store.PutNumber(kSettingsKey, "AppHotKey");
    TSettingsValues v;
    v.AppHotKey = static_cast<TShortCut>(scAlt | 'H');
    ReadSettings(store, kExe, v);
    EXPECT_EQ(v.AppHotKey, scAlt | 'H');
}

TEST(ReadSettings, WallpaperPairsFailAlone) {
    TFakeSettingsStore store;
    store.Put(kSettingsKey, "WPDesk1File", "C:\\a.bmp");
    store.Put(kSettingsKey, "WPDesk1Style", "2");
    // Desktop 2 has no values at all.
    store.PutNumber(kSettingsKey, "WPDesk3File");
    store.Put(kSettingsKey, "WPDesk3Style", "1");
    store.Put(kSettingsKey, "WPDesk4File", "none");
    store.Put(kSettingsKey, "WPDesk4Style", "wide");
    const TSettingsValues v = Read(store);
    EXPECT_EQ(v.WPDeskFile[0], "C:\\a.bmp");
    EXPECT_EQ(v.WPDeskStyle[0], 2);
    EXPECT_EQ(v.WPDeskFile[1], "");
    EXPECT_EQ(v.WPDeskStyle[1], 0);
    // A file value of another type is a bad value: the system wallpaper, not "none", which would
    // clear the user's wallpaper.
    EXPECT_EQ(v.WPDeskFile[2], "");
    EXPECT_EQ(v.WPDeskStyle[2], 0);
    EXPECT_EQ(v.WPDeskFile[3], "none");
    EXPECT_EQ(v.WPDeskStyle[3], 0);
}

TEST(ReadSettings, RunOptionFollowsTheValueNamingThisProgram) {
    const std::pair<const char*, bool> cases[] = {
        {"\"C:\\Program Files\\Quorvane\\Quorvane.exe\"", true},
        {"C:\\Program Files\\Quorvane\\Quorvane.exe", true},
        {"\"C:\\Old\\Quorvane.exe\"", false},
        {"c:\\program files\\quorvane\\quorvane.exe", false},
        {"", false},
    };
    for (const auto& [text, on] : cases) {
        SCOPED_TRACE(text);
        TFakeSettingsStore store;
        store.Put(kRunKey, kRunValue, text);
        EXPECT_EQ(Read(store).RunAtStartup, on);
    }
    TFakeSettingsStore locked;
    locked.Put(kRunKey, kRunValue, RunValueFor(kExe));
    locked.lockedKeys.insert(kRunKey);
    EXPECT_FALSE(Read(locked).RunAtStartup);
}

struct RecordingApplier : TSettingsApplier {
    std::vector<std::string> calls;
    void SetTrayPopupMenu(bool on) override { calls.push_back(on ? "menu on" : "menu off"); }
    void ChangeDesktopNum(int o, int n) override {
        calls.push_back("count " + std::to_string(o) + "->" + std::to_string(n));
    }
    void RefreshTree() override { calls.push_back("tree"); }
    void PostSetNumDesks(int n) override { calls.push_back("band " + std::to_string(n)); }
    void SetHotKeys() override { calls.push_back("hotkeys"); }
};

TSettingsControls ControlsFrom(const TSettingsValues& v) {
    TSettingsControls c;
    c.SwitchScheme = v.SwitchHotKey;
    c.ShowHideKey = v.AppHotKey;
    c.NumDesksIndex = v.NumDesks - 2;
    c.StartWithWin = v.RunAtStartup;
    c.RightClickAct = v.ShowTreeOnRightClick ? 0 : 1;
    return c;
}

TEST(SaveSettings, OnlyTheRightClickOptionChanged) {
    TFakeSettingsStore store;
    RecordingApplier applier;
    TSettingsValues v;
    TSettingsControls c = ControlsFrom(v);
    c.RightClickAct = 0;
    SaveSettings(store, applier, c, kExe, v);
    EXPECT_EQ(store.log, (std::vector<std::string>{"set SwitchHotKey=0", "set AppHotKey=",
                                                   "set NumDesks=4",
                                                   "set ShowTreeOnRightClick=TRUE"}));
    EXPECT_EQ(applier.calls, (std::vector<std::string>{"menu off", "hotkeys"}));
    EXPECT_TRUE(v.ShowTreeOnRightClick);
}

TEST(SaveSettings, FewerDesktopsAndTheRunOption) {
    TFakeSettingsStore store;
    store.keys[kRunKey];
    RecordingApplier applier;
    TSettingsValues v;
    TSettingsControls c = ControlsFrom(v);
    c.NumDesksIndex = 1;
    c.SwitchScheme = 4;
    c.ShowHideKey = static_cast<TShortCut>(scCtrl | scShift | 'M');
    c.StartWithWin = true;
    SaveSettings(store, applier, c, kExe, v);
    EXPECT_EQ(store.log,
              (std::vector<std::string>{"set SwitchHotKey=4", "set AppHotKey=Shift+Ctrl+M",
                                        "set NumDesks=3", "set ShowTreeOnRightClick=FALSE",
                                        "set Quorvane=" + RunValueFor(kExe)}));
    EXPECT_EQ(applier.calls, (std::vector<std::string>{"menu on", "count 4->3", "tree", "band 3",
                                                       "hotkeys"}));
    EXPECT_EQ(v.NumDesks, 3);
    EXPECT_EQ(v.SwitchHotKey, 4);
    EXPECT_TRUE(v.RunAtStartup);
    EXPECT_EQ(*store.Get(kRunKey, kRunValue), "\"" + kExe + "\"");

    // Turned off again: the value goes.
    store.log.clear();
    c.StartWithWin = false;
    SaveSettings(store, applier, c, kExe, v);
    EXPECT_EQ(store.log.back(), "delete Quorvane");
    EXPECT_EQ(store.Get(kRunKey, kRunValue), nullptr);
    EXPECT_FALSE(v.RunAtStartup);
}

TEST(SaveSettings, AFailingWriteStopsTheLaterSteps) {
    TFakeSettingsStore store;
    store.failingWrites.insert("NumDesks");
    RecordingApplier applier;
    TSettingsValues v;
    TSettingsControls c = ControlsFrom(v);
    c.NumDesksIndex = 0;
    c.StartWithWin = true;
    EXPECT_THROW(SaveSettings(store, applier, c, kExe, v), ERegistryException);
    EXPECT_EQ(applier.calls, (std::vector<std::string>{"menu on"}));
    EXPECT_EQ(v.NumDesks, 4);
    EXPECT_FALSE(v.RunAtStartup);
    EXPECT_EQ(store.Get(kRunKey, kRunValue), nullptr);
}

TEST(SaveSettings, AFailedShortcutWriteIsPassedOver) {
    TFakeSettingsStore store;
    store.failingWrites.insert("AppHotKey");
    RecordingApplier applier;
    TSettingsValues v;
    SaveSettings(store, applier, ControlsFrom(v), kExe, v);
    EXPECT_EQ(store.log.size(), 3u);
    EXPECT_EQ(applier.calls.back(), "hotkeys");
}

TEST(SaveSettings, ARunKeyThatCannotBeOpenedRaisesAfterTheRest) {
    TFakeSettingsStore store;
    store.lockedKeys.insert(kRunKey);
    RecordingApplier applier;
    TSettingsValues v;
    TSettingsControls c = ControlsFrom(v);
    c.StartWithWin = true;
    EXPECT_THROW(SaveSettings(store, applier, c, kExe, v), ERegistryException);
    EXPECT_EQ(applier.calls.back(), "hotkeys");
    // Turning it off with no key to open is silent.
    c.StartWithWin = false;
    EXPECT_NO_THROW(SaveSettings(store, applier, c, kExe, v));
}

// The option counts as stored only once the write succeeded, so OK after a failed write tries
// again instead of taking the ticked box for what the registry holds.
TEST(SaveSettings, ASecondOKRetriesAFailedRunWrite) {
    TFakeSettingsStore store;
    store.keys[kRunKey];
    store.failingWrites.insert(kRunValue);
    RecordingApplier applier;
    TSettingsValues v;
    TSettingsControls c = ControlsFrom(v);
    c.StartWithWin = true;
    EXPECT_THROW(SaveSettings(store, applier, c, kExe, v), ERegistryException);
    EXPECT_FALSE(v.RunAtStartup);

    store.failingWrites.clear();
    SaveSettings(store, applier, c, kExe, v);
    ASSERT_NE(store.Get(kRunKey, kRunValue), nullptr);
    EXPECT_EQ(*store.Get(kRunKey, kRunValue), RunValueFor(kExe));
    EXPECT_TRUE(v.RunAtStartup);
}

}  // namespace
