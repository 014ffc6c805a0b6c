// The manager window's life: creation, settings, hot keys, the band link and the exit routine.
#include <objbase.h>

#include "components/trayicon/TrayIcon_win.h"
#include "desktops/RegistrySettingsStore_win.h"
#include "desktops/Win32WindowSystem_win.h"
#include "desktops/WindowCommands.h"
#include "framework/controls/Action.h"
#include "framework/controls/Button_win.h"
#include "framework/controls/CheckBox_win.h"
#include "framework/controls/ComboBox_win.h"
#include "framework/controls/HotKey_win.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/controls/PopupMenu_win.h"
#include "framework/controls/RadioGroup_win.h"
#include "framework/controls/TreeView_win.h"
#include "framework/core/Registry_win.h"
#include "framework/core/SysUtils.h"
#include "framework/gui/Application_win.h"
#include "manager_ui/DeskBandHelpDlg_win.h"
#include "manager_ui/Form1_win.h"

#include "controls/TkComCtrls_win.h"

namespace {

// The shell's desktop object, through which wallpapers are applied.
const CLSID kClsidActiveDesktop = {
    0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
const IID kIidActiveDesktop = {
    0xF490EB00, 0x1240, 0x11D1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};

void TrimWorkingSet() {
    if (Win32Platform() == 2)
        SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1),
                                 static_cast<SIZE_T>(-1));
}

}  // namespace

void TForm1::CreateWnd() {
    TForm::CreateWnd();
    SetupWindowStyle();
}

