#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "components/trayicon/QXConst_win.h"
#include "components/trayicon/QxUtils_win.h"
#include "components/trayicon/TrayIcon_win.h"
#include "components/trayicon/TrayText.h"
#include "framework/controls/PopupMenu_win.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Screen_win.h"
#include "framework/gui/UtilityWindow_win.h"
#include "tests/components/iconlist/IconTestSupport_win.h"
#include "tests/components/trayicon/TrayTestSupport_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

// Logs the component's events as short words: "downL", "clickR", "upM",
// "dbl", "move"; "+dbl" marks ssDouble.
struct TEventLog {
    std::vector<std::string> Words;
    std::vector<std::string> Errors;
    bool ThrowOnClick = false;
    TQxTrayIcon** FreeOnDown = nullptr;
    TQxTrayIcon** FreeOnMiddleDown = nullptr;

    static std::string Button(TMouseButton b) {
        return b == mbLeft ? "L" : b == mbRight ? "R" : "M";
    }
    static std::string Dbl(TShiftState s) { return s.Contains(ssDouble) ? "+dbl" : ""; }
    void Down(TObject*, TMouseButton b, TShiftState s, int, int) {
        Words.push_back("down" + Button(b) + Dbl(s));
        if (FreeOnDown != nullptr || (FreeOnMiddleDown != nullptr && b == mbMiddle))
            FreeAndNil(FreeOnDown != nullptr ? *FreeOnDown : *FreeOnMiddleDown);
    }
    void Up(TObject*, TMouseButton b, TShiftState s, int, int) {
        Words.push_back("up" + Button(b) + Dbl(s));
    }
    void Click(TObject*, TMouseButton b, TShiftState, int, int) {
        Words.push_back("click" + Button(b));
        if (ThrowOnClick)
            throw Exception("click failed");
    }
    void DblClick(TObject*) { Words.push_back("dbl"); }
    void Popup(TObject*) { Words.push_back("popup"); }
    void Item(TObject* s) { Words.push_back("item:" + static_cast<TMenuItem*>(s)->Caption()); }
    void Move(TObject*, TShiftState, int, int) { Words.push_back("move"); }
    void Error(TObject*, const std::exception_ptr& e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            Errors.push_back(x.what());
        }
    }
    std::string Text() const {
        std::string s;
        for (const auto& w : Words)
            s += (s.empty() ? "" : " ") + w;
        return s;
    }
    void Bind(TQxTrayIcon& tray) {
        tray.OnMouseDown = TMouseEvent(this, &TEventLog::Down);
        tray.OnMouseUp = TMouseEvent(this, &TEventLog::Up);
        tray.OnClick = TMouseEvent(this, &TEventLog::Click);
        tray.OnDblClick = TNotifyEvent(this, &TEventLog::DblClick);
        tray.OnMouseMove = TMouseMoveEvent(this, &TEventLog::Move);
    }
};

BOOL CALLBACK CountUtilityWindow(HWND w, LPARAM p) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, kUtilityWindowClass) == 0)
        ++*reinterpret_cast<int*>(p);
    return TRUE;
}

// The utility windows of this thread (the hidden windows of components).
int ThreadUtilityWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountUtilityWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

class TrayIconTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application->OnException = TExceptionEvent(&log, &TEventLog::Error);
        tray = new TQxTrayIcon(nullptr);
        log.Bind(*tray);
        icon.reset(SolidIcon(0xFF2060C0u));
    }
    void TearDown() override {
        FreeAndNil(tray);
        GuiTest::TearDown();
    }

    void Post(std::vector<UINT> lParams) {
        for (UINT l : lParams)
            PostMessageA(tray->WindowHandle(), kTrayCallbackMessage, 0, l);
        Application->ProcessMessages();
    }

    TShellRecorder shell;
    TEventLog log;
    TQxTrayIcon* tray = nullptr;
    std::unique_ptr<TIcon> icon;
};

