#pragma once

#include "framework/controls/Edit_win.h"

// The masked edit's place in the class tree. No mask language is built: the mask is always
// empty, so every text is valid and the validation error (a beep) never comes from here.
class TCustomMaskEdit : public TCustomEdit {
    FW_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    explicit TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

    const std::string& EditMask() const noexcept { return editMask_; }
    // With the empty mask there is nothing to check.
    virtual void ValidateEdit() {}

protected:
    // What a failed validation does: the system's default beep.
    virtual void ValidateError();

private:
    std::string editMask_;
};
