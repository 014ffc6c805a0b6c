#include "raster/Image32_win.h"

#include <cmath>

#include "framework/core/AliveScope.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/gui/Messages.h"
#include "framework/gui/Screen_win.h"
#include "raster/MicroTiles.h"
#include "raster/RasterTypes.h"
#include "raster/Resamplers.h"

// --- paint box ---

TCustomPaintBox32::TCustomPaintBox32(TComponent* AOwner) : TCustomControl(AOwner) {
    buffer_ = new TBitmap32();
    invalidRects_ = new TRectList();
    optimizer_ = new TMicroTilesRepaintOptimizer(buffer_, invalidRects_);
    SetHeight(192);
    SetWidth(192);
}

TCustomPaintBox32::~TCustomPaintBox32() {
    delete optimizer_;
    optimizer_ = nullptr;
    delete invalidRects_;
    invalidRects_ = nullptr;
    buffer_->Free();
    buffer_ = nullptr;
}

TRect TCustomPaintBox32::GetViewportRect() {
    return Rect(0, 0, Width(), Height());
}

void TCustomPaintBox32::SetRepaintMode(TRepaintMode Value) {
    if (optimizer_ == nullptr)
        return;
    switch (Value) {
    case rmOptimizer:
        buffer_->OnAreaChanged =
            TAreaChangedEvent(optimizer_, &TCustomRepaintOptimizer::AreaUpdateHandler);
        break;
    case rmDirect:
        buffer_->OnAreaChanged =
            TAreaChangedEvent(this, &TCustomPaintBox32::HandleBufferAreaDirect);
        break;
    case rmFull:
        buffer_->OnAreaChanged = nullptr;
        break;
    }
    optimizer_->SetEnabled(Value == rmOptimizer);
    repaintMode_ = Value;
    Invalidate();
}

bool TCustomPaintBox32::CustomRepaint() {
    return optimizer_->Enabled() && !ForceFullRepaint && optimizer_->UpdatesAvailable();
}

bool TCustomPaintBox32::InvalidRectsAvailable() {
    return true;
}

void TCustomPaintBox32::DoPrepareInvalidRects() {
    if (optimizer_->Enabled() && !ForceFullRepaint)
        optimizer_->PerformOptimization();
}

void TCustomPaintBox32::DoPaintBuffer() {
    if (ForceFullRepaint) {
        ForceFullRepaint = false;
        invalidRects_->Clear();
    } else {
        DoPrepareInvalidRects();
    }
    bufferValid_ = true;
}

void TCustomPaintBox32::DoPaintGDIOverlay() {
    if (OnGDIOverlay)
        OnGDIOverlay(this);
}

void TCustomPaintBox32::BufferResized(int, int) {
    if (optimizer_->Enabled())
        optimizer_->BufferResizedHandler(buffer_->Width(), buffer_->Height());
}

void TCustomPaintBox32::ForceFullInvalidate() {
    if (optimizer_->Enabled())
        optimizer_->Reset();
    ForceFullRepaint = true;
    Invalidate();
}

void TCustomPaintBox32::MouseEnter() {
    mouseInControl_ = true;
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TCustomPaintBox32::MouseLeave() {
    mouseInControl_ = false;
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TCustomPaintBox32::Invalidate() {
    bufferValid_ = false;
    TCustomControl::Invalidate();
}

void TCustomPaintBox32::Loaded() {
    bufferValid_ = false;
    TCustomControl::Loaded();
}

void TCustomPaintBox32::Resize() {
    ResizeBuffer();
    bufferValid_ = false;
    TCustomControl::Resize();
}

void TCustomPaintBox32::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (ComponentState().Contains(csDesigning))
        ResizeBuffer();
    bufferValid_ = false;
}

void TCustomPaintBox32::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Options.Contains(pboAutoFocus) && CanFocus())
        SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomPaintBox32::ResizeBuffer() {
    if (buffer_ == nullptr)
        return;
    const TRect viewport = GetViewportRect();
    const int w = BufferExtent(buffer_->Width(), viewport.Width(), BufferOversize);
    const int h = BufferExtent(buffer_->Height(), viewport.Height(), BufferOversize);
    if (w == buffer_->Width() && h == buffer_->Height())
        return;
    const int oldWidth = buffer_->Width(), oldHeight = buffer_->Height();
    buffer_->Lock();
    try {
        buffer_->SetSize(w, h);
    } catch (...) {
        buffer_->Unlock();
        throw;
    }
    buffer_->Unlock();
    BufferResized(oldWidth, oldHeight);
    ForceFullInvalidate();
}

