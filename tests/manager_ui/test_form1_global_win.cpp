// The manager window in this process, over the real window system and registry: what the settings
// make of its tree, actions and menus, and what OK on the Settings page does.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "components/trayicon/TrayIcon_win.h"
#include "controls/TkComCtrls_win.h"
#include "controls/TkLinkLabel_win.h"
#include "controls/TkNavBar_win.h"
#include "framework/actionbars/ActionMainMenuBar_win.h"
#include "framework/controls/Action.h"
#include "framework/controls/Button_win.h"
#include "framework/controls/CheckBox_win.h"
#include "framework/controls/ComboBox_win.h"
#include "framework/controls/HotKey_win.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/controls/TreeView_win.h"
#include "framework/core/ShortCut.h"
#include "framework/gui/Application_win.h"
#include "manager_ui/Form1_win.h"
#include "tests/app/QuorvaneDriver_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/fixtures/WinFarmClient_win.h"

namespace {

using namespace quorvane_test;

// Runs the program's messages until Done answers true or the time runs out.
void ProcessUntil(const std::function<bool()>& Done, DWORD TimeoutMs) {
    const DWORD start = GetTickCount();
    while (!Done() && GetTickCount() - start < TimeoutMs) {
        Application->ProcessMessages();
        Sleep(5);
    }
}

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettings();
        PutSetting("ShowDeskbandHelp", "FALSE");
        Startup();
        Application->Initialize();
    }
    void TearDown() override {
        if (form != nullptr)
            form->Free();  // its exit routine shows every window again
        Shutdown();
        DeleteSettings();
    }
    void CreateForm() { form = Create<TForm1>(Application); }
    std::vector<std::string> DeskNodes() {
        std::vector<std::string> out;
        TTreeNode* root = form->TreeView1->Items()->Item(0);
        for (int i = 0; i < root->Count(); ++i)
            out.push_back(root->Item(i)->Text());
        return out;
    }
    TForm1* form = nullptr;
};

TEST_F(Form1Test, ThreeDesktopsWithTheCtrlFunctionKeyScheme) {
    PutSetting("NumDesks", "3");
    PutSetting("SwitchHotKey", "4");
    CreateForm();
    EXPECT_EQ(form->Engine().NumDesks, 3);
    EXPECT_EQ(DeskNodes(), (std::vector<std::string>{"Desktop 1 (Ctrl+F1)", "Desktop 2 (Ctrl+F2)",
                                                     "Desktop 3 (Ctrl+F3)"}));
    // The hidden desktop 4 keeps its shortcut text in the menus.
    EXPECT_EQ(ShortCutToText(form->DeskAct[3]->ShortCut()), "Ctrl+F4");
    EXPECT_FALSE(form->DeskAct[3]->Visible());
    EXPECT_FALSE(form->DeskAct[3]->Enabled());
    EXPECT_TRUE(form->DeskAct[2]->Visible());
    EXPECT_FALSE(form->TI_Desktop[3]->Visible());
    EXPECT_FALSE(form->MoveTo4Act->Visible());
    EXPECT_TRUE(form->MoveTo3Act->Visible());
    EXPECT_FALSE(form->BtnOK->Enabled());
}

TEST_F(Form1Test, OKWithFewerDesktopsStoresMovesAndTellsTheBand) {
    winfarm::Farm farm;
    FakeBand band;
    PutSetting("TBHandle", band.HandleText());
    CreateForm();
    EXPECT_EQ(form->TBHandle(), static_cast<TWindowHandle>(std::stoul(band.HandleText())));
    ASSERT_TRUE(winfarm::PumpUntil([&] { return band.Received(WM_SHOWBAND); }));

    form->Engine().MainProc(3);
    const HWND four = farm.Spawn("Four").Of("main")[0];
    form->Engine().MainProc(0);
    ASSERT_FALSE(IsWindowVisible(four));

    form->CB_NumDesks->SetItemIndex(1);
    form->BtnOK->SetEnabled(true);
    form->BtnOK->Click();
    EXPECT_EQ(GetSetting("NumDesks"), "3");
    EXPECT_EQ(form->Engine().NumDesks, 3);
    const TStringList& three = form->Engine().DeskWins[2];
    EXPECT_GE(three.IndexOf(HandleText(static_cast<TWindowHandle>(
                  reinterpret_cast<std::uintptr_t>(four)))),
              0)
        << "desktop 4's window goes to desktop 3";
    EXPECT_EQ(DeskNodes().size(), 3u);
    EXPECT_FALSE(form->BtnOK->Enabled());
    EXPECT_TRUE(winfarm::PumpUntil([&] { return band.Received((WM_SETNUMDESKS << 8) | 3); }));
}

