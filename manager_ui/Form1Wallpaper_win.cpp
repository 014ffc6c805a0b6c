// The Wallpaper page of the manager window and the wallpaper of each desktop on the screen.
#include <objbase.h>

#include <vector>

#include "controls/TkFileEdit_win.h"
#include "desktops/RegistrySettingsStore_win.h"
#include "framework/controls/Bevel_win.h"
#include "framework/controls/Button_win.h"
#include "framework/controls/CheckBox_win.h"
#include "framework/controls/ComboBox_win.h"
#include "manager_ui/Form1_win.h"
#include "raster/Image32_win.h"

namespace {

// The shell's desktop object, as far as wallpapers go (the first methods of its interface).
struct IWallpaperDesktop : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ApplyChanges(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWallpaper(PWSTR wallpaper, UINT size, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetWallpaper(PCWSTR wallpaper, DWORD reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWallpaperOptions(void* options, DWORD reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetWallpaperOptions(const void* options, DWORD reserved) = 0;
};

struct TWallpaperOptions {
    DWORD Size = sizeof(TWallpaperOptions); // 8
    DWORD Style = 0;                        // WPSTYLE_CENTER 0, TILE 1, STRETCH 2
};

constexpr DWORD kApplyAll = 7; // save, generate and refresh

// The previews' pictures: files through the picture-format registry.
class TPreviewImages : public TPreviewPictures {
public:
    explicit TPreviewImages(std::array<TImage32*, 4>& previews) : previews_(previews) {}
    bool Load(int n, const std::string& file) override {
        TBitmap32* bitmap = previews_[static_cast<std::size_t>(n - 1)]->Bitmap();
        try {
            bitmap->LoadPictureFile(file);
            return true;
        } catch (...) {
            // A file that cannot be read (or decoded) leaves the preview empty.
            bitmap->Delete();
            return false;
        }
    }
    void Clear(int n) override { previews_[static_cast<std::size_t>(n - 1)]->Bitmap()->Delete(); }

private:
    std::array<TImage32*, 4>& previews_;
};

// The shell's desktop object when there is one, else (and when it fails, as under Wine, where
// each of its wallpaper calls answers "not implemented") the system parameter.
class TScreenWallpaper : public TWallpaperSystem {
public:
    explicit TScreenWallpaper(IUnknown* desktop)
        : desktop_(static_cast<IWallpaperDesktop*>(desktop)) {}
    bool SetThroughShell(const std::string& file, int style) override {
        if (desktop_ == nullptr)
            return false;
        const std::wstring wide = Wide(file);
        TWallpaperOptions options;
        options.Style = static_cast<DWORD>(style >= 0 && style <= 2 ? style : 2);
        return SUCCEEDED(desktop_->SetWallpaperOptions(&options, 0)) &&
               SUCCEEDED(desktop_->SetWallpaper(wide.c_str(), 0)) &&
               SUCCEEDED(desktop_->ApplyChanges(kApplyAll));
    }
    void SetThroughSystem(const std::string& file) override {
        // An empty name removes the wallpaper (a null one would restore the default picture).
        std::vector<char> name(file.begin(), file.end());
        name.push_back('\0');
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, name.data(), SPIF_UPDATEINIFILE);
    }

private:
    // The path in the ANSI code page, as the program holds it.
    static std::wstring Wide(const std::string& text) {
        if (text.empty())
            return std::wstring();
        const int n =
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
        if (n > 0)
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                n);
        return out;
    }
    IWallpaperDesktop* desktop_;
};

} // namespace

TWallpaperPage& TForm1::WallpaperPageState() {
    if (wallpaperPage_ == nullptr) {
        previewPictures_ = std::make_unique<TPreviewImages>(WPPreview);
        wallpaperPage_ = std::make_unique<TWallpaperPage>(*previewPictures_,
                                                          [this] { SetOKButtonsEnabled(true); });
    }
    return *wallpaperPage_;
}

void TForm1::SyncWallpaperPage() {
    TWallpaperPage& page = WallpaperPageState();
    syncingWallpaper_ = true;
    try {
        for (int n = 0; n < 4; ++n) {
            WPPreview[n]->SetHint(page.Previews[n].File);
            WPBevel[n]->SetStyle(page.Lowered[n] ? bsLowered : bsRaised);
            WPPreview[n]->Invalidate();
        }
        BgWP->SetChecked(page.BgChecked);
        BrowseWP->SetEnabled(page.BrowseEnabled);
        WPType->SetEnabled(page.TypeEnabled);
        WPType->SetItemIndex(page.TypeIndex);
    } catch (...) {
        syncingWallpaper_ = false;
        throw;
    }
    syncingWallpaper_ = false;
}

void TForm1::LoadWallpaper() {
    TRegistrySettingsStore store;
    const TSystemWallpaper system = ReadSystemWallpaper(store);
    WallpaperPageState().LoadWallpaper(settings_, system);
    SyncWallpaperPage();
}

void TForm1::SaveWallpaper() {
    TRegistrySettingsStore store;
    if (store.OpenKey(kSettingsKey, TSettingsStore::TAccess::WriteCreate)) {
        try {
            WallpaperPageState().Save(store, settings_);
        } catch (...) {
            store.CloseKey();
            throw;
        }
        store.CloseKey();
    }
    ApplyWallpaper(engine_->ActiveDesk);
    WallpaperPageState().SelectPreview(WallpaperPageState().SelDesk);
    SyncWallpaperPage();
    SetOKButtonsEnabled(false);
}

void TForm1::ApplyWallpaper(int desk) {
    TRegistrySettingsStore store;
    TScreenWallpaper screen(shellActiveDesktop_);
    ::ApplyWallpaper(WallpaperPageState().ChoiceFor(desk), store, screen);
}

void TForm1::WPPreviewClick(TObject* Sender) {
    auto* preview = dynamic_cast<TControl*>(Sender);
    if (preview == nullptr)
        return;
    WallpaperPageState().ClickPreview(preview->Tag());
    SyncWallpaperPage();
}

void TForm1::BrowseWPClick(TObject*) {
    // Each step on its own: a failure (the dialog's, or the change handler's) is passed over.
    try {
        WPFileSelect->SetFileName("");
    } catch (...) {
    }
    try {
        WPFileSelect->RunButtonAction();
    } catch (...) {
    }
}

void TForm1::SelectWPFile(TObject*) {
    const std::string file = WPFileSelect->FileName();
    if (file.empty())
        return;
    WallpaperPageState().SelectWPFile(file);
    SyncWallpaperPage();
}

void TForm1::SelectWPStyle(TObject*) {
    if (syncingWallpaper_)
        return;
    WallpaperPageState().SelectWPStyle(WPType->ItemIndex());
    SyncWallpaperPage();
}

void TForm1::BgWPClick(TObject*) {
    if (syncingWallpaper_)
        return;
    WallpaperPageState().SetBgChecked(BgWP->Checked());
    SyncWallpaperPage();
}

void TForm1::WPFileSelectAfterDialog(TObject*, std::string&, bool&) {
    SetActivePage(2);
}
