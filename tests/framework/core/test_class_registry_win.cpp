// The class registry from a translation unit that sees <windows.h> after the
// registry header: the RegisterClass macro must still reach the registry.
#include "framework/core/ClassRegistry.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

class TStreamedThing : public TPersistent {
    FW_CLASS(TStreamedThing, TPersistent)
};

TEST(ClassRegistryWin, RegisterClassSurvivesTheWindowsMacro) {
    RegisterClass(TPersistentClass::Of<TStreamedThing>());
    EXPECT_EQ(GetClass("TStreamedThing").Class(), TStreamedThing::StaticClass());
    UnRegisterClass(TPersistentClass::Of<TStreamedThing>());
    EXPECT_FALSE(GetClass("TStreamedThing"));

    // The window-class function is still the platform's.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuorvaneRegistryProbe";
    ATOM atom = RegisterClass(&wc);
    EXPECT_NE(atom, 0);
    UnregisterClassA("QuorvaneRegistryProbe", wc.hInstance);
}

}  // namespace
