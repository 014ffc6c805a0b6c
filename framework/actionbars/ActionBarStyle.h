#pragma once

#include <string>
#include <vector>

#include "framework/core/Types.h"

// The colours an action bar and its menus are drawn in.
struct TActionBarColorMap {
    TColor Color = clBtnFace;            // the bar itself
    TColor MenuColor = clWindow;         // a menu's background
    TColor ImageColumnColor = clBtnFace; // the strip under images and check marks
    TColor FontColor = clMenuText;
    TColor SelectedColor = clHighlight; // the item under the pointer or the keyboard
    TColor SelectedFrameColor = clHighlight;
    TColor SelectedFontColor = clMenuText;
    TColor DisabledFontColor = clGrayText;
    TColor SeparatorColor = clBtnShadow;
    TColor CheckColor = clHighlight; // the box behind a check mark
};

// A named look for action bars. Styles live for the whole program.
class TActionBarStyle {
public:
    TActionBarStyle(std::string Name, const TActionBarColorMap& ColorMap)
        : name_(std::move(Name)), colorMap_(ColorMap) {}
    const std::string& Name() const noexcept { return name_; }
    const TActionBarColorMap& ColorMap() const noexcept { return colorMap_; }

private:
    std::string name_;
    TActionBarColorMap colorMap_;
};

// The style registry, in registration order; "XP Style" is registered
// first, when the registry is first used.
const std::vector<TActionBarStyle*>& ActionBarStyles();
// Adds a style (the caller keeps it alive while registered); a style
// already registered, nullptr, or a name already taken (case-insensitive)
// raises EInvalidOperation.
void RegisterActnBarStyle(TActionBarStyle* Style);
// Takes the style out; nothing when it is not registered.
void UnRegisterActnBarStyle(TActionBarStyle* Style) noexcept;
// The registered style of that name (case-insensitive), or nullptr.
TActionBarStyle* FindActnBarStyle(const std::string& Name) noexcept;
// The first registered style; EInvalidOperation when none is left.
TActionBarStyle* DefaultActnBarStyle();
