#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "framework/controls/Button_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/controls/PopupMenu_win.h"
#include "framework/graphics/Icon_win.h"
#include "tests/fixtures/WinFarmClient_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

struct Recorder : TObject {
    std::vector<std::string> log;
    void Popped(TObject*) { log.push_back("popup"); }
    void Clicked(TObject* s) { log.push_back("click:" + static_cast<TMenuItem*>(s)->Caption()); }
    void ActionRun(TObject*) { log.push_back("action"); }
};

TMenuItem* AddItem(TPopupMenu* menu, const std::string& caption, Recorder* r) {
    auto* item = Create<TMenuItem>(menu);
    item->SetCaption(caption);
    item->OnClick = TNotifyEvent(r, &Recorder::Clicked);
    menu->Items()->Add(item);
    return item;
}

std::string ItemText(HMENU m, UINT pos, UINT* type = nullptr, UINT* state = nullptr, HBITMAP* bmp = nullptr) {
    char buffer[128] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_STATE | MIIM_BITMAP;
    info.dwTypeData = buffer;
    info.cch = sizeof(buffer);
    EXPECT_TRUE(GetMenuItemInfoA(m, pos, TRUE, &info));
    if (type) *type = info.fType;
    if (state) *state = info.fState;
    if (bmp) *bmp = info.hbmpItem;
    return buffer;
}

class MenuTest : public ControlsTest {};

TEST_F(MenuTest, BuildsChecksSeparatorsShortcutsAndImagesAndLeavesInvisibleItemsOut) {
    Recorder r;
    auto* menu = Create<TPopupMenu>(form);
    auto* images = Create<TImageList>(form);
    TIcon icon;
    icon.SetHandle(LoadIcon(nullptr, IDI_APPLICATION));
    ASSERT_EQ(images->AddIcon(&icon), 0);
    menu->SetImages(images);
    auto* refresh = AddItem(menu, "&Refresh", &r);
    refresh->SetShortCut(ShortCut('R', {ssCtrl}));
    refresh->SetImageIndex(0);
    AddItem(menu, "-", &r);
    AddItem(menu, "Hidden", &r)->SetVisible(false);
    auto* desk = AddItem(menu, "Desktop &1", &r);
    desk->SetChecked(true);
    desk->SetRadioItem(true);
    desk->SetDefault(true);
    AddItem(menu, "Off", &r)->SetEnabled(false);
    auto* sub = AddItem(menu, "Move to", &r);
    auto* child = Create<TMenuItem>(form);
    child->SetCaption("Desktop 2");
    sub->Add(child);

    HMENU m = menu->BuildMenu();
    ASSERT_EQ(GetMenuItemCount(m), 5);
    UINT type = 0, state = 0;
    HBITMAP bmp = nullptr;
    EXPECT_EQ(ItemText(m, 0, &type, &state, &bmp), "&Refresh\tCtrl+R");
    EXPECT_EQ(bmp, HBMMENU_CALLBACK);
    ItemText(m, 1, &type);
    EXPECT_TRUE(type & MFT_SEPARATOR);
    EXPECT_EQ(ItemText(m, 2, &type, &state), "Desktop &1");
    EXPECT_TRUE(type & MFT_RADIOCHECK);
    EXPECT_TRUE(state & MFS_CHECKED);
    EXPECT_TRUE(state & MFS_DEFAULT);
    EXPECT_EQ(ItemText(m, 3, &type, &state), "Off");
    EXPECT_TRUE(state & MFS_GRAYED);
    HMENU subMenu = GetSubMenu(m, 4);
    ASSERT_NE(subMenu, nullptr);
    EXPECT_EQ(ItemText(subMenu, 0), "Desktop 2");
    EXPECT_EQ(GetMenuItemID(subMenu, 0), child->Command());
    DestroyMenu(m);

    // Freeing a parent frees its items; the owner forgets them.
    const int owned = form->ComponentCount();
    const int menuOwned = menu->ComponentCount();
    sub->Free();
    EXPECT_EQ(form->ComponentCount(), owned - 1);
    EXPECT_EQ(menu->ComponentCount(), menuOwned - 1);
    EXPECT_EQ(menu->Items()->Count(), 5);
}

TEST_F(MenuTest, ChosenItemIsClickedAfterTheLoopEnds) {
    ShowForm();
    Recorder r;
    auto* menu = Create<TPopupMenu>(form);
    menu->OnPopup = TNotifyEvent(&r, &Recorder::Popped);
    AddItem(menu, "First", &r);
    AddItem(menu, "Second", &r);
    std::thread keys([] {
        Sleep(300);
        winfarm::SendKeys("Down");
        winfarm::SendKeys("Down");
        winfarm::SendKeys("Enter");
    });
    menu->Popup(150, 150);
    keys.join();
    EXPECT_EQ(r.log, (std::vector<std::string>{"popup", "click:Second"}));
}

TEST_F(MenuTest, EndMenuFromATimerClosesWithoutAChoice) {
    ShowForm();
    Recorder r;
    auto* menu = Create<TPopupMenu>(form);
    AddItem(menu, "Only", &r);
    bool openSeen = false;
    RunLater(200, [&] {
        openSeen = TPopupMenu::IsPopupActive() && menu->Handle() != nullptr;
        EndMenu();
    });
    menu->Popup(150, 150);
    EXPECT_TRUE(openSeen);
    EXPECT_TRUE(r.log.empty());
    EXPECT_FALSE(TPopupMenu::IsPopupActive());
}

