// Wallpaper per desktop without windows: the position of the system's style values, the user's
// own wallpaper, the page's previews and controls through each step, what OK stores, and how a
// choice reaches the screen with and without the shell's desktop object.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "desktops/Wallpaper.h"
#include "tests/desktops/FakeSettingsStore.h"

namespace {

TEST(Wallpaper, PositionOfTheSystemsStyleValues) {
    struct Case {
        int style, tile, want;
    };
    for (const Case& c :
         {Case{0, 0, 0}, Case{0, 1, 1}, Case{0, 7, 2}, Case{2, 0, 2}, Case{2, 1, 2}, Case{1, 0, 2}})
        EXPECT_EQ(GetWPStyle(c.style, c.tile), c.want) << c.style << "," << c.tile;
}

TEST(Wallpaper, TheUsersOwnWallpaper) {
    TFakeSettingsStore store;
    store.Put(kDesktopKey, "WallpaperStyle", "0");
    store.Put(kDesktopKey, "TileWallpaper", "1");
    store.Put(kDesktopKey, "Wallpaper", "C:\\own.bmp");
    store.Put(kDesktopKey, "OriginalWallpaper", "C:\\orig.jpg");
    store.Put(kDesktopKey, "ConvertedWallpaper", "C:\\conv.bmp");
    TSystemWallpaper w = ReadSystemWallpaper(store);
    EXPECT_EQ(w.File, "C:\\own.bmp");
    EXPECT_EQ(w.Style, 1);
    store.Put(kDesktopKey, "Wallpaper", "C:\\orig.jpg");
    EXPECT_EQ(ReadSystemWallpaper(store).File, "C:\\conv.bmp") << "the original: the converted one";
    // A style that is not decimal ends the read: nothing after it, the files stay empty.
    store.Put(kDesktopKey, "TileWallpaper", "tiled");
    w = ReadSystemWallpaper(store);
    EXPECT_EQ(w.File, "");
    EXPECT_EQ(w.Style, 0);
    TFakeSettingsStore none;
    EXPECT_EQ(ReadSystemWallpaper(none).File, "") << "no key";
    TFakeSettingsStore typed;
    typed.PutNumber(kDesktopKey, "WallpaperStyle");
    EXPECT_EQ(ReadSystemWallpaper(typed).File, "") << "a value of another type";
}

// Pictures that load unless their file is in `broken`.
struct FakePictures : TPreviewPictures {
    std::set<std::string> broken;
    std::array<std::string, 4> shown; // "" = empty
    bool Load(int n, const std::string& file) override {
        if (broken.count(file) > 0) {
            shown[static_cast<std::size_t>(n - 1)].clear();
            return false;
        }
        shown[static_cast<std::size_t>(n - 1)] = file;
        return true;
    }
    void Clear(int n) override { shown[static_cast<std::size_t>(n - 1)].clear(); }
};

struct PageBed {
    FakePictures pictures;
    int prefsChanged = 0;
    TWallpaperPage page{pictures, [this] { ++prefsChanged; }};
    TSettingsValues values;
    TSystemWallpaper system{"C:\\own.bmp", 1};
};

TEST(Wallpaper, LoadingThePreviews) {
    PageBed b;
    b.values.WPDeskFile = {"", "C:\\two.gif", "none", "C:\\broken.jpg"};
    b.values.WPDeskStyle = {0, 2, 0, 0};
    b.pictures.broken = {"C:\\broken.jpg"};
    b.page.LoadWallpaper(b.values, b.system);
    EXPECT_EQ(b.page.Previews[0].File, "C:\\own.bmp") << "never chosen: the user's own";
    EXPECT_EQ(b.page.Previews[0].Style, 1);
    EXPECT_EQ(b.page.Previews[1].File, "C:\\two.gif");
    EXPECT_EQ(b.page.Previews[1].Style, 2);
    EXPECT_EQ(b.page.Previews[2].File, "") << "none";
    EXPECT_EQ(b.page.Previews[3].File, "C:\\broken.jpg")
        << "a file that cannot be read still counts";
    EXPECT_EQ(b.pictures.shown, (std::array<std::string, 4>{"C:\\own.bmp", "C:\\two.gif", "", ""}));
    EXPECT_FALSE(b.page.BgChecked);
    EXPECT_EQ(b.page.TypeIndex, 1) << "the selected preview's position";
    EXPECT_TRUE(b.page.BrowseEnabled);
    // Desktop 3 selected: no file, the check box on and Browse and the position off.
    b.page.ClickPreview(3);
    EXPECT_EQ(b.page.Lowered, (std::array<bool, 4>{false, false, true, false}));
    EXPECT_TRUE(b.page.BgChecked);
    EXPECT_FALSE(b.page.BrowseEnabled);
    EXPECT_FALSE(b.page.TypeEnabled);
    // Loading again with desktop 3 selected: Stretch shown and disabled.
    b.page.LoadWallpaper(b.values, b.system);
    EXPECT_TRUE(b.page.BgChecked);
    EXPECT_EQ(b.page.TypeIndex, 2);
    EXPECT_FALSE(b.page.TypeEnabled);
}

TEST(Wallpaper, PickingAFileAPositionAndNone) {
    PageBed b;
    b.values.WPDeskFile = {"C:\\one.bmp", "", "", ""};
    b.page.LoadWallpaper(b.values, b.system);
    b.page.Edited = false;
    b.prefsChanged = 0;
    b.page.SelectWPStyle(0);
    EXPECT_EQ(b.page.Previews[0].Style, 0);
    EXPECT_TRUE(b.page.Edited);
    EXPECT_EQ(b.prefsChanged, 1);

    // A file that cannot be read changes nothing.
    b.page.Edited = false;
    b.pictures.broken = {"C:\\bad.gif"};
    EXPECT_FALSE(b.page.SelectWPFile("C:\\bad.gif"));
    EXPECT_EQ(b.page.Previews[0].File, "C:\\one.bmp");
    EXPECT_FALSE(b.page.Edited);
    EXPECT_TRUE(b.page.SelectWPFile("C:\\new.jpg"));
    EXPECT_EQ(b.page.Previews[0].File, "C:\\new.jpg");
    EXPECT_EQ(b.page.Previews[0].Style, 0) << "the position shown";

    // None: the picture and file go, the position stays; unticking does not bring the file back.
    b.page.SetBgChecked(true);
    EXPECT_EQ(b.page.Previews[0].File, "");
    EXPECT_EQ(b.page.Previews[0].Style, 0);
    EXPECT_EQ(b.pictures.shown[0], "");
    EXPECT_FALSE(b.page.BrowseEnabled);
    b.page.SetBgChecked(false);
    EXPECT_EQ(b.page.Previews[0].File, "");
    EXPECT_TRUE(b.page.BrowseEnabled);
}

TEST(Wallpaper, OkStoresEveryPreview) {
    PageBed b;
    b.values.WPDeskFile = {"C:\\one.bmp", "none", "", "C:\\four.gif"};
    b.values.WPDeskStyle = {1, 0, 0, 2};
    b.system.File.clear();
    b.page.LoadWallpaper(b.values, b.system);
    TFakeSettingsStore store;
    ASSERT_TRUE(store.OpenKey(kSettingsKey, TSettingsStore::TAccess::WriteCreate));
    b.page.Save(store, b.values);
    EXPECT_EQ(store.log,
              (std::vector<std::string>{"set WPDesk1File=C:\\one.bmp", "set WPDesk1Style=1",
                                        "set WPDesk2File=none", "set WPDesk2Style=0",
                                        "set WPDesk3File=none", "set WPDesk3Style=0",
                                        "set WPDesk4File=C:\\four.gif", "set WPDesk4Style=2"}));
    EXPECT_EQ(b.values.WPDeskFile,
              (std::array<std::string, 4>{"C:\\one.bmp", "none", "none", "C:\\four.gif"}));
}

struct FakeSystem : TWallpaperSystem {
    bool shellWorks = true;
    std::vector<std::string> log;
    bool SetThroughShell(const std::string& file, int style) override {
        log.push_back("shell " + file + " " + std::to_string(style));
        return shellWorks;
    }
    void SetThroughSystem(const std::string& file) override {
        log.push_back("system '" + file + "'");
    }
};

TEST(Wallpaper, AChoiceReachesTheScreen) {
    TFakeSettingsStore store;
    FakeSystem system;
    ApplyWallpaper({false, "C:\\a.bmp", 1}, store, system);
    EXPECT_EQ(system.log, (std::vector<std::string>{"shell C:\\a.bmp 1"}));
    EXPECT_TRUE(store.log.empty());

    // No shell (or a shell that fails, as Wine's does): the style values, then the system.
    system.log.clear();
    system.shellWorks = false;
    ApplyWallpaper({false, "C:\\a.bmp", 1}, store, system);
    EXPECT_EQ(system.log, (std::vector<std::string>{"shell C:\\a.bmp 1", "system 'C:\\a.bmp'"}));
    EXPECT_EQ(store.log, (std::vector<std::string>{"set WallpaperStyle=0", "set TileWallpaper=1"}));
    store.log.clear();
    ApplyWallpaper({false, "C:\\s.bmp", 2}, store, system);
    EXPECT_EQ(store.log, (std::vector<std::string>{"set WallpaperStyle=2", "set TileWallpaper=0"}));

    // None: never the shell; an empty name, not a missing one.
    system.log.clear();
    store.log.clear();
    ApplyWallpaper({true, "", 0}, store, system);
    EXPECT_EQ(system.log, (std::vector<std::string>{"system ''"}));
    EXPECT_EQ(store.log, (std::vector<std::string>{"set Wallpaper="}));
    // A registry that cannot be written still tells the system.
    system.log.clear();
    store.failingWrites = {"Wallpaper"};
    ApplyWallpaper({true, "", 0}, store, system);
    EXPECT_EQ(system.log, (std::vector<std::string>{"system ''"}));
}

TEST(Wallpaper, TheChoiceOfEachDesktop) {
    PageBed b;
    b.values.WPDeskFile = {"", "C:\\two.bmp", "none", ""};
    b.values.WPDeskStyle = {0, 1, 0, 0};
    b.page.LoadWallpaper(b.values, b.system);
    const TWallpaperChoice one = b.page.ChoiceFor(0);
    EXPECT_FALSE(one.None);
    EXPECT_EQ(one.File, "C:\\own.bmp");
    EXPECT_EQ(b.page.ChoiceFor(1).File, "C:\\two.bmp");
    EXPECT_EQ(b.page.ChoiceFor(1).Style, 1);
    EXPECT_TRUE(b.page.ChoiceFor(2).None);
    EXPECT_TRUE(b.page.ChoiceFor(7).None) << "out of range: none";
    // A file that cannot be read is kept but never applied.
    b.pictures.broken = {"C:\\hostile.gif"};
    b.values.WPDeskFile[3] = "C:\\hostile.gif";
    b.page.LoadWallpaper(b.values, b.system);
    const TWallpaperChoice hostile = b.page.ChoiceFor(3);
    EXPECT_TRUE(hostile.Unreadable);
    EXPECT_EQ(hostile.File, "C:\\hostile.gif");
    TFakeSettingsStore store;
    FakeSystem system;
    ApplyWallpaper(hostile, store, system);
    EXPECT_TRUE(system.log.empty());
    EXPECT_TRUE(store.log.empty());
}

} // namespace
