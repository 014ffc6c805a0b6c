#pragma once

#include <cstdint>

#include "framework/actionbars/ActionBarStyle.h"
#include "framework/core/Component.h"
#include "framework/core/Types.h"

class TActionBarItem;
class TCustomActionManager;

enum TBarOrientation : std::uint8_t { boLeftToRight, boRightToLeft, boTopToBottom, boBottomToTop };
enum TAnimationStyle : std::uint8_t { asNone, asDefault, asUnFold, asSlide, asFade };
enum TEdgeBorder : std::uint8_t { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;

// What every action bar has: the client whose items it shows (given by the
// action manager that holds the bar), its colours and its layout flags.
// The drawing is the subclasses'.
class TCustomActionBar : public TComponent {
    FW_CLASS(TCustomActionBar, TComponent)
public:
    explicit TCustomActionBar(TComponent* AOwner) : TComponent(AOwner) {}
    void BeforeDestruction() override;

    // The manager's bar item that holds this bar, or nullptr.
    TActionBarItem* ActionClient() const noexcept { return actionClient_; }
    TCustomActionManager* ActionManager() const noexcept { return actionManager_; }

    // The bar's own colours; nullptr (the default) uses its style's.
    const TActionBarColorMap* ColorMap() const noexcept { return colorMap_; }
    void SetColorMap(const TActionBarColorMap* Value) noexcept { colorMap_ = Value; }
    // The manager's style, else the first registered one.
    TActionBarStyle* Style() const;
    // The own colour map, else the style's.
    const TActionBarColorMap& EffectiveColorMap() const;

    bool Designable = false;
    bool AutoSize = true;
    bool Shadow = true;
    TAnimationStyle AnimationStyle = asDefault;
    TBarOrientation Orientation = boLeftToRight;
    TEdgeBorders EdgeBorders;

    // Brings what the bar shows in line with its client's items.
    virtual void RecreateControls() {}

private:
    friend class TCustomActionManager;
    TActionBarItem* actionClient_ = nullptr;
    TCustomActionManager* actionManager_ = nullptr;
    const TActionBarColorMap* colorMap_ = nullptr;
};