TEST_F(MenuTest, SecondPopupWhileOneIsOpenIsRefused) {
    ShowForm();
    Recorder r, r2;
    auto* menu = Create<TPopupMenu>(form);
    AddItem(menu, "One", &r);
    auto* other = Create<TPopupMenu>(form);
    other->OnPopup = TNotifyEvent(&r2, &Recorder::Popped);
    AddItem(other, "Two", &r2);
    RunLater(200, [&] {
        other->Popup(200, 200);  // must return at once
        EndMenu();
    });
    menu->Popup(150, 150);
    EXPECT_TRUE(r2.log.empty());
    // Afterwards it opens again.
    RunLater(200, [] { EndMenu(); });
    other->Popup(200, 200);
    EXPECT_EQ(r2.log, (std::vector<std::string>{"popup"}));
}

TEST_F(MenuTest, ItemFreedInsideTheLoopIsNotClicked) {
    ShowForm();
    Recorder r;
    auto* menu = Create<TPopupMenu>(form);
    TMenuItem* doomed = AddItem(menu, "Doomed", &r);
    RunLater(150, [&] { doomed->Free(); });
    std::thread keys([] {
        Sleep(400);
        winfarm::SendKeys("Down");
        winfarm::SendKeys("Enter");
    });
    menu->Popup(150, 150);
    keys.join();
    EXPECT_TRUE(r.log.empty());
    EXPECT_EQ(menu->Items()->Count(), 0);
}

TEST_F(MenuTest, ContextMenuMessagePopsTheControlsMenuEvenWhenEmpty) {
    ShowForm();
    Recorder r;
    auto* menu = Create<TPopupMenu>(form);
    menu->OnPopup = TNotifyEvent(&r, &Recorder::Popped);
    auto* button = Create<TButton>(form);
    button->SetParent(form);
    button->SetPopupMenu(menu);
    RunLater(200, [] { EndMenu(); });
    SendMessageA(button->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(button->Handle()), MAKELPARAM(160, 160));
    EXPECT_EQ(r.log, (std::vector<std::string>{"popup"}));
    EXPECT_EQ(menu->PopupComponent, button);
}

TEST_F(MenuTest, ActionStateReachesMenuItemAndButton) {
    Recorder r;
    auto* action = Create<TAction>(form);
    action->SetCaption("Move to 3");
    action->SetShortCut(ShortCut('3', {ssAlt}));
    action->OnExecute = TNotifyEvent(&r, &Recorder::ActionRun);
    auto* menu = Create<TPopupMenu>(form);
    auto* item = Create<TMenuItem>(form);
    menu->Items()->Add(item);
    item->SetAction(action);
    auto* button = Create<TButton>(form);
    button->SetParent(form);
    button->SetAction(action);
    EXPECT_EQ(item->Caption(), "Move to 3");
    EXPECT_EQ(button->Caption(), "Move to 3");
    char text[64] = {};
    GetWindowTextA(button->Handle(), text, sizeof(text));
    EXPECT_STREQ(text, "Move to 3");

    action->SetVisible(false);
    EXPECT_FALSE(item->Visible());
    EXPECT_FALSE(button->Visible());
    HMENU m = menu->BuildMenu();
    EXPECT_EQ(GetMenuItemCount(m), 0);
    DestroyMenu(m);
    action->SetVisible(true);
    action->SetEnabled(false);
    EXPECT_FALSE(item->Enabled());
    EXPECT_FALSE(IsWindowEnabled(button->Handle()));
    item->Click();
    button->Click();
    EXPECT_TRUE(r.log.empty());
    action->SetEnabled(true);
    item->Click();
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(r.log, (std::vector<std::string>{"action", "action"}));
    m = menu->BuildMenu();
    EXPECT_EQ(ItemText(m, 0), "Move to 3\tAlt+3");
    DestroyMenu(m);
    // Freeing the action unlinks both.
    action->Free();
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_EQ(button->Action(), nullptr);
    item->Click();
}

// The subclass the desktop menus use: one more field, same behaviour.
class TMenuItemExtended : public TMenuItem {
    FW_CLASS(TMenuItemExtended, TMenuItem)
public:
    explicit TMenuItemExtended(TComponent* AOwner) : TMenuItem(AOwner) {}
    int DesktopInd = 0;
    void Click() override {
        Clicked = DesktopInd;
        TMenuItem::Click();
    }
    int Clicked = -1;
};

TEST_F(MenuTest, SubclassedItemsClickThroughTheirOverride) {
    ShowForm();
    auto* menu = Create<TPopupMenu>(form);
    auto* item = Create<TMenuItemExtended>(form);
    item->SetCaption("Desktop &3");
    item->DesktopInd = 3;
    Recorder r;
    AddItem(menu, "Desktop 1", &r);
    menu->Items()->Add(item);
    // The accelerator, pressed from inside the open menu's loop: independent
    // of the mouse and of start-up timing.
    RunLater(200, [] {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = '3';
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    });
    menu->Popup(150, 150);
    EXPECT_EQ(item->Clicked, 3);
}

}  // namespace
