#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "framework/gui/Application_win.h"

// Each test runs between Startup() and Shutdown(): a fresh application
// object and window, the screen, no forms left over.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override { Startup(); }
    void TearDown() override { Shutdown(); }
};

// Handles messages until done() or the time is up; answers done().
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Application->ProcessMessages();
        Sleep(1);
    }
    return true;
}

inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}
