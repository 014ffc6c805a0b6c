// Theme services under Wine's light theme: uxtheme from the system directory,
// themed drawing where the theme has the class, false (classic drawing) where
// it has not, and handles reopened after WM_THEMECHANGED.
#include <gtest/gtest.h>

#include <windows.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "framework/graphics/ThemeServices_win.h"
#include "tests/framework/graphics/ThemeTestSupport_win.h"

namespace {

struct Surface {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ old;
    Surface() {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -24, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, 40, 24, BLACKNESS);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    int NonBlack() const {
        int n = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 40; ++x) n += GetPixel(dc, x, y) != 0;
        return n;
    }
};

TEST(ThemeServices, LoadsUxthemeFromTheSystemDirectory) {
    HMODULE module = LoadSystemLibrary("uxtheme.dll");
    ASSERT_NE(module, nullptr);
    char path[MAX_PATH];
    GetModuleFileNameA(module, path, MAX_PATH);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(_strnicmp(path, system, strlen(system)), 0) << path;
    FreeLibrary(module);
    EXPECT_EQ(LoadSystemLibrary("no-such-library.dll"), nullptr);
    EXPECT_TRUE(ThemeServices()->ThemesAvailable());
}

// This program has no common controls 6 manifest (test_themes_manifest_win.cpp
// has): its native controls draw classic, whoever loads comctl32 and when.
TEST(ThemeServices, DisabledWithoutTheManifestAsTheNativeControlsAre) {
    EXPECT_FALSE(NativeControlsThemed());
    EXPECT_FALSE(ThemeServices()->ThemesEnabled());
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    ThemeServices()->ApplyThemeChange();
    EXPECT_FALSE(NativeControlsThemed());
    EXPECT_FALSE(ThemeServices()->ThemesEnabled());
    FreeLibrary(comctl);
}

TEST(ThemeServices, DrawsThemedClassesAndDeclinesMissingOnes) {
    TThemeServices* t = ThemeServices();
    Surface s;
    ASSERT_NE(t->Theme(tcButton), nullptr);
    EXPECT_TRUE(t->DrawElement(s.dc, {tcButton, BP_PUSHBUTTON, PBS_NORMAL}, Rect(0, 0, 40, 24)));
    EXPECT_GT(s.NonBlack(), 100) << "the push button was painted";
    TColor text = clNone;
    EXPECT_TRUE(t->GetElementColor({tcButton, BP_PUSHBUTTON, PBS_NORMAL}, TMT_TEXTCOLOR, text));
    EXPECT_NE(text, clNone);
    const TRect content = t->ContentRect(s.dc, {tcButton, BP_PUSHBUTTON, PBS_NORMAL}, Rect(0, 0, 40, 24));
    EXPECT_GE(content.Left, 0);
    EXPECT_LE(content.Right, 40);
    if (t->Theme(tcExplorerBar) == nullptr) {
        Surface blank;
        EXPECT_FALSE(t->DrawElement(blank.dc, {tcExplorerBar, 1, 1}, Rect(0, 0, 40, 24)));
        EXPECT_EQ(blank.NonBlack(), 0);
        EXPECT_EQ(t->ContentRect(blank.dc, {tcExplorerBar, 1, 1}, Rect(1, 2, 3, 4)), Rect(1, 2, 3, 4));
    }
}

TEST(ThemeServices, ThemeChangedMessageReopensHandles) {
    TThemeServices* t = ThemeServices();
    ASSERT_NE(t->Window(), nullptr);
    char cls[64] = {};
    GetClassNameA(t->Window(), cls, sizeof cls);
    EXPECT_STREQ(cls, "TThemeServicesWindow");
    struct Counter {
        int n = 0;
        void Changed(TObject*) { ++n; }
    } counter;
    t->OnThemeChange = TNotifyEvent(&counter, &Counter::Changed);
    ASSERT_NE(t->Theme(tcScrollBar), nullptr);
    SendMessageA(t->Window(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(counter.n, 1);
    EXPECT_NE(t->Theme(tcScrollBar), nullptr) << "opened again on demand";
    t->OnThemeChange = nullptr;
    FreeThemeServices();
    EXPECT_NE(ThemeServices()->Theme(tcButton), nullptr) << "made again after being freed";
    FreeThemeServices();
}

}  // namespace
