#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "framework/gui/Form_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

// A shown test form, freed at the end of the test.
class ControlsTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application->Initialize();
        form = Create<TForm>(Application);
        form->SetBounds(100, 100, 420, 320);
        form->SetCaption("Controls");
    }
    void TearDown() override {
        Application->OnIdle = nullptr;
        if (form != nullptr)
            form->Free();
        GuiTest::TearDown();
    }
    void ShowForm() {
        form->Show();
        SetForegroundWindow(form->Handle());
        PumpFor(50);
    }
    // Runs the application's own loop, its idle step included (that step tracks the control
    // under the mouse), until Done answers true or the time runs out; an idle handler that asks
    // for more keeps HandleMessage from waiting for the next message.
    bool RunUntil(const std::function<bool()>& Done, DWORD TimeoutMs = 2000) {
        Application->OnIdle = TIdleEvent(this, &ControlsTest::KeepIdling);
        const DWORD start = GetTickCount();
        while (!Done() && GetTickCount() - start < TimeoutMs) {
            Application->HandleMessage();
            Sleep(1);
        }
        return Done();
    }
    void RunFor(DWORD Ms) {
        RunUntil([] { return false; }, Ms);
    }
    TForm* form = nullptr;

private:
    void KeepIdling(TObject*, bool& Done) { Done = false; }
};

// Runs Fn from a thread timer after Ms milliseconds, also inside modal
// loops (menus), once.
inline std::function<void()>& TimerAction() {
    static std::function<void()> action;
    return action;
}

// A timer procedure has the system's calling convention (stdcall on
// 32-bit), which a lambda cannot take.
inline void CALLBACK RunLaterTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto fn = std::move(TimerAction());
    TimerAction() = nullptr;
    if (fn)
        fn();
}

inline void RunLater(UINT Ms, std::function<void()> Fn) {
    TimerAction() = std::move(Fn);
    SetTimer(nullptr, 0, Ms, &RunLaterTimer);
}

// The pixels (0x00BBGGRR, row by row) that Draw leaves in a w x h screen-compatible bitmap first
// filled with the stock brush Background.
inline std::vector<COLORREF> DrawnPixels(const std::function<void(HDC)>& Draw, int W, int H,
                                         int Background = WHITE_BRUSH) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, W, H);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, W, H};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(Background)));
    Draw(dc);
    std::vector<COLORREF> out;
    out.reserve(static_cast<std::size_t>(W) * static_cast<std::size_t>(H));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            out.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return out;
}
