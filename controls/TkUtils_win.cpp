#include "controls/TkUtils_win.h"

#include <algorithm>

#include "framework/controls/ImageList_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Font_win.h"
#include "framework/gui/GraphicControl_win.h"
#include "framework/gui/Screen_win.h"
#include "framework/gui/WinControl_win.h"

namespace {

COLORREF Rgb(TColor c) {
    return static_cast<COLORREF>(ColorToRGB(c)) & 0xFFFFFF;
}

std::string FindName(const std::string& path, bool shortFirst) {
    if (path.empty() || LastComponentHasWildcard(path))
        return {};
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return {};
    FindClose(find);
    const std::string longName = data.cFileName, shortName = data.cAlternateFileName;
    if (shortFirst)
        return shortName.empty() ? longName : shortName;
    return longName.empty() ? shortName : longName;
}

TBitmap* NewBitmap(int w, int h, TColor fill) {
    auto* b = Create<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->Canvas()->Brush()->SetColor(fill);
    b->SetSize(w, h);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

// The brush where the source is black, the destination kept where white.
constexpr DWORD ROP_PSDPXAX = 0x00B8074A;

// Blits a monochrome work bitmap so that its black pixels (the shape) take
// the brush. The framework's monochrome bitmaps are DIB sections with their
// own black-and-white colour table, which the blit uses instead of the DC's
// text and background colours, so the shape is selected by the raster
// operation rather than by those colours.
void BlitShape(TCanvas* dest, int x, int y, int w, int h, TBitmap* shape, TColor brush) {
    dest->Brush()->SetColor(brush);
    HDC dc = dest->Handle();
    BitBlt(dc, x, y, w, h, shape->Canvas()->Handle(), 0, 0, ROP_PSDPXAX);
}

} // namespace

std::string ExpandShortPathName(const std::string& Path) {
    return FindName(Path, false);
}

std::string LongToShortFileName(const std::string& Path) {
    return FindName(Path, true);
}

std::string ShortenTextToWidth(const std::string& Text, TCanvas* Canvas, int MaxWidth) {
    return ShortenTextToWidth(
        Text, MaxWidth, [Canvas](std::string_view s) { return Canvas->TextWidth(std::string(s)); },
        [](unsigned char b) { return IsDBCSLeadByte(b) != FALSE; });
}

void DiscardPendingMessage(HWND Window, UINT Msg) {
    MSG m{};
    if (PeekMessageA(&m, Window, Msg, Msg, PM_REMOVE) && m.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(m.wParam));
}

void DrawTextOnCanvas(TCanvas* Canvas, const char* Text, int Length, TRect& Rect, UINT Format) {
    RECT r{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
    DrawTextA(Canvas->Handle(), Text, Length, &r, Format);
    Rect = {r.left, r.top, r.right, r.bottom};
}

void DrawStringOnDC(HDC DC, const std::string& Text, int Length, TRect& Rect, UINT Format) {
    RECT r{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
    const int length = Length < 0 ? -1 : std::min<int>(Length, static_cast<int>(Text.size()));
    DrawTextA(DC, Text.c_str(), length, &r, Format & ~static_cast<UINT>(DT_MODIFYSTRING));
    Rect = {r.left, r.top, r.right, r.bottom};
}

void DrawStringOnCanvas(TCanvas* Canvas, const std::string& Text, int Length, TRect& Rect,
                        UINT Format) {
    DrawStringOnDC(Canvas->Handle(), Text, Length, Rect, Format);
}

BOOL BlitRect(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int SourceX, int SourceY,
              DWORD Rop) {
    return BitBlt(Dest, X, Y, Width, Height, Source, SourceX, SourceY, Rop);
}

void StretchBltMasked(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int SourceX,
                      int SourceY, int SourceWidth, int SourceHeight, TColor KeyColor,
                      HPALETTE Palette) {
    if (Width <= 0 || Height <= 0 || SourceWidth <= 0 || SourceHeight <= 0)
        return;
    HDC inverse = CreateCompatibleDC(Dest), mask = CreateCompatibleDC(Dest),
        result = CreateCompatibleDC(Dest), copy = CreateCompatibleDC(Dest);
    HBITMAP inverseBmp = CreateBitmap(SourceWidth, SourceHeight, 1, 1, nullptr);
    HBITMAP maskBmp = CreateBitmap(SourceWidth, SourceHeight, 1, 1, nullptr);
    HBITMAP resultBmp = CreateCompatibleBitmap(Dest, Width, Height);
    HBITMAP copyBmp = CreateCompatibleBitmap(Dest, SourceWidth, SourceHeight);
    HGDIOBJ oldInverse = SelectObject(inverse, inverseBmp), oldMask = SelectObject(mask, maskBmp),
            oldResult = SelectObject(result, resultBmp), oldCopy = SelectObject(copy, copyBmp);
    HPALETTE oldPalettes[4] = {};
    if (Palette != nullptr) {
        oldPalettes[0] = SelectPalette(Dest, Palette, TRUE);
        oldPalettes[1] = SelectPalette(copy, Palette, FALSE);
        oldPalettes[2] = SelectPalette(mask, Palette, FALSE);
        oldPalettes[3] = SelectPalette(result, Palette, TRUE);
        RealizePalette(Dest);
        RealizePalette(copy);
        RealizePalette(mask);
        RealizePalette(result);
    }
    // The caller's mapping mode comes back at the end.
    const int sourceMode = GetMapMode(Source);
    SetMapMode(Source, GetMapMode(Dest));
    SetMapMode(copy, GetMapMode(Dest));
    BitBlt(copy, 0, 0, SourceWidth, SourceHeight, Source, SourceX, SourceY, SRCCOPY);
    const COLORREF back = SetBkColor(copy, Rgb(KeyColor) | 0x02000000);
    BitBlt(mask, 0, 0, SourceWidth, SourceHeight, copy, 0, 0, SRCCOPY);
    SetBkColor(copy, back);
    BitBlt(inverse, 0, 0, SourceWidth, SourceHeight, mask, 0, 0, NOTSRCCOPY);
    BitBlt(result, 0, 0, Width, Height, Dest, X, Y, SRCCOPY);
    SetStretchBltMode(result, COLORONCOLOR);
    StretchBlt(result, 0, 0, Width, Height, mask, 0, 0, SourceWidth, SourceHeight, SRCAND);
    BitBlt(copy, 0, 0, SourceWidth, SourceHeight, inverse, 0, 0, SRCAND);
    StretchBlt(result, 0, 0, Width, Height, copy, 0, 0, SourceWidth, SourceHeight, SRCPAINT);
    BitBlt(Dest, X, Y, Width, Height, result, 0, 0, SRCCOPY);
    SetMapMode(Source, sourceMode);
    if (Palette != nullptr) {
        SelectPalette(Dest, oldPalettes[0], TRUE);
        SelectPalette(copy, oldPalettes[1], FALSE);
        SelectPalette(mask, oldPalettes[2], FALSE);
        SelectPalette(result, oldPalettes[3], TRUE);
    }
    SelectObject(inverse, oldInverse);
    SelectObject(mask, oldMask);
    SelectObject(result, oldResult);
    SelectObject(copy, oldCopy);
    DeleteObject(inverseBmp);
    DeleteObject(maskBmp);
    DeleteObject(resultBmp);
    DeleteObject(copyBmp);
    DeleteDC(inverse);
    DeleteDC(mask);
    DeleteDC(result);
    DeleteDC(copy);
}

void StretchBitmapMasked(TCanvas* Canvas, int X, int Y, int Width, int Height, TBitmap* Bitmap,
                         int SourceX, int SourceY, int SourceWidth, int SourceHeight,
                         TColor KeyColor) {
    if (Canvas == nullptr || Bitmap == nullptr || Bitmap->Empty())
        return;
    if (Width < 1)
        Width = Bitmap->Width();
    if (Height < 1)
        Height = Bitmap->Height();
    if (SourceWidth < 1 || SourceHeight < 1) {
        SourceX = SourceY = 0;
        SourceWidth = Bitmap->Width();
        SourceHeight = Bitmap->Height();
    }
    const bool mono = Bitmap->Monochrome();
    HDC dest = Canvas->Handle();
    if (!mono)
        SetStretchBltMode(dest, COLORONCOLOR);
    TCanvas* source = Bitmap->Canvas();
    source->Lock();
    TNotifyEvent changing = source->OnChanging;
    source->OnChanging = TNotifyEvent();
    try {
        HDC sourceDC = source->Handle();
        if (KeyColor == clNone) {
            StretchBlt(dest, X, Y, Width, Height, sourceDC, SourceX, SourceY, SourceWidth,
                       SourceHeight, Canvas->CopyMode());
        } else {
            if (KeyColor == clDefault)
                KeyColor = ColorFromRaw(GetPixel(sourceDC, 0, Bitmap->Height() - 1) & 0xFFFFFF);
            const TColor key = mono ? clWhite : ColorFromRaw(Rgb(KeyColor));
            StretchBltMasked(dest, X, Y, Width, Height, sourceDC, SourceX, SourceY, SourceWidth,
                             SourceHeight, key, Bitmap->Palette());
        }
    } catch (...) {
        source->OnChanging = changing;
        source->Unlock();
        throw;
    }
    source->OnChanging = changing;
    source->Unlock();
}

void DrawBitmapMasked(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, TColor KeyColor) {
    if (Bitmap != nullptr)
        StretchBitmapMasked(Canvas, X, Y, Bitmap->Width(), Bitmap->Height(), Bitmap, 0, 0,
                            Bitmap->Width(), Bitmap->Height(), KeyColor);
}

TBitmap* MakeDisabledBitmapShaded(TBitmap* Source, TColor KeyColor) {
    const int w = Source->Width(), h = Source->Height();
    TBitmap* result = NewBitmap(w, h, KeyColor);
    TBitmap* work = nullptr;
    try {
        work = NewBitmap(w, h, clWhite);
        DrawBitmapMasked(work->Canvas(), 0, 0, Source, KeyColor);
        work->SetMonochrome(true); // white stays white, the shape turns black
        BlitShape(result->Canvas(), 1, 1, w, h, work, clBtnHighlight);
        BlitShape(result->Canvas(), 0, 0, w, h, work, clBtnShadow);
    } catch (...) {
        if (work != nullptr)
            work->Free();
        result->Free();
        throw;
    }
    work->Free();
    return result;
}

TBitmap* MakeDisabledBitmapEmbossed(TBitmap* Source, TColor KeyColor, TColor FaceColor,
                                    bool WithHighlight, TColor ShadowColor, TColor HighlightColor) {
    const int w = Source->Width(), h = Source->Height();
    TBitmap* result = NewBitmap(w, h, FaceColor);
    TBitmap* work = nullptr;
    try {
        work = Create<TBitmap>();
        work->Assign(Source);
        if (work->Monochrome()) {
            work->Canvas()->Font()->SetColor(clWhite);
            work->Canvas()->Brush()->SetColor(clWhite);
            work->SetPixelFormat(pf24bit);
        }
        work->SetHandleType(bmDDB);
        // The key colour turns white and the shape black under the
        // framework's rule, so the shape is what takes the brushes.
        work->Canvas()->Brush()->SetColor(KeyColor);
        work->SetMonochrome(true);
        if (WithHighlight)
            BlitShape(result->Canvas(), 1, 1, w, h, work, HighlightColor);
        BlitShape(result->Canvas(), 0, 0, w, h, work, ShadowColor);
    } catch (...) {
        if (work != nullptr)
            work->Free();
        result->Free();
        throw;
    }
    work->Free();
    return result;
}

TBitmap* MakeDisabledBitmap(TBitmap* Source, TColor KeyColor) {
    return MakeDisabledBitmapEmbossed(Source, KeyColor, clBtnFace, true, clBtnShadow,
                                      clBtnHighlight);
}

void DrawDisabledImage(TCustomImageList* Images, TCanvas* Canvas, int X, int Y, int Index,
                       bool WithHighlight, TColor ShadowColor, TColor HighlightColor) {
    if (Images == nullptr || Canvas == nullptr)
        return;
    const TColor saved = Canvas->Brush()->Color();
    const int w = Images->Width(), h = Images->Height();
    TBitmap* work = NewBitmap(w, h, clWhite);
    try {
        ImageList_Draw(Images->Handle(), Index, work->Canvas()->Handle(), 0, 0, ILD_MASK);
        work->SetMonochrome(true);
        if (WithHighlight)
            BlitShape(Canvas, X + 1, Y + 1, w, h, work, HighlightColor);
        BlitShape(Canvas, X, Y, w, h, work, ShadowColor);
    } catch (...) {
        work->Free();
        Canvas->Brush()->SetColor(saved);
        throw;
    }
    work->Free();
    Canvas->Brush()->SetColor(saved);
}

void PaintUnderlyingImage(TGraphicControl* Control, TCanvas* Canvas) {
    if (Control == nullptr || Canvas == nullptr || Control->Parent() == nullptr)
        return;
    TWinControl* parent = Control->Parent();
    HDC dc = Canvas->Handle();
    parent->ControlState.Include(csPaintCopy);
    try {
        const int level = SaveDC(dc);
        OffsetViewportOrgEx(dc, -Control->Left(), -Control->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
        try {
            parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(dc));
        } catch (...) {
            RestoreDC(dc, level);
            throw;
        }
        RestoreDC(dc, level);
        const TRect own = Control->BoundsRect();
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* sibling = parent->Controls(i);
            if (sibling == Control)
                break;
            auto* graphic = dynamic_cast<TGraphicControl*>(sibling);
            RECT a{own.Left, own.Top, own.Right, own.Bottom};
            const TRect sb = sibling->BoundsRect();
            RECT b{sb.Left, sb.Top, sb.Right, sb.Bottom}, both{};
            if (graphic == nullptr || !graphic->Visible() || !IntersectRect(&both, &a, &b))
                continue;
            graphic->ControlState.Include(csPaintCopy);
            const int saved = SaveDC(dc);
            OffsetViewportOrgEx(dc, graphic->Left() - Control->Left(),
                                graphic->Top() - Control->Top(), nullptr);
            IntersectClipRect(dc, 0, 0, graphic->Width(), graphic->Height());
            try {
                graphic->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
            } catch (...) {
                RestoreDC(dc, saved);
                graphic->ControlState.Exclude(csPaintCopy);
                throw;
            }
            RestoreDC(dc, saved);
            graphic->ControlState.Exclude(csPaintCopy);
        }
    } catch (...) {
        parent->ControlState.Exclude(csPaintCopy);
        throw;
    }
    parent->ControlState.Exclude(csPaintCopy);
}

TBitmap* MakeCheckerBitmap(TColor First, TColor Second) {
    TBitmap* b = NewBitmap(8, 8, First);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (CheckerTakesSecondColor(x, y))
                b->Canvas()->SetPixel(x, y, Second);
    return b;
}

namespace {

BOOL CALLBACK FindActive(HWND window, LPARAM found) {
    if (window == GetActiveWindow()) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

} // namespace

bool ActiveWindowIsOwnThread() {
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), &FindActive, reinterpret_cast<LPARAM>(&found));
    return found;
}

void ApplyTrackedFont(TFont* Target, TFont* Source, TTkTrackFontOptions Options) {
    if (Target == nullptr || Source == nullptr || !Options.Contains(hoFollowFont))
        return;
    if (!Options.Contains(hoPreserveCharSet))
        Target->SetCharSet(Source->CharSet());
    if (!Options.Contains(hoPreserveColor))
        Target->SetColor(Source->Color());
    if (!Options.Contains(hoPreserveHeight))
        Target->SetHeight(Source->Height());
    if (!Options.Contains(hoPreserveName))
        Target->SetName(Source->Name());
    if (!Options.Contains(hoPreservePitch))
        Target->SetPitch(Source->Pitch());
    if (!Options.Contains(hoPreserveStyle))
        Target->SetStyle(Source->Style());
}

void InitializeToolkitCursors() {
    if (Screen == nullptr)
        return;
    const TCursor sources[] = {crMultiDrag, crDrag, crMultiDrag, crMultiDrag};
    for (int i = 0; i < 4; ++i)
        if (HCURSOR cursor = Screen->Cursors(sources[i]); cursor != nullptr)
            Screen->SetCursors(static_cast<TCursor>(100 + i), cursor);
}
