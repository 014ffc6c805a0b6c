#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "controls/actionbar/MenuAction.h"
#include "controls/actionbar/PopupActionBarEx_win.h"
#include "framework/actionbars/ActionMainMenuBar_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/graphics/Icon_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/fixtures/WinFarmClient_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

struct Recorder : TObject {
    std::vector<std::string> log;
    void Popped(TObject*) { log.push_back("popup"); }
    void Clicked(TObject* s) { log.push_back("click:" + static_cast<TMenuItem*>(s)->Caption()); }
    void Executed(TObject* s) { log.push_back("run:" + static_cast<TCustomAction*>(s)->Caption()); }
    // A submenu item's click fills its submenu, as the desktop menus do.
    void Fill(TObject* s) {
        auto* item = static_cast<TMenuItem*>(s);
        log.push_back("fill");
        item->Clear();
        auto* child = new TMenuItem(item->Owner());
        child->SetCaption("Desktop 2");
        child->OnClick = TNotifyEvent(this, &Recorder::Clicked);
        item->Add(child);
    }
};

// Presses and releases keys from inside this process (Alt alone, which the
// chord sender cannot send).
void Tap(WORD Key) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = Key;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// A 16 x 16 image list, owned by Owner, holding the system's warning icon.
TImageList* WarningImages(TComponent* Owner) {
    auto* images = Create<TImageList>(Owner);
    TIcon icon;
    icon.SetHandle(LoadIcon(nullptr, IDI_WARNING));
    images->SetWidth(16);
    images->SetHeight(16);
    images->AddIcon(&icon);
    return images;
}

class PopupActionBarTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        live = TMenuAction::LiveCount();
        menu = Create<TPopupActionBarEx>(form);
        menu->SetName("TreePopupMenu");
    }
    TMenuItem* Add(const std::string& Caption, TMenuItem* Parent = nullptr) {
        auto* item = Create<TMenuItem>(form);
        item->SetCaption(Caption);
        item->OnClick = TNotifyEvent(&r, &Recorder::Clicked);
        (Parent != nullptr ? Parent : menu->Items())->Add(item);
        return item;
    }
    // Keys pressed from another thread DelayMs after the menu shows (keys
    // sent earlier would reach the form instead). An arrow key is followed
    // until the menu's highlight has moved, so that a busy machine cannot
    // let the next key overtake it.
    void KeysLater(std::vector<std::string> Chords, DWORD DelayMs = 150) {
        keys = std::thread([Chords, DelayMs] {
            HWND shown = nullptr;
            for (int i = 0; i < 500; ++i) {
                shown = FindWindowA("#32768", nullptr);
                if (shown != nullptr && IsWindowVisible(shown))
                    break;
                Sleep(10);
            }
            Sleep(DelayMs);
            for (const auto& chord : Chords) {
                const int before = Highlighted(shown);
                winfarm::SendKeys(chord);
                if (chord == "Down" || chord == "Up")
                    for (int i = 0; i < 200 && Highlighted(shown) == before; ++i)
                        Sleep(5);
            }
        });
    }
    // The highlighted item of a shown menu window, -1 for none.
    static int Highlighted(HWND MenuWindow) {
        if (MenuWindow == nullptr || !IsWindow(MenuWindow))
            return -1;
        auto menu = reinterpret_cast<HMENU>(SendMessageA(MenuWindow, MN_GETHMENU, 0, 0));
        const int count = menu != nullptr ? GetMenuItemCount(menu) : 0;
        for (int i = 0; i < count; ++i) {
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_STATE;
            if (GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info) &&
                (info.fState & MFS_HILITE) != 0)
                return i;
        }
        return -1;
    }
    void TearDown() override {
        if (keys.joinable())
            keys.join();
        ControlsTest::TearDown();
        EXPECT_EQ(TMenuAction::LiveCount(), live);
    }
    Recorder r;
    TPopupActionBarEx* menu = nullptr;
    int live = 0;
    std::thread keys;
};

