// Wallpaper per desktop in the real Quorvane.exe: desktop 2 with a picture, desktop 3 with none,
// desktop 1 never chosen (the user's own), desktop 4 a JPEG; each switch names its wallpaper in
// the user's profile and the screen shows it; the page's previews show the GIF, the BMP and the
// JPEG; a hostile GIF in the settings leaves its preview empty and the program switching.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/app/QuorvaneDriver_win.h"
#include "tests/fixtures/WinFarmClient_win.h"

namespace {

using namespace quorvane_test;

const char* const kDesktopKey = "Control Panel\\Desktop";

std::string ReadDesktopValue(const char* name) {
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return "<missing>";
    return buffer;
}

void WriteDesktopValue(const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

// A 32 x 32 24-bit bitmap file of one colour.
std::vector<unsigned char> SolidBmp(unsigned char r, unsigned char g, unsigned char b) {
    const int w = 32, h = 32, row = w * 3;
    std::vector<unsigned char> out(54 + static_cast<std::size_t>(row * h));
    auto put32 = [&](std::size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i)
            out[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<unsigned>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    out[26] = 1;
    out[28] = 24;
    put32(34, static_cast<unsigned>(row * h));
    for (std::size_t i = 54; i + 2 < out.size(); i += 3) {
        out[i] = b;
        out[i + 1] = g;
        out[i + 2] = r;
    }
    return out;
}

// A 1 x 1 GIF whose one pixel is green.
const std::vector<unsigned char> kGreenGif = {
    'G', 'I',  'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0x00, 0xC0, 0x00, 0,   0,
    0,   0x2C, 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x44, 0x01, 0,    0x3B};
// A GIF that lies about everything after its header.
const std::vector<unsigned char> kHostileGif = {
    'G',  'I',  'F',  '8',  '9',  'a',  0xFF, 0xFF, 0xFF, 0xFF, 0xF7, 0,    0,    0x2C, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x87, 0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 0xFF};

class WallpaperE2E : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name :
             {"Wallpaper", "WallpaperStyle", "TileWallpaper", "OriginalWallpaper"})
            saved_.push_back({name, ReadDesktopValue(name)});
        char tmp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tmp);
        dir_ = std::string(tmp) + "qv wallpapers";
        CreateDirectoryA(dir_.c_str(), nullptr);
        red_ = dir_ + "\\red.bmp";
        own_ = dir_ + "\\own.gif";
        hostile_ = dir_ + "\\hostile.gif";
        WriteFileBytes(red_, SolidBmp(220, 20, 20));
        WriteFileBytes(own_, kGreenGif);
        WriteFileBytes(hostile_, kHostileGif);
        DeleteSettings();
        PutSetting("ShowDeskbandHelp", "FALSE");
        PutSetting("AppHotKey", "Shift+Ctrl+Q");
        // The user's own wallpaper is the converted one (the value equals the original): the
        // program's start-up, which registers the hot keys before it applies desktop 1's
        // wallpaper, is over once "Wallpaper" names it.
        WriteDesktopValue("Wallpaper", "C:\\original.jpg");
        WriteDesktopValue("OriginalWallpaper", "C:\\original.jpg");
        WriteDesktopValue("ConvertedWallpaper", own_);
        WriteDesktopValue("WallpaperStyle", "0");
        WriteDesktopValue("TileWallpaper", "0");
    }
    void TearDown() override {
        DeleteSettings();
        std::string wallpaper;
        for (const auto& [name, value] : saved_) {
            if (value != "<missing>")
                WriteDesktopValue(name.c_str(), value);
            else
                RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, name.c_str());
            if (name == "Wallpaper" && value != "<missing>")
                wallpaper = value;
        }
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, wallpaper.data(), SPIF_UPDATEINIFILE);
        for (const std::string& f : {red_, own_, hostile_})
            DeleteFileA(f.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    bool WallpaperBecomes(const std::string& value) {
        return winfarm::PumpUntil([&] { return ReadDesktopValue("Wallpaper") == value; });
    }
    std::vector<std::pair<std::string, std::string>> saved_;
    std::string dir_, red_, own_, hostile_;
};

BOOL CALLBACK CollectPreviews(HWND w, LPARAM p) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) == "TImage32" && IsWindowVisible(w))
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