void TCustomPaintBox32::HandleBufferAreaDirect(TObject*, const TRect& Area, std::uint32_t) {
    invalidRects_->Add(Area);
    if (!ControlState.Contains(csCustomPaint))
        Repaint();
}

void TCustomPaintBox32::Paint() {
    if (optimizer_->Enabled())
        optimizer_->BeginPaint();
    if (!bufferValid_)
        DoPaintBuffer();
    HDC target = Canvas()->Handle();
    buffer_->Lock();
    try {
        HDC source = buffer_->Handle();
        if (invalidRects_->Count() == 0) {
            const TRect v = GetViewportRect();
            BitBlt(target, v.Left, v.Top, v.Width(), v.Height(), source, v.Left, v.Top, SRCCOPY);
        } else {
            for (int i = 0; i < invalidRects_->Count(); ++i) {
                const TRect& r = *invalidRects_->Items(i);
                BitBlt(target, r.Left, r.Top, r.Width(), r.Height(), source, r.Left, r.Top,
                       SRCCOPY);
            }
        }
    } catch (...) {
        buffer_->Unlock();
        throw;
    }
    buffer_->Unlock();
    DoPaintGDIOverlay();
    if (optimizer_->Enabled())
        optimizer_->EndPaint();
    invalidRects_->Clear();
    ForceFullRepaint = false;
}

void TCustomPaintBox32::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        if (CustomRepaint()) {
            if (InvalidRectsAvailable())
                Paint();
            else if (HandleAllocated())
                InvalidateRect(Handle(), nullptr, FALSE);
        }
        break;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_GETDLGCODE:
        TCustomControl::WndProc(Message);
        if (Options.Contains(pboWantArrowKeys))
            Message.Result |= DLGC_WANTARROWS;
        else
            Message.Result &= ~static_cast<LRESULT>(DLGC_WANTARROWS);
        return;
    case CM_MOUSEENTER:
        TCustomControl::WndProc(Message);
        MouseEnter();
        return;
    case CM_MOUSELEAVE:
        MouseLeave();
        TCustomControl::WndProc(Message);
        return;
    case CM_INVALIDATE:
        if (CustomRepaint() && HandleAllocated()) {
            PostMessageA(Handle(), WM_PAINT, 0, 0);
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}

// --- image control ---

namespace {

// Bitmap notifications running now (the image's handlers for its bitmap), and the bitmaps of
// images freed by a handler inside one: such a bitmap is still running its own notifying code,
// so it is freed later, once no notification runs (GUI thread only).
int gBitmapNotifications = 0;
std::vector<TBitmap32*> gOrphanBitmaps;

void FreeOrphanBitmaps() noexcept {
    if (gBitmapNotifications != 0)
        return;
    std::vector<TBitmap32*> orphans;
    orphans.swap(gOrphanBitmaps);
    for (TBitmap32* b : orphans) {
        try {
            b->Free();
        } catch (...) {
        }
    }
}

} // namespace

// Runs a handler that may free the control; a scope around one of the bitmap's notifications
// says so, and the bitmap then outlives the image until the notification has returned.
class TImageAliveScope : public TAliveScope {
public:
    explicit TImageAliveScope(TCustomImage32* image, bool bitmapNotification = false) noexcept
        : TAliveScope(image->DestroyedSlot()), notification_(bitmapNotification) {
        if (notification_)
            ++gBitmapNotifications;
    }
    ~TImageAliveScope() {
        if (notification_)
            --gBitmapNotifications;
    }
    TImageAliveScope(const TImageAliveScope&) = delete;
    TImageAliveScope& operator=(const TImageAliveScope&) = delete;

private:
    bool notification_;
};

