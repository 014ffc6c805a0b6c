// A program with the common controls 6 manifest (test_themes_manifest_win.rc):
// its native controls draw themed, and ThemesEnabled says so. The program
// without the manifest is test_theme_services_win.cpp.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/graphics/ThemeServices_win.h"
#include "tests/framework/graphics/ThemeTestSupport_win.h"

namespace {

TEST(ThemesManifest, EnabledWithTheManifestAsTheNativeControlsAre) {
    ASSERT_TRUE(NativeControlsThemed()) << "the manifest brings the themed BUTTON";
    EXPECT_TRUE(ThemeServices()->ThemesEnabled());
    HMODULE ux = GetModuleHandleA("uxtheme.dll");
    ASSERT_NE(ux, nullptr);
    using BoolFn = BOOL(WINAPI*)();
    auto isAppThemed =
        reinterpret_cast<BoolFn>(reinterpret_cast<void*>(GetProcAddress(ux, "IsAppThemed")));
    auto isThemeActive =
        reinterpret_cast<BoolFn>(reinterpret_cast<void*>(GetProcAddress(ux, "IsThemeActive")));
    EXPECT_TRUE(isAppThemed());
    EXPECT_TRUE(isThemeActive());
    // Read again after a theme change: still tied to the process's controls.
    ThemeServices()->ApplyThemeChange();
    EXPECT_TRUE(ThemeServices()->ThemesEnabled());
    FreeThemeServices();
}

} // namespace