void TForm1::SetupWindowStyle() {
    HWND application = Application->Handle();
    if (application == nullptr)
        return;
    LONG_PTR style = GetWindowLongPtrA(application, GWL_EXSTYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    SetWindowLongPtrA(application, GWL_EXSTYLE, style);
}

void TForm1::BindMessages() {
    SetMessageHandler(WM_HOTKEY, TMessageHandler(this, &TForm1::WMHotKey));
    for (UINT n = 0; n < 4; ++n)
        SetMessageHandler(WM_SWITCHDESK1 + n, TMessageHandler(this, &TForm1::WMSwitchDesk));
    SetMessageHandler(WM_BANDHANDLE, TMessageHandler(this, &TForm1::WMBandHandle));
    Application->OnEndSession = TNotifyEvent(this, &TForm1::EndSession);
}

void TForm1::FormCreate(TObject*) {
    settings_ = TSettingsValues{};
    engine_->ActiveDesk = 0;
    engine_->NumDesks = 4;
    // A missing desktop object only takes away the shell's way of setting wallpapers; the
    // program must still start, so the failure is not raised.
    if (FAILED(CoCreateInstance(kClsidActiveDesktop, nullptr, CLSCTX_INPROC_SERVER,
                                kIidActiveDesktop, reinterpret_cast<void**>(&shellActiveDesktop_))))
        shellActiveDesktop_ = nullptr;
    engine_->ProgmanWnd = windowSystem_->ShellDesktopWindow();
    LoadSettings();
    SetOKButtonsEnabled(false);
    if (TTreeNode* root = RootNode())
        root->Expand(false);
    engine_->RefreshListWins();
    engine_->SwitchAllowed = true;
    TrimWorkingSet();
    // The hot-key control draws itself through the system and shows nothing through a buffer.
    for (int i = 0; i < ComponentCount(); ++i) {
        auto* control = dynamic_cast<TWinControl*>(Components(i));
        if (control != nullptr && control != ShowHideKey)
            control->DoubleBuffered = true;
    }
    if (settings_.ShowDeskbandHelp && settings_.TBHandle == 0)
        ShowBandHelp(true);
}

void TForm1::ShowBandHelp(bool withReminder) {
    auto* dialog = Create<TDeskBandHelpDlg>(Application);
    if (!withReminder)
        dialog->DeskBandHelpRemind->SetVisible(false);
    EnableWindow(Handle(), FALSE);
    try {
        const TModalResult result = dialog->ShowModal();
        if (withReminder && result == mrOk && dialog->DeskBandHelpRemind->Checked()) {
            try {
                TRegistrySettingsStore store;
                if (store.OpenKey(kSettingsKey, TSettingsStore::TAccess::WriteCreate)) {
                    store.WriteString("ShowDeskbandHelp", "FALSE");
                    store.CloseKey();
                }
            } catch (...) {
                // Not stored: the dialog comes back at the next start, but not in this run.
            }
            settings_.ShowDeskbandHelp = false;
        }
    } catch (...) {
        dialog->Free();
        EnableWindow(Handle(), TRUE);
        throw;
    }
    dialog->Free();
    EnableWindow(Handle(), TRUE);
}

void TForm1::LoadSettings() {
    TRegistrySettingsStore store;
    ReadSettings(store, Application->ExeName(), settings_);
    // The stored handle may be stale (the shell ended without the band saying so) or written by
    // anyone: it counts only while it names a band window.
    settings_.TBHandle = ValidBandHandle(settings_.TBHandle);
    // The controls first: the hot keys are registered from them.
    RestoreSettings();
    SetHotKeys();
    if (settings_.NumDesks != 4)
        ChangeDesktopNum(4, settings_.NumDesks);
    engine_->NumDesks = settings_.NumDesks;
    SetTrayPopupMenu(!settings_.ShowTreeOnRightClick);
    LoadWallpaper();
    ApplyWallpaper(0);
    if (settings_.TBHandle != 0) {
        PostToBand(WM_SHOWBAND, 0);
        PostToBand(WM_ACTIVEDESK1, 0);
    }
    DeskbandMenu->SetChecked(settings_.TBHandle != 0);
}

void TForm1::SetHotKeys() {
    const int scheme = Combo_SwitchKey->ItemIndex();
    const int count = CB_NumDesks->ItemIndex() + 2;
    RegisterHotKeys(*this, scheme, count, ShowHideKey->HotKey());
    for (int desk = 1; desk <= 4; ++desk)
        DeskAct[desk - 1]->SetShortCut(TextToShortCut(DeskActionShortCutText(scheme, desk)));
    TTreeNode* root = RootNode();
    for (int i = 0; root != nullptr && i < count && i < root->Count(); ++i)
        root->Item(i)->SetText(DeskNodeCaption(scheme, i + 1));
}

bool TForm1::Register(int id, unsigned modifiers, unsigned key) {
    return RegisterHotKey(Handle(), id, modifiers, key) != FALSE;
}

void TForm1::Unregister(int id) {
    if (HandleAllocated())
        UnregisterHotKey(Handle(), id);
}

void TForm1::WMHotKey(TMessage& Message) {
    const HWND front = GetForegroundWindow();
    const bool inFront = front == Application->Handle() || (HandleAllocated() && front == Handle());
    const THotKeyDecision decision =
        DecideHotKey(static_cast<int>(Message.WParam), engine_->SwitchAllowed, engine_->ActiveDesk,
                     engine_->NumDesks, Visible(), inFront);
    switch (decision.command) {
    case THotKeyCommand::Switch:
        engine_->MainProc(decision.desk);
        break;
    case THotKeyCommand::HideManager:
        Hide();
        break;
    case THotKeyCommand::ShowManager:
        Show();
        BringApplicationToFront();
        break;
    case THotKeyCommand::BringToFront:
        BringApplicationToFront();
        break;
    case THotKeyCommand::None:
        break;
    }
    Message.Result = 0;
}

void TForm1::WMSwitchDesk(TMessage& Message) {
    const int desk = static_cast<int>(Message.Msg - WM_SWITCHDESK1);
    if (SwitchRequestAllowed(desk, engine_->ActiveDesk, engine_->NumDesks, engine_->SwitchAllowed))
        engine_->MainProc(desk);
    Message.Result = 0;
}

void TForm1::WMBandHandle(TMessage& Message) {
    // Any program can post this: a handle counts only while it names a band window.
    settings_.TBHandle =
        ValidBandHandle(static_cast<TWindowHandle>(static_cast<std::uintptr_t>(Message.WParam)));
    if (settings_.TBHandle != 0)
        PostActiveDesk(engine_->ActiveDesk);
    DeskbandMenu->SetChecked(settings_.TBHandle != 0);
    Message.Result = 0;
}

void TForm1::WndProc(TMessage& Message) {
    // Minimise and close only hide the window: the program lives on in the notification area.
    // The system may set the command's low four bits (a double click on the system menu does).
    const WPARAM command = Message.WParam & 0xFFF0;
    if (Message.Msg == WM_SYSCOMMAND && (command == SC_MINIMIZE || command == SC_CLOSE)) {
        ActionCancel();
        Message.Result = 0;
        return;
    }
    // While the user moves or sizes the window the pages stay put; they fill it again after.
    if ((Message.Msg == WM_ENTERSIZEMOVE || Message.Msg == WM_EXITSIZEMOVE) &&
        PageControl1 != nullptr)
        PageControl1->SetAlign(Message.Msg == WM_ENTERSIZEMOVE ? alNone : alClient);
    TForm::WndProc(Message);
}

bool TForm1::BandKnown() {
    // The shell can end without the band announcing it, and the handle value then passes to
    // some other window: it is checked again before every use, and a gone band is no band.
    if (settings_.TBHandle != 0 && ValidBandHandle(settings_.TBHandle) == 0) {
        settings_.TBHandle = 0;
        DeskbandMenu->SetChecked(false);
    }
    return settings_.TBHandle != 0;
}

void TForm1::PostToBand(UINT message, WPARAM wParam) {
    if (BandKnown())
        PostMessageA(TWin32WindowSystem::ToHwnd(settings_.TBHandle), message, wParam, 0);
}

void TForm1::PostSetNumDesks(int count) {
    PostToBand(WM_SETNUMDESKS, static_cast<WPARAM>(count));
}

void TForm1::SetTrayPopupMenu(bool on) {
    QxTrayIcon1->SetPopupMenu(on ? PopupMenu1 : nullptr);
}

void TForm1::DeskbandMenuClick(TObject*) {
    if (BandKnown()) {
        PostToBand(DeskbandMenu->Checked() ? WM_HIDEBAND : WM_SHOWBAND, 0);
        DeskbandMenu->SetChecked(!DeskbandMenu->Checked());
        return;
    }
    DeskbandMenu->SetChecked(false);
    ShowBandHelp(false);
}

// ---- The Settings page ----

TSettingsControls TForm1::ReadControls() const {
    TSettingsControls c;
    c.SwitchScheme = Combo_SwitchKey->ItemIndex();
    c.ShowHideKey = ShowHideKey->HotKey();
    c.NumDesksIndex = CB_NumDesks->ItemIndex();
    c.StartWithWin = StartWithWin->Checked();
    c.RightClickAct = RightClickAct->ItemIndex();
    return c;
}

void TForm1::SetOKButtonsEnabled(bool enabled) {
    BtnOK->SetEnabled(enabled);
    BtnOKWP->SetEnabled(enabled);
}

void TForm1::PrefsChanged(TObject*) {
    SetOKButtonsEnabled(true);
}

void TForm1::RightClickActClick(TObject*) {
    SetOKButtonsEnabled(true);
}

void TForm1::BtnOKClick(TObject*) {
    SetOKButtonsEnabled(false);
    TRegistrySettingsStore store;
    try {
        SaveSettings(store, *this, ReadControls(), Application->ExeName(), settings_);
    } catch (...) {
        engine_->NumDesks = settings_.NumDesks;
        // Half-applied changes stay in the controls; OK must be able to try again.
        SetOKButtonsEnabled(true);
        throw;
    }
    engine_->NumDesks = settings_.NumDesks;
    SaveWallpaper();
}

void TForm1::BtnCancelClick(TObject*) {
    ActionCancel();
}

void TForm1::ActionCancel() {
    Hide();
    // Pictures picked without OK go back to the stored ones.
    if (WallpaperPageState().Edited) {
        LoadWallpaper();
        WallpaperPageState().Edited = false;
    }
    TrimWorkingSet();
}

void TForm1::RestoreSettings() {
    Combo_SwitchKey->SetItemIndex(settings_.SwitchHotKey);
    ShowHideKey->SetHotKey(settings_.AppHotKey);
    CB_NumDesks->SetItemIndex(settings_.NumDesks - 2);
    StartWithWin->SetChecked(settings_.RunAtStartup);
    RightClickAct->SetItemIndex(settings_.ShowTreeOnRightClick ? 0 : 1);
    SetOKButtonsEnabled(false);
}

// ---- Exit ----

void TForm1::Exit1Click(TObject*) {
    ActionExit();
}

void TForm1::ActionExit() {
    ExitSteps();
    Application->Terminate();
}

void TForm1::ExitSteps() {
    UnregisterHotKeys(*this);
    // The help viewer's windows go with the program (a quit request loads nothing when no help
    // was shown).
    Application->HelpCommand(2 /* HELP_QUIT */, 0);
    // Shows the other desktops, then whatever else the engine still holds hidden.
    engine_->ExitShowWindows();
    if (settings_.TBHandle != 0)
        PostToBand(WM_HIDEBAND, 0);
}

void TForm1::RestoreOnAbnormalEnd() noexcept {
    if (abnormalEndDone_)
        return;
    abnormalEndDone_ = true;
    try {
        ExitSteps();
    } catch (...) {
        // A step failed half way: the windows still come back.
        try {
            engine_->RestoreHiddenWindows();
        } catch (...) {
        }
    }
}

void TForm1::EndSession(TObject*) {
    // The system may end the process as soon as this returns: the windows come back first.
    RestoreOnAbnormalEnd();
    Application->Terminate();
}
