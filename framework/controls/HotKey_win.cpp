#include "framework/controls/HotKey_win.h"

#include <commctrl.h>

#include "framework/gui/Messages.h"

namespace {

// Keys of the extended keyboard block: the control needs HOTKEYF_EXT to
// name them right ("Num 1" otherwise for End).
bool IsExtendedKey(unsigned vk) {
    switch (vk) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
    case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_NUMLOCK:
        return true;
    default:
        return false;
    }
}

}  // namespace

TShortCut HotKeyValueToShortCut(unsigned Value) {
    const unsigned vk = Value & 0xFF;
    const unsigned flags = (Value >> 8) & 0xFF;
    if (vk == 0)
        return 0;
    TShortCut result = static_cast<TShortCut>(vk);
    if (flags & HOTKEYF_SHIFT)
        result |= scShift;
    if (flags & HOTKEYF_CONTROL)
        result |= scCtrl;
    if (flags & HOTKEYF_ALT)
        result |= scAlt;
    return result;
}

unsigned ShortCutToHotKeyValue(TShortCut Value) {
    const unsigned vk = Value & 0xFF;
    if (vk == 0)
        return 0;
    unsigned flags = 0;
    if (Value & scShift)
        flags |= HOTKEYF_SHIFT;
    if (Value & scCtrl)
        flags |= HOTKEYF_CONTROL;
    if (Value & scAlt)
        flags |= HOTKEYF_ALT;
    if (IsExtendedKey(vk))
        flags |= HOTKEYF_EXT;
    return vk | (flags << 8);
}

THotKey::THotKey(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Exclude(csClickEvents).Exclude(csCaptureMouse).Exclude(csSetCaption);
    SetTabStop(true);
    SetBounds(0, 0, 121, 19);
}

void THotKey::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.WinClassName = HOTKEY_CLASSA;
    Params.Caption.clear();
}

void THotKey::CreateWnd() {
    DoubleBuffered = false;
    TWinControl::CreateWnd();
    ApplyRules();
    setting_ = true;
    SendMessageA(Handle(), HKM_SETHOTKEY, ShortCutToHotKeyValue(hotKey_), 0);
    setting_ = false;
}

void THotKey::ApplyRules() {
    if (!HandleAllocated())
        return;
    static constexpr WPARAM kComb[] = {HKCOMB_NONE, HKCOMB_S, HKCOMB_C, HKCOMB_A,
                                       HKCOMB_SC, HKCOMB_SA, HKCOMB_CA, HKCOMB_SCA};
    WPARAM invalid = 0;
    for (int i = hcNone; i <= hcShiftCtrlAlt; ++i)
        if (invalidKeys_.Contains(static_cast<THKInvalidKey>(i)))
            invalid |= kComb[i];
    LPARAM modifiers = 0;
    if (modifiers_.Contains(hkShift))
        modifiers |= HOTKEYF_SHIFT;
    if (modifiers_.Contains(hkCtrl))
        modifiers |= HOTKEYF_CONTROL;
    if (modifiers_.Contains(hkAlt))
        modifiers |= HOTKEYF_ALT;
    if (modifiers_.Contains(hkExt))
        modifiers |= HOTKEYF_EXT;
    SendMessageA(Handle(), HKM_SETRULES, invalid, MAKELPARAM(modifiers, 0));
}

TShortCut THotKey::HotKey() {
    if (HandleAllocated())
        hotKey_ = HotKeyValueToShortCut(static_cast<unsigned>(SendMessageA(Handle(), HKM_GETHOTKEY, 0, 0)));
    return hotKey_;
}

void THotKey::SetHotKey(TShortCut Value) {
    hotKey_ = Value;
    if (!HandleAllocated())
        return;
    setting_ = true;
    SendMessageA(Handle(), HKM_SETHOTKEY, ShortCutToHotKeyValue(Value), 0);
    setting_ = false;
}

void THotKey::SetInvalidKeys(THKInvalidKeys Value) {
    invalidKeys_ = Value;
    ApplyRules();
}

void THotKey::SetModifiers(THKModifiers Value) {
    modifiers_ = Value;
    ApplyRules();
}

void THotKey::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == EN_CHANGE) {
        if (!setting_) {
            hotKey_ = HotKeyValueToShortCut(static_cast<unsigned>(SendMessageA(Handle(), HKM_GETHOTKEY, 0, 0)));
            if (OnChange)
                OnChange(this);
        }
        return;
    }
    TWinControl::WndProc(Message);
}
