#pragma once

#include <windows.h>

#include "framework/core/Events.h"
#include "framework/core/Persistent.h"

// The base of TFont, TPen and TBrush: a description that owns one GDI object,
// made lazily from the description and remade after it changes.
//
// Handle contract: a change that affects the GDI object retires the current
// one, fires OnChange (a canvas that has it selected selects the new one
// there) and only then deletes the retired object, so no object is deleted
// while it is still selected into the canvas's DC.
class TGraphicsObject : public TPersistent {
    FW_CLASS(TGraphicsObject, TPersistent)
public:
    TGraphicsObject() = default;
    ~TGraphicsObject() override;

    // Fired after every change (sender: this object).
    TNotifyEvent OnChange;

    // True when the GDI object exists.
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }

protected:
    // Fires OnChange.
    virtual void Changed();
    // Retires the GDI object (see the class comment), then Changed().
    void HandleChanged();
    // The GDI object, made by MakeHandle() when missing.
    HGDIOBJ ObjectHandle();
    // Adopts object as the GDI object (deleted later unless stock).
    void AdoptHandle(HGDIOBJ object, bool owned);
    // Makes the GDI object for the current description.
    virtual HGDIOBJ MakeHandle(bool& owned) = 0;

private:
    HGDIOBJ handle_ = nullptr;
    bool owned_ = false;
};
