#include "framework/actionbars/ActionBarStyle.h"

#include <algorithm>

#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"

namespace {

// The look of the office suites of the XP era: near-white menus with a grey
// strip behind the images, a light blue selection framed in dark blue.
TActionBarColorMap XPColorMap() {
    TActionBarColorMap map;
    map.Color = static_cast<TColor>(0x00EEF6F7);
    map.MenuColor = static_cast<TColor>(0x00FCFCFC);
    map.ImageColumnColor = static_cast<TColor>(0x00E3E8EA);
    map.FontColor = static_cast<TColor>(0x00000000);
    map.SelectedColor = static_cast<TColor>(0x00EED2C1);
    map.SelectedFrameColor = static_cast<TColor>(0x006A240A);
    map.SelectedFontColor = static_cast<TColor>(0x00000000);
    map.DisabledFontColor = static_cast<TColor>(0x00A0A0A0);
    map.SeparatorColor = static_cast<TColor>(0x00C5C2C5);
    map.CheckColor = static_cast<TColor>(0x00E2B598);
    return map;
}

std::vector<TActionBarStyle*>& Registry() {
    // Built on first use: nothing runs before main.
    static TActionBarStyle xp("XP Style", XPColorMap());
    static std::vector<TActionBarStyle*> styles{&xp};
    return styles;
}

} // namespace

const std::vector<TActionBarStyle*>& ActionBarStyles() {
    return Registry();
}

void RegisterActnBarStyle(TActionBarStyle* Style) {
    if (Style == nullptr)
        throw EInvalidOperation("No action bar style given");
    auto& styles = Registry();
    if (std::find(styles.begin(), styles.end(), Style) != styles.end() ||
        FindActnBarStyle(Style->Name()) != nullptr)
        throw EInvalidOperation("Action bar style \"" + Style->Name() + "\" is already registered");
    styles.push_back(Style);
}

void UnRegisterActnBarStyle(TActionBarStyle* Style) noexcept {
    std::erase(Registry(), Style);
}

TActionBarStyle* FindActnBarStyle(const std::string& Name) noexcept {
    for (TActionBarStyle* style : Registry())
        if (SameText(style->Name(), Name))
            return style;
    return nullptr;
}

TActionBarStyle* DefaultActnBarStyle() {
    auto& styles = Registry();
    if (styles.empty())
        throw EInvalidOperation("No action bar style is registered");
    return styles.front();
}