TEST_F(PopupActionBarTest, OpensAtThePointInTheXPStyleAndRunsTheChosenItem) {
    ShowForm();
    menu->OnPopup = TNotifyEvent(&r, &Recorder::Popped);
    Add("First");
    Add("-");
    Add("<Please select an application>")->OnClick = nullptr;
    Add("Second");
    RECT window{};
    int actionsWhileOpen = -1;
    std::string style;
    RunLater(200, [&] {
        TCustomActionPopupMenu* popup = menu->ActionPopup();
        if (popup == nullptr || popup->Handle() == nullptr)
            return;
        GetWindowRect(FindWindowA("#32768", nullptr), &window);
        actionsWhileOpen = TMenuAction::LiveCount() - live;
        style = popup->Style()->Name();
    });
    KeysLater({"Down", "Down", "Down", "Enter"}, 300);
    menu->Popup(150, 160);
    EXPECT_EQ(r.log, (std::vector<std::string>{"popup", "click:Second"}));
    EXPECT_EQ(window.left, 150);
    EXPECT_EQ(window.top, 160);
    EXPECT_EQ(actionsWhileOpen, 3) << "one per plain item, none for the line";
    EXPECT_EQ(style, "XP Style");
    EXPECT_EQ(menu->ActionPopup(), nullptr);
    EXPECT_EQ(TMenuAction::LiveCount(), live);
    EXPECT_EQ(menu->InternalManager()->ActionCount(), 0);
}

TEST_F(PopupActionBarTest, ItemWithoutHandlerAndEscapeRunNothing) {
    ShowForm();
    Add("<Please select an application>")->OnClick = nullptr;
    Add("Other");
    KeysLater({"Down", "Enter"});
    menu->Popup(150, 150);
    EXPECT_TRUE(r.log.empty());
    keys.join();
    KeysLater({"Down", "Esc"});
    menu->Popup(150, 150);
    EXPECT_TRUE(r.log.empty());
    EXPECT_FALSE(TPopupMenu::IsPopupActive());
}

TEST_F(PopupActionBarTest, SubmenuIsFilledByItsClickWhenItOpensAndLinkedActionsRun) {
    ShowForm();
    auto* action = Create<TAction>(form);
    action->SetCaption("Remove");
    action->OnExecute = TNotifyEvent(&r, &Recorder::Executed);
    auto* linked = Add("");
    linked->SetAction(action);
    auto* moveTo = Add("Move To");
    moveTo->OnClick = TNotifyEvent(&r, &Recorder::Fill);
    Add("stale", moveTo);
    KeysLater({"Down", "Down", "Right", "Enter"});
    menu->Popup(150, 150);
    EXPECT_EQ(r.log, (std::vector<std::string>{"fill", "click:Desktop 2"}));
    keys.join();
    r.log.clear();
    KeysLater({"Down", "Enter"});
    menu->Popup(150, 150);
    EXPECT_EQ(r.log, (std::vector<std::string>{"run:Remove"}));
}

TEST_F(PopupActionBarTest, AHundredShowingsLeaveNoMenuActionBehind) {
    ShowForm();
    for (int i = 0; i < 4; ++i)
        Add("Desktop " + std::to_string(i + 1));
    auto* sub = Add("Move To");
    Add("Inner", sub);
    int opened = 0;
    for (int i = 0; i < 100; ++i) {
        RunLater(10, [&] {
            if (menu->ActionPopup() != nullptr && menu->ActionPopup()->IsOpen())
                ++opened;
            EndMenu();
        });
        menu->Popup(150, 150);
        ASSERT_EQ(TMenuAction::LiveCount(), live) << "showing " << i;
    }
    EXPECT_EQ(opened, 100);
    EXPECT_EQ(menu->InternalManager()->ActionCount(), 0);
    EXPECT_EQ(menu->InternalManager()->ActionBarCount(), 0);
}

// The manager window's hot keys arrive while its popup is open.
struct HotKeyForm : TObject {
    TForm* form = nullptr;
    TWndMethod previous;
    int hotKeys = 0;
    bool popupOpenMeanwhile = false;
    TPopupActionBarEx* other = nullptr;
    Recorder* r = nullptr;
    void Proc(TMessage& m) {
        if (m.Msg == WM_HOTKEY) {
            ++hotKeys;
            popupOpenMeanwhile = TPopupMenu::IsPopupActive();
            other->Popup(200, 200); // a second popup (the band's) is refused
            return;
        }
        previous(m);
    }
};