TEST_F(TrayIconTest, PostedCallbacksGiveTheEventSequence) {
    tray->SetIcon(icon.get());
    ASSERT_TRUE(tray->IconAdded());
    const struct {
        const char* Name;
        std::vector<UINT> Messages;
        const char* Events;
    } cases[] = {
        {"left click", {0x201, 0x202}, "downL clickL upL"},
        {"left double click", {0x201, 0x202, 0x203, 0x202}, "downL clickL upL dbl downL+dbl upL"},
        {"right double click", {0x206}, "downR+dbl"},
        {"middle", {0x207, 0x208, 0x209}, "downM upM downM+dbl"},
        {"up without down", {0x202, 0x205}, "upL upR"},
        {"move", {0x200}, "move"},
        {"foreign values", {0, 0x100, 0x20A, 0xB054, 0xFFFFFFFF}, ""},
    };
    for (const auto& c : cases) {
        log.Words.clear();
        Post(c.Messages);
        EXPECT_EQ(log.Text(), c.Events) << c.Name;
    }
    // No popup menu: a right click reaches OnClick with mbRight.
    log.Words.clear();
    Post({0x204, 0x205});
    EXPECT_EQ(log.Text(), "downR clickR upR");
}

TEST_F(TrayIconTest, DisabledComponentFiresNothingAndKeepsItsFlags) {
    tray->SetIcon(icon.get());
    Post({0x201});
    EXPECT_TRUE(tray->ClickFlags().Contains(cfLeft));
    tray->SetEnabled(false);
    log.Words.clear();
    Post({0x202, 0x204, 0x203});
    EXPECT_EQ(log.Text(), "");
    EXPECT_EQ(tray->ClickFlags(), TTrayClickFlags{cfLeft});
    tray->SetEnabled(true);
    Post({0x202});
    EXPECT_EQ(log.Text(), "clickL upL");
}

TEST_F(TrayIconTest, HandlerErrorsGoToTheApplicationAndAFreedComponentStopsTheSequence) {
    tray->SetIcon(icon.get());
    log.ThrowOnClick = true;
    Post({0x201, 0x202, 0x200});
    EXPECT_EQ(log.Text(), "downL clickL move"); // MouseUp of the failed release is skipped
    ASSERT_EQ(log.Errors.size(), 1u);
    EXPECT_STREQ(log.Errors[0].c_str(), "click failed");

    log.Words.clear();
    log.FreeOnDown = &tray;
    HWND window = tray->WindowHandle();
    PostMessageA(window, kTrayCallbackMessage, 0, 0x201);
    Application->ProcessMessages();
    EXPECT_EQ(tray, nullptr);
    EXPECT_EQ(log.Text(), "downL");
    EXPECT_FALSE(IsWindow(window));
}

// The popup lets the application process its queue before the menu opens; a message in there
// that frees the component must end the right click there, without its OnClick.
TEST_F(TrayIconTest, ComponentFreedWhileThePopupPumpsMessagesFiresNoClick) {
    tray->SetIcon(icon.get());
    auto* menu = new TPopupMenu(nullptr);
    tray->SetPopupMenu(menu);
    log.FreeOnMiddleDown = &tray;
    HWND window = tray->WindowHandle();
    for (UINT l : {0x204u, 0x205u, 0x207u})
        PostMessageA(window, kTrayCallbackMessage, 0, l);
    Application->ProcessMessages();
    EXPECT_EQ(tray, nullptr);
    EXPECT_EQ(log.Text(), "downR downM") << "no click nor release after the component went";
    EXPECT_FALSE(IsWindow(window));
    menu->Free();
}

