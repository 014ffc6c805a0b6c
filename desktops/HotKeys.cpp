#include "desktops/HotKeys.h"

#include <array>

namespace {

constexpr std::array<THotKeyScheme, kSwitchSchemeCount> kSchemes{{
    {"Alt + Numbers (1-4)", "Alt", kModAlt, false},
    {"Ctrl + Numbers (1-4)", "Ctrl", kModControl, false},
    {"Shift + Numbers (1-4)", "Shift", kModShift, false},
    {"Alt + Function keys (F1-F4)", "Alt", kModAlt, true},
    {"Ctrl + Function keys (F1-F4)", "Ctrl", kModControl, true},
    {"Shift + Function keys (F1-F4)", "Shift", kModShift, true},
}};
constexpr THotKeyScheme kFallback{"", "Alt", kModAlt, false};

constexpr unsigned kVkF1 = 0x70;

bool KnownScheme(int index) {
    return index >= 0 && index < kSwitchSchemeCount;
}

// "Alt+3" or "Alt+F3".
std::string KeyText(const THotKeyScheme& scheme, int desk) {
    return std::string(scheme.prefix) + (scheme.functionKeys ? "+F" : "+") + std::to_string(desk);
}

}  // namespace

const THotKeyScheme& HotKeyScheme(int index) noexcept {
    return KnownScheme(index) ? kSchemes[static_cast<std::size_t>(index)] : kFallback;
}

std::vector<std::string> SwitchSchemeItems() {
    std::vector<std::string> items;
    for (const auto& scheme : kSchemes)
        items.emplace_back(scheme.itemText);
    return items;
}

unsigned DeskHotKeyKey(int scheme, int desk) noexcept {
    const unsigned offset = static_cast<unsigned>(desk - 1);
    return HotKeyScheme(scheme).functionKeys ? kVkF1 + offset : '1' + offset;
}

std::string getDeskHotKeyStr(int scheme, int desk) {
    if (!KnownScheme(scheme))
        return {};
    return KeyText(HotKeyScheme(scheme), desk);
}

std::string DeskNodeCaption(int scheme, int desk) {
    return "Desktop " + std::to_string(desk) + " (" + KeyText(HotKeyScheme(scheme), desk) + ")";
}

std::string DeskActionShortCutText(int scheme, int desk) {
    return KeyText(HotKeyScheme(scheme), desk);
}

void UnregisterHotKeys(THotKeyRegistrar& registrar) {
    for (int id = 1; id <= kShowHideHotKeyId; ++id)
        registrar.Unregister(id);
}

unsigned HotKeyModifiers(TShortCut shortCut) noexcept {
    unsigned modifiers = 0;
    if (shortCut & scAlt)
        modifiers += kModAlt;
    if (shortCut & scCtrl)
        modifiers += kModControl;
    if (shortCut & scShift)
        modifiers += kModShift;
    return modifiers;
}

void RegisterHotKeys(THotKeyRegistrar& registrar, int scheme, int count, TShortCut showHide) {
    UnregisterHotKeys(registrar);
    const THotKeyScheme& keys = HotKeyScheme(scheme);
    for (int desk = 1; desk <= 4; ++desk) {
        if (desk > 2 && count < desk)
            break;
        registrar.Register(desk, keys.modifier, DeskHotKeyKey(scheme, desk));
    }
    // An empty shortcut text means no key at all: nothing to register.
    if (!ShortCutToText(showHide).empty())
        registrar.Register(kShowHideHotKeyId, HotKeyModifiers(showHide), showHide & 0xFFu);
}

THotKeyDecision DecideHotKey(int id, bool switchAllowed, int activeDesk, int numDesks,
                             bool managerVisible, bool managerInFront) noexcept {
    if (!switchAllowed)
        return {};
    if (id >= 1 && id <= 4) {
        const int desk = id - 1;
        if (desk == activeDesk || desk >= numDesks)
            return {};
        return {THotKeyCommand::Switch, desk};
    }
    if (id == kShowHideHotKeyId) {
        if (!managerVisible)
            return {THotKeyCommand::ShowManager};
        return {managerInFront ? THotKeyCommand::HideManager : THotKeyCommand::BringToFront};
    }
    return {};
}
