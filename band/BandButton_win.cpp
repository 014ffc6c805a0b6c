#include "band/BandButton_win.h"

#include "raster/Bitmap32.h"

TBandButton::TBandButton(TComponent* AOwner)
    : TGraphicControl(AOwner), bitmap_(Create<TBitmap32>()) {
    bitmap_->OnChange = TNotifyEvent(this, &TBandButton::BitmapChanged);
    SetBounds(0, 0, 16, 16);
}

TBandButton::~TBandButton() {
    bitmap_->OnChange = {};
    bitmap_->Free();
}

void TBandButton::BitmapChanged(TObject*) {
    Invalidate();
}

void TBandButton::Paint() {
    bitmap_->CopyOnto(Canvas()->Handle(), 0, 0);
}