TEST_F(Form1Test, OnlyABandWindowIsTakenForTheBand) {
    winfarm::Farm farm;
    const HWND stranger = farm.Spawn("Stranger").Of("main")[0];
    FakeBand band;
    CreateForm();
    auto announce = [&](HWND window) {
        SendMessageA(form->Handle(), WM_BANDHANDLE, reinterpret_cast<WPARAM>(window), 0);
    };
    announce(stranger);
    EXPECT_EQ(form->TBHandle(), 0u);
    EXPECT_FALSE(form->DeskbandMenu->Checked());
    form->Engine().MainProc(2);
    announce(band.Handle());
    EXPECT_NE(form->TBHandle(), 0u);
    EXPECT_TRUE(form->DeskbandMenu->Checked());
    EXPECT_TRUE(winfarm::PumpUntil([&] { return band.Received(WM_USER + 3); }))
        << "answered with the active desktop";
    announce(nullptr);
    EXPECT_EQ(form->TBHandle(), 0u);
    EXPECT_FALSE(form->DeskbandMenu->Checked());
}

TEST_F(Form1Test, NoTaskbarButtonForTheProgram) {
    CreateForm();
    const LONG_PTR style = GetWindowLongPtrA(Application->Handle(), GWL_EXSTYLE);
    EXPECT_NE(style & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(style & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), Application->Handle());
    EXPECT_FALSE(IsWindowVisible(form->Handle())) << "hidden at start";
}

std::string RunValue() {
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                     "Quorvane", RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return "<missing>";
    return buffer;
}

TEST_F(Form1Test, RunOnStartupWritesTheQuotedPathAndTakesItAway) {
    HKEY run = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &run, nullptr);
    RegDeleteValueA(run, "Quorvane");
    CreateForm();
    EXPECT_FALSE(form->StartWithWin->Checked());
    form->StartWithWin->SetChecked(true);
    EXPECT_TRUE(form->BtnOK->Enabled()) << "a change enables OK";
    form->BtnOK->Click();
    EXPECT_EQ(RunValue(), "\"" + Application->ExeName() + "\"");
    form->StartWithWin->SetChecked(false);
    form->BtnOK->Click();
    EXPECT_EQ(RunValue(), "<missing>");

    // A value naming the program elsewhere leaves the option unticked at the next start.
    const std::string moved = "\"C:\\Elsewhere\\Quorvane.exe\"";
    RegSetValueExA(run, "Quorvane", 0, REG_SZ, reinterpret_cast<const BYTE*>(moved.c_str()),
                   static_cast<DWORD>(moved.size() + 1));
    form->Free();
    form = nullptr;
    CreateForm();
    EXPECT_FALSE(form->StartWithWin->Checked());
    RegDeleteValueA(run, "Quorvane");
    RegCloseKey(run);
}


// The shell can end without the band announcing that it goes: the handle is checked again before
// each post, and a gone band counts as no band.
TEST_F(Form1Test, ABandThatWentWithoutSayingSoCountsAsNone) {
    auto band = std::make_unique<FakeBand>();
    PutSetting("TBHandle", band->HandleText());
    CreateForm();
    ASSERT_NE(form->TBHandle(), 0u);
    ASSERT_TRUE(form->DeskbandMenu->Checked());
    band.reset();
    form->Engine().MainProc(1);
    EXPECT_EQ(form->TBHandle(), 0u);
    EXPECT_FALSE(form->DeskbandMenu->Checked());
}

// The application outlives the manager window: a session end after the window is gone must not
// reach it.
TEST_F(Form1Test, TheSessionEndHandlerGoesWithTheWindow) {
    CreateForm();
    EXPECT_TRUE(static_cast<bool>(Application->OnEndSession));
    form->Free();
    form = nullptr;
    EXPECT_FALSE(static_cast<bool>(Application->OnEndSession));
}

TEST_F(Form1Test, EveryWindowedControlButTheHotKeyPaintsDoubleBuffered) {
    CreateForm();
    int windowed = 0;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* control = dynamic_cast<TWinControl*>(form->Components(i));
        if (control == nullptr)
            continue;
        ++windowed;
        SCOPED_TRACE(control->Name());
        EXPECT_EQ(control->DoubleBuffered, control != form->ShowHideKey);
    }
    EXPECT_GT(windowed, 10);
}

// Records the two last steps of opening the manager from the notification icon.
class TStepsForm : public TForm1 {
    FW_CLASS(TStepsForm, TForm1)
public:
    using TForm1::TForm1;
    std::vector<std::string> steps;
    void RefreshTree() override {
        steps.push_back("tree");
        TForm1::RefreshTree();
    }
    void BringApplicationToFront() override {
        steps.push_back("front");
        TForm1::BringApplicationToFront();
    }
};

