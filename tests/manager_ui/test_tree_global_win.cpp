// The manager window's tree, tool bar and band window list over other programs' windows, driven
// by the real mouse and keyboard: drags between and within desktops, Escape, the popup and
// drop-down menus, the window commands, and the menu the band asks for.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "framework/controls/Action.h"
#include "framework/controls/ImageList_win.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/controls/ToolBar_win.h"
#include "framework/controls/TreeView_win.h"
#include "framework/gui/Application_win.h"
#include "manager_ui/Form1_win.h"
#include "manager_ui/MenuItemExtended_win.h"
#include "tests/app/QuorvaneDriver_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/fixtures/WinFarmClient_win.h"

namespace {

using namespace quorvane_test;

TWindowHandle H(HWND window) {
    return static_cast<TWindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

// Waits (on another thread) for a menu window and then types `keys` into it (by default Escape,
// which closes it); tells whether one came.
class MenuCloser {
public:
    explicit MenuCloser(int waitMs = 3000, std::vector<WORD> keys = {VK_ESCAPE})
        : keys_(std::move(keys)), thread_([this, waitMs] {
              for (int t = 0; t < waitMs && !seen_; t += 10) {
                  HWND menu = FindWindowA("#32768", nullptr);
                  if (menu != nullptr && IsWindowVisible(menu))
                      seen_ = true;
                  else
                      Sleep(10);
              }
              for (WORD key : keys_) {
                  if (!seen_)
                      break;
                  Sleep(150);
                  mouse_input::Key(key);
              }
              done_ = true;
          }) {}
    ~MenuCloser() { Join(); }
    bool Seen() {
        Join();
        return seen_;
    }
    bool Done() const { return done_; }

private:
    void Join() {
        if (thread_.joinable())
            thread_.join();
    }
    std::vector<WORD> keys_;
    bool seen_ = false;
    bool done_ = false;
    std::thread thread_;
};

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettings();
        PutSetting("ShowDeskbandHelp", "FALSE");
        Startup();
        Application->Initialize();
    }
    void TearDown() override {
        if (form != nullptr)
            form->Free();
        Shutdown();
        DeleteSettings();
    }
    void Open() {
        form = Create<TForm1>(Application);
        form->SetBounds(200, 100, 600, 460);
        form->ShowOnPage(0);
        SetForegroundWindow(form->Handle());
        winfarm::PumpUntil([] { return false; }, 200);
    }
    TTreeNode* NodeOf(HWND window, int desk) {
        TTreeNode* d = form->DeskNode(desk);
        for (int i = 0; d != nullptr && i < d->Count(); ++i)
            if (reinterpret_cast<std::uintptr_t>(d->Item(i)->Data) == H(window))
                return d->Item(i);
        return nullptr;
    }
    std::vector<std::string> Titles(int desk) {
        std::vector<std::string> out;
        TTreeNode* d = form->DeskNode(desk);
        for (int i = 0; d != nullptr && i < d->Count(); ++i)
            out.push_back(d->Item(i)->Text());
        return out;
    }
    POINT At(TTreeNode* node) {
        RECT r{};
        *reinterpret_cast<HTREEITEM*>(&r) = node->ItemId();
        SendMessageA(form->TreeView1->Handle(), TVM_GETITEMRECT, TRUE,
                     reinterpret_cast<LPARAM>(&r));
        const TPoint p =
            form->TreeView1->ClientToScreen(TPoint{r.left + 8, (r.top + r.bottom) / 2});
        return POINT{p.X, p.Y};
    }
    // Drags `node` onto the point `to` with the real mouse; Escape before the release if asked.
    void DragNode(TTreeNode* node, POINT to, bool escape = false) {
        const POINT from = At(node);
        bool done = false;
        std::thread mover([&] {
            mouse_input::Drag(from, to, 12, 30, false);
            if (escape)
                mouse_input::Key(VK_ESCAPE);
            Sleep(100);
            mouse_input::Release(to);
            done = true;
        });
        winfarm::PumpUntil([&] { return done && !form->TreeView1->Dragging(); }, 15000);
        mover.join();
        winfarm::PumpUntil([] { return false; }, 150);
    }
    // A real right click on `node`; `closer` deals with the menu it may open. A tree left waiting
    // for a release it never sees would hold this thread: after a while a further right click
    // frees it, and the test fails instead of hanging.
    void RightClick(TTreeNode* node, MenuCloser& closer) {
        const POINT at = At(node);
        ASSERT_TRUE(mouse_input::Click(at, mouse_input::Button::Right));
        std::atomic<bool> back{false};
        std::atomic<bool> rescued{false};
        std::thread watchdog([&] {
            for (int t = 0; t < 10000 && !back; t += 10)
                Sleep(10);
            if (!back) {
                rescued = true;
                mouse_input::Key(VK_ESCAPE);
                mouse_input::Click(POINT{at.x, at.y + 200}, mouse_input::Button::Right);
            }
        });
        winfarm::PumpUntil([&] { return closer.Done(); }, 8000);
        winfarm::PumpUntil([] { return false; }, 200);
        back = true;
        watchdog.join();
        EXPECT_FALSE(rescued) << "the tree kept the mouse after the right click";
    }
    std::vector<TWindowHandle> Desk(int desk) {
        std::vector<TWindowHandle> out;
        const TStringList& list = form->Engine().DeskWins[static_cast<std::size_t>(desk)];
        for (int i = 0; i < list.Count(); ++i)
            out.push_back(ParseHandle(list.Strings(i)));
        return out;
    }
    TForm1* form = nullptr;
};