TCustomImage32::TCustomImage32(TComponent* AOwner) : TCustomPaintBox32(AOwner) {
    ControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents,
                                 csOpaque,          csDoubleClicks, csReplicatable};
    FreeOrphanBitmaps();
    bitmap_ = new TBitmap32();
    bitmap_->OnResize = TNotifyEvent(this, &TCustomImage32::HandleBitmapResize);
    layers_ = new TLayerCollection(this);
    layers_->OnChange = TNotifyEvent(this, &TCustomImage32::LayersChanged);
    layers_->OnGDIUpdate = TNotifyEvent(this, &TCustomImage32::LayersGDIUpdate);
    layers_->OnGetViewportScale = TGetScaleEvent(this, &TCustomImage32::ViewportScale);
    layers_->OnGetViewportShift = TGetShiftEvent(this, &TCustomImage32::ViewportShift);
    RepaintOptimizer()->RegisterLayerCollection(layers_);
    SetRepaintMode(rmFull);
    paintStages_ = new TPaintStages();
    scale_ = scaleY_ = 1.0f;
    InitDefaultStages();
}

TCustomImage32::~TCustomImage32() {
    // Freed from inside a handler: a bitmap notification may still be running on the bitmap.
    const bool insideHandler = DestroyedSlot() != nullptr;
    BeginUpdate();
    delete paintStages_;
    paintStages_ = nullptr;
    RepaintOptimizer()->UnregisterLayerCollection(layers_);
    layers_->Free();
    layers_ = nullptr;
    bitmap_->OnResize = nullptr;
    bitmap_->OnChange = nullptr;
    bitmap_->OnAreaChanged = nullptr;
    if (insideHandler && gBitmapNotifications > 0)
        gOrphanBitmaps.push_back(bitmap_);
    else
        bitmap_->Free();
    bitmap_ = nullptr;
    FreeOrphanBitmaps();
}

void TCustomImage32::InitDefaultStages() {
    auto add = [&](std::uint32_t kind, bool runTime, std::uint32_t parameter = 0) {
        TPaintStageRecord& s = paintStages_->Add();
        s.AtDesignTime = true;
        s.AtRunTime = runTime;
        s.Kind = kind;
        s.Parameter = parameter;
    };
    add(psClearBackground, true);
    add(psControlFrame, false);
    add(psDrawBitmap, true);
    add(psBitmapFrame, false);
    add(psDrawLayers, true, LOB_VISIBLE);
}

void TCustomImage32::SetRepaintMode(TRepaintMode Value) {
    TCustomPaintBox32::SetRepaintMode(Value);
    // The image paints its buffer from the bitmap and the layers, which report their own areas
    // to the optimizer; the buffer's painting must not report them again.
    if (Value == rmOptimizer && RepaintOptimizer() != nullptr)
        Buffer()->OnAreaChanged = nullptr;
    if (bitmap_ == nullptr)
        return;
    switch (Value) {
    case rmDirect:
        bitmap_->OnAreaChanged = TAreaChangedEvent(this, &TCustomImage32::HandleBitmapAreaDirect);
        bitmap_->OnChange = nullptr;
        break;
    case rmOptimizer:
        bitmap_->OnAreaChanged =
            TAreaChangedEvent(this, &TCustomImage32::HandleBitmapAreaForOptimizer);
        bitmap_->OnChange = nullptr;
        break;
    case rmFull:
        bitmap_->OnAreaChanged = nullptr;
        bitmap_->OnChange = TNotifyEvent(this, &TCustomImage32::HandleBitmapChange);
        break;
    }
}

void TCustomImage32::Changed() {
    if (updateCount_ != 0)
        return;
    Invalidate();
    if (OnChange)
        OnChange(this);
}

