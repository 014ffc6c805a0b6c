// The program's help in Wine's own viewer: asked for the contents from another current
// directory, the viewer opens a window for the help file beside the program, and the quit
// request the program sends at exit closes it.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "components/helprouter/HelpRouter_win.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Form_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

struct TFound {
    DWORD process;
    HWND window = nullptr;
};

BOOL CALLBACK FindViewer(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<TFound*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    if (pid == found->process && IsWindowVisible(window) && std::string(name) == "HH Parent") {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

HWND ViewerWindow() {
    TFound found{GetCurrentProcessId()};
    EnumWindows(&FindViewer, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

class HelpViewerTest : public GuiTest {};

TEST_F(HelpViewerTest, TheContentsOpenAViewerWindowAndTheQuitClosesIt) {
    Application->Initialize();
    // The help file beside this program, as it ships beside Quorvane.exe.
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    folder = folder.substr(0, folder.find_last_of("\\/"));
    ASSERT_TRUE(CopyFileA(QUORVANE_CHM, (folder + "\\quorvane.chm").c_str(), FALSE));
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    ASSERT_TRUE(SetCurrentDirectoryA(temp));

    auto* form = Create<TForm>(Application);
    auto* router = Create<THelpRouter>(form);
    router->HelpType = htHTMLhelp;
    router->Helpfile = "quorvane.chm";
    router->ShowHelpContents();
    ASSERT_TRUE(PumpUntil([] { return ViewerWindow() != nullptr; }, 10000))
        << "no viewer window for the help file";
    char title[256] = {};
    GetWindowTextA(ViewerWindow(), title, sizeof(title));
    EXPECT_EQ(std::string(title), "Quorvane Help");

    Application->HelpCommand(2 /* HELP_QUIT */, 0);
    EXPECT_TRUE(PumpUntil([] { return ViewerWindow() == nullptr; }, 5000));
    router->Free();
    form->Free();
}

} // namespace
