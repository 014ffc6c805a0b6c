// Layer collections over fake cursors: hit testing, mouse routing with capture, list and change
// notifications; and the performance timer over a fake clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/Exceptions.h"
#include "raster/Layers.h"
#include "raster/PerfTimer.h"

namespace {

// The cursors the layers set, and the owner control's cursor.
std::vector<TCursor> gScreenCursors;
bool gOwnerIsControl = true;

class CursorFake : public ::testing::Test {
protected:
    void SetUp() override {
        gScreenCursors.clear();
        gOwnerIsControl = true;
        SetLayerCursorSeam(TLayerCursorSeam{[](TCursor c) { gScreenCursors.push_back(c); },
                                            [](TPersistent*, TCursor& c) {
                                                c = crCross;
                                                return gOwnerIsControl;
                                            }});
    }
    void TearDown() override { SetLayerCursorSeam(TLayerCursorSeam{}); }
};

// A layer over a rectangle that logs what reaches it.
class TBoxLayer : public TCustomLayer {
    FW_CLASS(TBoxLayer, TCustomLayer)
public:
    explicit TBoxLayer(TLayerCollection* c) : TCustomLayer(c) {}
    TRect area{0, 0, 10, 10};
    std::vector<std::string> log;

    bool DoHitTest(int x, int y) override {
        return x >= area.Left && x < area.Right && y >= area.Top && y < area.Bottom;
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        log.push_back("down" + std::to_string(b));
        TCustomLayer::MouseDown(b, s, x, y);
    }
    void MouseMove(TShiftState s, int x, int y) override {
        log.push_back("move");
        TCustomLayer::MouseMove(s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        log.push_back("up" + std::to_string(b));
        TCustomLayer::MouseUp(b, s, x, y);
    }
};

TBoxLayer* AddBox(TLayerCollection& c, TRect area, std::uint32_t extra = LOB_MOUSE_EVENTS) {
    auto* layer = static_cast<TBoxLayer*>(c.Add(TLayerClass::Of<TBoxLayer>()));
    layer->area = area;
    layer->SetLayerOptions(LOB_VISIBLE | extra);
    return layer;
}

using LayerRouting = CursorFake;

TEST_F(LayerRouting, EmptyCollectionFindsNothingAndShowsTheControlsCursor) {
    TLayerCollection c;
    EXPECT_EQ(c.MouseDown(mbLeft, {}, 1, 1), nullptr);
    EXPECT_EQ(c.MouseMove({}, 1, 1), nullptr);
    EXPECT_EQ(c.MouseUp(mbLeft, {}, 1, 1), nullptr);
    EXPECT_EQ(c.MouseListener(), nullptr);
    EXPECT_EQ(gScreenCursors, (std::vector<TCursor>{crCross}));
    // An owner that is no control leaves the screen cursor alone.
    gOwnerIsControl = false;
    c.MouseMove({}, 1, 1);
    EXPECT_EQ(gScreenCursors.size(), 1u);
}

TEST_F(LayerRouting, TopMostLayerWithTheMaskIsHit) {
    TLayerCollection c;
    TBoxLayer* bottom = AddBox(c, {0, 0, 100, 100});
    TBoxLayer* top = AddBox(c, {50, 50, 100, 100});
    TBoxLayer* maskless = AddBox(c, {0, 0, 100, 100}, 0);
    EXPECT_EQ(c.HitTest(60, 60), top);
    EXPECT_EQ(c.HitTest(10, 10), bottom);
    EXPECT_EQ(c.HitTest(200, 10), nullptr);
    EXPECT_EQ(c.HitTest(10, 10, LOB_VISIBLE), maskless);
    // A hit-test handler has the last word.
    struct Veto : TObject {
        void No(TObject*, int, int, bool& passed) { passed = false; }
    } veto;
    top->OnHitTest = THitTestEvent(&veto, &Veto::No);
    EXPECT_EQ(c.HitTest(60, 60), bottom);
    top->SetCursor(crIBeam);
    top->OnHitTest = nullptr;
    c.MouseMove({}, 60, 60);
    EXPECT_EQ(top->log, (std::vector<std::string>{"move"}));
    EXPECT_EQ(gScreenCursors.back(), crIBeam);
    EXPECT_TRUE(maskless->log.empty());
}

TEST_F(LayerRouting, TwoButtonCaptureHoldsUntilTheLastRelease) {
    TLayerCollection c;
    TBoxLayer* a = AddBox(c, {0, 0, 10, 10});
    TBoxLayer* b = AddBox(c, {20, 0, 30, 10});
    EXPECT_EQ(c.MouseDown(mbLeft, {}, 5, 5), a);
    EXPECT_EQ(c.MouseListener(), a);
    EXPECT_EQ(c.MouseDown(mbRight, {}, 25, 5), a); // captured: b is not asked
    EXPECT_EQ(a->LayerStates(), LS_LEFT_DOWN | LS_RIGHT_DOWN);
    EXPECT_EQ(c.MouseMove({}, 25, 5), a);
    EXPECT_EQ(c.MouseUp(mbLeft, {}, 25, 5), a);
    EXPECT_EQ(c.MouseListener(), a);
    EXPECT_EQ(c.MouseUp(mbRight, {}, 25, 5), a);
    EXPECT_EQ(c.MouseListener(), nullptr);
    EXPECT_EQ(a->LayerStates(), 0u);
    EXPECT_EQ(a->log, (std::vector<std::string>{"down0", "down1", "move", "up0", "up1"}));
    EXPECT_TRUE(b->log.empty());
    EXPECT_EQ(gScreenCursors.back(), crDefault); // a mouse-up restores the default
}

TEST_F(LayerRouting, NoCaptureLayerGetsNoMouseDownAndTheUpIsHitTestedAgain) {
    TLayerCollection c;
    TBoxLayer* under = AddBox(c, {0, 0, 100, 100});
    TBoxLayer* nocap = AddBox(c, {0, 0, 10, 10}, LOB_MOUSE_EVENTS | LOB_NO_CAPTURE);
    EXPECT_EQ(c.MouseDown(mbLeft, {}, 5, 5), nocap);
    EXPECT_EQ(c.MouseListener(), nullptr);
    EXPECT_TRUE(nocap->log.empty());
    EXPECT_EQ(c.MouseUp(mbLeft, {}, 50, 50), under);
    EXPECT_EQ(under->log, (std::vector<std::string>{"up0"}));
}

TEST_F(LayerRouting, ListenerFreedWhileCapturedLeavesNoDanglingPointer) {
    TLayerCollection c;
    TBoxLayer* a = AddBox(c, {0, 0, 10, 10});
    TBoxLayer* b = AddBox(c, {0, 0, 100, 100});
    b->SetIndex(0);
    c.MouseDown(mbLeft, {}, 5, 5);
    ASSERT_EQ(c.MouseListener(), a);
    a->Free();
    EXPECT_EQ(c.MouseListener(), nullptr);
    EXPECT_EQ(c.MouseMove({}, 5, 5), b);
    EXPECT_EQ(c.MouseUp(mbLeft, {}, 5, 5), b);
    // Leaving by SetLayerCollection drops the capture too.
    c.MouseDown(mbLeft, {}, 5, 5);
    ASSERT_EQ(c.MouseListener(), b);
    b->SetLayerCollection(nullptr);
    EXPECT_EQ(c.MouseListener(), nullptr);
    EXPECT_EQ(c.Count(), 0);
    b->Free();
}

// Records the collection's notifications as text.
struct Recorder : TObject {
    std::vector<std::string> log;
    void Changing(TObject*) { log.push_back("changing"); }
    void Change(TObject*) { log.push_back("change"); }
    void Gdi(TObject*) { log.push_back("gdi"); }
    void List(TObject*, int action, TCustomLayer*, int index) {
        log.push_back("list" + std::to_string(action) + "@" + std::to_string(index));
    }
    void Updated(TObject*, TCustomLayer*) { log.push_back("updated"); }
    void Attach(TLayerCollection& c) {
        c.OnChanging = TNotifyEvent(this, &Recorder::Changing);
        c.OnChange = TNotifyEvent(this, &Recorder::Change);
        c.OnGDIUpdate = TNotifyEvent(this, &Recorder::Gdi);
        c.OnListNotify = TLayerListNotifyEvent(this, &Recorder::List);
        c.OnLayerUpdated = TLayerUpdateEvent(this, &Recorder::Updated);
    }
    int Count(const std::string& what) const {
        return static_cast<int>(std::count(log.begin(), log.end(), what));
    }
};

TEST(Layers, AddNotifiesTwiceClearOnceAndTheDestructorIsSilent) {
    Recorder r;
    auto* c = new TLayerCollection();
    r.Attach(*c);
    c->Add(TLayerClass::Of<TBoxLayer>());
    EXPECT_EQ(r.Count("list0@0"), 2);
    c->Add(TLayerClass::Of<TBoxLayer>());
    c->Add(TLayerClass::Of<TBoxLayer>());
    r.log.clear();
    c->Clear();
    EXPECT_EQ(r.Count("list3@0"), 1);
    EXPECT_EQ(r.Count("list2@2") + r.Count("list2@1") + r.Count("list2@0"), 3);
    EXPECT_EQ(r.Count("change"), 1);
    EXPECT_EQ(c->Count(), 0);
    c->Add(TLayerClass::Of<TBoxLayer>());
    r.log.clear();
    c->OnListNotify = nullptr;
    c->Free();
    EXPECT_EQ(r.Count("change"), 0);
    EXPECT_EQ(r.Count("changing"), 0);
}

TEST(Layers, SetIndexClampsToTheCollection) {
    TLayerCollection c;
    TCustomLayer* a = c.Add(TLayerClass::Of<TBoxLayer>());
    TCustomLayer* b = c.Add(TLayerClass::Of<TBoxLayer>());
    TCustomLayer* d = c.Add(TLayerClass::Of<TBoxLayer>());
    d->SetIndex(-5);
    EXPECT_EQ(d->Index(), 0);
    d->SetIndex(100);
    EXPECT_EQ(d->Index(), 2);
    a->SetIndex(1);
    EXPECT_EQ(c.Items(0), b);
    EXPECT_EQ(c.Items(1), a);
    TBoxLayer lone(nullptr);
    lone.SetIndex(3);
    EXPECT_EQ(lone.Index(), -1);
}

TEST(Layers, ChangeReportsByOption) {
    struct Case {
        const char* what;
        std::uint32_t options;
        int updated, change, gdi;
    };
    const Case cases[] = {
        // Updated (which also changes the collection), then the collection once more.
        {"visible", LOB_VISIBLE, 1, 2, 0},
        {"invisible", 0, 0, 0, 0},
        {"invisible GDI overlay", LOB_GDI_OVERLAY, 0, 0, 1},
        {"invisible forced update", LOB_FORCE_UPDATE, 1, 1, 0},
        {"not reported", LOB_VISIBLE | LOB_NO_UPDATE, 0, 0, 0},
    };
    for (const Case& k : cases) {
        Recorder r; // outlives the collection, which notifies as it goes
        TLayerCollection c;
        TCustomLayer* layer = c.Add(TLayerClass::Of<TBoxLayer>());
        layer->SetLayerOptions(k.options);
        r.Attach(c);
        layer->Changed();
        EXPECT_EQ(r.Count("updated"), k.updated) << k.what;
        EXPECT_EQ(r.Count("change"), k.change) << k.what;
        EXPECT_EQ(r.Count("gdi"), k.gdi) << k.what;
        // Inside the layer's own update nothing is reported.
        r.log.clear();
        layer->BeginUpdate();
        layer->Changed();
        layer->EndUpdate();
        EXPECT_TRUE(r.log.empty()) << k.what;
    }
}

TEST(Layers, UpdatesNestAndAnUnpairedEndIsHarmless) {
    Recorder r;
    TLayerCollection c;
    r.Attach(c);
    c.BeginUpdate();
    c.BeginUpdate();
    c.EndUpdate();
    EXPECT_EQ(r.log, (std::vector<std::string>{"changing"}));
    c.EndUpdate();
    EXPECT_EQ(r.log, (std::vector<std::string>{"changing", "change"}));
    const int before = TLayerCollection::UnpairedEndUpdates();
    c.EndUpdate();
    EXPECT_EQ(c.UpdateCount(), 0);
#ifndef NDEBUG
    EXPECT_EQ(TLayerCollection::UnpairedEndUpdates(), before + 1);
#else
    (void)before;
#endif
    c.BeginUpdate();
    EXPECT_EQ(r.Count("changing"), 2);
    c.EndUpdate();
}

// Handlers that raise: the notification's error is the one reported, and a change handler's own
// error still reaches the caller when nothing else went wrong.
struct Raising : TObject {
    bool listRaises = false, changeRaises = false;
    void List(TObject*, int action, TCustomLayer*, int) {
        if (listRaises && action == kLayersCleared)
            throw std::runtime_error("list");
    }
    void Change(TObject*) {
        if (changeRaises)
            throw std::runtime_error("change");
    }
};

TEST(Layers, AHandlerErrorDuringAnotherLeavesTheFirstAndTheUpdateClosed) {
    struct Case {
        bool listRaises, changeRaises;
        const char* reported; // nullptr: none
    };
    const Case cases[] = {
        {true, true, "list"},
        {true, false, "list"},
        {false, true, "change"},
        {false, false, nullptr},
    };
    for (const Case& k : cases) {
        TLayerCollection c;
        c.Add(TLayerClass::Of<TBoxLayer>());
        Raising r;
        r.listRaises = k.listRaises;
        r.changeRaises = k.changeRaises;
        c.OnListNotify = TLayerListNotifyEvent(&r, &Raising::List);
        c.OnChange = TNotifyEvent(&r, &Raising::Change);
        std::string reported;
        try {
            c.Clear(); // the cleared notice inside the collection's update
        } catch (const std::runtime_error& e) {
            reported = e.what();
        }
        EXPECT_EQ(reported, k.reported != nullptr ? k.reported : "")
            << k.listRaises << k.changeRaises;
        EXPECT_EQ(c.UpdateCount(), 0);
        EXPECT_EQ(c.Count(), 0);
        c.OnListNotify = nullptr;
        c.OnChange = nullptr;
    }
}

TEST(Layers, ViewportAndAssign) {
    TLayerCollection c;
    float a = 5, b = 5;
    c.GetViewportScale(a, b);
    EXPECT_EQ(a, 1.0f);
    EXPECT_EQ(b, 1.0f);
    c.GetViewportShift(a, b);
    EXPECT_EQ(a, 0.0f);
    // Copying layers needs the layers to copy themselves; the base raises, and the update is
    // closed all the same.
    TLayerCollection source;
    source.Add(TLayerClass::Of<TBoxLayer>());
    EXPECT_THROW(c.Assign(&source), EConvertError);
    EXPECT_EQ(c.UpdateCount(), 0);
    TLayerCollection empty;
    c.Assign(&empty);
    EXPECT_EQ(c.Count(), 0);
}

// --- the timer ------------------------------------------------------------------------------

std::int64_t gCounter = 0, gFrequency = 0;
std::uint32_t gTicks = 0;

TEST(PerfTimer, MicrosecondsFromTheCounterOrTheTicks) {
    const TPerfClock fake{[] { return gCounter; }, [] { return gFrequency; },
                          [] { return gTicks; }};
    struct Case {
        std::int64_t frequency, start, stop;
        std::uint32_t ticksStart, ticksStop;
        std::int64_t expected;
    };
    const Case cases[] = {
        {3579545, 1000, 1000 + 3579545, 0, 0, 1000000},
        {10000000, 0, 25, 0, 0, 2}, // 2.5 us: ties go to even
        {10000000, 0, 35, 0, 0, 4},
        {1000, 0, std::int64_t{1} << 50, 0, 0, (std::int64_t{1} << 50) * 1000}, // no overflow
        {0, 5, 99, 100, 350, 250000},                // no frequency: the ticks
        {0, 0, 0, 0xFFFFFF00u, 0x10u, 0x110 * 1000}, // across the tick wrap
    };
    for (const Case& k : cases) {
        TPerfTimer timer(fake);
        gFrequency = k.frequency;
        gCounter = k.start;
        gTicks = k.ticksStart;
        timer.Start();
        gCounter = k.stop;
        gTicks = k.ticksStop;
        EXPECT_EQ(timer.ReadMicroseconds(), k.expected) << k.frequency << " " << k.stop;
    }
    TPerfTimer real;
    real.Start();
    const std::int64_t us = real.ReadMicroseconds();
    EXPECT_GE(us, 0);
    EXPECT_LT(us, 10000000);
}

} // namespace