void TCustomImage32::BitmapChanged(const TRect&) {
    Changed();
}

void TCustomImage32::HandleBitmapChange(TObject*) {
    TImageAliveScope alive(this, true);
    RepaintOptimizer()->Reset();
    BitmapChanged(bitmap_->WholeRect());
}

void TCustomImage32::HandleBitmapResize(TObject*) {
    TImageAliveScope alive(this, true);
    BitmapResized();
}

template <class F> void TCustomImage32::ForEachControlArea(const TRect& Area, F&& Add) {
    // The resampler reaches this far beyond the changed pixels.
    const int widen = static_cast<int>(std::trunc(
                          bitmap_->Resampler() != nullptr ? bitmap_->Resampler()->Width() : 1.0)) +
                      1;
    TRect r = Area;
    InflateArea(r, widen, widen);
    const TPoint a = BitmapToControl(r.TopLeft());
    const TPoint b = BitmapToControl(r.BottomRight());
    const TRect mapped{a.X, a.Y, b.X, b.Y};
    if (bitmapAlign_ != baTile) {
        Add(mapped);
        return;
    }
    ForEachTile(Buffer()->Width(), Buffer()->Height(), cachedBitmapRect_.Right,
                cachedBitmapRect_.Bottom, [&](TPoint o) {
                    Add(TRect{mapped.Left + o.X, mapped.Top + o.Y, mapped.Right + o.X,
                              mapped.Bottom + o.Y});
                });
}

void TCustomImage32::HandleBitmapAreaDirect(TObject* Sender, const TRect& Area, std::uint32_t) {
    if (Sender != bitmap_)
        return;
    TImageAliveScope alive(this, true);
    ForEachControlArea(Area, [&](const TRect& r) { InvalidRects()->Add(r); });
    if (updateCount_ != 0)
        return;
    if (!ControlState.Contains(csCustomPaint))
        Repaint();
    if (OnChange)
        OnChange(this);
}

void TCustomImage32::HandleBitmapAreaForOptimizer(TObject* Sender, const TRect& Area,
                                                  std::uint32_t) {
    if (Sender != bitmap_)
        return;
    TImageAliveScope alive(this, true);
    ForEachControlArea(
        Area, [&](const TRect& r) { RepaintOptimizer()->AreaUpdateHandler(this, r, LOB_VISIBLE); });
    BitmapChanged(Area);
}

void TCustomImage32::LayersGDIUpdate(TObject*) {
    if (HandleAllocated())
        Paint();
}

void TCustomImage32::ViewportScale(TObject*, float& ScaleX, float& ScaleY) {
    UpdateCache();
    ScaleX = static_cast<float>(cachedTransform_.scaleX / 65536.0);
    ScaleY = static_cast<float>(cachedTransform_.scaleY / 65536.0);
}

void TCustomImage32::ViewportShift(TObject*, float& ShiftX, float& ShiftY) {
    UpdateCache();
    ShiftX = static_cast<float>(cachedTransform_.shiftX);
    ShiftY = static_cast<float>(cachedTransform_.shiftY);
}

void TCustomImage32::DoInitStages() {
    if (OnInitStages)
        OnInitStages(this);
}

void TCustomImage32::DoScaleChange() {
    if (OnScaleChange)
        OnScaleChange(this);
}

void TCustomImage32::InvalidateCache() {
    if (RepaintOptimizer()->Enabled())
        RepaintOptimizer()->Reset();
    cacheValid_ = false;
}

TImageGeometry TCustomImage32::Geometry() {
    TImageGeometry g;
    g.bitmapEmpty = bitmap_->Empty();
    g.bitmapWidth = bitmap_->Width();
    g.bitmapHeight = bitmap_->Height();
    g.controlWidth = Width();
    g.controlHeight = Height();
    const TRect v = GetViewportRect();
    g.viewportWidth = v.Width();
    g.viewportHeight = v.Height();
    g.scaleMode = scaleMode_;
    g.scale = scale_;
    g.scaleY = scaleY_;
    g.align = bitmapAlign_;
    g.offsetX = BitmapOffsetX;
    g.offsetY = BitmapOffsetY;
    return g;
}

