// The theme nexus under Wine: theme data open for its hidden window, reopened on every
// WM_THEMECHANGED without anything piling up, however often the message is posted.

#include <gtest/gtest.h>

#include <windows.h>

#include "raster/ThemeNexus_win.h"

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TEST(ThemeNexus, OpensThemeDataAndReopensOnEveryThemeChange) {
    TThemeNexus nexus;
    ASSERT_NE(nexus.Window(), nullptr);
    EXPECT_EQ(nexus.Usable(), ThemesUsable());
    if (!nexus.Usable()) {
        EXPECT_EQ(nexus.ScrollBarTheme(), nullptr);
        EXPECT_EQ(nexus.GlobalsTheme(), nullptr);
        GTEST_SKIP() << "no visual styles here";
    }
    EXPECT_NE(nexus.ScrollBarTheme(), nullptr);
    EXPECT_NE(nexus.GlobalsTheme(), nullptr);
    // One change first, so that whatever the first reopening allocates once is counted in.
    PostMessageA(nexus.Window(), WM_THEMECHANGED, 0, 0);
    Pump();
    DWORD handlesBefore = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 100; ++i) {
        PostMessageA(nexus.Window(), WM_THEMECHANGED, 0, 0);
        Pump();
        ASSERT_NE(nexus.ScrollBarTheme(), nullptr) << i;
        ASSERT_NE(nexus.GlobalsTheme(), nullptr) << i;
    }
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(handlesAfter, handlesBefore);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
}

// A library without the essential functions leaves themes off, with no theme data.
TEST(ThemeNexus, LibraryWithoutThemeFunctionsLeavesThemesOff) {
    SetThemeLibraryPathForTests("kernel32.dll");
    {
        TThemeNexus nexus;
        EXPECT_FALSE(nexus.Usable());
        EXPECT_EQ(nexus.ScrollBarTheme(), nullptr);
        EXPECT_EQ(nexus.GlobalsTheme(), nullptr);
        PostMessageA(nexus.Window(), WM_THEMECHANGED, 0, 0);
        Pump();
        EXPECT_EQ(nexus.ScrollBarTheme(), nullptr);
    }
    SetThemeLibraryPathForTests("");
    EXPECT_FALSE(ThemesUsable());
}

TEST(ThemeNexus, SharedNexusIsMadeOnFirstUseAndFreed) {
    TThemeNexus* a = ThemeNexus();
    EXPECT_EQ(ThemeNexus(), a);
    FreeThemeNexus();
    FreeThemeNexus();
}

} // namespace