// Destruction marks the component as going before it turns the animation off, so the last
// record the shell gets is the delete, with no refresh of an icon about to vanish.
TEST_F(TrayIconTest, FreeingAnAnimatedIconSendsOnlyTheDelete) {
    TIconList frames;
    std::unique_ptr<TIcon> a(SolidIcon(0xFF111111u)), b(SolidIcon(0xFF222222u));
    frames.Add(a.get());
    frames.Add(b.get());
    tray->SetIcon(icon.get());
    tray->SetIcons(&frames);
    tray->SetInterval(60000);
    tray->SetAnimated(true);
    ASSERT_TRUE(tray->Animated());
    shell.Calls.clear();
    FreeAndNil(tray);
    EXPECT_EQ(shell.Messages(), "delete");
}

TEST_F(TrayIconTest, RecordHoldsSizeFlagsCallbackAndTheShortTip) {
    tray->SetHint(std::string(70, 'h'));
    EXPECT_EQ(shell.Messages(), "delete") << "no icon yet: the show stops after its hide";
    shell.Calls.clear();
    tray->SetIcon(icon.get());
    ASSERT_EQ(shell.Messages(), "delete add");
    const NOTIFYICONDATAA& d = shell.Calls[1].Data;
    EXPECT_EQ(d.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
#if !defined(_WIN64)
    EXPECT_EQ(d.cbSize, 88u);
#endif
    EXPECT_EQ(d.hWnd, tray->WindowHandle());
    EXPECT_EQ(d.uID, 0u);
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, 0xB054u);
    EXPECT_EQ(d.hIcon, tray->Icon()->Handle());
    EXPECT_EQ(shell.Calls[1].Tip(), std::string(63, 'h'));

    shell.Calls.clear();
    tray->SetHint("Desktop 2|the second desktop");
    ASSERT_EQ(shell.Messages(), "modify");
    EXPECT_EQ(shell.Calls[0].Tip(), "Desktop 2");
    shell.Calls.clear();
    tray->SetHint("Desktop 2|something else"); // same tip, new hint: still re-sent
    EXPECT_EQ(shell.Messages(), "modify");
    shell.Calls.clear();
    tray->SetHint("Desktop 2|something else");
    EXPECT_EQ(shell.Messages(), "");

    // An empty short hint: added, then modified.
    shell.Calls.clear();
    tray->SetHint("|only the long part");
    tray->SetActive(false);
    tray->SetActive(true);
    EXPECT_EQ(shell.Messages(), "modify delete delete add modify");
    EXPECT_EQ(shell.Calls.back().Tip(), "");
}

TEST_F(TrayIconTest, NothingShownUntilThereIsAnIconOrWhileLoading) {
    EXPECT_EQ(shell.Messages(), "");
    EXPECT_FALSE(tray->IconAdded());

    TComponent owner(nullptr);
    owner.BeginLoading();
    auto* loading = new TQxTrayIcon(&owner);
    loading->SetHint("Desktop 1");
    loading->SetIcon(icon.get());
    loading->SetActive(false);
    loading->SetActive(true);
    EXPECT_EQ(shell.Messages(), "") << "shown while loading";
    owner.EndLoading();
    EXPECT_EQ(shell.Messages(), "delete add");
    EXPECT_TRUE(loading->IconAdded());
    shell.Calls.clear();
    owner.DestroyComponents();
    EXPECT_EQ(shell.Messages(), "delete");
}

TEST_F(TrayIconTest, ActiveOffAndOnEmptyIconAndFailedAdd) {
    tray->SetIcon(icon.get());
    shell.Calls.clear();
    tray->SetActive(false);
    EXPECT_FALSE(tray->IconAdded());
    tray->SetIcon(icon.get()); // a change while inactive shows nothing
    EXPECT_FALSE(tray->IconAdded());
    tray->SetActive(true);
    EXPECT_TRUE(tray->IconAdded());
    EXPECT_EQ(shell.Messages(), "delete delete add modify") << "empty tip: modified after the add";

    shell.Calls.clear();
    tray->SetIcon(nullptr); // an empty icon takes it away
    EXPECT_EQ(shell.Messages(), "delete");
    EXPECT_FALSE(tray->IconAdded());

    shell.Result = FALSE; // the shell refuses: later refreshes try again
    tray->SetIcon(icon.get());
    EXPECT_FALSE(tray->IconAdded());
    shell.Result = TRUE;
    tray->SetHint("again");
    EXPECT_TRUE(tray->IconAdded());
}