TEST_F(Form1Test, ARightClickOpensTheTreeBroughtForwardFirst) {
    PutSetting("ShowTreeOnRightClick", "TRUE");
    auto* steps = Create<TStepsForm>(Application);
    form = steps;
    form->SetActivePage(2);
    form->QxTrayIcon1->OnClick(form->QxTrayIcon1, mbRight, {}, 0, 0);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(form->ActivePage(), 0);
    EXPECT_EQ(steps->steps, (std::vector<std::string>{"front", "tree"}));
}

// Cancel hides the window and applies nothing; the edits stay in the controls until the window is
// opened again from the notification menu, which shows the stored settings.
TEST_F(Form1Test, CancelKeepsTheEditsAndReopeningRestoresTheSettings) {
    CreateForm();
    form->Preferences1->Click();
    ASSERT_TRUE(IsWindowVisible(form->Handle()));
    form->CB_NumDesks->SetItemIndex(0);
    form->Combo_SwitchKey->SetItemIndex(3);
    form->BtnCancel->Click();
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(form->CB_NumDesks->ItemIndex(), 0);
    EXPECT_EQ(form->Combo_SwitchKey->ItemIndex(), 3);
    EXPECT_EQ(form->Engine().NumDesks, 4);
    EXPECT_EQ(GetSetting("NumDesks"), "<missing>");
    form->Preferences1->Click();
    EXPECT_EQ(form->CB_NumDesks->ItemIndex(), 2);
    EXPECT_EQ(form->Combo_SwitchKey->ItemIndex(), 0);
    EXPECT_FALSE(form->BtnOK->Enabled());
    EXPECT_EQ(form->ActivePage(), 1);
}

