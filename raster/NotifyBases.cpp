#include "raster/NotifyBases.h"

void TNotifiablePersistent::Changed() {
    if (updateCount_ == 0 && OnChange)
        OnChange(this);
}

void TNotifiablePersistent::BeginUpdate() {
    ++updateCount_;
}

void TNotifiablePersistent::EndUpdate() {
    --updateCount_;
}

void TThreadPersistent::Lock() {
    lockCount_.fetch_add(1);
    lock_.lock();
}

void TThreadPersistent::Unlock() {
    lock_.unlock();
    lockCount_.fetch_sub(1);
}

bool TCustomMap::SetSize(int newWidth, int newHeight) {
    if (newWidth < 0)
        newWidth = 0;
    if (newHeight < 0)
        newHeight = 0;
    if (newWidth == width_ && newHeight == height_)
        return false;
    ChangeSize(width_, height_, newWidth, newHeight);
    Changed();
    Resized();
    return true;
}

void TCustomMap::Delete() {
    SetSize(0, 0);
}

bool TCustomMap::Empty() const {
    return width_ == 0 || height_ == 0;
}

void TCustomMap::ChangeSize(int& width, int& height, int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
}

void TCustomMap::Resized() {
    if (OnResize)
        OnResize(this);
}
