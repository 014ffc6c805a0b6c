#include "components/helprouter/HelpRouter_win.h"

#include "framework/core/Exceptions.h"
#include "framework/core/FileNames.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Form_win.h"
#include "framework/gui/Screen_win.h"

namespace {

using THtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

HMODULE gLibrary = nullptr;
THtmlHelpFn gEntry = nullptr;
std::string& LibraryName() {
    static std::string name = "HHCTRL.OCX";
    return name;
}
THelpRouter* gInstance = nullptr;
THelpRouter::TWinHelpFn gWinHelp = nullptr;

// The viewer's text-popup record.
struct THHPopup {
    int cbStruct;
    HINSTANCE hinst;
    UINT idString;
    LPCSTR pszText;
    POINT pt;
    COLORREF clrForeground;
    COLORREF clrBackground;
    RECT rcMargins;
    LPCSTR pszFont;
};

} // namespace

bool LoadHtmlHelp() {
    if (gLibrary == nullptr) {
        gEntry = nullptr;
        gLibrary = LoadLibraryA(LibraryName().c_str());
        if (gLibrary != nullptr)
            gEntry = reinterpret_cast<THtmlHelpFn>(
                reinterpret_cast<void*>(GetProcAddress(gLibrary, "HtmlHelpA")));
    }
    return gLibrary != nullptr;
}

bool HtmlHelpLoaded() noexcept {
    return gLibrary != nullptr;
}

void UnloadHtmlHelp() {
    if (gLibrary == nullptr)
        return;
    // Its windows would outlive their code otherwise.
    if (gEntry != nullptr)
        gEntry(nullptr, nullptr, help_commands::kCloseAll, 0);
    FreeLibrary(gLibrary);
    gLibrary = nullptr;
    gEntry = nullptr;
}

bool HtmlHelpAvailable() {
    if (gLibrary == nullptr)
        LoadHtmlHelp();
    return gEntry != nullptr;
}

void SetHtmlHelpLibraryName(const std::string& Name) {
    LibraryName() = Name;
}

HWND CallHtmlHelp(HWND Caller, const char* File, UINT Command, DWORD_PTR Data) {
    if (!HtmlHelpAvailable())
        return nullptr;
    return gEntry(Caller, File, Command, Data);
}

THelpRouter::THelpRouter(TComponent* AOwner) : TComponent(AOwner) {
    if (gInstance != nullptr)
        throw Exception("Multiple instances of THelpRouter are not allowed");
    savedHandler_ = Application->OnHelp;
    Application->OnHelp = THelpEvent(this, &THelpRouter::HelpHandler);
    gInstance = this;
}

THelpRouter::~THelpRouter() {
    if (gInstance != this)
        return;
    // Whatever was there before, "none" included: the application must never call a freed
    // router.
    Application->OnHelp = savedHandler_;
    gInstance = nullptr;
}

THelpRouter* THelpRouter::Instance() noexcept {
    return gInstance;
}

void THelpRouter::SetWinHelp(TWinHelpFn Fn) noexcept {
    gWinHelp = Fn;
}

void THelpRouter::ShowHelpContents() {
    Application->HelpCommand(help_commands::kTab, 0);
}

HWND THelpRouter::CallerWindow() const {
    TCustomForm* form = Screen->ActiveForm();
    if (form == nullptr)
        form = Screen->ActiveCustomForm();
    if (form == nullptr) {
        form = dynamic_cast<TCustomForm*>(Owner());
        if (form == nullptr)
            throw EInvalidCast("Invalid class typecast");
    }
    return form->HandleAllocated() ? form->Handle() : Application->Handle();
}

std::string THelpRouter::CurrentHelpFile() const {
    if (!Helpfile.empty())
        return ResolveHelpFile(Helpfile, ExtractFilePath(Application->ExeName()));
    std::string file = Application->HelpFile;
    TCustomForm* form = Screen->ActiveForm();
    if (form == nullptr)
        form = dynamic_cast<TCustomForm*>(Owner());
    if (form != nullptr && form->HandleAllocated() && !form->HelpFile.empty())
        file = form->HelpFile;
    return file;
}

bool THelpRouter::HelpHandler(std::uint16_t Command, std::intptr_t Data, bool& CallHelp) {
    bool result = false;
    if (OnHelp)
        result = OnHelp(Command, Data, CallHelp);
    if (CallHelp && savedHandler_)
        result = savedHandler_(Command, Data, CallHelp);
    if (!CallHelp)
        return result;

    THelpRequestState state;
    state.HelpType = HelpType;
    state.ShowType = ShowType;
    state.HelpFile = CurrentHelpFile();
    state.PopupTopics = CHMPopupTopics;
    state.ViewerLoaded = HtmlHelpLoaded();
    state.ViewerAvailable = &HtmlHelpAvailable;
    state.PopupPos = popupPos_;
    POINT cursor{};
    GetCursorPos(&cursor);
    const THelpAction a = RouteHelpRequest(state, Command, Data, {cursor.x, cursor.y});
    popupPos_ = state.PopupPos;
    CallHelp = a.CallHelp;
    switch (a.Kind) {
    case THelpAction::WinHelp: {
        TWinHelpFn winHelp = gWinHelp != nullptr ? gWinHelp : &WinHelpA;
        return winHelp(CallerWindow(), a.Path.c_str(), a.Command, static_cast<ULONG_PTR>(a.Data)) !=
               FALSE;
    }
    case THelpAction::Viewer:
        return CallHtmlHelp(nullptr, a.Path.empty() ? nullptr : a.Path.c_str(), a.ViewerCommand,
                            static_cast<DWORD_PTR>(a.Data)) != nullptr;
    case THelpAction::Popup:
        ShowTextPopup(a.PopupAt.X, a.PopupAt.Y, nullptr, static_cast<int>(a.Data));
        return true;
    case THelpAction::Fallback:
        return result;
    case THelpAction::None:
    default:
        return a.Result;
    }
}

bool THelpRouter::ShowTextPopup(int X, int Y, const char* Text, int Context) {
    if (!HtmlHelpAvailable())
        return false;
    THHPopup popup{};
    popup.cbStruct = sizeof(popup);
    popup.idString = Text == nullptr ? static_cast<UINT>(Context) : 0;
    popup.pszText = Text;
    popup.pt = {X, Y};
    popup.clrForeground = 0x1FFFFFFF;
    popup.clrBackground = 0x1FFFFFFF;
    popup.rcMargins = {-1, -1, -1, -1};
    popup.pszFont = "MS Sans Serif, 8";
    std::string source;
    if (popup.idString != 0) {
        if (CHMPopupTopics.empty())
            CHMPopupTopics = "CSHelp.txt";
        source = PopupSource(CurrentHelpFile(), CHMPopupTopics);
    }
    return CallHtmlHelp(CallerWindow(), source.empty() ? nullptr : source.c_str(),
                        help_commands::kDisplayTextPopup,
                        reinterpret_cast<DWORD_PTR>(&popup)) != nullptr;
}
