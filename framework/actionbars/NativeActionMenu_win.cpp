#include "framework/actionbars/NativeActionMenu_win.h"

#include <algorithm>
#include <cctype>

#include "framework/actionbars/ActionManager.h"
#include "framework/controls/ImageList_win.h"
#include "framework/core/ShortCut.h"
#include "framework/graphics/GdiUtils_win.h"

namespace {

constexpr int kTextGap = 8;
constexpr int kArrowSpace = 18;
constexpr int kShortCutGap = 28;

std::string WithoutPrefix(const std::string& Caption) {
    std::string text;
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&' && i + 1 < Caption.size())
            ++i;
        text += Caption[i];
    }
    return text;
}

// The mnemonic: the character after a single '&', 0 when there is none.
char Mnemonic(const std::string& Caption) {
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] != '&')
            return static_cast<char>(std::toupper(static_cast<unsigned char>(Caption[i + 1])));
        ++i;
    }
    return 0;
}

SIZE TextSize(HFONT Font, const std::string& Text) {
    SIZE size{};
    HDC dc = GetDC(nullptr);
    {
        TScopedSelect font(dc, Font);
        GetTextExtentPoint32A(dc, Text.empty() ? " " : Text.c_str(),
                              Text.empty() ? 1 : static_cast<int>(Text.size()), &size);
    }
    ReleaseDC(nullptr, dc);
    return size;
}

void FillBox(HDC Dc, const RECT& R, TColor Color) {
    HBRUSH brush = CreateSolidBrush(ColorRef(Color));
    FillRect(Dc, &R, brush);
    DeleteObject(brush);
}

void FrameBox(HDC Dc, const RECT& R, TColor Color) {
    HBRUSH brush = CreateSolidBrush(ColorRef(Color));
    FrameRect(Dc, &R, brush);
    DeleteObject(brush);
}

void Line(HDC Dc, int X1, int Y1, int X2, int Y2, TColor Color) {
    HPEN pen = CreatePen(PS_SOLID, 1, ColorRef(Color));
    {
        TScopedSelect select(Dc, pen);
        MoveToEx(Dc, X1, Y1, nullptr);
        LineTo(Dc, X2, Y2);
    }
    DeleteObject(pen);
}

// A tick of two strokes, two pixels thick, centred on (X, Y).
void Tick(HDC Dc, int X, int Y, TColor Color) {
    for (int d = 0; d < 2; ++d) {
        Line(Dc, X - 3, Y - 1 + d, X - 1, Y + 1 + d, Color);
        Line(Dc, X - 1, Y + 1 + d, X + 4, Y - 4 + d, Color);
    }
}

TCustomImageList* ImagesOf(const TCustomActionBar& Bar) {
    return Bar.ActionManager() != nullptr ? Bar.ActionManager()->Images : nullptr;
}

} // namespace

TNativeActionMenu::TNativeActionMenu(const TCustomActionBar& Bar)
    : bar_(Bar), colors_(Bar.EffectiveColorMap()) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font_ = CreateFontIndirectA(&metrics.lfMenuFont);
    if (font_ == nullptr)
        font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    menuBrush_ = CreateSolidBrush(ColorRef(colors_.MenuColor));
}

TNativeActionMenu::~TNativeActionMenu() {
    Clear();
    DeleteObject(font_);
    DeleteObject(menuBrush_);
    if (barBrush_ != nullptr)
        DeleteObject(barBrush_);
}

void TNativeActionMenu::Clear() noexcept {
    if (root_ != nullptr)
        DestroyMenu(root_); // and its submenus
    Release();
}

void TNativeActionMenu::Release() noexcept {
    root_ = nullptr;
    entries_.clear();
    freeSlots_.clear();
    pending_.clear();
    built_.clear();
}

HMENU TNativeActionMenu::BuildPopup(TActionClientItem* Client) {
    Clear();
    root_ = CreatePopupMenu();
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
    info.hbrBack = menuBrush_;
    SetMenuInfo(root_, &info);
    Fill(root_, Client, false);
    return root_;
}

HMENU TNativeActionMenu::BuildBar(TActionClientItem* Client, TColor Color) {
    Clear();
    if (barBrush_ != nullptr)
        DeleteObject(barBrush_);
    barBrush_ = CreateSolidBrush(ColorRef(Color == clDefault ? colors_.Color : Color));
    colors_.Color = Color == clDefault ? colors_.Color : Color;
    root_ = CreateMenu();
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = barBrush_;
    SetMenuInfo(root_, &info);
    Fill(root_, Client, true);
    return root_;
}