TEST_F(TreeTest, WindowsWithIconsWithoutOwnedOrUntitledAndNewOnesAppear) {
    winfarm::Farm farm;
    const winfarm::Child a = farm.Spawn("Alpha", {.windows = 2, .owned = true, .untitled = true});
    Open();
    const auto titles = Titles(0);
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Alpha #1"), titles.end());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Alpha #2"), titles.end());
    EXPECT_EQ(std::find(titles.begin(), titles.end(), "Alpha dialog"), titles.end());
    int withImage = 0;
    TTreeNode* desk = form->DeskNode(0);
    for (int i = 0; i < desk->Count(); ++i)
        if (desk->Item(i)->ImageIndex() >= 0) {
            EXPECT_GE(desk->Item(i)->ImageIndex(), 5) << "behind the five fixed images";
            ++withImage;
        }
    EXPECT_EQ(form->TreeViewImg->Count(), 5 + withImage);
    ASSERT_NE(NodeOf(a.Of("main")[0], 0), nullptr);

    // A window opened since: the rebuild lists it; the selection survives.
    form->TreeView1->SetSelected(NodeOf(a.Of("main")[1], 0));
    const HWND later = farm.Spawn("Later").Of("main")[0];
    form->RefreshTree();
    EXPECT_NE(NodeOf(later, 0), nullptr);
    ASSERT_NE(form->TreeView1->Selected(), nullptr);
    EXPECT_EQ(form->TreeView1->Selected()->Text(), "Alpha #2");
    EXPECT_EQ(form->TreeViewImg->Count(), 5 + withImage + (NodeOf(later, 0)->ImageIndex() >= 0));
}

