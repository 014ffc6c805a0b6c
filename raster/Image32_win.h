#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/gui/CustomControl_win.h"
#include "raster/Bitmap32.h"
#include "raster/Containers.h"
#include "raster/ImageLayout.h"
#include "raster/Layers.h"
#include "raster/RepaintOpt.h"

enum TRepaintMode : std::uint8_t { rmFull, rmDirect, rmOptimizer };

enum TPaintBoxOption : std::uint8_t { pboWantArrowKeys, pboAutoFocus };
using TPaintBoxOptions = TSet<TPaintBoxOption>;

using TImgMouseEvent = TDelegate<void(TObject* Sender, TMouseButton Button, TShiftState Shift,
                                      int X, int Y, TCustomLayer* Layer)>;
using TImgMouseMoveEvent =
    TDelegate<void(TObject* Sender, TShiftState Shift, int X, int Y, TCustomLayer* Layer)>;
using TPaintStageEvent = TDelegate<void(TObject* Sender, TBitmap32* Buffer, unsigned StageNum)>;

// A windowed control that paints itself from an off-screen bitmap, the buffer, and copies only
// what changed to the window. The window's background is never erased.
class TCustomPaintBox32 : public TCustomControl {
    FW_CLASS(TCustomPaintBox32, TCustomControl)
public:
    explicit TCustomPaintBox32(TComponent* AOwner);
    ~TCustomPaintBox32() override;

    TBitmap32* Buffer() const noexcept { return buffer_; }
    int BufferOversize = 40;
    bool BufferValid() const noexcept { return bufferValid_; }
    TRepaintMode RepaintMode() const noexcept { return repaintMode_; }
    virtual void SetRepaintMode(TRepaintMode Value);
    TRectList* InvalidRects() const noexcept { return invalidRects_; }
    TCustomRepaintOptimizer* RepaintOptimizer() const noexcept { return optimizer_; }
    TPaintBoxOptions Options;
    bool MouseInControl() const noexcept { return mouseInControl_; }

    // (0, 0, Width, Height).
    virtual TRect GetViewportRect();
    // Everything is repainted and copied at the next paint.
    virtual void ForceFullInvalidate();
    // The buffer is painted again at the next paint.
    void Invalidate() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnGDIOverlay;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void Loaded() override;
    virtual bool CustomRepaint();
    virtual bool InvalidRectsAvailable();
    virtual void DoPrepareInvalidRects();
    virtual void DoPaintBuffer();
    virtual void DoPaintGDIOverlay();
    virtual void BufferResized(int OldWidth, int OldHeight);
    virtual void MouseEnter();
    virtual void MouseLeave();
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    // Sizes the buffer to the viewport with its slack.
    void ResizeBuffer();
    void HandleBufferAreaDirect(TObject* Sender, const TRect& Area, std::uint32_t Info);
    void SetBufferValid(bool Value) noexcept { bufferValid_ = Value; }
    bool ForceFullRepaint = true;

private:
    TBitmap32* buffer_ = nullptr;
    bool bufferValid_ = false;
    TRepaintMode repaintMode_ = rmFull;
    TRectList* invalidRects_ = nullptr;
    TCustomRepaintOptimizer* optimizer_ = nullptr;
    bool mouseInControl_ = false;
};

// The image control: a bitmap drawn into the buffer scaled and aligned, in a list of paint
// stages (background, bitmap, layers, the user's), with mouse events passed on with the layer
// that was hit.
class TCustomImage32 : public TCustomPaintBox32 {
    FW_CLASS(TCustomImage32, TCustomPaintBox32)
public:
    explicit TCustomImage32(TComponent* AOwner);
    ~TCustomImage32() override;

    TBitmap32* Bitmap() const noexcept { return bitmap_; }
    TBitmapAlign BitmapAlign() const noexcept { return bitmapAlign_; }
    TLayerCollection* Layers() const noexcept { return layers_; }
    float BitmapOffsetX = 0.0f, BitmapOffsetY = 0.0f;
    TPaintStages* PaintStages() const noexcept { return paintStages_; }
    float Scale() const noexcept { return scale_; }
    float ScaleY() const noexcept { return scaleY_; }
    TScaleMode ScaleMode() const noexcept { return scaleMode_; }
    virtual void SetScaleMode(TScaleMode Value);
    void SetRepaintMode(TRepaintMode Value) override;

    // Notifications held back between the two; neither checks the count.
    virtual void BeginUpdate() { ++updateCount_; }
    virtual void EndUpdate() { --updateCount_; }
    int UpdateCount() const noexcept { return updateCount_; }
    // With no update open: invalidates and fires OnChange.
    virtual void Changed();