void TNativeActionMenu::Fill(HMENU Menu, TActionClientItem* Client, bool OnBar) {
    UINT position = 0;
    for (int i = 0; i < Client->Count(); ++i) {
        TActionClientItem* item = Client->Items(i);
        // Command numbers travel in 16 bits; 0 means none.
        if (!item->Shown() || (freeSlots_.empty() && entries_.size() >= 0xFFFE))
            continue;
        auto entry = std::make_unique<TEntry>(TEntry{
            item, item->Caption(), item->ShortCut() != 0 ? ShortCutToText(item->ShortCut()) : "",
            item->ImageIndex(), item->Enabled(), item->Checked(), item->IsSeparator(),
            item->Count() > 0, OnBar});
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_DATA;
        info.fType = MFT_OWNERDRAW | (entry->Separator ? MFT_SEPARATOR : 0);
        size_t slot = entries_.size();
        if (!freeSlots_.empty()) {
            slot = freeSlots_.back();
            freeSlots_.pop_back();
        }
        info.wID = static_cast<UINT>(slot + 1);
        entry->Menu = Menu;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(entry.get());
        if (!entry->Enabled)
            info.fState |= MFS_GRAYED;
        if (entry->Checked)
            info.fState |= MFS_CHECKED;
        if (entry->Submenu && !entry->Separator) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = CreatePopupMenu();
            pending_[info.hSubMenu] = item;
            entry->SubMenu = info.hSubMenu;
        }
        if (slot == entries_.size())
            entries_.push_back(std::move(entry));
        else
            entries_[slot] = std::move(entry);
        InsertMenuItemA(Menu, position++, TRUE, &info);
    }
}

void TNativeActionMenu::Empty(HMENU Menu) {
    // Without recursion: the menus below go with their entries.
    std::vector<HMENU> menus{Menu};
    while (!menus.empty()) {
        HMENU menu = menus.back();
        menus.pop_back();
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i] == nullptr || entries_[i]->Menu != menu)
                continue;
            if (HMENU sub = entries_[i]->SubMenu) {
                menus.push_back(sub);
                pending_.erase(sub);
                built_.erase(sub);
            }
            entries_[i].reset();
            freeSlots_.push_back(i);
        }
    }
    while (GetMenuItemCount(Menu) > 0)
        DeleteMenu(Menu, 0, MF_BYPOSITION); // destroys the submenus too
}

TActionClientItem* TNativeActionMenu::ClientOf(UINT Command) const noexcept {
    if (Command == 0 || Command > entries_.size() || entries_[Command - 1] == nullptr)
        return nullptr;
    return entries_[Command - 1]->Client;
}

const TNativeActionMenu::TEntry* TNativeActionMenu::EntryOf(ULONG_PTR Data) const noexcept {
    for (const auto& entry : entries_)
        if (entry != nullptr && reinterpret_cast<ULONG_PTR>(entry.get()) == Data)
            return entry.get();
    return nullptr;
}

bool TNativeActionMenu::Handle(TMessage& Message) {
    switch (Message.Msg) {
    case WM_INITMENUPOPUP: {
        auto menu = reinterpret_cast<HMENU>(Message.WParam);
        TActionClientItem* client = nullptr;
        if (auto it = pending_.find(menu); it != pending_.end()) {
            client = it->second;
            pending_.erase(it);
        } else if (auto built = built_.find(menu); built != built_.end()) {
            client = built->second;
            Empty(menu);
        } else {
            return false;
        }
        if (!Closing) {
            if (OnOpen)
                OnOpen(client);
            Fill(menu, client, false);
            if (RebuildOnOpen)
                built_[menu] = client;
        } else {
            pending_[menu] = client;
        }
        Message.Result = 0;
        return true;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (item == nullptr || item->CtlType != ODT_MENU || EntryOf(item->itemData) == nullptr)
            return false;
        Measure(*item);
        Message.Result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (item == nullptr || item->CtlType != ODT_MENU || EntryOf(item->itemData) == nullptr)
            return false;
        Draw(*item);
        Message.Result = TRUE;
        return true;
    }
    case WM_MENUCHAR: {
        auto menu = reinterpret_cast<HMENU>(Message.LParam);
        if (menu == nullptr || GetMenuItemCount(menu) <= 0)
            return false;
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        if (!GetMenuItemInfoA(menu, 0, TRUE, &info) || EntryOf(info.dwItemData) == nullptr)
            return false;
        Message.Result = MenuChar(static_cast<char>(LOWORD(Message.WParam)), menu);
        return true;
    }
    default:
        return false;
    }
}