TEST_F(TreeTest, DraggingAWindowOntoAnotherDesktopMovesIt) {
    winfarm::Farm farm;
    const HWND w = farm.Spawn("Mover").Of("main")[0];
    Open();
    ASSERT_NE(NodeOf(w, 0), nullptr);
    DragNode(NodeOf(w, 0), At(form->DeskNode(1)));
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(Desk(1), (std::vector<TWindowHandle>{H(w)}));
    EXPECT_NE(NodeOf(w, 1), nullptr);
    EXPECT_EQ(NodeOf(w, 0), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    form->Engine().MainProc(1);
    EXPECT_TRUE(IsWindowVisible(w));
}

TEST_F(TreeTest, DraggingWithinADesktopReordersAndEscapeCancels) {
    winfarm::Farm farm;
    Open();
    // Desktop 2 holds three windows in a known order.
    form->Engine().MainProc(1);
    const winfarm::Child c = farm.Spawn("Order", {.windows = 3});
    const auto w = c.Of("main");
    form->Engine().RefreshListWins();
    form->Engine().DeskWins[1].Clear();
    for (HWND h : w)
        form->Engine().DeskWins[1].Add(HandleText(H(h)));
    form->RefreshTree();
    DragNode(NodeOf(w[0], 1), At(NodeOf(w[2], 1)));
    EXPECT_EQ(Desk(1), (std::vector<TWindowHandle>{H(w[1]), H(w[2]), H(w[0])}));
    EXPECT_EQ(Titles(1), (std::vector<std::string>{"Order #2", "Order #3", "Order #1"}));
    EXPECT_TRUE(winfarm::StackedTopFirst({w[0], w[2], w[1]})) << "restacked in list order";
    // Escape before the release: nothing changes.
    DragNode(NodeOf(w[1], 1), At(form->DeskNode(0)), true);
    EXPECT_EQ(Desk(1), (std::vector<TWindowHandle>{H(w[1]), H(w[2]), H(w[0])}));
    EXPECT_TRUE(IsWindowVisible(w[1]));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TreeTest, TheTreeMenuOffersOnlyExistingOtherDesktops) {
    PutSetting("NumDesks", "2");
    winfarm::Farm farm;
    const HWND w = farm.Spawn("Menu").Of("main")[0];
    Open();
    // Escape: the menu opened, offering only desktop 2, and closes with nothing done.
    {
        MenuCloser closer;
        RightClick(NodeOf(w, 0), closer);
        EXPECT_TRUE(closer.Seen());
    }
    const HWND menu = FindWindowA("#32768", nullptr);
    EXPECT_TRUE(menu == nullptr || !IsWindowVisible(menu)) << "the menu is closed";
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(form->SelDesk, 0);
    ASSERT_NE(NodeOf(w, 0), nullptr);
    EXPECT_EQ(form->TreeView1->Selected(), NodeOf(w, 0));
    TMenuItem* move = form->TreePopupMenu->Items()->Items(0);
    TMenuItem* copy = form->TreePopupMenu->Items()->Items(1);
    for (int d = 0; d < 4; ++d) {
        EXPECT_EQ(move->Items(d)->Visible(), d == 1) << "Move To desktop " << d + 1;
        EXPECT_EQ(copy->Items(d)->Visible(), d == 1) << "Add To desktop " << d + 1;
    }
    EXPECT_FALSE(form->RemoveAct->Enabled()) << "on one desktop only";
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(Desk(1).empty());
    // A right click on a desktop node selects it and opens nothing.
    {
        MenuCloser closer(800);
        RightClick(form->DeskNode(1), closer);
        EXPECT_FALSE(closer.Seen());
    }
    EXPECT_EQ(form->TreeView1->Selected(), form->DeskNode(1));
    // With two desktops, a move to desktop 3 does nothing, even when the action is run.
    form->TreeView1->SetSelected(NodeOf(w, 0));
    form->SelDesk = 0;
    form->MoveToAct[2]->Execute();
    form->CopyToAct[3]->Execute();
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(Desk(2).empty());
    EXPECT_TRUE(Desk(3).empty());
    // Move To > Desktop 2 chosen with the keyboard: the window goes to desktop 2.
    {
        MenuCloser closer(3000, {VK_DOWN, VK_RIGHT, VK_RETURN});
        RightClick(NodeOf(w, 0), closer);
        EXPECT_TRUE(closer.Seen());
    }
    winfarm::PumpUntil([&] { return NodeOf(w, 1) != nullptr; }, 2000);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(Desk(1), (std::vector<TWindowHandle>{H(w)}));
    EXPECT_NE(NodeOf(w, 1), nullptr);
    EXPECT_EQ(NodeOf(w, 0), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    // The tree still answers the mouse: another right click on it opens the menu again.
    {
        MenuCloser closer;
        RightClick(NodeOf(w, 1), closer);
        EXPECT_TRUE(closer.Seen());
    }
    EXPECT_EQ(form->SelDesk, 1);
    EXPECT_EQ(Desk(1), (std::vector<TWindowHandle>{H(w)}));
}

TEST_F(TreeTest, ToolBarAndMenuCommandsActOnRealWindows) {
    PutSetting("NumDesks", "2");
    winfarm::Farm farm;
    const winfarm::Child c = farm.Spawn("Cmd", {.windows = 3});
    const auto w = c.Of("main");
    Open();
    auto select = [&](HWND h, int desk) { form->TreeView1->SetSelected(NodeOf(h, desk)); };
    // Remove from its only desktop: nothing.
    select(w[0], 0);
    form->TB_Remove->Click();
    EXPECT_NE(NodeOf(w[0], 0), nullptr);
    EXPECT_TRUE(IsWindowVisible(w[0]));
    // Add to all (two desktops): desktop 2 only; then Remove takes it off desktop 1.
    form->TB_Favor->Click();
    EXPECT_EQ(Desk(1), (std::vector<TWindowHandle>{H(w[0])}));
    EXPECT_TRUE(Desk(2).empty());
    select(w[0], 0);
    form->TB_Remove->Click();
    EXPECT_FALSE(IsWindowVisible(w[0]));
    EXPECT_EQ(NodeOf(w[0], 0), nullptr);
    EXPECT_NE(NodeOf(w[0], 1), nullptr);
    // Move and Add To through the drop-down's actions.
    select(w[1], 0);
    form->MoveToPopupMenuPopup(form->MoveToPopupMenu);
    EXPECT_FALSE(form->MoveToPopupMenu->Items()->Items(4)->Visible());
    EXPECT_TRUE(form->MoveToPopupMenu->Items()->Items(1)->Visible());
    EXPECT_FALSE(form->MoveToPopupMenu->Items()->Items(2)->Visible());
    form->MoveToAct[1]->Execute();
    EXPECT_FALSE(IsWindowVisible(w[1]));
    EXPECT_NE(NodeOf(w[1], 1), nullptr);
    select(w[2], 0);
    form->CopyToPopupMenu->Items()->Items(1)->Click(); // as OnPopup left it: SelDesk 0
    EXPECT_TRUE(IsWindowVisible(w[2]));
    EXPECT_NE(NodeOf(w[2], 1), nullptr);
    EXPECT_NE(NodeOf(w[2], 0), nullptr);
    // No selection: the drop-down offers only its hint.
    form->TreeView1->SetSelected(nullptr);
    form->MoveToPopupMenuPopup(form->CopyToPopupMenu);
    for (int d = 0; d < 4; ++d)
        EXPECT_FALSE(form->CopyToPopupMenu->Items()->Items(d)->Visible());
    EXPECT_TRUE(form->CopyToPopupMenu->Items()->Items(4)->Visible());
    // Close Application: the window goes and leaves the tree.
    select(w[2], 0);
    form->CloseWinAct->Execute();
    EXPECT_FALSE(IsWindow(w[2]));
    EXPECT_EQ(NodeOf(w[2], 0), nullptr);
}

TEST_F(TreeTest, TheDropDownOpensItsMenuAndTheActiveDesktopButtonStaysDown) {
    Open();
    {
        MenuCloser closer;
        RECT r{};
        SendMessageA(form->ToolBar1->Handle(), TB_GETRECT, form->TB_MoveTo->CommandId(),
                     reinterpret_cast<LPARAM>(&r));
        POINT p{r.left + 8, (r.top + r.bottom) / 2};
        ClientToScreen(form->ToolBar1->Handle(), &p);
        ASSERT_TRUE(mouse_input::Click(p));
        winfarm::PumpUntil([&] { return closer.Done(); }, 5000);
        EXPECT_TRUE(closer.Seen());
    }
    EXPECT_TRUE(form->MoveToPopupMenu->Items()->Items(4)->Visible()) << "nothing selected";
    form->Engine().MainProc(1);
    EXPECT_TRUE(form->DeskButton[1]->Down());
    EXPECT_FALSE(form->DeskButton[0]->Down());
    // A click on the down button of the active desktop: it stays down and nothing switches.
    RECT r{};
    SendMessageA(form->ToolBar1->Handle(), TB_GETRECT, form->DeskButton[1]->CommandId(),
                 reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(form->ToolBar1->Handle(), &p);
    ASSERT_TRUE(mouse_input::Click(p));
    winfarm::PumpUntil([] { return false; }, 300);
    EXPECT_EQ(form->Engine().ActiveDesk, 1);
    EXPECT_TRUE(form->DeskButton[1]->Down());
}

// ---- The band's window list, in this process ----

enum class IconAnswer { Small, BigOnly, ClassOnly, None, Bogus, Slow };

HICON gSmall = nullptr, gBig = nullptr;

LRESULT CALLBACK IconProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETICON) {
        const auto answer = static_cast<IconAnswer>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        switch (answer) {
        case IconAnswer::Small:
            return reinterpret_cast<LRESULT>(wp == ICON_SMALL ? gSmall : nullptr);
        case IconAnswer::BigOnly:
            return reinterpret_cast<LRESULT>(wp == ICON_BIG ? gBig : nullptr);
        case IconAnswer::Bogus:
            return 0x5A5A5A;
        case IconAnswer::Slow:
            Sleep(1500);
            return 0;
        default:
            return 0;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Windows of this process answering WM_GETICON in given ways, made and pumped on a thread of
// their own, so that a send with time-out really waits for them.
class IconWindows {
public:
    struct Spec {
        std::string title;
        IconAnswer answer;
        bool classIcon = false;
        int ownerIndex = -1;
    };
    explicit IconWindows(std::vector<Spec> specs) : specs_(std::move(specs)) {
        thread_ = std::thread([this] { Run(); });
        while (!ready_)
            Sleep(5);
    }
    ~IconWindows() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND operator[](std::size_t i) const { return windows_[i]; }

private:
    void Run() {
        threadId_ = GetCurrentThreadId();
        gSmall = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_INFORMATION));
        gBig = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_QUESTION));
        WNDCLASSEXA plain{sizeof plain};
        plain.lpfnWndProc = IconProc;
        plain.hInstance = GetModuleHandleA(nullptr);
        plain.lpszClassName = "IconPlain";
        RegisterClassExA(&plain);
        WNDCLASSEXA withIcon = plain;
        withIcon.lpszClassName = "IconClass";
        withIcon.hIconSm = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WARNING));
        RegisterClassExA(&withIcon);
        for (const Spec& s : specs_) {
            HWND owner =
                s.ownerIndex >= 0 ? windows_[static_cast<std::size_t>(s.ownerIndex)] : nullptr;
            HWND h = CreateWindowExA(0, s.classIcon ? "IconClass" : "IconPlain", s.title.c_str(),
                                     WS_OVERLAPPEDWINDOW, 50, 50, 200, 100, owner, nullptr,
                                     plain.hInstance, nullptr);
            SetWindowLongPtrA(h, GWLP_USERDATA, static_cast<LONG_PTR>(s.answer));
            ShowWindow(h, SW_SHOWNOACTIVATE);
            windows_.push_back(h);
        }
        ready_ = true;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        for (HWND h : windows_)
            DestroyWindow(h);
    }
    std::vector<Spec> specs_;
    std::vector<HWND> windows_;
    std::thread thread_;
    DWORD threadId_ = 0;
    volatile bool ready_ = false;
};

