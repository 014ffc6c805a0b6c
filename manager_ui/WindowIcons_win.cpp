#include "manager_ui/WindowIcons_win.h"

#include <vector>

#include "framework/controls/ImageList_win.h"
#include "framework/graphics/Icon_win.h"

namespace {

constexpr UINT kIconTimeoutMs = 1000;

// Lends a borrowed handle to a TIcon for one call and takes it back however the call ends, so the
// icon object never destroys another program's icon.
class TLentIcon {
public:
    explicit TLentIcon(HICON icon) { icon_.AdoptHandle(icon); }
    ~TLentIcon() { icon_.ReleaseHandle(); }
    TLentIcon(const TLentIcon&) = delete;
    TLentIcon& operator=(const TLentIcon&) = delete;
    TIcon* Get() { return &icon_; }

private:
    TIcon icon_;
};

} // namespace

HICON GetAppIcon(HWND window) noexcept {
    if (window == nullptr)
        return nullptr;
    DWORD_PTR icon = 0;
    if (SendMessageTimeoutA(window, WM_GETICON, ICON_SMALL, 0, SMTO_NORMAL, kIconTimeoutMs,
                            &icon) == 0)
        icon = 0;
    else if (icon == 0 && SendMessageTimeoutA(window, WM_GETICON, ICON_BIG, 0, SMTO_NORMAL,
                                              kIconTimeoutMs, &icon) == 0)
        icon = 0;
    if (icon == 0)
        icon = static_cast<DWORD_PTR>(GetClassLongPtrA(window, GCLP_HICONSM));
    return reinterpret_cast<HICON>(icon);
}

int AddBorrowedIcon(TCustomImageList* list, HICON icon) noexcept {
    if (list == nullptr || icon == nullptr)
        return -1;
    try {
        TLentIcon lent(icon);
        return list->AddIcon(lent.Get());
    } catch (...) {
        return -1;
    }
}

std::string WindowTitle(HWND window) {
    if (window == nullptr)
        return {};
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    // Room for the length as read plus the terminator; a title that grew meanwhile is cut there.
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    if (got <= 0)
        return {};
    return std::string(buffer.data(), static_cast<std::size_t>(std::min(got, length)));
}
