#include "desktops/Wallpaper.h"

#include "framework/core/SysUtils.h"

int GetWPStyle(int wallpaperStyle, int tileWallpaper) noexcept {
    if (wallpaperStyle != 0)
        return 2;
    if (tileWallpaper == 0)
        return 0;
    return tileWallpaper == 1 ? 1 : 2;
}

TSystemWallpaper ReadSystemWallpaper(TSettingsStore& store) {
    int wallpaperStyle = 0, tileWallpaper = 0;
    std::string wallpaper, original, converted;
    try {
        if (store.OpenKey(kDesktopKey, TSettingsStore::TAccess::Read)) {
            wallpaperStyle = StrToInt(store.ReadString("WallpaperStyle"));
            tileWallpaper = StrToInt(store.ReadString("TileWallpaper"));
            wallpaper = store.ReadString("Wallpaper");
            original = store.ReadString("OriginalWallpaper");
            converted = store.ReadString("ConvertedWallpaper");
        }
    } catch (...) {
        // What was read before the failure stands.
    }
    try {
        store.CloseKey();
    } catch (...) {
    }
    TSystemWallpaper system;
    system.File = wallpaper != original ? wallpaper : converted;
    system.Style = GetWPStyle(wallpaperStyle, tileWallpaper);
    return system;
}

TWallpaperPage::TWallpaperPage(TPreviewPictures& pictures, std::function<void()> prefsChanged)
    : pictures_(pictures), prefsChanged_(std::move(prefsChanged)) {}

void TWallpaperPage::MarkEdited() {
    Edited = true;
    if (prefsChanged_)
        prefsChanged_();
}

void TWallpaperPage::LoadWallpaper(const TSettingsValues& values, const TSystemWallpaper& system) {
    for (int n = 1; n <= 4; ++n) {
        pictures_.Clear(n);
        Previews[n - 1] = {};
        const std::string& file = values.WPDeskFile[n - 1];
        if (file == "none")
            continue;
        if (!file.empty())
            LoadPreview(n, file, values.WPDeskStyle[n - 1]);
        else if (!system.File.empty())
            LoadPreview(n, system.File, system.Style);
    }
    SetBgChecked(false);
    BrowseEnabled = TypeEnabled = true;
    if (SelDesk >= 1 && SelDesk <= 4 && Previews[SelDesk - 1].File.empty()) {
        SetBgChecked(true);
        BrowseEnabled = false;
        TypeIndex = 2;
        TypeEnabled = false;
    }
}

void TWallpaperPage::LoadPreview(int n, const std::string& file, int style) {
    if (n < 1 || n > 4)
        return;
    // A picture that cannot be read leaves the preview empty; its file still counts.
    const bool readable = pictures_.Load(n, file);
    if (!readable)
        pictures_.Clear(n);
    Previews[n - 1] = {file, style, readable};
    if (n == SelDesk && style >= 0 && style <= 2)
        TypeIndex = style;
}

void TWallpaperPage::ClickPreview(int n) {
    if (n < 1 || n > 4)
        return;
    SelDesk = n;
    for (int i = 0; i < 4; ++i)
        Lowered[i] = i == n - 1;
    SelectPreview(n);
}

void TWallpaperPage::SelectPreview(int n) {
    if (n < 1 || n > 4)
        return;
    const TWallpaperPreview& p = Previews[n - 1];
    if (!p.File.empty()) {
        SetBgChecked(false);
        BrowseEnabled = TypeEnabled = true;
        if (p.Style >= 0 && p.Style <= 2)
            TypeIndex = p.Style;
    } else {
        SetBgChecked(true);
        BrowseEnabled = TypeEnabled = false;
    }
}

bool TWallpaperPage::SelectWPFile(const std::string& file) {
    if (SelDesk < 1 || SelDesk > 4)
        return false;
    if (!pictures_.Load(SelDesk, file))
        return false;
    Previews[SelDesk - 1] = {file, TypeIndex, true};
    MarkEdited();
    return true;
}

void TWallpaperPage::SelectWPStyle(int index) {
    TypeIndex = index;
    if (SelDesk >= 1 && SelDesk <= 4)
        Previews[SelDesk - 1].Style = index;
    MarkEdited();
}

void TWallpaperPage::SetBgChecked(bool checked) {
    if (checked == BgChecked)
        return;
    BgChecked = checked;
    BgWPClick();
}

void TWallpaperPage::BgWPClick() {
    BrowseEnabled = TypeEnabled = !BgChecked;
    if (SelDesk >= 1 && SelDesk <= 4) {
        TWallpaperPreview& p = Previews[SelDesk - 1];
        if (BgChecked) {
            pictures_.Clear(SelDesk);
            p.File.clear();
        } else if (!p.File.empty()) {
            p.Readable = pictures_.Load(SelDesk, p.File);
            if (!p.Readable)
                pictures_.Clear(SelDesk);
        }
    }
    MarkEdited();
}

void TWallpaperPage::Save(TSettingsStore& store, TSettingsValues& values) {
    for (int n = 1; n <= 4; ++n) {
        const TWallpaperPreview& p = Previews[n - 1];
        const std::string key = "WPDesk" + std::to_string(n);
        if (!p.File.empty()) {
            values.WPDeskFile[n - 1] = p.File;
            values.WPDeskStyle[n - 1] = p.Style;
            store.WriteString(key + "File", p.File);
            store.WriteString(key + "Style", std::to_string(p.Style));
        } else {
            values.WPDeskFile[n - 1] = "none";
            values.WPDeskStyle[n - 1] = 0;
            store.WriteString(key + "File", "none");
            store.WriteString(key + "Style", "0");
        }
    }
}

TWallpaperChoice TWallpaperPage::ChoiceFor(int d) const {
    TWallpaperChoice c;
    if (d < 0 || d > 3)
        return c;
    const TWallpaperPreview& p = Previews[static_cast<std::size_t>(d)];
    c.None = p.File.empty() || p.File == "none";
    c.File = c.None ? std::string() : p.File;
    c.Style = p.Style;
    c.Unreadable = !c.None && !p.Readable;
    return c;
}

void ApplyWallpaper(const TWallpaperChoice& choice, TSettingsStore& store,
                    TWallpaperSystem& system) {
    if (choice.Unreadable)
        return;
    if (!choice.None && system.SetThroughShell(choice.File, choice.Style))
        return;
    // No wallpaper, or no shell to take it: the user's profile and the system parameter. A
    // registry that cannot be written still gets the system told.
    try {
        if (store.OpenKey(kDesktopKey, TSettingsStore::TAccess::WriteCreate)) {
            if (choice.None) {
                store.WriteString("Wallpaper", "");
            } else {
                store.WriteString("WallpaperStyle", choice.Style == 2 ? "2" : "0");
                store.WriteString("TileWallpaper", choice.Style == 1 ? "1" : "0");
            }
            store.CloseKey();
        }
    } catch (...) {
        try {
            store.CloseKey();
        } catch (...) {
        }
    }
    system.SetThroughSystem(choice.None ? std::string() : choice.File);
}