    TPoint BitmapToControl(TPoint P);
    virtual TSize GetBitmapSize();
    virtual TRect GetBitmapRect();
    // Paints the run-time stages into Dest with the bitmap at DestRect.
    virtual void PaintOnto(TBitmap32* Dest, const TRect& DestRect);
    // The bitmap takes the viewport's size (cleared to Color when asked).
    virtual void SetupBitmap(bool DoClear = false, TColor32 ClearColor = 0xFF000000u);
    void InvalidateCache();
    void Invalidate() override;

    TNotifyEvent OnBitmapResize;
    TNotifyEvent OnChange;
    TNotifyEvent OnInitStages;
    TNotifyEvent OnScaleChange;
    // These carry the layer the event went to (nullptr without one).
    TImgMouseEvent OnMouseDown;
    TImgMouseMoveEvent OnMouseMove;
    TImgMouseEvent OnMouseUp;
    TPaintStageEvent OnPaintStage;

protected:
    void Loaded() override;
    virtual void BitmapResized();
    virtual void BitmapChanged(const TRect& Area);
    virtual void DoInitStages();
    virtual void DoScaleChange();
    virtual void InitDefaultStages();
    using TCustomPaintBox32::MouseDown;
    using TCustomPaintBox32::MouseMove;
    using TCustomPaintBox32::MouseUp;
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y,
                           TCustomLayer* Layer);
    virtual void MouseMove(TShiftState Shift, int X, int Y, TCustomLayer* Layer);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y, TCustomLayer* Layer);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    // The size auto-sizing gives the control: the bitmap's, scaled in smScale.
    TSize AutoSizeExtent() const;
    void Resize() override;
    bool InvalidRectsAvailable() override;
    void DoPaintBuffer() override;
    void DoPaintGDIOverlay() override;

    virtual void ExecBitmapFrame(TBitmap32* Dest, int StageNum);
    virtual void ExecClearBuffer(TBitmap32* Dest, int StageNum);
    virtual void ExecClearBackground(TBitmap32* Dest, int StageNum);
    virtual void ExecControlFrame(TBitmap32* Dest, int StageNum);
    virtual void ExecCustom(TBitmap32* Dest, int StageNum);
    virtual void ExecDrawBitmap(TBitmap32* Dest, int StageNum);
    virtual void ExecDrawLayers(TBitmap32* Dest, int StageNum);

    void SetBitmapAlignValue(TBitmapAlign Value);
    void SetScaleValue(float Value);
    void UpdateCache();

private:
    void RunStage(int Index, TBitmap32* Dest);
    void HandleBitmapChange(TObject*);
    void HandleBitmapResize(TObject*);
    void HandleBitmapAreaDirect(TObject* Sender, const TRect& Area, std::uint32_t Info);
    void HandleBitmapAreaForOptimizer(TObject* Sender, const TRect& Area, std::uint32_t Info);
    // The bitmap area mapped to the control, once per tile for a tiled bitmap.
    template <class F> void ForEachControlArea(const TRect& Area, F&& Add);
    void LayersChanged(TObject*) { Changed(); }
    void LayersGDIUpdate(TObject*);
    void ViewportScale(TObject*, float& ScaleX, float& ScaleY);
    void ViewportShift(TObject*, float& ShiftX, float& ShiftY);
    TImageGeometry Geometry();

    TBitmap32* bitmap_ = nullptr;
    TBitmapAlign bitmapAlign_ = baTopLeft;
    TLayerCollection* layers_ = nullptr;
    TPaintStages* paintStages_ = nullptr;
    float scale_ = 1.0f, scaleY_ = 1.0f;
    TScaleMode scaleMode_ = smNormal;
    int updateCount_ = 0;
    TRect cachedBitmapRect_{};
    TImageTransform cachedTransform_{};
    bool cacheValid_ = false;
    // Opens on the control's alive slot.
    friend class TImageAliveScope;
};

// The image control as forms hold it.
class TImage32 : public TCustomImage32 {
    FW_CLASS(TImage32, TCustomImage32)
public:
    explicit TImage32(TComponent* AOwner) : TCustomImage32(AOwner) { SetParentColor(true); }
    // The control keeps its own bitmap and takes Value's state; nullptr empties it.
    void SetBitmap(TBitmap32* Value);
    void SetBitmapAlign(TBitmapAlign Value) { SetBitmapAlignValue(Value); }
    // Below 0.001 is 0.001.
    void SetScale(float Value) { SetScaleValue(Value); }
};