LRESULT TNativeActionMenu::MenuChar(char Key, HMENU Menu) const {
    const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(Key)));
    const int count = GetMenuItemCount(Menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        if (!GetMenuItemInfoA(Menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        const TEntry* entry = EntryOf(info.dwItemData);
        if (entry != nullptr && entry->Enabled && !entry->Separator &&
            Mnemonic(entry->Caption) == key)
            return MAKELRESULT(i, MNC_EXECUTE);
    }
    return MAKELRESULT(0, MNC_CLOSE);
}

int TNativeActionMenu::GutterWidth() const {
    TCustomImageList* images = ImagesOf(bar_);
    return std::max(images != nullptr ? images->Width() : 16, 16) + 8;
}

void TNativeActionMenu::Measure(MEASUREITEMSTRUCT& Item) const {
    const TEntry& entry = *EntryOf(Item.itemData);
    const SIZE text = TextSize(font_, WithoutPrefix(entry.Caption));
    if (entry.OnBar) {
        Item.itemWidth = static_cast<UINT>(text.cx + 2 * kTextGap);
        Item.itemHeight =
            static_cast<UINT>(std::max<int>(GetSystemMetrics(SM_CYMENU), text.cy + 6));
        return;
    }
    if (entry.Separator) {
        Item.itemWidth = 16;
        Item.itemHeight = 5;
        return;
    }
    TCustomImageList* images = ImagesOf(bar_);
    int width = GutterWidth() + kTextGap + text.cx + kArrowSpace;
    if (!entry.ShortCut.empty())
        width += kShortCutGap + TextSize(font_, entry.ShortCut).cx;
    Item.itemWidth = static_cast<UINT>(width);
    Item.itemHeight = static_cast<UINT>(
        std::max<int>(text.cy + 8, (images != nullptr ? images->Height() : 16) + 6));
}

void TNativeActionMenu::Draw(const DRAWITEMSTRUCT& Item) const {
    const TEntry& entry = *EntryOf(Item.itemData);
    if (entry.OnBar) {
        DrawBarItem(Item, entry);
        return;
    }
    HDC dc = Item.hDC;
    const RECT r = Item.rcItem;
    const int gutter = GutterWidth();
    FillBox(dc, r, colors_.MenuColor);
    FillBox(dc, RECT{r.left, r.top, r.left + gutter, r.bottom}, colors_.ImageColumnColor);
    if (entry.Separator) {
        const int y = (r.top + r.bottom) / 2;
        Line(dc, r.left + gutter + kTextGap, y, r.right, y, colors_.SeparatorColor);
        return;
    }
    const bool enabled = (Item.itemState & ODS_GRAYED) == 0 && entry.Enabled;
    const bool selected = (Item.itemState & ODS_SELECTED) != 0 && enabled;
    if (selected) {
        const RECT box{r.left + 1, r.top, r.right - 1, r.bottom};
        FillBox(dc, box, colors_.SelectedColor);
        FrameBox(dc, box, colors_.SelectedFrameColor);
    }
    TCustomImageList* images = ImagesOf(bar_);
    const bool image =
        images != nullptr && entry.ImageIndex >= 0 && entry.ImageIndex < images->Count();
    const int cx = r.left + gutter / 2;
    const int cy = (r.top + r.bottom) / 2;
    if (entry.Checked) {
        const int half = (image ? images->Width() : 14) / 2 + 2;
        const RECT box{cx - half, cy - half, cx + half, cy + half};
        FillBox(dc, box, colors_.CheckColor);
        FrameBox(dc, box, colors_.SelectedFrameColor);
        if (!image)
            Tick(dc, cx, cy, enabled ? colors_.FontColor : colors_.DisabledFontColor);
    }
    if (image)
        images->Draw(dc, cx - images->Width() / 2, cy - images->Height() / 2, entry.ImageIndex,
                     enabled);

    TScopedSelect font(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorRef(!enabled   ? colors_.DisabledFontColor
                              : selected ? colors_.SelectedFontColor
                                         : colors_.FontColor));
    UINT flags = DT_SINGLELINE | DT_VCENTER;
    if (Item.itemState & ODS_NOACCEL)
        flags |= DT_HIDEPREFIX;
    RECT text{r.left + gutter + kTextGap, r.top, r.right - kArrowSpace, r.bottom};
    DrawTextA(dc, entry.Caption.c_str(), static_cast<int>(entry.Caption.size()), &text,
              flags | DT_LEFT);
    if (!entry.ShortCut.empty())
        DrawTextA(dc, entry.ShortCut.c_str(), static_cast<int>(entry.ShortCut.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
}

void TNativeActionMenu::DrawBarItem(const DRAWITEMSTRUCT& Item, const TEntry& Entry) const {
    HDC dc = Item.hDC;
    const RECT r = Item.rcItem;
    FillBox(dc, r, colors_.Color);
    const bool enabled = (Item.itemState & ODS_GRAYED) == 0 && Entry.Enabled;
    const bool hot = (Item.itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0 && enabled;
    if (hot) {
        const RECT box{r.left, r.top + 1, r.right, r.bottom - 1};
        FillBox(dc, box, colors_.SelectedColor);
        FrameBox(dc, box, colors_.SelectedFrameColor);
    }
    TScopedSelect font(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorRef(enabled ? (hot ? colors_.SelectedFontColor : colors_.FontColor)
                                      : colors_.DisabledFontColor));
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    if (Item.itemState & ODS_NOACCEL)
        flags |= DT_HIDEPREFIX;
    RECT text = r;
    DrawTextA(dc, Entry.Caption.c_str(), static_cast<int>(Entry.Caption.size()), &text, flags);
}