TEST_F(PopupActionBarTest, HotKeyHandledInsideTheLoopAndThePopupStillClosesCleanly) {
    ShowForm();
    Add("One");
    auto* other = Create<TPopupActionBarEx>(form);
    other->OnPopup = TNotifyEvent(&r, &Recorder::Popped);
    HotKeyForm hook;
    hook.form = form;
    hook.previous = form->WindowProc;
    hook.other = other;
    form->WindowProc = TWndMethod(&hook, &HotKeyForm::Proc);
    RunLater(150, [&] { PostMessageA(form->Handle(), WM_HOTKEY, 2, MAKELPARAM(MOD_ALT, '2')); });
    KeysLater({"Esc"}, 600);
    menu->Popup(150, 150);
    form->WindowProc = hook.previous;
    EXPECT_EQ(hook.hotKeys, 1);
    EXPECT_TRUE(hook.popupOpenMeanwhile);
    EXPECT_TRUE(r.log.empty()) << "the nested popup did not open";
    EXPECT_FALSE(TPopupMenu::IsPopupActive());
    EXPECT_EQ(TMenuAction::LiveCount(), live);
}

class CountedPopup : public TPopupActionBarEx {
    FW_CLASS(CountedPopup, TPopupActionBarEx)
public:
    explicit CountedPopup(TComponent* AOwner) : TPopupActionBarEx(AOwner) {}
    ~CountedPopup() override { ++Destroyed; }
    static inline int Destroyed = 0;
};

TEST_F(PopupActionBarTest, FreedInsideItsLoopTheMenuLivesUntilPopupReturns) {
    ShowForm();
    auto* counted = Create<CountedPopup>(form);
    auto* item = Create<TMenuItem>(form);
    item->SetCaption("Doomed");
    item->OnClick = TNotifyEvent(&r, &Recorder::Clicked);
    counted->Items()->Add(item);
    CountedPopup::Destroyed = 0;
    int destroyedInside = -1;
    RunLater(150, [&] {
        counted->Free();
        destroyedInside = CountedPopup::Destroyed;
    });
    KeysLater({"Enter"}, 300);
    const int owned = form->ComponentCount();
    counted->Popup(150, 150);
    EXPECT_EQ(destroyedInside, 0);
    EXPECT_EQ(CountedPopup::Destroyed, 1);
    EXPECT_EQ(form->ComponentCount(), owned - 2) << "the menu and its item, which went with it";
    EXPECT_TRUE(r.log.empty()) << "nothing chosen runs";
}

// The image list may go while the popup is open (its owner freed by a message handled in the
// loop): the popup stops drawing from it and still runs the chosen item.
TEST_F(PopupActionBarTest, AnImageListFreedWhileOpenIsNotDrawnAgain) {
    ShowForm();
    TImageList* images = WarningImages(form);
    menu->SetImages(images);
    Add("First")->SetImageIndex(0);
    Add("Second")->SetImageIndex(0);
    TCustomImageList* drawnFrom = images;
    bool repainted = false;
    RunLater(200, [&] {
        images->Free();
        drawnFrom = menu->InternalManager()->Images;
        HWND shown = FindWindowA("#32768", nullptr);
        repainted = shown != nullptr && RedrawWindow(shown, nullptr, nullptr,
                                                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    });
    KeysLater({"Down", "Down", "Enter"}, 400);
    menu->Popup(150, 150);
    EXPECT_EQ(drawnFrom, nullptr);
    EXPECT_TRUE(repainted);
    EXPECT_EQ(menu->Images(), nullptr);
    EXPECT_EQ(r.log, (std::vector<std::string>{"click:Second"}));
}

TEST_F(PopupActionBarTest, SecondPopupWhileOneIsOpenDoesNothing) {
    ShowForm();
    Add("One");
    int popupsOpen = 0;
    RunLater(150, [&] {
        menu->Popup(160, 160); // the same menu again
        popupsOpen = TPopupMenu::IsPopupActive() ? 1 : 0;
        EndMenu();
    });
    menu->Popup(150, 150);
    EXPECT_EQ(popupsOpen, 1);
    EXPECT_TRUE(r.log.empty());
}

// --- the menu bar ---

class MenuBarTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        manager = Create<TActionManager>(form);
        bar = Create<TActionMainMenuBar>(form);
        bar->Color = static_cast<TColor>(0x00EEF6F7);
        TActionBarItem* root = manager->AddActionBar(bar);
        Top(root, "&File", {"&Open", "E&xit"});
        Top(root, "&Desktops", {"Desktop &1", "Desktop &2"});
        bar->OnPopup = TActionClientEvent(this, &MenuBarTest::Opened);
        formProc = form->WindowProc;
        bar->SetForm(form);
        ShowForm();
    }
    void Top(TActionBarItem* Root, const std::string& Caption, std::vector<std::string> Items) {
        TActionClientItem* top = Root->Add();
        top->SetCaption(Caption);
        for (const auto& caption : Items) {
            auto* action = Create<TAction>(form);
            action->SetCaption(caption);
            action->OnExecute = TNotifyEvent(&r, &Recorder::Executed);
            manager->AddAction(action);
            TActionClientItem* item = top->Add();
            item->SetCaption(caption);
            item->SetAction(action);
        }
    }
    void Opened(TActionClientItem* Client) { opened.push_back(Client->Caption()); }
    Recorder r;
    TActionManager* manager = nullptr;
    TActionMainMenuBar* bar = nullptr;
    std::vector<std::string> opened;
    TWndMethod formProc;
};

