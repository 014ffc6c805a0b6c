#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Timer_win.h"
#include "framework/gui/UtilityWindow_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

struct TRecorder {
    std::vector<UINT> Seen;
    UINT Watch = 0;
    void Proc(TMessage& m) {
        if (m.Msg == Watch || m.Msg == 0xB054)
            Seen.push_back(m.Msg);
        m.Result = DefWindowProcA(nullptr, m.Msg, m.WParam, m.LParam);
    }
};

using UtilityWindowTest = GuiTest;

TEST_F(UtilityWindowTest, HiddenTopLevelWindowGetsBroadcastsAndTheTrayNumber) {
    TRecorder rec;
    rec.Watch = RegisterWindowMessageA("QuorvaneUtilityProbe");
    HWND w = CreateUtilityWindow(TWndMethod(&rec, &TRecorder::Proc));
    ASSERT_NE(w, nullptr);
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    EXPECT_STREQ(cls, kUtilityWindowClass);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(GetParent(w), nullptr);
    EXPECT_EQ(FindWindowA(kUtilityWindowClass, nullptr) != nullptr, true);
    // Posted, not sent: a broadcast send would wait on hung windows elsewhere.
    PostMessageA(HWND_BROADCAST, rec.Watch, 0, 0);
    PostMessageA(w, 0xB054, 1, WM_LBUTTONUP);
    PumpUntil([&] { return rec.Seen.size() >= 2; });
    EXPECT_NE(std::find(rec.Seen.begin(), rec.Seen.end(), rec.Watch), rec.Seen.end());
    EXPECT_NE(std::find(rec.Seen.begin(), rec.Seen.end(), 0xB054u), rec.Seen.end());
    DestroyUtilityWindow(w);
    EXPECT_FALSE(IsWindow(w));
}

struct TTimerSink {
    TTimer* Timer = nullptr;
    int Ticks = 0;
    bool FreeOnTick = false;
    bool ThrowOnTick = false;
    void Tick(TObject*) {
        ++Ticks;
        if (FreeOnTick)
            FreeAndNil(Timer);
        else if (ThrowOnTick)
            throw Exception("tick failed");
    }
};

TEST_F(UtilityWindowTest, TimerRunsOnlyWhenEnabledWithIntervalAndHandler) {
    TTimerSink sink;
    TTimer* t = Create<TTimer>(Application);
    EXPECT_FALSE(t->Running()); // no handler
    t->SetOnTimer(TNotifyEvent(&sink, &TTimerSink::Tick));
    EXPECT_TRUE(t->Running());
    t->SetInterval(0);
    EXPECT_FALSE(t->Running());
    t->SetInterval(10);
    EXPECT_TRUE(t->Running());
    t->SetEnabled(false);
    EXPECT_FALSE(t->Running());
    t->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return sink.Ticks >= 3; }));
    t->Free();
}

TEST_F(UtilityWindowTest, TimerFreedInsideItsOwnHandler) {
    TTimerSink sink;
    sink.FreeOnTick = true;
    sink.Timer = Create<TTimer>(Application);
    sink.Timer->SetInterval(10);
    sink.Timer->SetOnTimer(TNotifyEvent(&sink, &TTimerSink::Tick));
    EXPECT_TRUE(PumpUntil([&] { return sink.Timer == nullptr; }));
    PumpFor(60);
    EXPECT_EQ(sink.Ticks, 1);
}

TEST_F(UtilityWindowTest, TimerOwnerFreedInsideTheHandler) {
    struct TOwnerKiller {
        TComponent* Owner = nullptr;
        int Ticks = 0;
        void Tick(TObject*) {
            ++Ticks;
            FreeAndNil(Owner);
        }
    } killer;
    killer.Owner = Create<TComponent>(nullptr);
    TTimer* t = Create<TTimer>(killer.Owner);
    t->SetInterval(10);
    t->SetOnTimer(TNotifyEvent(&killer, &TOwnerKiller::Tick));
    EXPECT_TRUE(PumpUntil([&] { return killer.Owner == nullptr; }));
    PumpFor(60);
    EXPECT_EQ(killer.Ticks, 1);
}

TEST_F(UtilityWindowTest, TimerExceptionGoesToTheApplicationHandler) {
    struct TSink {
        int Count = 0;
        void Handle(TObject*, const std::exception_ptr&) { ++Count; }
    } handler;
    Application->OnException = TExceptionEvent(&handler, &TSink::Handle);
    TTimerSink sink;
    sink.ThrowOnTick = true;
    TTimer* t = Create<TTimer>(Application);
    t->SetInterval(10);
    t->SetOnTimer(TNotifyEvent(&sink, &TTimerSink::Tick));
    EXPECT_TRUE(PumpUntil([&] { return handler.Count >= 2; }));
    EXPECT_GE(sink.Ticks, 2); // the timer goes on after a failure
}

} // namespace