void TCustomImage32::UpdateCache() {
    if (cacheValid_)
        return;
    cachedBitmapRect_ = GetBitmapRect();
    cachedTransform_ =
        TransformFor(cachedBitmapRect_, bitmap_->Width(), bitmap_->Height(), bitmap_->Empty());
    cacheValid_ = true;
}

TPoint TCustomImage32::BitmapToControl(TPoint P) {
    UpdateCache();
    return ::BitmapToControl(cachedTransform_, P);
}

TSize TCustomImage32::GetBitmapSize() {
    return DrawnBitmapSize(Geometry());
}

TRect TCustomImage32::GetBitmapRect() {
    return DrawnBitmapRect(Geometry());
}

void TCustomImage32::SetScaleMode(TScaleMode Value) {
    if (Value == scaleMode_)
        return;
    InvalidateCache();
    scaleMode_ = Value;
    Changed();
}

void TCustomImage32::SetBitmapAlignValue(TBitmapAlign Value) {
    InvalidateCache();
    bitmapAlign_ = Value;
    Changed();
}

void TCustomImage32::SetScaleValue(float Value) {
    if (Value < 0.001f)
        Value = 0.001f;
    if (Value == scale_)
        return;
    InvalidateCache();
    scale_ = scaleY_ = Value;
    {
        TImageAliveScope alive(this);
        DoScaleChange();
        if (alive.Dead())
            return;
    }
    Changed();
}

void TCustomImage32::Invalidate() {
    cacheValid_ = false;
    TCustomPaintBox32::Invalidate();
}

void TCustomImage32::Loaded() {
    TCustomPaintBox32::Loaded();
    DoInitStages();
}

void TCustomImage32::Resize() {
    InvalidateCache();
    TCustomPaintBox32::Resize();
}

bool TCustomImage32::CanAutoSize(int& NewWidth, int& NewHeight) {
    InvalidateCache();
    const TSize size = AutoSizeExtent();
    if (ComponentState().Contains(csDesigning) && (size.cx <= 0 || size.cy <= 0))
        return true;
    if (Align() == alNone || Align() == alLeft || Align() == alRight)
        NewWidth = size.cx;
    if (Align() == alNone || Align() == alTop || Align() == alBottom)
        NewHeight = size.cy;
    return true;
}

TSize TCustomImage32::AutoSizeExtent() const {
    if (scaleMode_ != smScale)
        return {bitmap_->Width(), bitmap_->Height()};
    return {RoundToInt(double(bitmap_->Width()) * scale_),
            RoundToInt(double(bitmap_->Height()) * scaleY_)};
}

void TCustomImage32::BitmapResized() {
    if (AutoSize()) {
        const TSize size = AutoSizeExtent();
        if (size.cx > 0 && size.cy > 0)
            SetBounds(Left(), Top(), size.cx, size.cy);
    }
    if (updateCount_ == 0 && OnBitmapResize) {
        TImageAliveScope alive(this);
        OnBitmapResize(this);
        if (alive.Dead())
            return;
    }
    InvalidateCache();
    ForceFullInvalidate();
}

bool TCustomImage32::InvalidRectsAvailable() {
    DoPrepareInvalidRects();
    return InvalidRects()->Count() > 0;
}

void TCustomImage32::RunStage(int Index, TBitmap32* Dest) {
    switch (paintStages_->Items(Index).Kind) {
    case psCustom:
        ExecCustom(Dest, Index);
        break;
    case psClearBuffer:
        ExecClearBuffer(Dest, Index);
        break;
    case psClearBackground:
        ExecClearBackground(Dest, Index);
        break;
    case psDrawBitmap:
        ExecDrawBitmap(Dest, Index);
        break;
    case psDrawLayers:
        ExecDrawLayers(Dest, Index);
        break;
    case psControlFrame:
        ExecControlFrame(Dest, Index);
        break;
    case psBitmapFrame:
        ExecBitmapFrame(Dest, Index);
        break;
    default:
        break;
    }
}

