#pragma once

#include <cstdint>

#include "framework/core/Events.h"
#include "framework/core/List.h"
#include "framework/core/Persistent.h"
#include "framework/core/Types.h"
#include "raster/NotifyBases.h"
#include "raster/RasterTypes.h"

class TBitmap32;
class TCanvas;
class TCustomLayer;

// Layers an image control paints over its bitmap and routes the mouse to.

// Layer option bits.
inline constexpr std::uint32_t LOB_VISIBLE = 0x80000000u;
inline constexpr std::uint32_t LOB_GDI_OVERLAY = 0x40000000u;
inline constexpr std::uint32_t LOB_MOUSE_EVENTS = 0x20000000u;
inline constexpr std::uint32_t LOB_NO_UPDATE = 0x10000000u;
inline constexpr std::uint32_t LOB_NO_CAPTURE = 0x08000000u;
inline constexpr std::uint32_t LOB_INVALID = 0x04000000u;
inline constexpr std::uint32_t LOB_FORCE_UPDATE = 0x02000000u;

// Layer state bits: the mouse buttons held on the layer.
inline constexpr std::uint32_t LS_LEFT_DOWN = 1;
inline constexpr std::uint32_t LS_RIGHT_DOWN = 2;
inline constexpr std::uint32_t LS_MIDDLE_DOWN = 4;

// List-notify actions.
inline constexpr int kLayerAdded = 0;
inline constexpr int kLayerRemoved = 2;
inline constexpr int kLayersCleared = 3;

// How layers reach the cursors: the global screen cursor, and the cursor of the control that
// owns a collection (false when the owner is no control). The platform installs its own;
// without one, cursors go nowhere.
struct TLayerCursorSeam {
    void (*SetScreenCursor)(TCursor cursor) = nullptr;
    bool (*OwnerControlCursor)(TPersistent* owner, TCursor& cursor) = nullptr;
};
void SetLayerCursorSeam(const TLayerCursorSeam& seam);
const TLayerCursorSeam& LayerCursorSeam();

using TLayerListNotifyEvent =
    TDelegate<void(TObject* Sender, int Action, TCustomLayer* Layer, int Index)>;
using TLayerUpdateEvent = TDelegate<void(TObject* Sender, TCustomLayer* Layer)>;
using TGetScaleEvent = TDelegate<void(TObject* Sender, float& ScaleX, float& ScaleY)>;
using TGetShiftEvent = TDelegate<void(TObject* Sender, float& ShiftX, float& ShiftY)>;
using THitTestEvent = TDelegate<void(TObject* Sender, int X, int Y, bool& Passed)>;
using TPaintLayerEvent = TDelegate<void(TObject* Sender, TBitmap32* Buffer)>;

// The layers of one image control, in paint order (index 0 at the bottom).
class TLayerCollection : public TPersistent {
    FW_CLASS(TLayerCollection, TPersistent)
public:
    explicit TLayerCollection(TPersistent* owner = nullptr);
    // Silent: the update count is held at 1 while the layers go.
    ~TLayerCollection() override;

    // From another collection: the own layers go, then a layer of each source layer's class is
    // added and takes that layer's state (a failure leaves the update closed). Else the
    // assignment error.
    void Assign(TPersistent* Source) override;

    // The first open update raises OnChanging; closing the last raises Changed. An EndUpdate
    // without its BeginUpdate is a programming error: debug builds count it (never an
    // exception, since this runs under window procedures); the count stays at 0.
    void BeginUpdate();
    void EndUpdate();
    // OnChange, whatever the update count.
    void Changed();
    void Changing();
    // OnGDIUpdate while no update is open.
    void GDIUpdate();

    int Count() const noexcept { return items_.Count(); }
    TCustomLayer* Items(int index) const { return static_cast<TCustomLayer*>(items_.Items(index)); }
    int IndexOf(const TCustomLayer* layer) const noexcept {
        return items_.IndexOf(const_cast<TCustomLayer*>(layer));
    }
    TPersistent* GetOwner() const override { return owner_; }
    int UpdateCount() const noexcept { return updateCount_; }

    // Creates a layer of the class in this collection; it ends on top.
    TCustomLayer* Add(TClassOf<TCustomLayer> layerClass);
    // Frees every layer, top first, then notifies the clearing.
    void Clear();
    // Used by the layers as they enter and leave.
    void InsertItem(TCustomLayer* layer);
    void RemoveItem(TCustomLayer* layer);
    void MoveItem(int from, int to) { items_.Move(from, to); }

    void LayerUpdated(TCustomLayer* layer);

    virtual void GetViewportScale(float& scaleX, float& scaleY);
    virtual void GetViewportShift(float& shiftX, float& shiftY);

