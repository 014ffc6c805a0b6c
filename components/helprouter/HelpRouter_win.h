#pragma once

#include <windows.h>

#include <string>

#include "components/helprouter/HelpRouting.h"
#include "framework/core/Component.h"
#include "framework/core/Events.h"

// The compiled HTML help viewer's library, loaded on first use.
bool LoadHtmlHelp();
bool HtmlHelpLoaded() noexcept;
// Closes the viewer's windows, then frees the library.
void UnloadHtmlHelp();
bool HtmlHelpAvailable();
// The library loaded ("HHCTRL.OCX"; a stand-in for tests). Takes effect at the next load.
void SetHtmlHelpLibraryName(const std::string& Name);
// The viewer's entry point; 0 when it is not available.
HWND CallHtmlHelp(HWND Caller, const char* File, UINT Command, DWORD_PTR Data);

// Takes over the application's help requests and sends them to the HTML help viewer, the
// classic help engine or both. One may exist at a time.
class THelpRouter : public TComponent {
    FW_CLASS(THelpRouter, TComponent)
public:
    // A second router raises "Multiple instances of THelpRouter are not allowed".
    explicit THelpRouter(TComponent* AOwner);
    // Gives the application back the help handler it had before, whatever it was.
    ~THelpRouter() override;

    THelpType HelpType = htWinhelp;
    TShowType ShowType = stDefault;
    // Without a folder: the program's folder.
    std::string Helpfile;
    std::string CHMPopupTopics = "CSHelp.txt";
    bool ValidateID = false;
    THelpEvent OnHelp;

    // The table of contents (HELP_TAB with data 0).
    void ShowHelpContents();
    bool HelpHandler(std::uint16_t Command, std::intptr_t Data, bool& CallHelp);
    // A text popup at (X, Y): Text, or (Text nullptr) topic Context of the popup topics.
    bool ShowTextPopup(int X, int Y, const char* Text, int Context);
    std::string CurrentHelpFile() const;
    static THelpRouter* Instance() noexcept;

    // The classic engine's entry (WinHelpA), replaceable for tests.
    using TWinHelpFn = BOOL(WINAPI*)(HWND, LPCSTR, UINT, ULONG_PTR);
    static void SetWinHelp(TWinHelpFn Fn) noexcept;

private:
    HWND CallerWindow() const;
    THelpEvent savedHandler_;
    THelpPoint popupPos_;
};