TEST_F(TreeTest, TheBandWindowListHoldsTitledTopWindowsWithTheirOwnIcons) {
    Open();
    form->Engine().MainProc(1); // desktop 2 is filled by hand below
    IconWindows w({{"small", IconAnswer::Small},
                   {"big only", IconAnswer::BigOnly},
                   {"class only", IconAnswer::ClassOnly, true},
                   {"none", IconAnswer::None},
                   {"bogus", IconAnswer::Bogus},
                   {"dialog", IconAnswer::Small, false, 0},
                   {"", IconAnswer::Small},
                   {"slow", IconAnswer::Slow, true}});
    TStringList& list = form->Engine().DeskWins[2];
    list.Clear();
    for (std::size_t i = 0; i < 8; ++i)
        list.Add(HandleText(H(w[i])));
    const auto start = std::chrono::steady_clock::now();
    form->CreateTBPopupMenu(3);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_GE(ms, 900) << "the slow window is waited for";
    EXPECT_LT(ms, 1450) << "but only up to the time-out";
    TMenuItem* items = form->TBPopupMenu->Items();
    struct Expect {
        std::string caption;
        std::size_t window;
        int image;
    };
    // The images in the order their icons were added; none for "none" or the bogus handle.
    const Expect expected[] = {{"small", 0, 0}, {"big only", 1, 1}, {"class only", 2, 2},
                               {"none", 3, -1}, {"bogus", 4, -1},   {"slow", 7, 3}};
    ASSERT_EQ(items->Count(), 6);
    for (int i = 0; i < 6; ++i) {
        auto* item = dynamic_cast<TMenuItemExtended*>(items->Items(i));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Caption(), expected[i].caption);
        EXPECT_EQ(static_cast<TWindowHandle>(item->Tag()), H(w[expected[i].window]));
        EXPECT_EQ(item->DesktopInd, 2);
        EXPECT_EQ(item->ImageIndex(), expected[i].image) << expected[i].caption;
    }
    EXPECT_EQ(form->TBImg->Count(), 4);
    // An empty desktop.
    form->Engine().DeskWins[3].Clear();
    form->CreateTBPopupMenu(4);
    ASSERT_EQ(items->Count(), 1);
    EXPECT_EQ(items->Items(0)->Caption(), "<There are no windows on this desktop>");
    items->Items(0)->Click(); // does nothing
    EXPECT_EQ(form->Engine().ActiveDesk, 1);
}

} // namespace
