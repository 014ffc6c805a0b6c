#include "raster/RepaintOpt.h"

#include <algorithm>

#include "raster/Bitmap32.h"

namespace {
// An area report of a line: the low 24 bits are its width.
constexpr std::uint32_t kAreaInfoLine = 0x40000000u;
} // namespace

// --- TCustomRepaintOptimizer -----------------------------------------------------------------

TCustomRepaintOptimizer::TCustomRepaintOptimizer(TBitmap32* buffer, TRectList* invalidRects)
    : invalidRects_(invalidRects), buffer_(buffer) {}

TCustomRepaintOptimizer::~TCustomRepaintOptimizer() {
    // The base's own unregistration: a derived class has already removed its handlers.
    while (collections_.Count() > 0)
        TCustomRepaintOptimizer::UnregisterLayerCollection(Collection(collections_.Count() - 1));
}

void TCustomRepaintOptimizer::RegisterLayerCollection(TLayerCollection* collection) {
    if (collection == nullptr || collections_.IndexOf(collection) >= 0)
        return;
    collections_.Add(collection);
    collection->OnListNotify =
        TLayerListNotifyEvent(this, &TCustomRepaintOptimizer::LayerCollectionNotifyHandler);
}

void TCustomRepaintOptimizer::UnregisterLayerCollection(TLayerCollection* collection) {
    if (collections_.Remove(collection) < 0)
        return;
    collection->OnListNotify = nullptr;
}

// --- TMicroTilesMap --------------------------------------------------------------------------

TMicroTiles* TMicroTilesMap::Grid(const void* layer) {
    bool isNew = false;
    void** slot = Add(layer, isNew);
    if (isNew || *slot == nullptr)
        *slot = new TMicroTiles();
    return static_cast<TMicroTiles*>(*slot);
}

TMicroTiles* TMicroTilesMap::Find(const void* layer) const {
    int b, i;
    if (!TPointerMap::Find(layer, b, i))
        return nullptr;
    return static_cast<TMicroTiles*>(Bucket(b)[static_cast<std::size_t>(i)].Data);
}

void* TMicroTilesMap::Delete(int bucket, int index) {
    delete static_cast<TMicroTiles*>(TPointerMap::Delete(bucket, index));
    return nullptr;
}

// --- TMicroTilesRepaintOptimizer -------------------------------------------------------------

TMicroTilesRepaintOptimizer::TMicroTilesRepaintOptimizer(TBitmap32* buffer, TRectList* invalidRects,
                                                         TPerfClock clock)
    : TCustomRepaintOptimizer(buffer, invalidRects), perfTimer_(clock) {}

TMicroTilesRepaintOptimizer::~TMicroTilesRepaintOptimizer() {
    while (CollectionCount() > 0)
        UnregisterLayerCollection(Collection(CollectionCount() - 1));
}

void TMicroTilesRepaintOptimizer::InstallHandlers(TLayerCollection* c) {
    c->OnLayerUpdated = TLayerUpdateEvent(this, &TMicroTilesRepaintOptimizer::LayerUpdateHandler);
    c->OnAreaUpdated = TAreaChangedEvent(this, &TMicroTilesRepaintOptimizer::AreaUpdateHandler);
    c->OnListNotify =
        TLayerListNotifyEvent(this, &TMicroTilesRepaintOptimizer::LayerCollectionNotifyHandler);
}

void TMicroTilesRepaintOptimizer::RemoveHandlers(TLayerCollection* c) {
    c->OnLayerUpdated = nullptr;
    c->OnAreaUpdated = nullptr;
    c->OnListNotify = nullptr;
}

void TMicroTilesRepaintOptimizer::SetEnabled(bool value) {
    if (value == enabled_)
        return;
    if (value) {
        for (int i = 0; i < CollectionCount(); ++i)
            InstallHandlers(Collection(i));
        enabled_ = true;
        BufferResizedHandler(buffer_ != nullptr ? buffer_->Width() : 0,
                             buffer_ != nullptr ? buffer_->Height() : 0);
    } else {
        for (int i = 0; i < CollectionCount(); ++i)
            RemoveHandlers(Collection(i));
        GridDispose(workTiles_);
        GridDispose(invalidTiles_);
        GridDispose(forcedInvalidTiles_);
        workingTilesValid_ = false;
        useInvalidTiles_ = false;
        oldInvalidTilesValid_ = false;
        oldInvalidTilesMap_.Clear();
        invalidLayers_.Clear();
    }
    TCustomRepaintOptimizer::SetEnabled(value);
}

void TMicroTilesRepaintOptimizer::RegisterLayerCollection(TLayerCollection* collection) {
    TCustomRepaintOptimizer::RegisterLayerCollection(collection);
    if (enabled_ && collection != nullptr)
        InstallHandlers(collection);
}

