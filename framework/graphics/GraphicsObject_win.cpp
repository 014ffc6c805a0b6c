#include "framework/graphics/GraphicsObject_win.h"

TGraphicsObject::~TGraphicsObject() {
    if (handle_ != nullptr && owned_) DeleteObject(handle_);
}

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

void TGraphicsObject::HandleChanged() {
    HGDIOBJ retired = handle_;
    const bool owned = owned_;
    handle_ = nullptr;
    owned_ = false;
    try {
        Changed();
    } catch (...) {
        if (retired != nullptr && owned) DeleteObject(retired);
        throw;
    }
    if (retired != nullptr && owned) DeleteObject(retired);
}

HGDIOBJ TGraphicsObject::ObjectHandle() {
    if (handle_ == nullptr) {
        bool owned = true;
        handle_ = MakeHandle(owned);
        owned_ = owned && handle_ != nullptr;
    }
    return handle_;
}

void TGraphicsObject::AdoptHandle(HGDIOBJ object, bool owned) {
    HGDIOBJ retired = handle_;
    const bool retiredOwned = owned_;
    handle_ = object;
    owned_ = owned && object != nullptr;
    try {
        Changed();
    } catch (...) {
        if (retired != nullptr && retiredOwned && retired != object) DeleteObject(retired);
        throw;
    }
    if (retired != nullptr && retiredOwned && retired != object) DeleteObject(retired);
}