TEST_F(MenuBarTest, KeyboardOpensTheMenusAltArrowsEnter) {
    ASSERT_EQ(GetMenu(form->Handle()), bar->Handle());
    ASSERT_EQ(GetMenuItemCount(bar->Handle()), 2);
    std::thread keys([] {
        Sleep(200);
        Tap(VK_MENU);
        Sleep(100);
        winfarm::SendKeys("Right");
        winfarm::SendKeys("Down");
        winfarm::SendKeys("Down");
        winfarm::SendKeys("Enter");
    });
    PumpUntil([&] { return !r.log.empty(); }, 5000);
    keys.join();
    EXPECT_EQ(opened, (std::vector<std::string>{"&Desktops"}));
    EXPECT_EQ(r.log, (std::vector<std::string>{"run:Desktop &2"}));
    EXPECT_FALSE(TPopupMenu::IsPopupActive()) << "the bar's loop has ended";
}

TEST_F(MenuBarTest, MouseOpensAMenuAndClicksAnItem) {
    RECT file{};
    ASSERT_TRUE(GetMenuItemRect(form->Handle(), bar->Handle(), 0, &file));
    std::atomic<bool> done{false};
    std::thread mouse([&] {
        Sleep(200);
        mouse_input::Click({(file.left + file.right) / 2, (file.top + file.bottom) / 2});
        // The drop-down is built when it opens; then its second item is clicked.
        HMENU sub = nullptr;
        RECT exit{};
        for (int i = 0; i < 200 && !done; ++i) {
            sub = GetSubMenu(bar->Handle(), 0);
            if (sub != nullptr && GetMenuItemCount(sub) == 2 &&
                GetMenuItemRect(nullptr, sub, 1, &exit) && exit.bottom > exit.top)
                break;
            Sleep(10);
        }
        mouse_input::Click({(exit.left + exit.right) / 2, (exit.top + exit.bottom) / 2});
    });
    PumpUntil([&] { return !r.log.empty(); }, 5000);
    done = true;
    mouse.join();
    EXPECT_EQ(opened, (std::vector<std::string>{"&File"}));
    EXPECT_EQ(r.log, (std::vector<std::string>{"run:E&xit"}));
}

