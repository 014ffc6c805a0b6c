#include "controls/TkExControls_win.h"

void ResolveHintColor(THintInfo& HintInfo, TControl* Control, TColor HintColor) {
    if (HintColor == clNone) {
        HintInfo.HintColor = Application != nullptr ? Application->HintColor : clInfoBk;
        return;
    }
    if (HintColor != clDefault) {
        HintInfo.HintColor = HintColor;
        return;
    }
    TWinControl* parent = Control != nullptr ? Control->Parent() : nullptr;
    if (parent == nullptr)
        return;
    // The parent decides on a copy, so its own handling cannot touch this record.
    THintInfo copy = HintInfo;
    parent->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&copy));
    HintInfo.HintColor = copy.HintColor;
}
