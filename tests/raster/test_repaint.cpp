// The micro-tile repaint optimiser over scripted layers and a fake clock: what it asks to
// repaint after layers move, go or are cleared, after a reset, and how it coarsens and relaxes.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/RepaintOpt.h"
#include "raster/Startup.h"

namespace {

// A layer that reports one area when painted.
class TAreaLayer : public TCustomLayer {
    FW_CLASS(TAreaLayer, TCustomLayer)
public:
    explicit TAreaLayer(TLayerCollection* c) : TCustomLayer(c) {}
    TRect area{0, 0, 0, 0};
    void Paint(TBitmap32* buffer) override { buffer->AreaChanged(area, kAreaInfoRect); }
    void MoveTo(TRect r) {
        area = r;
        Changed();
    }
};

std::int64_t gCounter = 0;
std::uint32_t gTicks = 0;
const TPerfClock kFakeClock{[] { return gCounter; }, [] { return std::int64_t{1000000}; },
                            [] { return gTicks; }};

struct Scene {
    Scene() {
        raster::Startup();
        buffer = Create<TBitmap32>();
        buffer->SetSize(200, 100);
        optimizer = new TMicroTilesRepaintOptimizer(buffer, &rects, kFakeClock);
        optimizer->RegisterLayerCollection(&layers);
    }
    ~Scene() {
        delete optimizer;
        layers.Clear();
        buffer->Free();
    }
    TAreaLayer* AddLayer(TRect r) {
        auto* layer = static_cast<TAreaLayer*>(layers.Add(TLayerClass::Of<TAreaLayer>()));
        layer->area = r;
        return layer;
    }
    // One paint cycle lasting the given microseconds; answers the rectangles repainted.
    std::vector<TRect> Paint(std::int64_t micros = 100) {
        rects.Clear();
        std::vector<TRect> out;
        if (optimizer->UpdatesAvailable())
            optimizer->PerformOptimization();
        for (int i = 0; i < rects.Count(); ++i)
            out.push_back(*rects.Items(i));
        optimizer->BeginPaintBuffer();
        gCounter += micros;
        optimizer->EndPaintBuffer();
        return out;
    }

    TBitmap32* buffer = nullptr;
    TRectList rects;
    TLayerCollection layers;
    TMicroTilesRepaintOptimizer* optimizer = nullptr;
};

TEST(RepaintOptimizer, ResetRepaintsTheWholeBufferThenNothingIsLeft) {
    Scene s;
    s.AddLayer(TRect{10, 10, 20, 20});
    s.optimizer->SetEnabled(true);
    EXPECT_EQ(s.Paint(), (std::vector<TRect>{{0, 0, 200, 100}}));
    EXPECT_TRUE(s.Paint().empty());
    s.optimizer->Reset();
    EXPECT_EQ(s.Paint(), (std::vector<TRect>{{0, 0, 200, 100}}));
}

TEST(RepaintOptimizer, MovingALayerRepaintsItsOldAndNewArea) {
    Scene s;
    TAreaLayer* layer = s.AddLayer(TRect{10, 10, 20, 20});
    // Exact tiles throughout: no coarsening by paint time.
    s.optimizer->SetAdaptiveMode(false);
    s.optimizer->SetEnabled(true);
    s.Paint();
    layer->MoveTo(TRect{50, 50, 60, 60});
    EXPECT_EQ(s.Paint(), (std::vector<TRect>{{10, 10, 20, 20}, {50, 50, 60, 60}}));
    // Reported areas join in.
    s.layers.OnAreaUpdated(&s.layers, TRect{150, 5, 160, 8}, kAreaInfoRect);
    EXPECT_EQ(s.Paint(), (std::vector<TRect>{{150, 5, 160, 8}}));
    // A line report covers its own extent.
    s.layers.OnAreaUpdated(&s.layers, TRect{100, 40, 100, 90}, 0x40000000u | 1);
    const std::vector<TRect> line = s.Paint();
    for (int y = 40; y <= 90; ++y) {
        EXPECT_TRUE(std::any_of(line.begin(), line.end(), [y](const TRect& r) {
            return r.Left <= 100 && 100 < r.Right && r.Top <= y && y < r.Bottom;
        })) << y;
    }
    for (const TRect& r : line)
        EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= 200 && r.Bottom <= 100);
}

TEST(RepaintOptimizer, RemovalAndClearingRepaintThePreviousAreas) {
    Scene s;
    TAreaLayer* a = s.AddLayer(TRect{10, 10, 20, 20});
    s.AddLayer(TRect{100, 50, 110, 60});
    s.optimizer->SetAdaptiveMode(false);
    s.optimizer->SetEnabled(true);
    s.Paint();
    a->Free();
    EXPECT_EQ(s.Paint(), (std::vector<TRect>{{10, 10, 20, 20}}));
    s.layers.Clear();
    EXPECT_EQ(s.Paint(), (std::vector<TRect>{{100, 50, 110, 60}}));
}

// The removal notice comes from a layer's destructor: a layer the optimiser never saw must not
// raise (an exception there would end the program).
TEST(RepaintOptimizer, RemovalOfAnUnknownLayerIsSkipped) {
    Scene s;
    s.optimizer->SetEnabled(true);
    TAreaLayer stranger(nullptr);
    EXPECT_NO_THROW(s.optimizer->LayerCollectionNotifyHandler(&s.layers, 2, &stranger, 0));
    EXPECT_NO_THROW(s.optimizer->LayerCollectionNotifyHandler(&s.layers, 7, &stranger, 0));
    // Disabled, it keeps nothing and does not fail either.
    s.optimizer->SetEnabled(false);
    EXPECT_NO_THROW(s.optimizer->LayerCollectionNotifyHandler(&s.layers, 2, &stranger, 0));
    s.AddLayer(TRect{1, 1, 2, 2})->Free();
}

TEST(RepaintOptimizer, AdaptsItsLevelToThePaintTime) {
    Scene s;
    TAreaLayer* layer = s.AddLayer(TRect{10, 10, 20, 20});
    s.optimizer->SetEnabled(true);
    // The first paint is a full repaint: it sets the full-scene time.
    s.rects.Clear();
    s.optimizer->UpdatesAvailable();
    s.optimizer->BeginPaintBuffer();
    gCounter += 500;
    s.optimizer->EndPaintBuffer();
    EXPECT_EQ(s.optimizer->FullSceneRepaintTime(), 500);
    // Partial paints slower than that raise the level, at most to 2.
    for (int expected : {1, 2, 2}) {
        layer->MoveTo(TRect{layer->area.Left + 1, 10, layer->area.Right + 1, 20});
        s.Paint(800);
        EXPECT_EQ(s.optimizer->PerformanceLevel(), expected);
    }
    // A faster paint lowers the time delta, never below 1000.
    layer->MoveTo(TRect{30, 10, 40, 20});
    s.Paint(100);
    EXPECT_EQ(s.optimizer->TimeDelta(), 1000);
    // Past the next check, the level relaxes by one.
    gTicks += 100000;
    layer->MoveTo(TRect{40, 10, 50, 20});
    s.Paint(100);
    EXPECT_EQ(s.optimizer->PerformanceLevel(), 1);
    // Clearing the layers resets the adaptation.
    s.layers.Clear();
    EXPECT_EQ(s.optimizer->PerformanceLevel(), 0);
    EXPECT_EQ(s.optimizer->TimeDelta(), 1000);
}

} // namespace
