#include "framework/graphics/Canvas_win.h"

#include "framework/core/Exceptions.h"
#include "framework/graphics/GdiUtils_win.h"
#include "framework/graphics/Graphic_win.h"

TCanvas::TCanvas() {
    InitializeCriticalSection(&lock_);
    font_.OnChange = TNotifyEvent(this, &TCanvas::FontChanged);
    pen_.OnChange = TNotifyEvent(this, &TCanvas::PenChanged);
    brush_.OnChange = TNotifyEvent(this, &TCanvas::BrushChanged);
}

TCanvas::~TCanvas() {
    // Let go of the DC before the font, pen and brush members delete their objects.
    SetHandle(nullptr);
    font_.OnChange = nullptr;
    pen_.OnChange = nullptr;
    brush_.OnChange = nullptr;
    DeleteCriticalSection(&lock_);
}

HDC TCanvas::RawHandle() {
    if (dc_ == nullptr) CreateHandle();
    if (dc_ == nullptr) throw EInvalidOperation("Canvas does not allow drawing");
    return dc_;
}

HDC TCanvas::Handle() {
    // Callers draw on the handle with the system's functions (DrawTextA, BitBlt)
    // and expect the canvas's font, pen and brush in it.
    Require(kFont | kPen | kBrush);
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    DeselectHandles();
    dc_ = dc;
}

void TCanvas::DeselectHandles() {
    if (dc_ != nullptr) {
        if ((selected_ & kFont) && originalFont_) SelectObject(dc_, originalFont_);
        if ((selected_ & kPen) && originalPen_) SelectObject(dc_, originalPen_);
        if ((selected_ & kBrush) && originalBrush_) SelectObject(dc_, originalBrush_);
    }
    selected_ = 0;
    originalFont_ = originalPen_ = originalBrush_ = nullptr;
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Require(unsigned what) {
    HDC dc = RawHandle();
    const unsigned missing = what & ~selected_;
    if (missing & kFont) {
        originalFont_ = SelectObject(dc, font_.Handle());
        selected_ |= kFont;
    }
    if (missing & kPen) {
        originalPen_ = SelectObject(dc, pen_.Handle());
        selected_ |= kPen;
    }
    if (missing & kBrush) {
        originalBrush_ = SelectObject(dc, brush_.Handle());
        selected_ |= kBrush;
    }
    // Attributes that are not objects follow the descriptions every time.
    if (what & kFont) SetTextColor(dc, ColorRef(font_.Color()));
    if (what & kPen) SetROP2(dc, pen_.Rop2());
    if (what & kBrush) {
        SetBkColor(dc, ColorRef(brush_.Color()));
        SetBkMode(dc, brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
    }
}

// The retired object of a description is still selected: select the new one
// now, so the description can delete the old one when this returns.
void TCanvas::Reselect(unsigned what) {
    if (dc_ == nullptr || !(selected_ & what)) return;
    if (what == kFont) SelectObject(dc_, font_.Handle());
    if (what == kPen) SelectObject(dc_, pen_.Handle());
    if (what == kBrush) SelectObject(dc_, brush_.Handle());
}

void TCanvas::FontChanged(TObject*) { Reselect(kFont); }
void TCanvas::PenChanged(TObject*) { Reselect(kPen); }
void TCanvas::BrushChanged(TObject*) { Reselect(kBrush); }

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

TColor TCanvas::Pixel(int x, int y) { return static_cast<TColor>(GetPixel(RawHandle(), x, y)); }

void TCanvas::SetPixel(int x, int y, TColor color) {
    HDC dc = RawHandle();
    Changing();
    ::SetPixel(dc, x, y, ColorRef(color));
    Changed();
}

TPoint TCanvas::PenPos() {
    POINT p{};
    GetCurrentPositionEx(RawHandle(), &p);
    return {p.x, p.y};
}

TRect TCanvas::ClipRect() {
    RECT r{};
    GetClipBox(RawHandle(), &r);
    return {r.left, r.top, r.right, r.bottom};
}

void TCanvas::FillRect(const TRect& rect) {
    Require(kBrush);
    Changing();
    const RECT r = ToRECT(rect);
    ::FillRect(dc_, &r, brush_.Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
    Require(kBrush);
    Changing();
    const RECT r = ToRECT(rect);
    ::FrameRect(dc_, &r, brush_.Handle());
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Require(kPen | kBrush);
    Changing();
    ::Rectangle(dc_, x1, y1, x2, y2);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Require(kPen | kBrush);
    Changing();
    ::Ellipse(dc_, x1, y1, x2, y2);
    Changed();
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(RawHandle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
    Require(kPen | kBrush);
    Changing();
    ::LineTo(dc_, x, y);
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    Require(kPen | kBrush);
    Changing();
    ::Polyline(dc_, reinterpret_cast<const POINT*>(points.data()), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    Require(kPen | kBrush);
    Changing();
    ::Polygon(dc_, reinterpret_cast<const POINT*>(points.data()), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Require(kFont | kBrush);
    Changing();
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
    Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
    Require(kFont | kBrush);
    Changing();
    const RECT r = ToRECT(rect);
    UINT options = ETO_CLIPPED;
    if (brush_.Style() != bsClear) options |= ETO_OPAQUE;
    ::ExtTextOutA(dc_, x, y, options, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
    Require(kFont);
    SIZE s{};
    ::GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s);
    return {s.cx, s.cy};
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    Require(kBrush);
    Changing();
    graphic->Draw(this, rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& srcRect) {
    if (source == nullptr) return;
    HDC src = source->Handle();
    Require(kBrush);
    Changing();
    StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), src, srcRect.Left, srcRect.Top,
               srcRect.Width(), srcRect.Height(), copyMode_);
    Changed();
}

void TCanvas::Lock() {
    EnterCriticalSection(&lock_);
    ++lockCount_;
}

void TCanvas::Unlock() {
    --lockCount_;
    LeaveCriticalSection(&lock_);
}

bool TCanvas::TryLock() {
    if (!TryEnterCriticalSection(&lock_)) return false;
    ++lockCount_;
    return true;
}