TEST_F(TrayIconTest, TaskbarCreatedAddsTheIconAgain) {
    tray->SetIcon(icon.get());
    shell.Calls.clear();
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    // Broadcast as the shell does: the hidden top-level window must hear it.
    PostMessageA(HWND_BROADCAST, taskbarCreated, 0, 0);
    PumpUntil([&] { return shell.Messages() == "delete add modify"; }, 2000);
    EXPECT_EQ(shell.Messages(), "delete add modify");
    EXPECT_TRUE(tray->IconAdded());

    tray->SetActive(false);
    shell.Calls.clear();
    PostMessageA(tray->WindowHandle(), taskbarCreated, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(shell.Messages(), "") << "an inactive icon stays away";
}

TEST_F(TrayIconTest, AnimationTicksOnTheWindowTimerAndWraps) {
    TIconList frames;
    std::vector<std::unique_ptr<TIcon>> icons;
    for (std::uint32_t c : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}) {
        icons.emplace_back(SolidIcon(c));
        frames.Add(icons.back().get());
    }
    tray->SetAnimated(true);
    EXPECT_FALSE(tray->Animated()) << "no frames yet";
    tray->SetIcon(icon.get());
    tray->SetIcons(&frames);
    tray->SetInterval(10);
    tray->SetAnimated(true);
    ASSERT_TRUE(tray->Animated());
    EXPECT_TRUE(tray->AnimationTicking());
    EXPECT_EQ(tray->CurrentIcon(), tray->Icons()->Get(0));

    shell.Calls.clear();
    ASSERT_TRUE(PumpUntil([&] { return shell.Calls.size() >= 4; }, 3000));
    std::vector<HICON> shown;
    for (const auto& c : shell.Calls)
        shown.push_back(c.Data.hIcon);
    EXPECT_EQ(shown[0], tray->Icons()->Get(1)->Handle());
    EXPECT_EQ(shown[1], tray->Icons()->Get(2)->Handle());
    EXPECT_EQ(shown[2], tray->Icons()->Get(0)->Handle()) << "wraps";

    // Hidden: no timer; shown again: ticking again.
    tray->SetActive(false);
    EXPECT_FALSE(tray->AnimationTicking());
    tray->SetActive(true);
    EXPECT_TRUE(tray->AnimationTicking());

    // The list shrinks under a high index: the last entry until the next tick.
    tray->SetInterval(60000);
    while (tray->FrameIndex() != 2)
        tray->NextFrame();
    tray->Icons()->Delete(2);
    tray->Icons()->Delete(1);
    EXPECT_EQ(tray->CurrentIcon(), tray->Icons()->Get(0));
    EXPECT_EQ(tray->FrameIndex(), 2);
    tray->NextFrame();
    EXPECT_EQ(tray->FrameIndex(), 0);

    tray->Icons()->Clear();
    EXPECT_FALSE(tray->Animated()) << "emptied list";
    EXPECT_FALSE(tray->AnimationTicking());
    EXPECT_EQ(tray->CurrentIcon(), tray->Icon());
}