// Minimise and close only hide the window: no minimised frame, and the program lives on.
TEST_F(Form1Test, MinimiseAndCloseHideTheWindow) {
    CreateForm();
    // The low four bits of the command are the system's own and do not change it.
    for (WPARAM command :
         {WPARAM{SC_MINIMIZE}, WPARAM{SC_CLOSE}, WPARAM{SC_MINIMIZE | 2}, WPARAM{SC_CLOSE | 1}}) {
        SCOPED_TRACE(command);
        form->Desktops1->Click();
        ASSERT_TRUE(IsWindowVisible(form->Handle()));
        SendMessageA(form->Handle(), WM_SYSCOMMAND, command, 0);
        EXPECT_FALSE(IsWindowVisible(form->Handle()));
        EXPECT_FALSE(IsIconic(form->Handle()));
        EXPECT_FALSE(Application->Terminated());
    }
    // Maximise and restore do what they always do.
    form->Desktops1->Click();
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(form->Handle()));
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    // Sizing leaves the pages where they are until it ends.
    SendMessageA(form->Handle(), WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_EQ(form->PageControl1->Align(), alNone);
    SendMessageA(form->Handle(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(form->PageControl1->Align(), alClient);
}

// The side bar's four large buttons, clicked with the real mouse, show their pages.
TEST_F(Form1Test, TheSideBarButtonsShowTheirPages) {
    CreateForm();
    form->Desktops1->Click();
    ASSERT_TRUE(IsWindowVisible(form->Handle()));
    TTkNavBar* bar = form->TkNavBar1;
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Width(), 122);
    EXPECT_EQ(bar->PageButtonHeight(), 0);
    ASSERT_EQ(bar->Pages()->Count(), 1);
    ASSERT_EQ(bar->Pages()->Items(0)->Buttons()->Count(), 4);
    EXPECT_EQ(bar->LargeImages()->Width(), 48);
    EXPECT_EQ(bar->LargeImages()->Count(), 4);
    const char* captions[4] = {"Desktops", "Settings", "Wallpapers", "About"};
    for (int b : {3, 1, 2, 0}) {
        SCOPED_TRACE(b);
        EXPECT_EQ(bar->Pages()->Items(0)->Buttons()->Items(b)->Caption(), captions[b]);
        const TRect f = bar->GetButtonFrameRect(0, b);
        const TPoint at =
            bar->ClientToScreen(Point((f.Left + f.Right) / 2, (f.Top + f.Bottom) / 2));
        SetForegroundWindow(form->Handle());
        ASSERT_TRUE(mouse_input::Click({at.X, at.Y}));
        ProcessUntil([&] { return form->ActivePage() == b; }, 3000);
        EXPECT_EQ(form->ActivePage(), b);
    }
}

TEST_F(Form1Test, DISABLED_ShowcaseSideBar) {
    CreateForm();
    char page[8] = {};
    GetEnvironmentVariableA("SHOWCASE_PAGE", page, sizeof(page));
    switch (page[0]) {
    case '1':
        form->Preferences1->Click();
        break;
    case '2':
        form->Wallpapers1->Click();
        break;
    case '3':
        form->About1->Click();
        break;
    default:
        form->Desktops1->Click();
        break;
    }
    std::thread opener;
    if (GetEnvironmentVariableA("SHOWCASE_MENU", nullptr, 0) != 0) {
        RECT top{};
        GetMenuItemRect(form->Handle(), form->ActionMainMenuBar1->Handle(), 0, &top);
        opener = std::thread([top] {
            Sleep(1500);
            mouse_input::Click({(top.left + top.right) / 2, (top.top + top.bottom) / 2});
        });
    }
    ProcessUntil([] { return false; }, 60000);
    if (opener.joinable())
        opener.join();
}

// Records what the shell is asked to open.
class TLinkForm : public TForm1 {
    FW_CLASS(TLinkForm, TForm1)
public:
    using TForm1::TForm1;
    std::vector<std::pair<std::string, int>> opened;
    void ShellOpen(const std::string& Target, int ShowCommand) override {
        opened.emplace_back(Target, ShowCommand);
    }
};

// The About page's two links, clicked with the real mouse, open the mail address and the web
// page shown normally.
TEST_F(Form1Test, TheAboutPageLinksOpenMailAndWebPage) {
    auto* links = Create<TLinkForm>(Application);
    form = links;
    form->About1->Click();
    ASSERT_EQ(form->ActivePage(), 3);
    SetForegroundWindow(form->Handle());
    for (TTkLinkLabel* label : {form->TkLinkLabel2, form->TkLinkLabel3}) {
        ASSERT_NE(label, nullptr);
        ProcessUntil(
            [&] { return label->Tree() != nullptr && !label->Tree()->Root()->LinkRects.empty(); },
            3000);
        ASSERT_FALSE(label->Tree()->Root()->LinkRects.empty());
        const TRect r = label->Tree()->Root()->LinkRects[0];
        const TPoint o = label->Tree()->Root()->Origin;
        const TPoint at =
            label->ClientToScreen(Point(o.X + (r.Left + r.Right) / 2, o.Y + r.Top + 4));
        const std::size_t before = links->opened.size();
        ASSERT_TRUE(mouse_input::Click({at.X, at.Y}));
        ProcessUntil([&] { return links->opened.size() != before; }, 3000);
    }
    using Opened = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(links->opened, (Opened{{"mailto:quorvane@example.org", SW_SHOWNORMAL},
                                     {"https://quorvane.example.org/", SW_SHOWNORMAL}}));
    // The Web Page command goes the same way.
    form->WebPageAct->Execute();
    EXPECT_EQ(links->opened.back(),
              (std::pair<std::string, int>{"https://quorvane.example.org/", SW_SHOWNORMAL}));
}

// The menu bar under the real mouse: Desktop > Desktop 2 switches; Help holds the stored
// disabled Contents, the web page and About.
TEST_F(Form1Test, TheMenuBarRunsItsActions) {
    CreateForm();
    form->Desktops1->Click();
    HMENU bar = form->ActionMainMenuBar1->Handle();
    ASSERT_EQ(GetMenu(form->Handle()), bar);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_FALSE(form->HelpContents1->Enabled());
    EXPECT_EQ(form->HelpContents1->ShortCut(), TextToShortCut("F1"));
    RECT top{};
    ASSERT_TRUE(GetMenuItemRect(form->Handle(), bar, 0, &top));
    SetForegroundWindow(form->Handle());
    std::atomic<bool> done{false};
    std::thread mouse([&] {
        Sleep(300);
        mouse_input::Click({(top.left + top.right) / 2, (top.top + top.bottom) / 2});
        // Refresh, a line, then the four desktops: the fourth item is Desktop 2.
        RECT item{};
        for (int i = 0; i < 300 && !done; ++i) {
            HMENU sub = GetSubMenu(bar, 0);
            if (sub != nullptr && GetMenuItemCount(sub) == 8 &&
                GetMenuItemRect(nullptr, sub, 3, &item) && item.bottom > item.top)
                break;
            Sleep(10);
        }
        mouse_input::Click({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    });
    ProcessUntil([&] { return form->Engine().ActiveDesk == 1; }, 6000);
    done = true;
    mouse.join();
    EXPECT_EQ(form->Engine().ActiveDesk, 1);
}

}  // namespace
