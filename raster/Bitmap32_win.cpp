// The bitmap's Windows side: the device context, canvas and font, and the exchange with the
// class library's bitmaps, graphics and pictures.

#include <windows.h>

#include "framework/core/Exceptions.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Clipboard_win.h"
#include "framework/graphics/Font_win.h"
#include "framework/graphics/Graphic_win.h"
#include "framework/graphics/Icon_win.h"
#include "framework/graphics/Metafile_win.h"
#include "framework/graphics/Picture_win.h"
#include "raster/Bitmap32.h"
#include "raster/Platform_win.h"

namespace {

BITMAPINFO InfoFor(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

void TBitmap32::InitPlatform() {
    font_ = Create<TFont>();
    font_->OnChange = TNotifyEvent(this, &TBitmap32::ReleaseFontHandle);
}

void TBitmap32::DestroyPlatform() noexcept {
    if (font_ != nullptr)
        font_->OnChange = nullptr;
    FreeAndNil(font_);
}

HDC__* TBitmap32::Handle() const noexcept {
    return static_cast<HDC>(storage_->DeviceContext());
}

void TBitmap32::PlatformHandleChanged() {
    if (canvas_ != nullptr)
        canvas_->SetHandle(Handle());
}

void TBitmap32::CanvasChanged(TObject*) {
    Changed();
}

TCanvas* TBitmap32::Canvas() {
    if (canvas_ == nullptr) {
        canvas_ = Create<TCanvas>();
        canvas_->SetHandle(Handle());
        canvas_->OnChange = TNotifyEvent(this, &TBitmap32::CanvasChanged);
    }
    return canvas_;
}

void TBitmap32::FreeCanvas() {
    if (canvas_ != nullptr) {
        canvas_->OnChange = nullptr;
        canvas_->SetHandle(nullptr);
        FreeAndNil(canvas_);
    }
}

void TBitmap32::ReleaseFontHandle(TObject*) {
    if (fontHandle_ != nullptr) {
        if (HDC dc = Handle(); dc != nullptr)
            SelectObject(dc, raster::StockSystemFont());
        fontHandle_ = nullptr;
    }
}

void TBitmap32::CopyFontTo(TBitmap32* dest) {
    if (font_ != nullptr && dest->font_ != nullptr)
        dest->font_->Assign(font_);
}

void TBitmap32::CopyOnto(HDC__* dc, int x, int y) {
    if (Empty() || dc == nullptr)
        return;
    const BITMAPINFO info = InfoFor(width_, height_);
    StretchDIBits(dc, x, y, width_, height_, 0, 0, width_, height_, bits_, &info, DIB_RGB_COLORS,
                  SRCCOPY);
}

void TBitmap32::DrawGraphic(TGraphic* graphic, const TRect& rect) {
    if (Empty() || graphic == nullptr || Handle() == nullptr)
        return;
    TCanvas* canvas = Create<TCanvas>();
    try {
        canvas->SetHandle(Handle());
        canvas->StretchDraw(rect, graphic);
        canvas->SetHandle(nullptr);
    } catch (...) {
        canvas->SetHandle(nullptr);
        canvas->Free();
        throw;
    }
    canvas->Free();
    // GDI may batch the drawing; the pixels are read directly from here on.
    GdiFlush();
}

void TBitmap32::AssignFromBitmap(TBitmap* source) {
    SetSize(source->Width(), source->Height());
    if (Empty())
        return;
    TCanvas* from = source->Canvas();
    from->Lock();
    try {
        BitBlt(Handle(), 0, 0, width_, height_, from->Handle(), 0, 0, SRCCOPY);
    } catch (...) {
        from->Unlock();
        throw;
    }
    from->Unlock();
    GdiFlush();
    if (source->PixelFormat() != pf32bit)
        SetAllAlpha(255);
    if (source->Transparent()) {
        const TColor32 key = Color32(source->TransparentColor()) & 0x00FFFFFF;
        const std::ptrdiff_t n = std::ptrdiff_t{width_} * height_;
        for (std::ptrdiff_t i = 0; i < n; ++i) {
            if ((bits_[i] & 0x00FFFFFF) == key)
                bits_[i] &= 0x00FFFFFF;
        }
    }
    if (font_ != nullptr)
        font_->Assign(from->Font());
}

void TBitmap32::AssignFromPicture(TPicture* picture) {
    TGraphic* graphic = picture->Graphic();
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) {
        AssignFromBitmap(bitmap);
        return;
    }
    if (graphic == nullptr) {
        SetSize(0, 0);
        return;
    }
    const TRect area{0, 0, picture->Width(), picture->Height()};
    SetSize(graphic->Width(), graphic->Height());
    if (Empty())
        return;
    if (dynamic_cast<TIcon*>(graphic) != nullptr || dynamic_cast<TMetafile*>(graphic) != nullptr) {
        // Transparency by two renderings: where the graphic paints, white and red backgrounds
        // give the same colour; elsewhere they differ.
        Clear(0xFFFFFFFF);
        DrawGraphic(graphic, area);
        TBitmap32* red = Create<TBitmap32>();
        try {
            red->SetSize(width_, height_);
            red->Clear(0xFFFF0000);
            red->DrawGraphic(graphic, area);
            const int w = std::min(width_, area.Right), h = std::min(height_, area.Bottom);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const TColor32 c = Pixel(x, y) & 0x00FFFFFF;
                    SetPixel(x, y, (red->Pixel(x, y) & 0x00FFFFFF) == c ? (c | 0xFF000000) : c);
                }
        } catch (...) {
            red->Free();
            throw;
        }
        red->Free();
        return;
    }
    DrawGraphic(graphic, area);
    SetAllAlpha(255);
}