TEST_F(TrayIconTest, HundredDestroysWhileAnimated) {
    TIconList frames;
    std::unique_ptr<TIcon> a(SolidIcon(0xFF111111u)), b(SolidIcon(0xFF222222u));
    frames.Add(a.get());
    frames.Add(b.get());
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const int windowsBefore = ThreadUtilityWindows();
    for (int i = 0; i < 100; ++i) {
        auto* t = new TQxTrayIcon(nullptr);
        t->SetIcon(icon.get());
        t->SetIcons(&frames);
        t->SetInterval(1);
        t->SetAnimated(true);
        HWND w = t->WindowHandle();
        PostMessageA(w, kTrayCallbackMessage, 0, 0x201);
        if (i % 10 == 0)
            PumpFor(5);
        t->Free();
        ASSERT_FALSE(IsWindow(w));
        Application->ProcessMessages(); // a tick or callback left in the queue finds no window
    }
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore + 4);
    EXPECT_EQ(ThreadUtilityWindows(), windowsBefore) << "hidden windows left behind";
    // The last record sent for each was its delete.
    EXPECT_EQ(shell.Calls.back().Message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIconTest, RightClickOpensTheMenuAndDoubleClickItsDefaultItem) {
    tray->SetIcon(icon.get());
    auto* menu = new TPopupMenu(nullptr);
    menu->OnPopup = TNotifyEvent(&log, &TEventLog::Popup);
    std::vector<TMenuItem*> items;
    for (const char* caption : {"Desktop 1", "Manager", "Exit"}) {
        auto* item = new TMenuItem(menu);
        item->SetCaption(caption);
        item->OnClick = TNotifyEvent(&log, &TEventLog::Item);
        menu->Items()->Add(item);
        items.push_back(item);
    }
    items[1]->SetDefault(true);
    tray->SetPopupMenu(menu);

    // The menu's own loop runs; a timer inside it sees it open and ends it.
    bool open = false;
    RunLater(150, [&] {
        open = TPopupMenu::IsPopupActive() && menu->Handle() != nullptr;
        EndMenu();
    });
    Post({0x204, 0x205});
    TimerAction() = nullptr;
    EXPECT_TRUE(open) << "the popup menu did not open";
    EXPECT_EQ(menu->PopupComponent, tray);
    EXPECT_EQ(log.Text(), "downR popup upR") << "OnClick stays silent when the menu showed";

    menu->AutoPopup = false;
    log.Words.clear();
    Post({0x204, 0x205});
    EXPECT_EQ(log.Text(), "downR clickR upR");

    // Double clicks: the first top-level item that is default and enabled.
    const struct {
        bool ManagerEnabled;
        bool ExitDefault;
        const char* Expected;
    } cases[] = {
        {true, false, "item:Manager downL+dbl"},
        {false, true, "item:Exit downL+dbl"},
        {false, false, "dbl downL+dbl"},
    };
    for (const auto& c : cases) {
        items[1]->SetEnabled(c.ManagerEnabled);
        items[2]->SetDefault(c.ExitDefault);
        log.Words.clear();
        Post({0x203});
        EXPECT_EQ(log.Text(), c.Expected);
    }

    menu->Free(); // the free notification drops the reference
    EXPECT_EQ(tray->PopupMenu(), nullptr);
    log.Words.clear();
    Post({0x204, 0x205});
    EXPECT_EQ(log.Text(), "downR clickR upR");
}

TEST_F(TrayIconTest, CursorsInstalledOnlyFromResourcesThatExist) {
    // The test program has no such resources: the slots keep answering the arrow.
    const HCURSOR arrow = Screen->Cursors(crQxHand);
    InstallQxCursors();
    EXPECT_EQ(Screen->Cursors(crQxHand), arrow);
    EXPECT_EQ(Screen->Cursors(crQxDrag), arrow);
    EXPECT_NE(arrow, nullptr);
}

