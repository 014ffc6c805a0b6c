#include "framework/actionbars/ActionBar.h"

#include "framework/actionbars/ActionManager.h"

void TCustomActionBar::BeforeDestruction() {
    if (actionManager_ != nullptr)
        actionManager_->ForgetActionBar(this);
    TComponent::BeforeDestruction();
}

TActionBarStyle* TCustomActionBar::Style() const {
    if (actionManager_ != nullptr && actionManager_->Style() != nullptr)
        return actionManager_->Style();
    return DefaultActnBarStyle();
}

const TActionBarColorMap& TCustomActionBar::EffectiveColorMap() const {
    return colorMap_ != nullptr ? *colorMap_ : Style()->ColorMap();
}