void TCustomImage32::DoPaintBuffer() {
    if (RepaintOptimizer()->Enabled())
        RepaintOptimizer()->BeginPaintBuffer();
    UpdateCache();
    const std::vector<int> stages =
        StagesToRun(*paintStages_, ComponentState().Contains(csDesigning));
    TBitmap32* buffer = Buffer();
    buffer->BeginUpdate();
    try {
        const TRect viewport = GetViewportRect();
        if (InvalidRects()->Count() == 0) {
            buffer->SetClipArea(viewport);
            for (int i : stages)
                RunStage(i, buffer);
        } else {
            for (int k = 0; k < InvalidRects()->Count(); ++k) {
                buffer->SetClipArea(*InvalidRects()->Items(k));
                for (int i : stages)
                    RunStage(i, buffer);
            }
            buffer->SetClipArea(viewport);
        }
    } catch (...) {
        buffer->EndUpdate();
        throw;
    }
    buffer->EndUpdate();
    if (RepaintOptimizer()->Enabled())
        RepaintOptimizer()->EndPaintBuffer();
    SetBufferValid(true);
}

void TCustomImage32::DoPaintGDIOverlay() {
    for (int i = 0; i < layers_->Count(); ++i) {
        TCustomLayer* layer = layers_->Items(i);
        if ((layer->LayerOptions() & LOB_GDI_OVERLAY) != 0)
            layer->PaintGDI(Canvas());
    }
    TCustomPaintBox32::DoPaintGDIOverlay();
}

void TCustomImage32::ExecClearBuffer(TBitmap32* Dest, int) {
    Dest->Clear(Color32(Color()));
}

void TCustomImage32::ExecClearBackground(TBitmap32* Dest, int) {
    const TColor32 c = Color32(Color());
    if (InvalidRects()->Count() > 0) {
        for (int k = 0; k < InvalidRects()->Count(); ++k) {
            const TRect& r = *InvalidRects()->Items(k);
            Dest->FillAreaClipped(r.Left, r.Top, r.Right, r.Bottom, c);
        }
        return;
    }
    if (bitmap_->Empty() || bitmap_->DrawMode() != dmOpaque) {
        Dest->Clear(c);
        return;
    }
    const TRect r = cachedBitmapRect_;
    const int w = Width(), h = Height();
    const bool reachesSides = r.Left <= 0 && r.Right >= w && r.Top <= 0;
    if (reachesSides && (r.Bottom >= h || bitmapAlign_ == baTile))
        return;
    Dest->FillAreaClipped(0, 0, w, r.Top, c);
    Dest->FillAreaClipped(0, r.Bottom, w, h, c);
    Dest->FillAreaClipped(0, r.Top, r.Left, r.Bottom, c);
    Dest->FillAreaClipped(r.Right, r.Top, w, r.Bottom, c);
}

void TCustomImage32::ExecDrawBitmap(TBitmap32* Dest, int) {
    const TRect r = cachedBitmapRect_;
    if (bitmap_->Empty() || r.Left >= r.Right || r.Top >= r.Bottom)
        return;
    bitmap_->Lock();
    try {
        if (bitmapAlign_ == baTile) {
            ForEachTile(Dest->Width(), Dest->Height(), r.Right, r.Bottom, [&](TPoint o) {
                bitmap_->CopyOnto(Dest,
                                  TRect{r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y});
            });
        } else {
            bitmap_->CopyOnto(Dest, r);
        }
    } catch (...) {
        bitmap_->Unlock();
        throw;
    }
    bitmap_->Unlock();
}

void TCustomImage32::ExecDrawLayers(TBitmap32* Dest, int StageNum) {
    const std::uint32_t mask = paintStages_->Items(StageNum).Parameter;
    for (int i = 0; i < layers_->Count(); ++i) {
        TCustomLayer* layer = layers_->Items(i);
        if ((layer->LayerOptions() & mask) != 0)
            layer->PaintLayer(Dest);
    }
}

