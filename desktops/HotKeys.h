#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/ShortCut.h"

// The five global hot keys of the manager window and the switch schemes the user picks from.
// Ids 1 to 4 switch to desktop 1 to 4; id 5 shows or hides the manager window.

inline constexpr int kShowHideHotKeyId = 5;
inline constexpr int kSwitchSchemeCount = 6;

// The system's modifier flags for RegisterHotKey.
inline constexpr unsigned kModAlt = 0x1;
inline constexpr unsigned kModControl = 0x2;
inline constexpr unsigned kModShift = 0x4;

struct THotKeyScheme {
    const char* itemText;  // the combo box item; "" for the fallback
    const char* prefix;    // "Alt", "Ctrl" or "Shift"
    unsigned modifier;     // kModAlt, kModControl or kModShift
    bool functionKeys;     // F1 to F4 instead of the digits 1 to 4
};

// The scheme at combo index `index`; any other index (none selected) gives Alt with the digits.
const THotKeyScheme& HotKeyScheme(int index) noexcept;
// The six combo items in index order.
std::vector<std::string> SwitchSchemeItems();
// The virtual key of desktop `desk` (1 to 4) under the scheme: '1'..'4' or VK_F1..VK_F4.
unsigned DeskHotKeyKey(int scheme, int desk) noexcept;

// The switch key of desktop `desk` as the tree shows it ("Ctrl+3", "Shift+F2"); "" for a scheme
// outside 0 to 5.
std::string getDeskHotKeyStr(int scheme, int desk);
// The tree caption of desktop `desk` (1 to 4): "Desktop 1 (Alt+1)", "Desktop 3 (Shift+F3)". A
// scheme outside 0 to 5 reads as Alt with the digits here, unlike getDeskHotKeyStr.
std::string DeskNodeCaption(int scheme, int desk);
// The shortcut text of the action Desk<desk>Act: "Alt+1", "Ctrl+F4".
std::string DeskActionShortCutText(int scheme, int desk);

// The system's hot-key table as far as the manager window uses it.
class THotKeyRegistrar {
public:
    virtual ~THotKeyRegistrar() = default;
    // RegisterHotKey on the manager window; false when the combination belongs to someone else.
    virtual bool Register(int id, unsigned modifiers, unsigned key) = 0;
    // UnregisterHotKey; an id that is not registered is passed over.
    virtual void Unregister(int id) = 0;
};

// Unregisters ids 1 to 5 in that order.
void UnregisterHotKeys(THotKeyRegistrar& registrar);
// Registers afresh: unregisters 1 to 5; registers ids 1 and 2, 3 when count > 2, 4 when
// count > 3, with the scheme's modifier and keys; then id 5 from `showHide` when it has a key.
// Failed registrations are passed over.
void RegisterHotKeys(THotKeyRegistrar& registrar, int scheme, int count, TShortCut showHide);
// The RegisterHotKey modifiers of a shortcut (Alt, Ctrl and Shift summed).
unsigned HotKeyModifiers(TShortCut shortCut) noexcept;

// What a WM_HOTKEY asks of the manager window.
enum class THotKeyCommand { None, Switch, HideManager, BringToFront, ShowManager };
struct THotKeyDecision {
    THotKeyCommand command = THotKeyCommand::None;
    int desk = -1;  // with Switch: the 0-based target
};
// The decision for hot key `id`: nothing while switching is not allowed; ids 1 to 4 switch when
// the target is not active and exists; id 5 hides a visible manager that is in front, brings a
// visible one forward, and shows a hidden one.
THotKeyDecision DecideHotKey(int id, bool switchAllowed, int activeDesk, int numDesks,
                             bool managerVisible, bool managerInFront) noexcept;
