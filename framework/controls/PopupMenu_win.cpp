#include "framework/controls/PopupMenu_win.h"

#include <vector>

#include "framework/controls/ImageList_win.h"
#include "framework/core/ExceptionReport.h"
#include "framework/gui/UtilityWindow_win.h"

namespace {

bool gPopupActive = false;

// Clears the process's popup flag at scope end, also on a raise.
class TPopupGuard {
public:
    TPopupGuard() { gPopupActive = true; }
    ~TPopupGuard() { gPopupActive = false; }
    TPopupGuard(const TPopupGuard&) = delete;
    TPopupGuard& operator=(const TPopupGuard&) = delete;
};

} // namespace

TPopupMenu::TPopupMenu(TComponent* AOwner) : TPopupMenuBase(AOwner) {
    items_ = new TMenuItem(nullptr);
}

TPopupMenu::~TPopupMenu() {
    if (items_ != nullptr)
        items_->Free();
}

void TPopupMenu::BeforeDestruction() {
    TPopupMenuBase::BeforeDestruction();
    if (items_ != nullptr) {
        items_->Free();
        items_ = nullptr;
    }
}

void TPopupMenu::SetImages(TCustomImageList* Value) {
    images_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == images_)
        images_ = nullptr;
    TPopupMenuBase::Notification(AComponent, Operation);
}

bool TPopupMenu::IsPopupActive() noexcept {
    return gPopupActive;
}

TPopupMenu::TActiveScope::TActiveScope() noexcept : previous_(gPopupActive) {
    gPopupActive = true;
}

TPopupMenu::TActiveScope::~TActiveScope() {
    gPopupActive = previous_;
}

bool TPopupMenu::IsShortCut(TShortCut ShortCut) {
    TMenuItem* item = items_ != nullptr ? items_->FindShortCut(ShortCut) : nullptr;
    if (item == nullptr)
        return false;
    item->Click();
    return true;
}

HMENU TPopupMenu::BuildMenu() {
    HMENU menu = CreatePopupMenu();
    try {
        BuildItems(menu, items_);
    } catch (...) {
        DestroyMenu(menu);
        throw;
    }
    return menu;
}

void TPopupMenu::BuildItems(HMENU Menu, const TMenuItem* Parent) {
    UINT position = 0;
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* item = Parent->Items(i);
        if (!item->Visible())
            continue;
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_DATA;
        info.wID = item->Command();
        info.dwItemData = item->Command();
        std::string text;
        if (item->IsLine()) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STRING;
            text = item->MenuText();
            info.dwTypeData = text.data();
            info.cch = static_cast<UINT>(text.size());
            if (item->RadioItem())
                info.fType |= MFT_RADIOCHECK;
            if (item->Checked())
                info.fState |= MFS_CHECKED;
            if (!item->Enabled())
                info.fState |= MFS_GRAYED;
            if (item->Default())
                info.fState |= MFS_DEFAULT;
            if (images_ != nullptr && item->ImageIndex() >= 0) {
                // The image is drawn by the owner window (WM_DRAWITEM).
                info.fMask |= MIIM_BITMAP;
                info.hbmpItem = HBMMENU_CALLBACK;
            }
            if (item->Count() > 0) {
                info.fMask |= MIIM_SUBMENU;
                info.hSubMenu = CreatePopupMenu();
                BuildItems(info.hSubMenu, item);
            }
        }
        InsertMenuItemA(Menu, position++, TRUE, &info);
    }
}

void TPopupMenu::Popup(int X, int Y) {
    if (gPopupActive)
        return;
    TPopupGuard guard;
    if (OnPopup)
        OnPopup(this);
    UINT command = 0;
    HMENU menu = BuildMenu();
    HWND owner = nullptr;
    try {
        owner = CreateUtilityWindow(TWndMethod(this, &TPopupMenu::OwnerProc));
    } catch (...) {
        DestroyMenu(menu);
        throw;
    }
    handle_ = menu;
    owner_ = owner;
    UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
    flags |= Alignment == paRight    ? TPM_RIGHTALIGN
             : Alignment == paCenter ? TPM_CENTERALIGN
                                     : TPM_LEFTALIGN;
    command = static_cast<UINT>(TrackPopupMenu(menu, flags, X, Y, 0, owner, nullptr));
    handle_ = nullptr;
    owner_ = nullptr;
    DestroyUtilityWindow(owner);
    DestroyMenu(menu);
    // Looked up now: a handler run inside the menu loop may have freed it.
    if (command != 0)
        if (TMenuItem* item = TMenuItem::FindCommand(command)) {
            gPopupActive = false;
            item->Click();
        }
}

void TPopupMenu::OwnerProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (mis->CtlType == ODT_MENU && images_ != nullptr) {
            mis->itemWidth = static_cast<UINT>(images_->Width());
            mis->itemHeight = static_cast<UINT>(images_->Height());
            Message.Result = TRUE;
            return;
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (dis->CtlType == ODT_MENU && images_ != nullptr) {
            if (TMenuItem* item = TMenuItem::FindCommand(static_cast<UINT>(dis->itemID)))
                images_->Draw(dis->hDC, dis->rcItem.left, dis->rcItem.top, item->ImageIndex(),
                              (dis->itemState & ODS_GRAYED) == 0);
            Message.Result = TRUE;
            return;
        }
        break;
    }
    default:
        break;
    }
    if (owner_ != nullptr)
        Message.Result = DefWindowProcA(owner_, Message.Msg, Message.WParam, Message.LParam);
}
