#include "components/gif/GifDraw_win.h"

#include <windows.h>

#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/GdiUtils_win.h"

namespace {

// A memory DC compatible with another, with one bitmap of its own selected.
class WorkSurface {
public:
    WorkSurface(HDC like, HBITMAP bitmap) : dc_(CreateCompatibleDC(like)), bitmap_(bitmap) {
        old_ = (dc_ && bitmap_) ? SelectObject(dc_, bitmap_) : nullptr;
    }
    ~WorkSurface() {
        if (oldPalette_)
            SelectPalette(dc_, oldPalette_, FALSE);
        if (old_)
            SelectObject(dc_, old_);
        if (bitmap_)
            DeleteObject(bitmap_);
        if (dc_)
            DeleteDC(dc_);
    }
    WorkSurface(const WorkSurface&) = delete;
    WorkSurface& operator=(const WorkSurface&) = delete;

    bool Ok() const { return dc_ && bitmap_ && old_; }
    HDC Dc() const { return dc_; }
    void UsePalette(HPALETTE palette) {
        oldPalette_ = SelectPalette(dc_, palette, FALSE);
        RealizePalette(dc_);
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_ = nullptr;
    HPALETTE oldPalette_ = nullptr;
};

// Key-coloured source pixels become 1 in a mask; the destination is ANDed with
// the mask, the source with its inverse, and the two ORed together off screen
// so the destination never shows a half-drawn state.
void StretchBltThroughMask(HDC dest, int x, int y, int width, int height, HDC source, int sx,
                           int sy, int sw, int sh, COLORREF key, HPALETTE palette) {
    WorkSurface mask(dest, CreateBitmap(sw, sh, 1, 1, nullptr));
    WorkSurface inverse(dest, CreateBitmap(sw, sh, 1, 1, nullptr));
    WorkSurface composition(dest, CreateCompatibleBitmap(dest, width, height));
    WorkSurface copy(dest, CreateCompatibleBitmap(dest, sw, sh));
    if (!mask.Ok() || !inverse.Ok() || !composition.Ok() || !copy.Ok()) {
        return;
    }
    HPALETTE oldDestPalette = nullptr;
    if (palette) {
        oldDestPalette = SelectPalette(dest, palette, TRUE);
        RealizePalette(dest);
        composition.UsePalette(palette);
        copy.UsePalette(palette);
        mask.UsePalette(palette);
    }
    const int mapMode = GetMapMode(dest);
    const int oldSourceMapMode = SetMapMode(source, mapMode);
    SetMapMode(copy.Dc(), mapMode);

    BitBlt(copy.Dc(), 0, 0, sw, sh, source, sx, sy, SRCCOPY);
    const COLORREF oldBack = SetBkColor(copy.Dc(), key | 0x02000000);
    BitBlt(mask.Dc(), 0, 0, sw, sh, copy.Dc(), 0, 0, SRCCOPY);
    // Monochrome-to-colour blits map 1 to the background colour: white again.
    SetBkColor(copy.Dc(), oldBack);
    BitBlt(inverse.Dc(), 0, 0, sw, sh, mask.Dc(), 0, 0, NOTSRCCOPY);

    BitBlt(composition.Dc(), 0, 0, width, height, dest, x, y, SRCCOPY);
    StretchBlt(composition.Dc(), 0, 0, width, height, mask.Dc(), 0, 0, sw, sh, SRCAND);
    BitBlt(copy.Dc(), 0, 0, sw, sh, inverse.Dc(), 0, 0, SRCAND);
    StretchBlt(composition.Dc(), 0, 0, width, height, copy.Dc(), 0, 0, sw, sh, SRCPAINT);
    BitBlt(dest, x, y, width, height, composition.Dc(), 0, 0, SRCCOPY);

    SetMapMode(source, oldSourceMapMode);
    if (oldDestPalette) {
        SelectPalette(dest, oldDestPalette, TRUE);
    }
}

} // namespace

void DrawBitmapRectTransparentColor(TCanvas* canvas, int x, int y, int width, int height,
                                    TBitmap* bitmap, const TRect& src, TColor color) {
    if (canvas == nullptr || bitmap == nullptr || bitmap->Empty()) {
        return;
    }
    if (width < 1)
        width = bitmap->Width();
    if (height < 1)
        height = bitmap->Height();
    TRect part = src;
    if (part.Width() < 1 || part.Height() < 1) {
        part = Rect(0, 0, bitmap->Width(), bitmap->Height());
    }
    HDC dest = canvas->Handle();
    const bool monochrome = bitmap->Monochrome();
    if (!monochrome) {
        SetStretchBltMode(dest, COLORONCOLOR);
    }
    TCanvas* source = bitmap->Canvas();
    TNotifyEvent savedChange = source->OnChange;
    source->OnChange = TNotifyEvent();
    source->Lock();
    struct Restore {
        TCanvas* canvas;
        TNotifyEvent event;
        ~Restore() {
            canvas->Unlock();
            canvas->OnChange = event;
        }
    } restore{source, savedChange};

    HDC sourceDc = source->Handle();
    if (color == clNone) {
        StretchBlt(dest, x, y, width, height, sourceDc, part.Left, part.Top, part.Width(),
                   part.Height(), canvas->CopyMode());
        return;
    }
    if (color == clDefault) {
        color = source->Pixel(0, bitmap->Height() - 1);
    }
    // The source is first copied into a colour bitmap, where a monochrome
    // bitmap's pixels are exactly black and white, so its key is its own
    // colour too: keying white regardless would hide the wrong pixels of a
    // black-and-white picture whose transparent colour is black.
    const COLORREF key = ColorRef(color);
    StretchBltThroughMask(dest, x, y, width, height, sourceDc, part.Left, part.Top, part.Width(),
                          part.Height(), key, bitmap->Palette());
}
