// The help router through a stand-in viewer library that records its calls.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "components/helprouter/HelpRouter_win.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Form_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

struct TViewerCall {
    std::string file;
    UINT command;
    DWORD_PTR data;
    UINT popupId;
    POINT at;
};

class HelpRouterTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application->Initialize();
        SetHtmlHelpLibraryName(STUB_HHCTRL);
        ASSERT_TRUE(LoadHtmlHelp());
        stub_ = GetModuleHandleA("stub_hhctrl.dll");
        ASSERT_NE(stub_, nullptr);
        reset_ = reinterpret_cast<void(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(stub_, "StubReset")));
        count_ = reinterpret_cast<int(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(stub_, "StubCallCount")));
        call_ = reinterpret_cast<void(WINAPI*)(int, char*, int, UINT*, DWORD_PTR*, UINT*, POINT*)>(
            reinterpret_cast<void*>(GetProcAddress(stub_, "StubCall")));
        reset_();
        form = Create<TForm>(Application);
    }
    void TearDown() override {
        form->Free();
        THelpRouter::SetWinHelp(nullptr);
        GuiTest::TearDown();
    }
    std::vector<TViewerCall> Calls() {
        std::vector<TViewerCall> out;
        for (int i = 0; i < count_(); ++i) {
            char file[512] = {};
            TViewerCall c{};
            call_(i, file, sizeof(file), &c.command, &c.data, &c.popupId, &c.at);
            c.file = file;
            out.push_back(c);
        }
        reset_();
        return out;
    }
    static std::string ProgramFolder() {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string p = path;
        return p.substr(0, p.find_last_of("\\/"));
    }
    TForm* form = nullptr;
    HMODULE stub_ = nullptr;
    void(WINAPI* reset_)() = nullptr;
    int(WINAPI* count_)() = nullptr;
    void(WINAPI* call_)(int, char*, int, UINT*, DWORD_PTR*, UINT*, POINT*) = nullptr;
};

TEST_F(HelpRouterTest, EachRequestReachesTheViewerAsItShould) {
    auto* router = Create<THelpRouter>(form);
    router->HelpType = htHTMLhelp;
    router->Helpfile = "quorvane.chm";
    // Another current directory: the file is still the one beside the program.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    SetCurrentDirectoryA(temp);
    const std::string file = ProgramFolder() + "\\quorvane.chm";

    router->ShowHelpContents();
    Application->HelpCommand(help_commands::kTab, 1);
    Application->HelpCommand(help_commands::kContext, 42);
    Application->HelpCommand(help_commands::kSetPopupPos, (200 << 16) | 100);
    Application->HelpCommand(help_commands::kContextPopup, 7);
    Application->HelpCommand(help_commands::kQuit, 0);
    const std::vector<TViewerCall> calls = Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].file, file);
    EXPECT_EQ(calls[0].command, help_commands::kDisplayToc);
    EXPECT_EQ(calls[1].command, help_commands::kDisplayIndex);
    EXPECT_EQ(calls[2].command, help_commands::kHelpContext);
    EXPECT_EQ(calls[2].data, 42u);
    EXPECT_EQ(calls[3].command, help_commands::kDisplayTextPopup);
    EXPECT_EQ(calls[3].file, file + "::/CSHelp.txt");
    EXPECT_EQ(calls[3].popupId, 7u);
    EXPECT_EQ(calls[3].at.x, 100);
    EXPECT_EQ(calls[3].at.y, 200);
    EXPECT_EQ(calls[4].command, help_commands::kCloseAll);
    EXPECT_EQ(calls[4].file, "(none)");
    router->Free();
}

TEST_F(HelpRouterTest, OneRouterAtATimeAndTheHandlerGoesBack) {
    struct Before {
        int calls = 0;
        bool Help(std::uint16_t, std::intptr_t, bool& callHelp) {
            ++calls;
            callHelp = false;
            return true;
        }
    } before;
    // Without an earlier handler: none afterwards, not a freed router.
    auto* first = Create<THelpRouter>(form);
    EXPECT_EQ(THelpRouter::Instance(), first);
    EXPECT_THROW(Create<THelpRouter>(form), Exception);
    EXPECT_EQ(THelpRouter::Instance(), first);
    EXPECT_TRUE(Application->OnHelp);
    first->Free();
    EXPECT_FALSE(Application->OnHelp);
    EXPECT_EQ(THelpRouter::Instance(), nullptr);
    Application->HelpCommand(help_commands::kTab, 0);

    // With one: the router asks it first, and it is back afterwards.
    Application->OnHelp = THelpEvent(&before, &Before::Help);
    auto* second = Create<THelpRouter>(form);
    second->HelpType = htHTMLhelp;
    second->Helpfile = "x.chm";
    Application->HelpCommand(help_commands::kTab, 0);
    EXPECT_EQ(before.calls, 1);
    EXPECT_TRUE(Calls().empty()) << "the earlier handler took it";
    second->Free();
    EXPECT_TRUE(Application->OnHelp == THelpEvent(&before, &Before::Help));
    Application->OnHelp = nullptr;
}

BOOL WINAPI RecordWinHelp(HWND, LPCSTR file, UINT command, ULONG_PTR data);
std::vector<std::string> gWinHelp;
BOOL WINAPI RecordWinHelp(HWND, LPCSTR file, UINT command, ULONG_PTR data) {
    gWinHelp.push_back(std::string(file) + " " + std::to_string(command) + " " +
                       std::to_string(data));
    return TRUE;
}

TEST_F(HelpRouterTest, MixedModePopupsGoToTheClassicEngineAndTheFormsFileCounts) {
    THelpRouter::SetWinHelp(&RecordWinHelp);
    auto* router = Create<THelpRouter>(form);
    router->HelpType = htMixedMode;
    router->CHMPopupTopics = "popups.hlp";
    form->HelpFile = "C:\\help\\form.chm";
    form->Handle();
    Application->HelpFile = "C:\\help\\app.chm";
    gWinHelp.clear();
    Application->HelpCommand(help_commands::kContextPopup, 5);
    EXPECT_EQ(gWinHelp, (std::vector<std::string>{"C:\\help\\popups.hlp 8 5"}));
    Application->HelpCommand(help_commands::kTab, 0);
    const std::vector<TViewerCall> calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, "C:\\help\\form.chm");
    router->Free();
    Application->HelpFile.clear();
}

} // namespace
