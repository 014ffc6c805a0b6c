#include "desktops/Settings.h"

#include <string_view>

#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"

namespace {

// Runs one read step; a failure leaves what the step had not yet set at its default.
template <class Step> void Guarded(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

std::string StripQuotes(const std::string& value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

void ReadRunOption(TSettingsStore& store, const std::string& exePath, TSettingsValues& values) {
    values.RunAtStartup = false;
    Guarded([&] {
        if (store.OpenKey(kRunKey, TSettingsStore::TAccess::Read)) {
            const std::string value = store.ReadString(kRunValue);
            store.CloseKey();
            values.RunAtStartup = RunValueNames(value, exePath);
        }
    });
}

// The value `read` gives, or `fallback` when reading or parsing it fails.
template <class T, class Read> T ValueOr(T fallback, Read&& read) noexcept {
    try {
        return read();
    } catch (...) {
        return fallback;
    }
}

void ReadSettingsKey(TSettingsStore& store, TSettingsValues& values) {
    values.TBHandle = ValueOr<TWindowHandle>(0, [&] { return StrToUInt(store.ReadString("TBHandle")); });
    values.SwitchHotKey = ValueOr(0, [&] { return StrToInt(store.ReadString("SwitchHotKey")); });
    // A bad shortcut keeps the one held before.
    values.AppHotKey = ValueOr(values.AppHotKey,
                               [&] { return ParseAppHotKey(store.ReadString("AppHotKey")); });
    values.ShowTreeOnRightClick = ValueOr(
        false, [&] { return StrToBool(store.ReadString("ShowTreeOnRightClick")); });
    values.ShowDeskbandHelp =
        ValueOr(true, [&] { return StrToBool(store.ReadString("ShowDeskbandHelp")); });
    values.NumDesks = ValueOr(4, [&] { return StrToInt(store.ReadString("NumDesks")); });
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i + 1);
        // A bad file reads like a missing one, the system wallpaper ("none" would clear the
        // user's), and leaves the style at 0; a bad style keeps the file as read.
        bool fileRead = false;
        values.WPDeskFile[i] = ValueOr<std::string>("", [&] {
            std::string file = store.ReadString("WPDesk" + n + "File");
            fileRead = true;
            return file;
        });
        if (fileRead)
            values.WPDeskStyle[i] =
                ValueOr(0, [&] { return StrToInt(store.ReadString("WPDesk" + n + "Style")); });
    }
}

}  // namespace

TShortCut ParseAppHotKey(const std::string& text) {
    const TShortCut shortCut = TextToShortCut(text);
    // Shift alone does not make a key private: a global Shift+A would eat every capital A.
    return (shortCut & (scCtrl | scAlt)) != 0 ? shortCut : TShortCut{0};
}

std::string RunValueFor(const std::string& exePath) {
    return '"' + exePath + '"';
}

bool RunValueNames(const std::string& value, const std::string& exePath) {
    return !exePath.empty() && StripQuotes(value) == exePath;
}

void ReadSettings(TSettingsStore& store, const std::string& exePath, TSettingsValues& values) {
    values.WPDeskFile = {"none", "none", "none", "none"};
    values.WPDeskStyle = {};
    ReadRunOption(store, exePath, values);
    bool opened = false;
    Guarded([&] { opened = store.OpenKey(kSettingsKey, TSettingsStore::TAccess::Read); });
    if (opened) {
        ReadSettingsKey(store, values);
        Guarded([&] { store.CloseKey(); });
    } else {
        values.SwitchHotKey = 0;
        values.ShowTreeOnRightClick = false;
        values.NumDesks = 4;
        // A first start must keep the user's own wallpaper: no key reads like missing values,
        // which name the system wallpaper, not "none", which would clear it.
        values.WPDeskFile = {"", "", "", ""};
    }
    if (values.SwitchHotKey < 0 || values.SwitchHotKey > 5)
        values.SwitchHotKey = 0;
    if (values.NumDesks < 2 || values.NumDesks > 4)
        values.NumDesks = 4;
}

void SaveSettings(TSettingsStore& store, TSettingsApplier& applier,
                  const TSettingsControls& controls, const std::string& exePath,
                  TSettingsValues& values) {
    const bool showMenu = controls.RightClickAct == 1;
    applier.SetTrayPopupMenu(showMenu);
    values.ShowTreeOnRightClick = !showMenu;

    const int count = controls.NumDesksIndex + 2;
    if (!store.OpenKey(kSettingsKey, TSettingsStore::TAccess::WriteCreate))
        throw ERegistryException::FailedToSetData("SwitchHotKey");
    try {
        store.WriteString("SwitchHotKey", IntToStr(controls.SwitchScheme));
        Guarded([&] { store.WriteString("AppHotKey", ShortCutToText(controls.ShowHideKey)); });
        store.WriteString("NumDesks", IntToStr(count));
        store.WriteString("ShowTreeOnRightClick", showMenu ? "FALSE" : "TRUE");
    } catch (...) {
        Guarded([&] { store.CloseKey(); });
        throw;
    }
    store.CloseKey();

    values.SwitchHotKey = controls.SwitchScheme;
    values.AppHotKey = controls.ShowHideKey;
    if (count != values.NumDesks) {
        applier.ChangeDesktopNum(values.NumDesks, count);
        values.NumDesks = count;
        applier.RefreshTree();
        applier.PostSetNumDesks(count);
    }
    applier.SetHotKeys();
    if (controls.StartWithWin != values.RunAtStartup) {
        // Recorded only after the write: a failed one leaves the option unstored, so the next OK
        // sees the change again and retries.
        if (controls.StartWithWin)
            RunWithWinOn(store, exePath);
        else
            RunWithWinOff(store);
        values.RunAtStartup = controls.StartWithWin;
    }
}

void RunWithWinOn(TSettingsStore& store, const std::string& exePath) {
    if (!store.OpenKey(kRunKey, TSettingsStore::TAccess::Write))
        throw ERegistryException::FailedToSetData(kRunValue);
    try {
        store.WriteString(kRunValue, RunValueFor(exePath));
    } catch (...) {
        Guarded([&] { store.CloseKey(); });
        throw;
    }
    store.CloseKey();
}

void RunWithWinOff(TSettingsStore& store) {
    Guarded([&] {
        if (store.OpenKey(kRunKey, TSettingsStore::TAccess::Write)) {
            store.DeleteValue(kRunValue);
            store.CloseKey();
        }
    });
}