TEST_F(MenuBarTest, PopupMenusAreRefusedWhileTheBarsMenuIsOpen) {
    auto* popup = Create<TPopupActionBarEx>(form);
    popup->OnPopup = TNotifyEvent(&r, &Recorder::Popped);
    bool refused = false;
    // Asked only once the bar's menu is open: a popup asked for before that (keys late under
    // load) would open its own loop, which nothing here closes.
    std::function<void()> tryPopup;
    int tries = 0;
    tryPopup = [&] {
        if (!TPopupMenu::IsPopupActive()) {
            if (++tries < 40)
                RunLater(100, tryPopup);
            return;
        }
        popup->Popup(200, 200);
        refused = r.log.empty() && TPopupMenu::IsPopupActive();
        EndMenu();
    };
    RunLater(300, tryPopup);
    std::thread keys([] {
        Sleep(100);
        winfarm::SendKeys("F10");
        winfarm::SendKeys("Down");
    });
    PumpUntil([&] { return refused; }, 5000);
    keys.join();
    PumpFor(100);
    EXPECT_TRUE(refused);
    EXPECT_FALSE(TPopupMenu::IsPopupActive());
}

TEST_F(MenuBarTest, DropDownsFollowTheirActionsEachTimeTheyOpen) {
    HMENU desktops = GetSubMenu(bar->Handle(), 1);
    ASSERT_NE(desktops, nullptr);
    auto open = [&] {
        SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(desktops), 1);
        return GetMenuItemCount(desktops);
    };
    EXPECT_EQ(open(), 2);
    auto* second = static_cast<TCustomAction*>(bar->ActionClient()->Items(1)->Items(1)->Action());
    second->SetVisible(false);
    EXPECT_EQ(open(), 1) << "a hidden action hides its item";
    second->SetVisible(true);
    second->SetEnabled(false);
    EXPECT_EQ(open(), 2);
    EXPECT_TRUE(GetMenuState(desktops, 1, MF_BYPOSITION) & MF_GRAYED);
    // Reopened often, the command numbers are reused, not used up.
    for (int i = 0; i < 70; ++i)
        open();
    EXPECT_LE(GetMenuItemID(desktops, 1), 8u);
    SendMessageA(form->Handle(), WM_COMMAND, GetMenuItemID(desktops, 0), 0);
    EXPECT_EQ(r.log, (std::vector<std::string>{"run:Desktop &1"}));
    EXPECT_EQ(opened.size(), 3u + 70u);
}

TEST_F(MenuBarTest, DetachingGivesTheFormItsWindowProcBack) {
    bar->SetForm(nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_TRUE(form->WindowProc == formProc);
    // Attached again, it shows again; freed, it lets go of the form.
    bar->SetForm(form);
    EXPECT_EQ(GetMenu(form->Handle()), bar->Handle());
    bar->Free();
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_TRUE(form->WindowProc == formProc);
}

// Run by hand (--gtest_also_run_disabled_tests) to look at both in the XP
// style: the popup opens with its submenu, then the bar's second menu.
TEST_F(MenuBarTest, DISABLED_Showcase) {
    TImageList* images = WarningImages(form);
    manager->Images = images;
    auto* popup = Create<TPopupActionBarEx>(form);
    popup->SetImages(images);
    auto add = [&](const std::string& caption, TMenuItem* parent) {
        auto* item = Create<TMenuItem>(form);
        item->SetCaption(caption);
        (parent != nullptr ? parent : popup->Items())->Add(item);
        return item;
    };
    add("&Refresh", nullptr)->SetShortCut(ShortCut('R', {ssCtrl}));
    add("-", nullptr);
    auto* moveTo = add("&Move To", nullptr);
    moveTo->SetImageIndex(0);
    add("Desktop 2", moveTo)->SetChecked(true);
    add("Desktop 3", moveTo)->SetEnabled(false);
    add("&Copy To", nullptr);
    add("Remove from list", nullptr)->SetEnabled(false);
    add("Checked item", nullptr)->SetChecked(true);
    std::thread keys([] {
        Sleep(300);
        winfarm::SendKeys("Down");
        winfarm::SendKeys("Down");
        winfarm::SendKeys("Right");
        Sleep(4000);
        winfarm::SendKeys("Esc");
        winfarm::SendKeys("Esc");
        Sleep(300);
        Tap(VK_MENU);
        winfarm::SendKeys("Right");
        winfarm::SendKeys("Down");
        winfarm::SendKeys("Down");
        Sleep(4000);
        winfarm::SendKeys("Esc");
        winfarm::SendKeys("Esc");
    });
    popup->Popup(form->Left() + 40, form->Top() + 80);
    PumpFor(5500);
    keys.join();
}

} // namespace
