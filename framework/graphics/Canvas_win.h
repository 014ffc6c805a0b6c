#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/Events.h"
#include "framework/core/Persistent.h"
#include "framework/core/Types.h"
#include "framework/graphics/Brush_win.h"
#include "framework/graphics/Font_win.h"
#include "framework/graphics/Pen_win.h"

class TGraphic;

// Raster operation of Draw, StretchDraw and CopyRect (a ROP3 code).
using TCopyMode = DWORD;
inline constexpr TCopyMode cmSrcCopy = SRCCOPY;
inline constexpr TCopyMode cmSrcAnd = SRCAND;
inline constexpr TCopyMode cmSrcPaint = SRCPAINT;
inline constexpr TCopyMode cmSrcInvert = SRCINVERT;
inline constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
inline constexpr TCopyMode cmBlackness = BLACKNESS;
inline constexpr TCopyMode cmWhiteness = WHITENESS;

// Drawing on a device context with a font, a pen and a brush.
//
// Handle: the DC the canvas draws on. A DC given by SetHandle is borrowed:
// the canvas never deletes it, and when it lets go (SetHandle with another DC
// or 0, or its destruction) it selects back into it the objects it replaced,
// so the DC is left as it was found. Classes below make their own DC on
// demand (CreateHandle). The font, pen and brush objects are selected lazily
// before the first operation that uses them, and reselected when they change.
class TCanvas : public TPersistent {
    FW_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    // The DC with the font, pen and brush selected and their colours set;
    // made by CreateHandle when missing. Raises EInvalidOperation ("Canvas
    // does not allow drawing") when there is none to be had.
    HDC Handle();
    // Draws on dc from now on (0 detaches). dc is not owned.
    void SetHandle(HDC dc);
    bool HandleAllocated() const noexcept { return dc_ != nullptr; }

    TFont* Font() noexcept { return &font_; }
    TPen* Pen() noexcept { return &pen_; }
    TBrush* Brush() noexcept { return &brush_; }
    // Copy the description (Assign); the canvas keeps its own objects.
    void SetFont(TFont* font) { font_.Assign(font); }
    void SetPen(TPen* pen) { pen_.Assign(pen); }
    void SetBrush(TBrush* brush) { brush_.Assign(brush); }
    TCopyMode CopyMode() const noexcept { return copyMode_; }
    void SetCopyMode(TCopyMode mode) noexcept { copyMode_ = mode; }

    // The colour of a pixel; CLR_INVALID (as a TColor, -1) outside the clip area.
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);
    TPoint PenPos();
    void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
    TRect ClipRect();

    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    void Polygon(const std::vector<TPoint>& points);
    // Text in the font's colour; the background is painted with the brush
    // colour unless the brush style is bsClear.
    void TextOut(int x, int y, const std::string& text);
    // As TextOut, clipped to rect (and the rect filled first unless bsClear).
    void TextRect(const TRect& rect, int x, int y, const std::string& text);
    TSize TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

    // The graphic at (x, y) in its own size; a transparent graphic leaves
    // its transparent pixels alone. Nothing for nullptr or an empty graphic.
    void Draw(int x, int y, TGraphic* graphic);
    // The graphic stretched into rect.
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    // Copies source's srcRect into dest with CopyMode (stretching).
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& srcRect);

    // A recursive lock for threads that share a bitmap's canvas.
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const noexcept { return lockCount_; }

    // Fired before and after each drawing operation.
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

    // Selects the stock objects back, forgetting what was selected, so the
    // font, pen and brush are reselected by the next operation.
    void Refresh();

protected:
    // Makes a DC when the canvas has none; the default makes none.
    virtual void CreateHandle() {}
    virtual void Changing();
    virtual void Changed();
    // Puts back what the canvas replaced in the DC, without forgetting the DC.
    void DeselectHandles();
    // The DC as it is (made by CreateHandle when missing), nothing selected.
    HDC RawHandle();

private:
    enum : unsigned { kFont = 1, kPen = 2, kBrush = 4 };
    void Require(unsigned what);
    void FontChanged(TObject*);
    void PenChanged(TObject*);
    void BrushChanged(TObject*);
    void Reselect(unsigned what);

    HDC dc_ = nullptr;
    unsigned selected_ = 0;
    HGDIOBJ originalFont_ = nullptr;
    HGDIOBJ originalPen_ = nullptr;
    HGDIOBJ originalBrush_ = nullptr;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    TCopyMode copyMode_ = cmSrcCopy;
    CRITICAL_SECTION lock_;
    int lockCount_ = 0;
};
