#pragma once

#include <array>
#include <string>

#include "desktops/WindowHandle.h"
#include "framework/core/ShortCut.h"

// The program's settings in the current user's registry: the key "Software\Quorvane" (shared
// with the band, which writes "TBHandle" and reads "NumDesks") and the start-with-Windows value.
// Every value is a string; numbers are decimal text and flags "TRUE"/"FALSE" (read with the
// framework's StrToBool, which also takes any case and numbers).

inline constexpr const char* kSettingsKey = "Software\\Quorvane";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValue = "Quorvane";

// The current user's registry as the settings use it: one open key at a time.
class TSettingsStore {
public:
    enum class TAccess { Read, Write, WriteCreate };
    virtual ~TSettingsStore() = default;
    // Opens `path` below the current user (closing the key open before); false when it cannot be
    // opened (or, with WriteCreate, created). Writes go to the registry at once, not lazily.
    virtual bool OpenKey(const std::string& path, TAccess access) = 0;
    // Closes and flushes the open key; nothing when none is open.
    virtual void CloseKey() = 0;
    // A string value of the open key: "" when missing. Raises for a value of another type or a
    // failed read.
    virtual std::string ReadString(const std::string& name) = 0;
    // Stores a string value; raises (the registry's "Failed to set data for '<name>'") on failure.
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
    // Deletes a value; false when it was missing.
    virtual bool DeleteValue(const std::string& name) = 0;
};

// The settings as the program holds them in memory.
struct TSettingsValues {
    TWindowHandle TBHandle = 0;
    int SwitchHotKey = 0;
    TShortCut AppHotKey = 0;
    bool ShowTreeOnRightClick = false;
    bool ShowDeskbandHelp = true;
    int NumDesks = 4;
    std::array<std::string, 4> WPDeskFile{"none", "none", "none", "none"};
    std::array<int, 4> WPDeskStyle{};
    // Whether the Run value was last found or written naming this program.
    bool RunAtStartup = false;
};

// A stored show/hide shortcut: the framework's shortcut text. A key without Ctrl or Alt (bare, or
// with Shift alone) reads as none, as the hot-key control refuses it: registering it would take
// that key away from every program.
TShortCut ParseAppHotKey(const std::string& text);
// The Run value for `exePath`: the path in quotes, so a path with blanks cannot be read as a
// shorter program followed by arguments.
std::string RunValueFor(const std::string& exePath);
// Whether a stored Run value names `exePath` (exactly, quotes around it stripped).
bool RunValueNames(const std::string& value, const std::string& exePath);

// Reads every setting into `values` (which holds the values before reading), each value in its own
// guard so one bad value gives its default and the others still load: the Run value, then the
// settings key's values; a missing settings key gives the defaults of a first start. Clamps the
// scheme to 0..5 and the desktop count to 2..4. Nothing raises.
void ReadSettings(TSettingsStore& store, const std::string& exePath, TSettingsValues& values);

// What the settings controls of the manager window hold.
struct TSettingsControls {
    int SwitchScheme = 0;      // Combo_SwitchKey's item index
    TShortCut ShowHideKey = 0; // ShowHideKey's shortcut
    int NumDesksIndex = 2;     // CB_NumDesks's item index (count - 2)
    bool StartWithWin = false;
    int RightClickAct = 1;     // 0: open the manager, 1: show the menu
};

// The steps of applying the settings that belong to the manager window.
class TSettingsApplier {
public:
    virtual ~TSettingsApplier() = default;
    // The notification icon opens PopupMenu1 on a right click (true) or reports the click (false).
    virtual void SetTrayPopupMenu(bool on) = 0;
    // Changes the number of desktops from `oldCount` to `newCount` (menus, tree, window lists).
    virtual void ChangeDesktopNum(int oldCount, int newCount) = 0;
    virtual void RefreshTree() = 0;
    // Posts WM_SETNUMDESKS to a known band; nothing when none is known.
    virtual void PostSetNumDesks(int count) = 0;
    // Registers the hot keys afresh from the controls (SetHotKeys).
    virtual void SetHotKeys() = 0;
};

// Stores and applies the controls' settings (OK on the Settings page), in this order: the tray's
// right-click action; "SwitchHotKey", "AppHotKey" (a failure of this one is passed over),
// "NumDesks", "ShowTreeOnRightClick"; the in-memory values; a changed desktop count (with the tree
// and the band told); the hot keys; a changed Run option. A failing write raises and the steps
// after it are not performed.
void SaveSettings(TSettingsStore& store, TSettingsApplier& applier,
                  const TSettingsControls& controls, const std::string& exePath,
                  TSettingsValues& values);

// The Run value on and off. The Run key is opened, never created. Off: a missing value is no
// error; a key that cannot be opened is passed over.
void RunWithWinOn(TSettingsStore& store, const std::string& exePath);
void RunWithWinOff(TSettingsStore& store);
