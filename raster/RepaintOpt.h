#pragma once

#include <cstdint>

#include "framework/core/List.h"
#include "framework/core/Object.h"
#include "raster/Containers.h"
#include "raster/Layers.h"
#include "raster/MicroTiles.h"
#include "raster/PerfTimer.h"

class TBitmap32;

// Decides which parts of an image control's buffer to repaint after its layers or the buffer
// changed. The paint box calls, per paint: UpdatesAvailable, PerformOptimization (which fills
// the invalid-rectangle list), BeginPaintBuffer, the painting, EndPaintBuffer.
class TCustomRepaintOptimizer : public TObject {
    FW_CLASS(TCustomRepaintOptimizer, TObject)
public:
    // Neither is owned. Disabled.
    TCustomRepaintOptimizer(TBitmap32* buffer, TRectList* invalidRects);
    ~TCustomRepaintOptimizer() override;

    bool Enabled() const noexcept { return enabled_; }
    virtual void SetEnabled(bool value) { enabled_ = value; }

    // Takes the collection's list notifications (once per collection).
    virtual void RegisterLayerCollection(TLayerCollection* collection);
    virtual void UnregisterLayerCollection(TLayerCollection* collection);

    virtual void BeginPaint() {}
    virtual void EndPaint() {}
    virtual void BeginPaintBuffer() {}
    virtual void EndPaintBuffer() {}
    virtual void Reset() = 0;
    virtual bool UpdatesAvailable() = 0;
    virtual void PerformOptimization() = 0;
    virtual void AreaUpdateHandler(TObject* sender, const TRect& area, std::uint32_t info) = 0;
    virtual void LayerUpdateHandler(TObject* sender, TCustomLayer* layer) = 0;
    virtual void BufferResizedHandler(int width, int height) = 0;
    // Runs inside a layer's destructor (a removal): must never raise.
    virtual void LayerCollectionNotifyHandler(TObject* sender, int action, TCustomLayer* layer,
                                              int index) = 0;

protected:
    int CollectionCount() const noexcept { return collections_.Count(); }
    TLayerCollection* Collection(int i) const {
        return static_cast<TLayerCollection*>(collections_.Items(i));
    }

    bool enabled_ = false;
    TList collections_;
    TRectList* invalidRects_;
    TBitmap32* buffer_;
};

// The map from a layer to the grid of its previous area; the map owns the grids.
class TMicroTilesMap : public TPointerMap {
public:
    ~TMicroTilesMap() override { Clear(); }
    // The layer's grid, made empty on first use.
    TMicroTiles* Grid(const void* layer);
    TMicroTiles* Find(const void* layer) const;
    void* Delete(int bucket, int index) override;
};

// The micro-tile optimiser: layers' previous and current areas and explicitly reported areas
// in 32 x 32 tiles, coarsened when painting many rectangles costs more than one full paint.
class TMicroTilesRepaintOptimizer : public TCustomRepaintOptimizer {
    FW_CLASS(TMicroTilesRepaintOptimizer, TCustomRepaintOptimizer)
public:
    TMicroTilesRepaintOptimizer(TBitmap32* buffer, TRectList* invalidRects,
                                TPerfClock clock = PlatformPerfClock());
    ~TMicroTilesRepaintOptimizer() override;

    void SetEnabled(bool value) override;
    void RegisterLayerCollection(TLayerCollection* collection) override;
    void UnregisterLayerCollection(TLayerCollection* collection) override;
    void BeginPaintBuffer() override;
    void EndPaintBuffer() override;
    void Reset() override;
    bool UpdatesAvailable() override;
    void PerformOptimization() override;
    void AreaUpdateHandler(TObject* sender, const TRect& area, std::uint32_t info) override;
    void LayerUpdateHandler(TObject* sender, TCustomLayer* layer) override;
    void BufferResizedHandler(int width, int height) override;
    void LayerCollectionNotifyHandler(TObject* sender, int action, TCustomLayer* layer,
                                      int index) override;

    bool AdaptiveMode() const noexcept { return adaptiveMode_; }
    void SetAdaptiveMode(bool value) noexcept { adaptiveMode_ = value; }
    int PerformanceLevel() const noexcept { return performanceLevel_; }
    int TimeDelta() const noexcept { return timeDelta_; }
    std::int64_t FullSceneRepaintTime() const noexcept { return fullSceneRepaintTime_; }
    std::int64_t LastRepaintTime() const noexcept { return lastRepaintTime_; }

private:
    void InstallHandlers(TLayerCollection* c);
    static void RemoveHandlers(TLayerCollection* c);
    void ValidateWorkingTiles();
    void InitPreviousAreas();
    void RecordLayerArea(TMicroTiles& grid, TCustomLayer* layer);
    void RecordedArea(TObject* sender, const TRect& area, std::uint32_t info);
    void AddArea(TMicroTiles& grid, const TRect& area, std::uint32_t info);
    void AdaptAfterOptimization();
    void AdaptToPaintTime();
    void SetTimeDelta(int value);
    void ResetAdaptiveState();

    TRect bufferBounds_;
    TMicroTiles* recordingGrid_ = nullptr;
    TMicroTiles workTiles_, invalidTiles_, forcedInvalidTiles_;
    TList invalidLayers_;
    TMicroTilesMap oldInvalidTilesMap_;
    bool workingTilesValid_ = false;
    bool oldInvalidTilesValid_ = false;
    bool useInvalidTiles_ = false;
    bool adaptiveMode_ = true;
    TPerfTimer perfTimer_;
    int performanceLevel_ = 0;
    std::int64_t lastRepaintTime_ = 0;
    std::int64_t fullSceneRepaintTime_ = 0;
    bool adaptionFailed_ = false;
    bool timedCheck_ = false;
    int timeDelta_ = 1000;
    std::uint32_t nextCheck_ = 0;
    std::int64_t timeAtLastPenalty_ = 0;
    int invalidRectsAtLastLevelChange_ = 0;
};