void TMicroTilesRepaintOptimizer::UnregisterLayerCollection(TLayerCollection* collection) {
    if (collection != nullptr)
        RemoveHandlers(collection);
    TCustomRepaintOptimizer::UnregisterLayerCollection(collection);
}

void TMicroTilesRepaintOptimizer::LayerCollectionNotifyHandler(TObject*, int action,
                                                               TCustomLayer* layer, int) {
    // A disabled optimiser keeps no grids.
    if (!enabled_)
        return;
    switch (action) {
    case 0:
    case 1:
        GridSetSize(*oldInvalidTilesMap_.Grid(layer), buffer_->WholeRect());
        break;
    case 2: {
        // Runs inside the layer's destructor: an unknown layer is skipped, never raised on.
        TMicroTiles* previous = oldInvalidTilesMap_.Find(layer);
        if (previous != nullptr && oldInvalidTilesValid_) {
            GridUnion(invalidTiles_, *previous, false);
            useInvalidTiles_ = true;
        }
        invalidLayers_.Remove(layer);
        oldInvalidTilesMap_.Remove(layer);
        return;
    }
    case 3:
        if (oldInvalidTilesValid_) {
            TPointerMapIterator it(oldInvalidTilesMap_);
            while (it.Next())
                GridUnion(invalidTiles_, *static_cast<TMicroTiles*>(it.Data()), false);
            useInvalidTiles_ = true;
            ResetAdaptiveState();
        }
        oldInvalidTilesMap_.Clear();
        invalidLayers_.Clear();
        break;
    default:
        return;
    }
    oldInvalidTilesValid_ = true;
}

void TMicroTilesRepaintOptimizer::ResetAdaptiveState() {
    timeDelta_ = 1000;
    adaptionFailed_ = false;
    performanceLevel_ = 0;
}

void TMicroTilesRepaintOptimizer::AreaUpdateHandler(TObject*, const TRect& area,
                                                    std::uint32_t info) {
    ValidateWorkingTiles();
    AddArea(forcedInvalidTiles_, area, info);
    useInvalidTiles_ = true;
}

void TMicroTilesRepaintOptimizer::LayerUpdateHandler(TObject*, TCustomLayer* layer) {
    if (oldInvalidTilesValid_ && layer != nullptr && !layer->Invalid()) {
        invalidLayers_.Add(layer);
        layer->SetInvalid(true);
        useInvalidTiles_ = true;
    }
}

void TMicroTilesRepaintOptimizer::BufferResizedHandler(int width, int height) {
    bufferBounds_ = TRect{0, 0, std::max(width, 0), std::max(height, 0)};
    Reset();
}

void TMicroTilesRepaintOptimizer::Reset() {
    workingTilesValid_ = false;
    oldInvalidTilesValid_ = false;
    InitPreviousAreas();
    GridClear(forcedInvalidTiles_, kMicroTileFull);
    forcedInvalidTiles_.BoundsUsedTiles =
        TRect{0, 0, forcedInvalidTiles_.Columns, forcedInvalidTiles_.Rows};
    useInvalidTiles_ = true;
}

bool TMicroTilesRepaintOptimizer::UpdatesAvailable() {
    InitPreviousAreas();
    return useInvalidTiles_;
}

void TMicroTilesRepaintOptimizer::ValidateWorkingTiles() {
    if (workingTilesValid_)
        return;
    GridSetSize(workTiles_, bufferBounds_);
    GridSetSize(invalidTiles_, bufferBounds_);
    GridSetSize(forcedInvalidTiles_, bufferBounds_);
    workingTilesValid_ = true;
}

void TMicroTilesRepaintOptimizer::InitPreviousAreas() {
    if (oldInvalidTilesValid_)
        return;
    ValidateWorkingTiles();
    for (int c = 0; c < CollectionCount(); ++c) {
        TLayerCollection* collection = Collection(c);
        for (int i = 0; i < collection->Count(); ++i) {
            TCustomLayer* layer = collection->Items(i);
            TMicroTiles* grid = oldInvalidTilesMap_.Grid(layer);
            GridSetSize(*grid, bufferBounds_);
            RecordLayerArea(*grid, layer);
            layer->SetInvalid(false);
        }
    }
    invalidLayers_.Clear();
    oldInvalidTilesValid_ = true;
    useInvalidTiles_ = false;
}

void TMicroTilesRepaintOptimizer::RecordedArea(TObject*, const TRect& area, std::uint32_t info) {
    if (recordingGrid_ != nullptr)
        AddArea(*recordingGrid_, area, info);
}

void TMicroTilesRepaintOptimizer::RecordLayerArea(TMicroTiles& grid, TCustomLayer* layer) {
    if (buffer_ == nullptr)
        return;
    // Stops the recording however the layer's painting ends.
    struct Recording {
        TBitmap32* buffer;
        TMicroTiles*& slot;
        ~Recording() {
            buffer->StopAreaRecording();
            slot = nullptr;
        }
    };
    recordingGrid_ = &grid;
    buffer_->StartAreaRecording(
        TAreaChangedEvent(this, &TMicroTilesRepaintOptimizer::RecordedArea));
    Recording recording{buffer_, recordingGrid_};
    layer->PaintLayer(buffer_);
}