bool TBitmap32::AssignForeign(TPersistent* source) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        AssignFromBitmap(bitmap);
        return true;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        SetSize(graphic->Width(), graphic->Height());
        if (!Empty()) {
            DrawGraphic(graphic, WholeRect());
            SetAllAlpha(255);
        }
        return true;
    }
    if (auto* picture = dynamic_cast<TPicture*>(source)) {
        AssignFromPicture(picture);
        return true;
    }
    if (auto* clipboard = dynamic_cast<TClipboard*>(source)) {
        AssignFromClipboard(clipboard);
        return true;
    }
    return false;
}

void TBitmap32::AssignFromClipboard(TClipboard* clipboard) {
    // Raises EInvalidGraphic, leaving this bitmap alone, when no picture format is offered.
    TPicture* picture = Create<TPicture>();
    try {
        picture->Assign(clipboard);
        SetSize(picture->Width(), picture->Height());
        if (!Empty()) {
            DrawGraphic(picture->Graphic(), WholeRect());
            SetAllAlpha(255);
        }
    } catch (...) {
        picture->Free();
        throw;
    }
    picture->Free();
}

void TBitmap32::CopyToBitmap(TBitmap* dest) {
    dest->SetHandleType(bmDIB);
    dest->SetPixelFormat(pf32bit);
    if (font_ != nullptr)
        dest->Canvas()->Font()->Assign(font_);
    dest->SetSize(width_, height_);
    if (!Empty())
        CopyOnto(dest->Canvas()->Handle(), 0, 0);
}

bool TBitmap32::AssignToForeign(TPersistent* dest) {
    if (auto* picture = dynamic_cast<TPicture*>(dest)) {
        CopyToBitmap(picture->Bitmap());
        return true;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        CopyToBitmap(bitmap);
        return true;
    }
    if (auto* clipboard = dynamic_cast<TClipboard*>(dest)) {
        TBitmap* bitmap = Create<TBitmap>();
        try {
            CopyToBitmap(bitmap);
            clipboard->Assign(bitmap);
        } catch (...) {
            bitmap->Free();
            throw;
        }
        bitmap->Free();
        return true;
    }
    return false;
}

void TBitmap32::LoadPictureFile(const std::string& fileName) {
    TPicture* picture = Create<TPicture>();
    try {
        picture->LoadFromFile(fileName);
        Assign(picture);
    } catch (...) {
        picture->Free();
        throw;
    }
    picture->Free();
}
