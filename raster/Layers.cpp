#include "raster/Layers.h"

#include <algorithm>
#include <atomic>
#include <exception>

namespace {

TLayerCursorSeam gSeam;
std::atomic<int> gUnpairedEndUpdates{0};

void SetScreenCursor(TCursor cursor) {
    if (gSeam.SetScreenCursor != nullptr)
        gSeam.SetScreenCursor(cursor);
}

// Closes a collection update however the bracketed code ends.
class TUpdateScope {
public:
    explicit TUpdateScope(TLayerCollection& c) : c_(c), unwinding_(std::uncaught_exceptions()) {
        c_.BeginUpdate();
    }
    // A change handler's error reaches the caller, except while another error unwinds through
    // the scope: a second one then would end the program, so the first is the one reported.
    ~TUpdateScope() noexcept(false) {
        if (std::uncaught_exceptions() == unwinding_) {
            c_.EndUpdate();
            return;
        }
        try {
            c_.EndUpdate();
        } catch (...) {
        }
    }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TLayerCollection& c_;
    int unwinding_;
};

std::uint32_t ButtonState(TMouseButton button) {
    switch (button) {
    case mbLeft:
        return LS_LEFT_DOWN;
    case mbRight:
        return LS_RIGHT_DOWN;
    case mbMiddle:
        return LS_MIDDLE_DOWN;
    }
    return 0;
}

constexpr std::uint32_t kAllButtons = LS_LEFT_DOWN | LS_RIGHT_DOWN | LS_MIDDLE_DOWN;

} // namespace

void SetLayerCursorSeam(const TLayerCursorSeam& seam) {
    gSeam = seam;
}

const TLayerCursorSeam& LayerCursorSeam() {
    return gSeam;
}

// --- TLayerCollection ---------------------------------------------------------------------

TLayerCollection::TLayerCollection(TPersistent* owner) : owner_(owner) {}

TLayerCollection::~TLayerCollection() {
    updateCount_ = 1;
    Clear();
}

int TLayerCollection::UnpairedEndUpdates() noexcept {
    return gUnpairedEndUpdates.load();
}

void TLayerCollection::BeginUpdate() {
    if (updateCount_ == 0)
        Changing();
    ++updateCount_;
}

void TLayerCollection::EndUpdate() {
    --updateCount_;
    if (updateCount_ < 0) {
#ifndef NDEBUG
        gUnpairedEndUpdates.fetch_add(1);
#endif
        updateCount_ = 0;
        return;
    }
    if (updateCount_ == 0)
        Changed();
}

void TLayerCollection::Changed() {
    if (OnChange)
        OnChange(this);
}

void TLayerCollection::Changing() {
    if (OnChanging)
        OnChanging(this);
}

void TLayerCollection::GDIUpdate() {
    if (updateCount_ == 0 && OnGDIUpdate)
        OnGDIUpdate(this);
}

void TLayerCollection::Notify(int action, TCustomLayer* layer, int index) {
    if (OnListNotify)
        OnListNotify(this, action, layer, index);
}

TCustomLayer* TLayerCollection::Add(TClassOf<TCustomLayer> layerClass) {
    TCustomLayer* layer = layerClass.Create(this);
    const int index = IndexOf(layer);
    if (index >= 0 && index != Count() - 1)
        items_.Move(index, Count() - 1);
    Notify(kLayerAdded, layer, IndexOf(layer));
    return layer;
}

void TLayerCollection::Clear() {
    {
        TUpdateScope update(*this);
        while (Count() > 0)
            Items(Count() - 1)->Free();
        Notify(kLayersCleared, nullptr, 0);
    }
}

void TLayerCollection::InsertItem(TCustomLayer* layer) {
    TUpdateScope update(*this);
    const int index = items_.Add(layer);
    layer->collection_ = this;
    Notify(kLayerAdded, layer, index);
}

void TLayerCollection::RemoveItem(TCustomLayer* layer) {
    TUpdateScope update(*this);
    const int index = IndexOf(layer);
    if (index < 0)
        return;
    if (mouseListener_ == layer)
        mouseListener_ = nullptr;
    items_.Delete(index);
    layer->collection_ = nullptr;
    Notify(kLayerRemoved, layer, index);
}

void TLayerCollection::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TLayerCollection*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    TUpdateScope update(*this);
    while (Count() > 0)
        Items(Count() - 1)->Free();
    for (int i = 0; i < source->Count(); ++i) {
        TCustomLayer* from = source->Items(i);
        TCustomLayer* layer = Add(TLayerClass(from->ClassType()));
        layer->Assign(from);
    }
}

void TLayerCollection::LayerUpdated(TCustomLayer* layer) {
    if (OnLayerUpdated)
        OnLayerUpdated(this, layer);
    Changed();
}

void TLayerCollection::GetViewportScale(float& scaleX, float& scaleY) {
    scaleX = 1.0f;
    scaleY = 1.0f;
    if (OnGetViewportScale)
        OnGetViewportScale(this, scaleX, scaleY);
}

void TLayerCollection::GetViewportShift(float& shiftX, float& shiftY) {
    shiftX = 0.0f;
    shiftY = 0.0f;
    if (OnGetViewportShift)
        OnGetViewportShift(this, shiftX, shiftY);
}