    // The top-most layer sharing a bit with optionMask whose hit test passes, or nullptr.
    TCustomLayer* HitTest(int x, int y, std::uint32_t optionMask = LOB_MOUSE_EVENTS);

    TCustomLayer* MouseListener() const noexcept { return mouseListener_; }
    void SetMouseListener(TCustomLayer* layer);
    bool MouseEvents() const noexcept { return mouseEvents_; }
    void SetMouseEvents(bool value) noexcept { mouseEvents_ = value; }

    // Mouse routing: each answers the layer that took the event, or nullptr.
    TCustomLayer* MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    TCustomLayer* MouseMove(TShiftState shift, int x, int y);
    TCustomLayer* MouseUp(TMouseButton button, TShiftState shift, int x, int y);

    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;
    TNotifyEvent OnGDIUpdate;
    TLayerListNotifyEvent OnListNotify;
    TLayerUpdateEvent OnLayerUpdated;
    TAreaChangedEvent OnAreaUpdated;
    TGetScaleEvent OnGetViewportScale;
    TGetShiftEvent OnGetViewportShift;

    // EndUpdate calls without a BeginUpdate seen by debug builds.
    static int UnpairedEndUpdates() noexcept;

private:
    void Notify(int action, TCustomLayer* layer, int index);

    TList items_;
    bool mouseEvents_ = true;
    TCustomLayer* mouseListener_ = nullptr;
    int updateCount_ = 0;
    TPersistent* owner_ = nullptr;
};

class TCustomLayer : public TNotifiablePersistent {
    FW_CLASS(TCustomLayer, TNotifiablePersistent)
public:
    // Layers are made for a collection (nullptr for none) through their class reference.
    using TConstructorArgs = TCtorArgs<TLayerCollection*>;

    // Joins the collection; visible.
    explicit TCustomLayer(TLayerCollection* collection);
    // Leaves the collection (which notifies the removal).
    ~TCustomLayer() override;
    // Raises OnDestroy while the layer is still whole.
    void BeforeDestruction() override;

    // Silent inside the layer's own update, without a collection, or with LOB_NO_UPDATE. Else
    // Update, then the collection's Changed (visible) or GDIUpdate (invisible GDI overlay), then
    // the layer's own OnChange.
    void Changed() override;
    void Changing();
    // Tells the collection that the layer was updated, when visible or LOB_FORCE_UPDATE is set.
    void Update();

    // DoHitTest, then OnHitTest may change the answer.
    bool HitTest(int x, int y);
    virtual bool DoHitTest(int, int) { return true; }
    // OnMouseDown.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    // The screen cursor takes the layer's cursor, then OnMouseMove.
    virtual void MouseMove(TShiftState shift, int x, int y);
    // The screen cursor goes back to the default, then OnMouseUp.
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void ComponentRemovedNotice(TCustomLayer*) {}
    virtual void Paint(TBitmap32*) {}
    virtual void PaintGDI(TCanvas*) {}
    // Paint, then OnPaint.
    void PaintLayer(TBitmap32* buffer);

    int Index() const noexcept { return collection_ != nullptr ? collection_->IndexOf(this) : -1; }
    // Clamped to the collection; the move happens inside a collection update when visible.
    virtual void SetIndex(int newIndex);
    TCursor Cursor() const noexcept { return cursor_; }
    virtual void SetCursor(TCursor cursor);
    TLayerCollection* LayerCollection() const noexcept { return collection_; }
    virtual void SetLayerCollection(TLayerCollection* collection);
    std::uint32_t LayerOptions() const noexcept { return options_; }
    virtual void SetLayerOptions(std::uint32_t options);
    bool Visible() const noexcept { return (options_ & LOB_VISIBLE) != 0; }
    void SetVisible(bool value) {
        SetLayerOptions(value ? options_ | LOB_VISIBLE : options_ & ~LOB_VISIBLE);
    }
    // The repaint optimiser's mark: the layer's area is already queued.
    bool Invalid() const noexcept { return (options_ & LOB_INVALID) != 0; }
    void SetInvalid(bool value) noexcept {
        options_ = value ? options_ | LOB_INVALID : options_ & ~LOB_INVALID;
    }
    std::uint32_t LayerStates() const noexcept { return layerStates_; }

    THitTestEvent OnHitTest;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TPaintLayerEvent OnPaint;
    TNotifyEvent OnDestroy;

private:
    friend class TLayerCollection;

    TCursor cursor_ = crDefault;
    TLayerCollection* collection_ = nullptr;
    std::uint32_t layerStates_ = 0;
    std::uint32_t options_ = 0;
};

using TLayerClass = TClassOf<TCustomLayer>;
