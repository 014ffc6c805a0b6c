// The test bed itself: windows of other processes can be enumerated, hidden, shown and stacked
// from here, and a global hot key arrives for input sent through the input system. Everything the
// desktop engine and the hot keys rely on is checked here first, so a broken bed fails loudly.
#include "tests/fixtures/WinFarmClient_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {

struct EnumState {
    std::set<DWORD> pids;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectByPid(HWND hwnd, LPARAM lp) {
    auto* state = reinterpret_cast<EnumState*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (state->pids.count(pid) && IsWindowVisible(hwnd)) {
        state->found.push_back(hwnd);
    }
    return TRUE;
}

TEST(WineBed, OtherProcessesWindowsHideShowAndStack) {
    winfarm::Farm farm;
    const auto a = farm.Spawn("Alpha", {.windows = 2, .owned = true});
    const auto b = farm.Spawn("Beta", {.windows = 1, .tool = true});
    ASSERT_EQ(a.Of("main").size(), 2u);
    ASSERT_EQ(a.Of("owned").size(), 1u);
    EXPECT_NE(a.pid, b.pid);
    EXPECT_LE(a.created, b.created) << "children start in order";

    // The owned dialog reports its owner through GetWindow(GW_OWNER), and for a popup GetParent
    // answers the owner too.
    HWND dialog = a.Of("owned")[0];
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), a.Of("main")[0]);
    EXPECT_EQ(GetParent(dialog), a.Of("main")[0]);

    EnumState state;
    state.pids = {a.pid, b.pid};
    EnumWindows(CollectByPid, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(state.found.size(), a.windows.size() + b.windows.size());

    for (HWND h : state.found) {
        ShowWindow(h, SW_HIDE);
    }
    for (HWND h : state.found) {
        EXPECT_FALSE(IsWindowVisible(h));
    }

    // Shown one after another, the last one shown lies on top.
    std::vector<HWND> order = {b.Of("main")[0], a.Of("main")[1], a.Of("main")[0]};
    for (HWND h : order) {
        ShowWindow(h, SW_SHOW);
        EXPECT_TRUE(IsWindowVisible(h));
    }
    // The owning program handles the activation that a show brings on its own thread, so the
    // stacking settles a moment after ShowWindow returns.
    EXPECT_TRUE(winfarm::PumpUntil(
        [&] { return winfarm::StackedTopFirst({order[2], order[1], order[0]}); }, 3000));
}

TEST(WineBed, HungProgramIsReportedAndAsyncShowReturns) {
    winfarm::Farm farm;
    const auto c = farm.Spawn("Gamma");
    farm.Hang("Gamma");
    HWND h = c.Of("main")[0];
    // The system calls a program hung after five seconds without pumping.
    ASSERT_TRUE(winfarm::PumpUntil([&] { return IsHungAppWindow(h) != FALSE; }, 15000));
    EXPECT_TRUE(ShowWindowAsync(h, SW_HIDE));
}

LRESULT CALLBACK HotKeyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_HOTKEY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(wp));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST(WineBed, GlobalHotKeyArrivesFromSendInput) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HotKeyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BedHotKeyWindow";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "hot keys", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
    constexpr int kId = 7;
    ASSERT_TRUE(RegisterHotKey(w, kId, MOD_ALT | MOD_SHIFT, VK_F9)) << GetLastError();
    EXPECT_EQ(winfarm::SendKeys("Alt+Shift+F9"), 0u);
    EXPECT_TRUE(winfarm::PumpUntil([&] { return GetWindowLongPtrA(w, GWLP_USERDATA) == kId; }));
    UnregisterHotKey(w, kId);
    DestroyWindow(w);
}

}  // namespace