void TCustomImage32::ExecCustom(TBitmap32* Dest, int StageNum) {
    if (OnPaintStage)
        OnPaintStage(this, Dest, static_cast<unsigned>(StageNum));
}

void TCustomImage32::ExecControlFrame(TBitmap32* Dest, int) {
    const RECT r{0, 0, Width(), Height()};
    DrawFocusRect(Dest->Handle(), &r);
}

void TCustomImage32::ExecBitmapFrame(TBitmap32* Dest, int) {
    const RECT r{cachedBitmapRect_.Left, cachedBitmapRect_.Top, cachedBitmapRect_.Right,
                 cachedBitmapRect_.Bottom};
    DrawFocusRect(Dest->Handle(), &r);
}

void TCustomImage32::PaintOnto(TBitmap32* Dest, const TRect& DestRect) {
    const TRepaintMode saved = RepaintMode();
    SetRepaintMode(rmFull);
    cachedBitmapRect_ = DestRect;
    cachedTransform_ =
        DestRect.Width() < 1 || DestRect.Height() < 1
            ? TImageTransform{}
            : TransformFor(DestRect, bitmap_->Width(), bitmap_->Height(), bitmap_->Empty());
    cacheValid_ = true;
    try {
        for (int i = 0; i < paintStages_->Count(); ++i)
            if (paintStages_->Items(i).AtRunTime)
                RunStage(i, Dest);
    } catch (...) {
        cacheValid_ = false;
        SetRepaintMode(saved);
        throw;
    }
    cacheValid_ = false;
    SetRepaintMode(saved);
}

void TCustomImage32::SetupBitmap(bool DoClear, TColor32 ClearColor) {
    bitmap_->BeginUpdate();
    try {
        const TRect v = GetViewportRect();
        bitmap_->SetSize(v.Width(), v.Height());
        if (DoClear)
            bitmap_->Clear(ClearColor);
    } catch (...) {
        bitmap_->EndUpdate();
        throw;
    }
    bitmap_->EndUpdate();
    InvalidateCache();
    Changed();
}

void TCustomImage32::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomPaintBox32::MouseDown(Button, Shift, X, Y);
    if (TabStop() && CanFocus())
        SetFocus();
    TCustomLayer* layer =
        layers_->MouseEvents() ? layers_->MouseDown(Button, Shift, X, Y) : nullptr;
    if (Button == mbLeft || layers_->MouseListener() != nullptr)
        SetMouseCapture(true);
    MouseDown(Button, Shift, X, Y, layer);
}

void TCustomImage32::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomPaintBox32::MouseMove(Shift, X, Y);
    TCustomLayer* layer = layers_->MouseEvents() ? layers_->MouseMove(Shift, X, Y) : nullptr;
    MouseMove(Shift, X, Y, layer);
}

void TCustomImage32::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomLayer* layer = layers_->MouseEvents() ? layers_->MouseUp(Button, Shift, X, Y) : nullptr;
    if (Button == mbLeft && layers_->MouseListener() == nullptr)
        SetMouseCapture(false);
    MouseUp(Button, Shift, X, Y, layer);
}

void TCustomImage32::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y,
                               TCustomLayer* Layer) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y, Layer);
}

void TCustomImage32::MouseMove(TShiftState Shift, int X, int Y, TCustomLayer* Layer) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y, Layer);
}

void TCustomImage32::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y,
                             TCustomLayer* Layer) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y, Layer);
}

void TCustomImage32::MouseLeave() {
    if (layers_->MouseEvents() && layers_->MouseListener() == nullptr && Screen != nullptr)
        Screen->SetCursor(crDefault);
    TCustomPaintBox32::MouseLeave();
}

void TImage32::SetBitmap(TBitmap32* Value) {
    InvalidateCache();
    Bitmap()->Assign(Value);
}