void TMicroTilesRepaintOptimizer::AddArea(TMicroTiles& grid, const TRect& area,
                                          std::uint32_t info) {
    const bool wholeTiles = performanceLevel_ > 0;
    if ((info & kAreaInfoLine) != 0) {
        const int w = static_cast<int>(info & 0x00FFFFFF);
        TRect r = area;
        InflateArea(r, w, w);
        GridAddLine(grid, r.Left, r.Top, r.Right, r.Bottom, w, wholeTiles);
    } else {
        GridAddRect(grid, area, wholeTiles);
    }
}

void TMicroTilesRepaintOptimizer::PerformOptimization() {
    if (useInvalidTiles_) {
        ValidateWorkingTiles();
        const bool wholeTiles = performanceLevel_ > 0;
        for (int i = 0; i < invalidLayers_.Count(); ++i) {
            auto* layer = static_cast<TCustomLayer*>(invalidLayers_.Items(i));
            TMicroTiles* previous = oldInvalidTilesMap_.Grid(layer);
            if (!previous->HasTiles())
                GridSetSize(*previous, bufferBounds_);
            GridClearUsed(workTiles_, 0);
            RecordLayerArea(workTiles_, layer);
            GridUnion(invalidTiles_, workTiles_, wholeTiles);
            GridUnion(invalidTiles_, *previous, wholeTiles);
            GridCopy(*previous, workTiles_);
            layer->SetInvalid(false);
        }
        invalidLayers_.Clear();
        if (invalidRects_ != nullptr) {
            GridToRects(invalidTiles_, invalidRects_);
            GridToRects(forcedInvalidTiles_, invalidRects_);
        }
    }
    AdaptAfterOptimization();
    GridClearUsed(invalidTiles_, 0);
    GridClearUsed(forcedInvalidTiles_, 0);
}

void TMicroTilesRepaintOptimizer::BeginPaintBuffer() {
    if (adaptiveMode_)
        perfTimer_.Start();
}

void TMicroTilesRepaintOptimizer::EndPaintBuffer() {
    useInvalidTiles_ = false;
    AdaptToPaintTime();
}

void TMicroTilesRepaintOptimizer::AdaptAfterOptimization() {
    if (!adaptiveMode_ || performanceLevel_ <= 0)
        return;
    const int rectCount = invalidRects_ != nullptr ? invalidRects_->Count() : 0;
    // Signed difference: the tick count wraps after 49.7 days.
    if (static_cast<std::int32_t>(perfTimer_.TickCount() - nextCheck_) > 0) {
        performanceLevel_ = std::max(performanceLevel_ - 1, 0);
        timedCheck_ = true;
    } else if (!adaptionFailed_ && rectCount < invalidRectsAtLastLevelChange_ - 10) {
        performanceLevel_ = std::max(performanceLevel_ - 1, 0);
    } else if (performanceLevel_ == 2 && invalidRects_ != nullptr) {
        invalidRects_->Clear();
    }
}

void TMicroTilesRepaintOptimizer::AdaptToPaintTime() {
    const std::int64_t t = perfTimer_.ReadMicroseconds();
    const int rectCount = invalidRects_ != nullptr ? invalidRects_->Count() : 0;
    if (rectCount == 0) {
        fullSceneRepaintTime_ = t;
    } else if (adaptiveMode_) {
        if (t > fullSceneRepaintTime_) {
            const int level = std::min(performanceLevel_ + 1, 2);
            if (level != performanceLevel_) {
                invalidRectsAtLastLevelChange_ = rectCount;
                performanceLevel_ = level;
                if (timedCheck_) {
                    SetTimeDelta(timeDelta_ + 250);
                    timeAtLastPenalty_ = t;
                    timedCheck_ = false;
                }
                adaptionFailed_ = true;
            }
        } else if (t < fullSceneRepaintTime_) {
            if (timedCheck_) {
                timeDelta_ = 1000;
                nextCheck_ = perfTimer_.TickCount() + 1000;
                timedCheck_ = false;
            } else if (timeDelta_ > 1000) {
                SetTimeDelta(timeDelta_ - 1000);
            }
            adaptionFailed_ = false;
        } else if (t < timeAtLastPenalty_ && timedCheck_) {
            SetTimeDelta(timeDelta_ - 250);
            timedCheck_ = false;
        }
    }
    lastRepaintTime_ = t;
}

void TMicroTilesRepaintOptimizer::SetTimeDelta(int value) {
    timeDelta_ = std::clamp(value, 1000, 5000);
    nextCheck_ = perfTimer_.TickCount() + static_cast<std::uint32_t>(timeDelta_);
}