TEST_F(WallpaperE2E, EachDesktopGetsItsOwnWallpaper) {
    PutSetting("WPDesk1File", "");
    PutSetting("WPDesk2File", red_);
    PutSetting("WPDesk2Style", "1"); // tiled: the whole screen
    PutSetting("WPDesk3File", "none");
    PutSetting("WPDesk4File", QUORVANE_TEST_JPEG);
    PutSetting("WPDesk4Style", "2");
    Program program;
    ASSERT_TRUE(program.WaitReady());
    EXPECT_TRUE(WallpaperBecomes(own_)) << "desktop 1, never chosen: the user's own";

    ASSERT_EQ(winfarm::SendKeys("Alt+2"), 0u);
    EXPECT_TRUE(WallpaperBecomes(red_));
    EXPECT_EQ(ReadDesktopValue("TileWallpaper"), "1");
    EXPECT_TRUE(winfarm::PumpUntil([] { return ScreenPixel(300, 300) == RGB(220, 20, 20); }))
        << "the screen shows the picture";

    ASSERT_EQ(winfarm::SendKeys("Alt+3"), 0u);
    EXPECT_TRUE(WallpaperBecomes("")) << "none clears it";
    EXPECT_TRUE(winfarm::PumpUntil([] { return ScreenPixel(300, 300) != RGB(220, 20, 20); }));

    ASSERT_EQ(winfarm::SendKeys("Alt+1"), 0u);
    EXPECT_TRUE(WallpaperBecomes(own_)) << "the user's own comes back";

    // The page: the GIF (the user's own), the BMP, nothing, the JPEG.
    ASSERT_EQ(winfarm::SendKeys("Ctrl+Shift+Q"), 0u);
    const HWND manager = program.Manager();
    ASSERT_TRUE(winfarm::PumpUntil([&] { return IsWindowVisible(manager) != FALSE; }));
    // The side bar's third large button (rows of 71 pixels, the image 5 pixels into each),
    // pressed and released where a user would.
    const HWND sideBar = FindWindowExA(manager, nullptr, "TTkNavBar", nullptr);
    ASSERT_NE(sideBar, nullptr);
    RECT bar{};
    GetClientRect(sideBar, &bar);
    const LPARAM at = MAKELPARAM(bar.right / 2, 5 + 71 * 2 + 27);
    PostMessageA(sideBar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(sideBar, WM_LBUTTONUP, 0, at);
    winfarm::PumpUntil([] { return false; }, 500);
    std::vector<HWND> previews;
    EnumChildWindows(manager, &CollectPreviews, reinterpret_cast<LPARAM>(&previews));
    ASSERT_EQ(previews.size(), 4u);
    auto centre = [&](int n) {
        RECT r{};
        GetWindowRect(previews[static_cast<std::size_t>(n)], &r);
        return ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    EXPECT_EQ(centre(0), RGB(0x00, 0xC0, 0x00)) << "the GIF";
    EXPECT_EQ(centre(1), RGB(220, 20, 20)) << "the BMP";
    const COLORREF empty = centre(2);
    EXPECT_NE(centre(3), empty) << "the JPEG shows a picture";
    EXPECT_NE(centre(1), empty);

    PostMessageA(manager, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
}

TEST_F(WallpaperE2E, AHostileGifLeavesItsPreviewEmptyAndTheProgramSwitching) {
    PutSetting("WPDesk1File", red_);
    PutSetting("WPDesk1Style", "1");
    PutSetting("WPDesk2File", hostile_);
    PutSetting("WPDesk3File", "none");
    Program program;
    ASSERT_TRUE(program.WaitReady());
    ASSERT_TRUE(WallpaperBecomes(red_)) << "started, desktop 1's wallpaper applied";
    ASSERT_EQ(winfarm::SendKeys("Alt+2"), 0u);
    winfarm::PumpUntil([] { return false; }, 700);
    EXPECT_EQ(ReadDesktopValue("Wallpaper"), red_)
        << "nothing is applied from a file that cannot be read";
    EXPECT_TRUE(program.Running());
    ASSERT_EQ(winfarm::SendKeys("Alt+3"), 0u);
    EXPECT_TRUE(WallpaperBecomes("")) << "the switches go on";
    PostMessageA(program.Manager(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
}

// For a look at a desktop with its wallpaper and at the page (run with
// --gtest_also_run_disabled_tests; the screen is taken meanwhile).
TEST_F(WallpaperE2E, DISABLED_Showcase) {
    PutSetting("WPDesk2File", red_);
    PutSetting("WPDesk2Style", "1");
    PutSetting("WPDesk3File", "none");
    PutSetting("WPDesk4File", QUORVANE_TEST_JPEG);
    PutSetting("WPDesk4Style", "2");
    Program program;
    ASSERT_TRUE(program.WaitReady());
    ASSERT_EQ(winfarm::SendKeys("Alt+2"), 0u);
    winfarm::PumpUntil([] { return false; }, 3000); // the desktop with its picture
    ASSERT_EQ(winfarm::SendKeys("Ctrl+Shift+Q"), 0u);
    const HWND manager = program.Manager();
    winfarm::PumpUntil([&] { return IsWindowVisible(manager) != FALSE; });
    for (HWND child = FindWindowExA(manager, nullptr, nullptr, nullptr); child != nullptr;
         child = FindWindowExA(manager, child, nullptr, nullptr))
        if (HWND b = FindWindowExA(child, nullptr, "Button", "Wallpapers"))
            SendMessageA(b, BM_CLICK, 0, 0);
    winfarm::PumpUntil([] { return false; }, 4000); // the page
    PostMessageA(manager, WM_CLOSE, 0, 0);
    program.WaitExit(10000);
}

} // namespace