TEST(BringWindowToFrontTest, DisabledInvisibleAndRestore) {
    HWND w = CreateWindowExA(0, "STATIC", "front", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(BringWindowToFront(w, false));
    EXPECT_FALSE(BringWindowToFront(w, true)) << "invisible";
    ShowWindow(w, SW_SHOWMINIMIZED);
    BringWindowToFront(w, true);
    EXPECT_FALSE(IsIconic(w)) << "restored";
    EnableWindow(w, FALSE);
    EXPECT_FALSE(BringWindowToFront(w, false));
    DestroyWindow(w);
}

// The real shell: the icon is accepted, its tip changes, and a callback
// posted to the hidden window reaches the click events. With
// QX_TRAY_HOLD_MS set the icon stays that long (for a screenshot).
TEST_F(TrayIconTest, RealNotificationArea) {
    shell.PassOn = true;
    tray->SetHint("Desktop 1");
    tray->SetIcon(icon.get());
    ASSERT_TRUE(tray->IconAdded()) << "the shell refused the icon";
    tray->SetHint("Desktop 2");
    EXPECT_EQ(shell.Calls.back().Message, static_cast<DWORD>(NIM_MODIFY));
    HWND found = FindWindowA(kUtilityWindowClass, TQxTrayIcon::kTrayWindowTitle);
    EXPECT_EQ(found, tray->WindowHandle());
    PostMessageA(found, kTrayCallbackMessage, 0, WM_LBUTTONDOWN);
    PostMessageA(found, kTrayCallbackMessage, 0, WM_LBUTTONUP);
    PumpUntil([&] { return log.Words.size() >= 3; }, 2000);
    EXPECT_EQ(log.Text(), "downL clickL upL");
    if (const char* hold = std::getenv("QX_TRAY_HOLD_MS"))
        PumpFor(static_cast<DWORD>(std::atoi(hold)));
}

// Where the taskbar draws the icon: the first pixel of its colour inside the
// taskbar window, found on the screen itself.
bool FindOnTaskbar(COLORREF colour, POINT& at) {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    RECT r{};
    if (taskbar == nullptr || !GetWindowRect(taskbar, &r))
        return false;
    HDC screen = GetDC(nullptr);
    bool found = false;
    for (int y = r.top; y < r.bottom && !found; ++y)
        for (int x = r.right - 1; x >= r.left && !found; --x)
            if (GetPixel(screen, x, y) == colour) {
                at = {x + 4, y + 4};
                found = true;
            }
    ReleaseDC(nullptr, screen);
    return found;
}

// Ends an open popup menu from inside its loop, whenever the shell's
// callback gets it open; counts the menus it ended.
int gMenusEnded = 0;
void CALLBACK EndOpenMenu(HWND, UINT, UINT_PTR, DWORD) {
    if (TPopupMenu::IsPopupActive()) {
        ++gMenusEnded;
        EndMenu();
    }
}

// A real click on the icon in the taskbar reaches the click events through
// the shell's own callback.
TEST_F(TrayIconTest, RealClickOnTheTaskbarIcon) {
    shell.PassOn = true;
    std::unique_ptr<TIcon> marked(SolidIcon(0xFF13579Bu));
    tray->SetHint("Desktop 1");
    tray->SetIcon(marked.get());
    ASSERT_TRUE(tray->IconAdded());
    POINT at{};
    ASSERT_TRUE(PumpUntil([&] { return FindOnTaskbar(RGB(0x13, 0x57, 0x9B), at); }, 3000))
        << "the icon is not drawn on the taskbar";
    mouse_input::Click(at);
    PumpUntil([&] { return log.Text().find("upL") != std::string::npos; }, 3000);
    EXPECT_NE(log.Text().find("downL clickL upL"), std::string::npos) << log.Text();

    // A real right click opens the popup menu, which a timer in its loop ends.
    auto* menu = new TPopupMenu(nullptr);
    menu->OnPopup = TNotifyEvent(&log, &TEventLog::Popup);
    auto* item = new TMenuItem(menu);
    item->SetCaption("Desktop 2");
    menu->Items()->Add(item);
    tray->SetPopupMenu(menu);
    log.Words.clear();
    gMenusEnded = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &EndOpenMenu);
    mouse_input::Click(at, mouse_input::Button::Right);
    PumpUntil([&] { return log.Text().find("upR") != std::string::npos; }, 3000);
    KillTimer(nullptr, timer);
    EXPECT_EQ(gMenusEnded, 1) << "the popup menu did not open";
    EXPECT_NE(log.Text().find("downR popup upR"), std::string::npos) << log.Text();
    menu->Free();
}

} // namespace