TCustomLayer* TLayerCollection::HitTest(int x, int y, std::uint32_t optionMask) {
    for (int i = Count() - 1; i >= 0; --i) {
        TCustomLayer* layer = Items(i);
        if ((layer->LayerOptions() & optionMask) != 0 && layer->HitTest(x, y))
            return layer;
    }
    return nullptr;
}

void TLayerCollection::SetMouseListener(TCustomLayer* layer) {
    if (layer == mouseListener_)
        return;
    if (mouseListener_ != nullptr)
        mouseListener_->layerStates_ &= ~kAllButtons;
    mouseListener_ = layer;
}

TCustomLayer* TLayerCollection::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomLayer* layer = mouseListener_ != nullptr ? mouseListener_ : HitTest(x, y);
    if (layer != mouseListener_ &&
        (layer == nullptr || (layer->LayerOptions() & LOB_NO_CAPTURE) == 0))
        SetMouseListener(layer);
    if (mouseListener_ != nullptr) {
        mouseListener_->layerStates_ |= ButtonState(button);
        mouseListener_->MouseDown(button, shift, x, y);
    }
    return layer;
}

TCustomLayer* TLayerCollection::MouseMove(TShiftState shift, int x, int y) {
    TCustomLayer* layer = mouseListener_ != nullptr ? mouseListener_ : HitTest(x, y);
    if (layer != nullptr) {
        layer->MouseMove(shift, x, y);
    } else {
        TCursor cursor = crDefault;
        if (gSeam.OwnerControlCursor != nullptr && gSeam.OwnerControlCursor(owner_, cursor))
            SetScreenCursor(cursor);
    }
    return layer;
}

TCustomLayer* TLayerCollection::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomLayer* layer = mouseListener_ != nullptr ? mouseListener_ : HitTest(x, y);
    if (layer != nullptr) {
        layer->layerStates_ &= ~ButtonState(button);
        layer->MouseUp(button, shift, x, y);
    }
    // The handler may have freed the listener (which then left the collection and is nullptr).
    if (mouseListener_ != nullptr && (mouseListener_->layerStates_ & kAllButtons) == 0)
        SetMouseListener(nullptr);
    return layer;
}

// --- TCustomLayer -------------------------------------------------------------------------

TCustomLayer::TCustomLayer(TLayerCollection* collection) {
    SetLayerCollection(collection);
    options_ = LOB_VISIBLE;
}

TCustomLayer::~TCustomLayer() {
    SetLayerCollection(nullptr);
}

void TCustomLayer::BeforeDestruction() {
    if (OnDestroy)
        OnDestroy(this);
}

void TCustomLayer::Changed() {
    if (updateCount_ > 0 || collection_ == nullptr || (options_ & LOB_NO_UPDATE) != 0)
        return;
    Update();
    if (Visible())
        collection_->Changed();
    else if ((options_ & LOB_GDI_OVERLAY) != 0)
        collection_->GDIUpdate();
    TNotifiablePersistent::Changed();
}

void TCustomLayer::Changing() {
    if (updateCount_ <= 0 && Visible() && collection_ != nullptr && (options_ & LOB_NO_UPDATE) == 0)
        collection_->Changing();
}

void TCustomLayer::Update() {
    if (collection_ != nullptr && (Visible() || (options_ & LOB_FORCE_UPDATE) != 0))
        collection_->LayerUpdated(this);
}

bool TCustomLayer::HitTest(int x, int y) {
    bool passed = DoHitTest(x, y);
    if (OnHitTest)
        OnHitTest(this, x, y, passed);
    return passed;
}

void TCustomLayer::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TCustomLayer::MouseMove(TShiftState shift, int x, int y) {
    SetScreenCursor(cursor_);
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TCustomLayer::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    SetScreenCursor(crDefault);
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TCustomLayer::PaintLayer(TBitmap32* buffer) {
    Paint(buffer);
    if (OnPaint)
        OnPaint(this, buffer);
}

void TCustomLayer::SetIndex(int newIndex) {
    if (collection_ == nullptr)
        return;
    const int current = Index();
    if (newIndex == current)
        return;
    newIndex = std::clamp(newIndex, 0, collection_->Count() - 1);
    if (newIndex == current)
        return;
    if (Visible()) {
        TUpdateScope update(*collection_);
        collection_->MoveItem(current, newIndex);
    } else {
        collection_->MoveItem(current, newIndex);
    }
}

void TCustomLayer::SetCursor(TCursor cursor) {
    if (cursor == cursor_)
        return;
    cursor_ = cursor;
    if (collection_ != nullptr && collection_->MouseListener() == this)
        SetScreenCursor(cursor);
}

void TCustomLayer::SetLayerCollection(TLayerCollection* collection) {
    if (collection == collection_)
        return;
    if (collection_ != nullptr) {
        if (collection_->MouseListener() == this)
            collection_->SetMouseListener(nullptr);
        collection_->RemoveItem(this);
    }
    if (collection != nullptr)
        collection->InsertItem(this);
}

void TCustomLayer::SetLayerOptions(std::uint32_t options) {
    Changing();
    options_ = options;
    Changed();
}
