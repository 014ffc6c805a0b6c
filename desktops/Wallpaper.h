#pragma once

// Wallpaper per desktop apart from any window: the system's current wallpaper, the Wallpaper
// page as data (four previews, the selected one, the edited flag and its controls' state), what
// OK stores, and how a desktop's wallpaper reaches the screen through the shell or, where the
// shell's desktop object is missing or fails, through the system parameters.

#include <array>
#include <functional>
#include <string>

#include "desktops/Settings.h"

inline constexpr const char* kDesktopKey = "Control Panel\\Desktop";

// The position of a stored "WallpaperStyle" and "TileWallpaper": 0 Center, 1 Tile, 2 Stretch.
int GetWPStyle(int wallpaperStyle, int tileWallpaper) noexcept;

struct TSystemWallpaper {
    std::string File;
    int Style = 0;
};

// The user's own wallpaper from "Control Panel\Desktop": "Wallpaper", or "ConvertedWallpaper"
// when "Wallpaper" equals "OriginalWallpaper", with the position of its style values. One
// guarded read: what was read before a failure (a missing key, a number that is not decimal) is
// kept, the rest stays empty or 0.
TSystemWallpaper ReadSystemWallpaper(TSettingsStore& store);

// The pictures of the four previews (1 to 4).
class TPreviewPictures {
public:
    virtual ~TPreviewPictures() = default;
    // Loads file into preview n; false when it cannot be read (the preview is then empty).
    virtual bool Load(int n, const std::string& file) = 0;
    virtual void Clear(int n) = 0;
};

struct TWallpaperPreview {
    std::string File; // empty: no wallpaper
    int Style = 0;
    // Whether its picture could be read. A file that cannot be read still counts (it is kept and
    // stored) but is never applied.
    bool Readable = false;
};

// What a desktop's wallpaper is when it becomes active.
struct TWallpaperChoice {
    bool None = true;
    std::string File;
    int Style = 0;
    // A file that cannot be read: the screen keeps the wallpaper it has.
    bool Unreadable = false;
};

// The Wallpaper page. The check box "None background." runs its click on every change of its
// state, also one made by the page itself, as the system's check box does.
class TWallpaperPage {
public:
    TWallpaperPage(TPreviewPictures& pictures, std::function<void()> prefsChanged);

    std::array<TWallpaperPreview, 4> Previews{};
    int SelDesk = 1;
    bool Edited = false;
    // The controls.
    bool BgChecked = false;
    bool BrowseEnabled = true;
    bool TypeEnabled = true;
    int TypeIndex = 2;
    std::array<bool, 4> Lowered{true, false, false, false};

    // Fills the previews from the stored choice and the system's wallpaper.
    void LoadWallpaper(const TSettingsValues& values, const TSystemWallpaper& system);
    void LoadPreview(int n, const std::string& file, int style);
    // A click on preview n.
    void ClickPreview(int n);
    void SelectPreview(int n);
    // The dialog chose a file for the selected preview; false when it cannot be loaded (then
    // nothing changes).
    bool SelectWPFile(const std::string& file);
    // The user chose a position.
    void SelectWPStyle(int index);
    // The check box's state; a change runs its click.
    void SetBgChecked(bool checked);
    // OK: writes the previews' choice to the open settings key and into values.
    void Save(TSettingsStore& store, TSettingsValues& values);
    // The wallpaper of desktop d (0 to 3) as the previews hold it.
    TWallpaperChoice ChoiceFor(int d) const;

private:
    void BgWPClick();
    void MarkEdited();

    TPreviewPictures& pictures_;
    std::function<void()> prefsChanged_;
};

// How a wallpaper reaches the screen.
class TWallpaperSystem {
public:
    virtual ~TWallpaperSystem() = default;
    // Through the shell's desktop object: options, file and apply; false when there is no such
    // object or one of its calls fails.
    virtual bool SetThroughShell(const std::string& file, int style) = 0;
    // SPI_SETDESKWALLPAPER with the file ("" for none), stored in the user's profile.
    virtual void SetThroughSystem(const std::string& file) = 0;
};

// Applies a desktop's wallpaper (nothing for an unreadable file). No wallpaper: "Wallpaper" = ""
// under "Control Panel\Desktop", then the system told with an empty name. A file: the shell first;
// where it cannot, the style values for the position, then the system told with the file.
void ApplyWallpaper(const TWallpaperChoice& choice, TSettingsStore& store,
                    TWallpaperSystem& system);
