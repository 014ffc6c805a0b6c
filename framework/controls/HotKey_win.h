#pragma once

#include <cstdint>

#include "framework/core/ShortCut.h"
#include "framework/core/Types.h"
#include "framework/gui/WinControl_win.h"

enum THKInvalidKey : std::uint8_t { hcNone, hcShift, hcCtrl, hcAlt, hcShiftCtrl, hcShiftAlt, hcCtrlAlt, hcShiftCtrlAlt };
using THKInvalidKeys = TSet<THKInvalidKey>;
enum THKModifier : std::uint8_t { hkShift, hkCtrl, hkAlt, hkExt };
using THKModifiers = TSet<THKModifier>;

// Native hot-key flags <-> shortcut modifiers (HOTKEYF_SHIFT 1, CONTROL 2,
// ALT 4, EXT 8 in the high byte of the native value).
TShortCut HotKeyValueToShortCut(unsigned Value);
unsigned ShortCutToHotKeyValue(TShortCut Value);

// A key-combination edit (native msctls_hotkey32). The rules (InvalidKeys
// with Modifiers as the replacement) apply to what the user types: by
// default a key without a modifier gets Alt. HotKey set from code bypasses
// them and fires no OnChange; OnChange reports the user's edits only.
// Never double-buffered.
class THotKey : public TWinControl {
    FW_CLASS(THotKey, TWinControl)
public:
    explicit THotKey(TComponent* AOwner);

    TShortCut HotKey();
    void SetHotKey(TShortCut Value);
    THKInvalidKeys InvalidKeys() const noexcept { return invalidKeys_; }
    void SetInvalidKeys(THKInvalidKeys Value);
    THKModifiers Modifiers() const noexcept { return modifiers_; }
    void SetModifiers(THKModifiers Value);
    TNotifyEvent OnChange;

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    void ApplyRules();
    TShortCut hotKey_ = 0;
    THKInvalidKeys invalidKeys_ = {hcNone, hcShift};
    THKModifiers modifiers_ = {hkAlt};
    bool setting_ = false;
};
