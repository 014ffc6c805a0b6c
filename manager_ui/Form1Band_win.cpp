// The band's window list: the menu of a desktop's windows that the band asks for, and what
// choosing one of them does.
#include "desktops/Win32WindowSystem_win.h"
#include "desktops/WindowCommands.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/gui/Application_win.h"
#include "manager_ui/Form1_win.h"
#include "manager_ui/MenuItemExtended_win.h"
#include "manager_ui/WindowIcons_win.h"

void TForm1::BindBandMenuMessages() {
    TBImg = Create<TTreeImageList>(this);
    TBImg->SetName("TBImg");
    TBPopupMenu = Create<TTreePopup>(this);
    TBPopupMenu->SetName("TBPopupMenu");
    TBPopupMenu->AutoPopup = false;
    TBPopupMenu->SetImages(TBImg);
    for (UINT n = 0; n < 4; ++n)
        SetMessageHandler(WM_DESKMENU1 + n, TMessageHandler(this, &TForm1::WMDeskMenu));
}

void TForm1::CreateTBPopupMenu(int n) {
    const int desk = n - 1;
    TBPopupMenu->Items()->Clear();
    TBImg->Clear();
    if (desk < 0 || desk > 3)
        return;
    if (desk == engine_->ActiveDesk)
        engine_->RefreshListWins();
    const std::vector<TWindowHandle> windows =
        TopWindowsOf(engine_->DeskWins[static_cast<std::size_t>(desk)], *windowSystem_);
    if (windows.empty()) {
        auto* item = Create<TMenuItemExtended>(TBPopupMenu);
        item->SetCaption("<There are no windows on this desktop>");
        item->DesktopInd = desk;
        TBPopupMenu->Items()->Add(item);
        return;
    }
    for (TWindowHandle window : windows) {
        const HWND hwnd = TWin32WindowSystem::ToHwnd(window);
        const std::string title = WindowTitle(hwnd);
        if (title.empty())
            continue;
        auto* item = Create<TMenuItemExtended>(TBPopupMenu);
        item->SetCaption(title);
        item->SetTag(static_cast<std::intptr_t>(window));
        item->DesktopInd = desk;
        item->OnClick = TNotifyEvent(this, &TForm1::TBPopupMenuClick);
        // The index the list gave this icon; -1 (no image) when it had none or took none.
        item->SetImageIndex(AddBorrowedIcon(TBImg, GetAppIcon(hwnd)));
        TBPopupMenu->Items()->Add(item);
    }
}

void TForm1::WMDeskMenu(TMessage& Message) {
    Message.Result = 0;
    const int desk = DeskOfMessage(Message.Msg, WM_DESKMENU1);
    if (desk < 0)
        return;
    CreateTBPopupMenu(desk + 1);
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(Handle());
    TBPopupMenu->Popup(at.x, at.y);
    // The menu closes properly only once the window has had a message after it.
    PostMessageA(Handle(), WM_NULL, 0, 0);
}

void TForm1::TBPopupMenuClick(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItemExtended*>(Sender);
    if (item == nullptr)
        return;
    const auto window = static_cast<TWindowHandle>(item->Tag());
    const int desk = item->DesktopInd;
    if (desk == engine_->ActiveDesk) {
        const HWND hwnd = TWin32WindowSystem::ToHwnd(window);
        // Restoring a window that is not minimised would take it out of its maximised state.
        if (IsIconic(hwnd))
            ShowWindow(hwnd, SW_RESTORE);
        SetForegroundWindow(hwnd);
        if (Visible())
            BringApplicationToFront();
        return;
    }
    if (!SwitchRequestAllowed(desk, engine_->ActiveDesk, engine_->NumDesks, engine_->SwitchAllowed))
        return;
    engine_->DeskForegroundWin[static_cast<std::size_t>(desk)] = window;
    engine_->MainProc(desk);
}
