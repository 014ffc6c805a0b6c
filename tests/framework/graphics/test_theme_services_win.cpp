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

// The edge alone: its outer rows painted, the middle left as it was, and
// the content rectangle inside it; a class the theme lacks draws nothing.
TEST(ThemeServices, DrawEdgePaintsTheEdgeAndAnswersTheContent) {
    TThemeServices* t = ThemeServices();
    Surface s;
    TRect content;
    ASSERT_TRUE(t->DrawEdge(s.dc, {tcButton, BP_PUSHBUTTON, PBS_NORMAL}, Rect(0, 0, 40, 24),
                            EDGE_RAISED, BF_RECT | BF_ADJUST, &content));
    EXPECT_EQ(content, Rect(2, 2, 38, 22));
    for (const POINT p : {POINT{0, 0}, POINT{20, 0}, POINT{39, 12}, POINT{20, 23}, POINT{1, 12}})
        EXPECT_NE(GetPixel(s.dc, p.x, p.y), 0u) << p.x << "," << p.y;
    EXPECT_EQ(GetPixel(s.dc, 20, 12), 0u) << "no BF_MIDDLE: the middle stays";
    if (t->Theme(tcExplorerBar) == nullptr) {
        Surface blank;
        EXPECT_FALSE(t->DrawEdge(blank.dc, {tcExplorerBar, 1, 1}, Rect(0, 0, 40, 24), EDGE_RAISED,
                                 BF_RECT));
        EXPECT_EQ(blank.NonBlack(), 0);
    }
}

// Without the manifest themes are off: the parent background and the border
// are left to the classic drawing.
TEST(ThemeServices, ParentBackgroundAndBorderDeclineWhileThemesAreOff) {
    ASSERT_FALSE(ThemeServices()->ThemesEnabled());
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 60, 40, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND child = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, 5, 5, 40,
                                 30, parent, nullptr, nullptr, nullptr);
    Surface s;
    EXPECT_FALSE(ThemeServices()->DrawParentBackground(child, s.dc, nullptr));
    EXPECT_FALSE(ThemeServices()->PaintBorder(child, s.dc, true));
    EXPECT_EQ(s.NonBlack(), 0);
    DestroyWindow(parent);
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
