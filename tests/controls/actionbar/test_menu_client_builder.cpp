#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "controls/actionbar/MenuClientBuilder.h"
#include "framework/actionbars/ActionBar.h"
#include "framework/actionbars/ActionManager.h"
#include "framework/core/Exceptions.h"

namespace {

// A menu item as the builder sees one, without any window system.
class FakeItem : public TComponent {
    FW_CLASS(FakeItem, TComponent)
public:
    explicit FakeItem(TComponent* AOwner) : TComponent(AOwner) {}
    void BeforeDestruction() override {
        if (parent != nullptr)
            std::erase(parent->items, this);
        while (!items.empty())
            items.back()->Free();
        TComponent::BeforeDestruction();
    }
    const std::string& Caption() const { return caption; }
    bool IsLine() const { return caption == "-"; }
    bool Visible() const { return visible; }
    bool Enabled() const { return enabled; }
    bool Checked() const { return checked; }
    TShortCut ShortCut() const { return shortCut; }
    int ImageIndex() const { return imageIndex; }
    int HelpContext() const { return helpContext; }
    TBasicAction* Action() const { return action; }
    int Count() const { return static_cast<int>(items.size()); }
    FakeItem* Items(int i) const { return items.at(static_cast<size_t>(i)); }
    void Click() {
        if (OnClick)
            OnClick(this);
    }
    FakeItem* Add(const std::string& Caption) {
        auto* item = new FakeItem(Owner());
        item->caption = Caption;
        item->parent = this;
        items.push_back(item);
        return item;
    }

    std::string caption;
    bool visible = true, enabled = true, checked = false;
    TShortCut shortCut = 0;
    int imageIndex = -1, helpContext = 0;
    TBasicAction* action = nullptr;
    TNotifyEvent OnClick;
    std::vector<FakeItem*> items;
    FakeItem* parent = nullptr;
};

// The popup menu's part: owns the actions and keeps the client tree clear of
// items that go.
class FakeMenu : public TComponent {
    FW_CLASS(FakeMenu, TComponent)
public:
    explicit FakeMenu(TComponent* AOwner) : TComponent(AOwner) {}
    void Notification(TComponent* AComponent, TOperation Operation) override {
        if (Operation == opRemove)
            root.Forget(AComponent);
        TComponent::Notification(AComponent, Operation);
    }
    TActionClientItem root;
};

struct Log : TObject {
    std::vector<std::string> lines;
    void Clicked(TObject* s) { lines.push_back("click:" + static_cast<FakeItem*>(s)->caption); }
    void Executed(TObject*) { lines.push_back("action"); }
};

class BuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TComponent(nullptr);
        source = new FakeItem(form);
        menu = new FakeMenu(form);
        manager = new TActionManager(menu);
        liveBefore = TMenuAction::LiveCount();
    }
    void TearDown() override {
        showing.reset();
        form->Free();
        EXPECT_EQ(TMenuAction::LiveCount(), liveBefore);
    }
    TComponent* form = nullptr;
    FakeItem* source = nullptr;
    FakeMenu* menu = nullptr;
    TActionManager* manager = nullptr;
    std::optional<TMenuClientBuilder<FakeItem>> showing;
    TMenuClientBuilder<FakeItem>& Make() { return showing.emplace(menu, manager); }
    int liveBefore = 0;
};

TEST_F(BuilderTest, PlainItemsGetAMenuActionWithTheirStateActionItemsAndLinesGetNone) {
    Log log;
    auto* action = new TAction(form);
    action->SetCaption("Move");
    action->OnExecute = TNotifyEvent(&log, &Log::Executed);
    auto* plain = source->Add("&Refresh");
    plain->SetTag(42);
    plain->imageIndex = 3;
    plain->checked = true;
    plain->enabled = false;
    plain->helpContext = 7;
    plain->shortCut = ShortCut('R', {ssCtrl});
    plain->OnClick = TNotifyEvent(&log, &Log::Clicked);
    auto* linked = source->Add("Move");
    linked->action = action;
    source->Add("-");
    source->Add("");
    auto* hidden = source->Add("Hidden");
    hidden->visible = false;

    Make().Build(&menu->root, source);
    ASSERT_EQ(menu->root.Count(), 5);
    ASSERT_EQ(showing->Actions().size(), 2u) << "the plain and the hidden item";

    TActionClientItem* c = menu->root.Items(0);
    auto* ma = dynamic_cast<TMenuAction*>(c->Action());
    ASSERT_NE(ma, nullptr);
    EXPECT_EQ(c->Tag(), plain);
    EXPECT_EQ(ma->MenuItem(), plain);
    EXPECT_EQ(ma->Owner(), menu);
    EXPECT_TRUE(manager->HasAction(ma));
    EXPECT_EQ(ma->Tag(), 42);
    EXPECT_EQ(ma->ImageIndex(), 3);
    EXPECT_TRUE(ma->Checked());
    EXPECT_FALSE(ma->Enabled());
    EXPECT_EQ(ma->Caption(), "&Refresh");
    EXPECT_EQ(ma->ShortCut(), plain->shortCut);
    EXPECT_EQ(c->Caption(), "&Refresh");
    EXPECT_EQ(c->ShortCut(), plain->shortCut);
    EXPECT_EQ(c->ImageIndex(), 3);
    EXPECT_EQ(c->HelpContext(), 7);
    EXPECT_TRUE(c->Checked());
    EXPECT_FALSE(c->Enabled()) << "enabled follows the action";

    EXPECT_EQ(menu->root.Items(1)->Action(), action) << "an action item keeps its own action";
    EXPECT_TRUE(menu->root.Items(2)->IsSeparator());
    EXPECT_EQ(menu->root.Items(2)->Action(), nullptr);
    EXPECT_EQ(menu->root.Items(3)->Action(), nullptr) << "an empty caption gets no action";
    EXPECT_FALSE(menu->root.Items(4)->Shown());

    // A disabled menu action runs nothing; enabled, it runs the item's handler.
    EXPECT_FALSE(ma->Execute());
    ma->SetEnabled(true);
    EXPECT_TRUE(ma->Execute());
    EXPECT_EQ(log.lines, (std::vector<std::string>{"click:&Refresh"}));

    // The showing ends: its actions leave the manager and are freed.
    const int before = manager->ActionCount();
    showing->FreeActions();
    EXPECT_EQ(manager->ActionCount(), before - 2);
    EXPECT_EQ(TMenuAction::LiveCount(), liveBefore);
}

TEST_F(BuilderTest, ShownNeedsTheItemAndItsActionVisible) {
    auto* action = new TAction(form);
    auto* item = source->Add("Desktop 3");
    item->action = action;
    Make().Build(&menu->root, source);
    TActionClientItem* c = menu->root.Items(0);
    const struct {
        bool item, action, shown;
    } cases[] = {
        {true, true, true}, {true, false, false}, {false, true, false}, {false, false, false}};
    for (const auto& k : cases) {
        c->SetVisible(k.item);
        action->SetVisible(k.action);
        EXPECT_EQ(c->Shown(), k.shown) << k.item << k.action;
    }
    action->SetEnabled(false);
    EXPECT_FALSE(c->Enabled());
}

TEST_F(BuilderTest, SubmenusGetOnePlaceholderAndAreBuiltWhenTheyOpenAfterTheirClick) {
    auto* sub = source->Add("Move to");
    sub->Add("Desktop 1");
    auto* hiddenSub = source->Add("Hidden sub");
    hiddenSub->visible = false;
    hiddenSub->Add("Lost");

    // The handler fills the submenu when it opens.
    struct Filler : TObject {
        int clicks = 0;
        void Fill(TObject* s) {
            ++clicks;
            static_cast<FakeItem*>(s)->Add("Desktop 2")->Add("Nested");
        }
    } filler;
    sub->OnClick = TNotifyEvent(&filler, &Filler::Fill);

    Make().Build(&menu->root, source);
    TActionClientItem* c = menu->root.Items(0);
    ASSERT_EQ(c->Count(), 1);
    EXPECT_EQ(c->Items(0)->Tag(), nullptr) << "a placeholder";
    EXPECT_EQ(c->Action(), nullptr);
    EXPECT_EQ(menu->root.Items(1)->Count(), 0) << "an invisible submenu gets no placeholder";
    EXPECT_FALSE(menu->root.Items(1)->Shown());
    EXPECT_EQ(showing->Actions().size(), 1u) << "only the invisible submenu item is plain";

    showing->OpenSubmenu(c);
    EXPECT_EQ(filler.clicks, 1);
    ASSERT_EQ(c->Count(), 2);
    EXPECT_EQ(c->Items(0)->Caption(), "Desktop 1");
    EXPECT_EQ(c->Items(1)->Caption(), "Desktop 2");
    ASSERT_EQ(c->Items(1)->Count(), 1) << "nested: a placeholder again";
    showing->OpenSubmenu(c->Items(1));
    ASSERT_EQ(c->Items(1)->Count(), 1);
    EXPECT_EQ(c->Items(1)->Items(0)->Caption(), "Nested");

    // Built once per showing.
    showing->OpenSubmenu(c);
    EXPECT_EQ(filler.clicks, 1);
    EXPECT_EQ(c->Count(), 2);
}

TEST_F(BuilderTest, AClickThatEmptiesOrFreesTheSubmenuLeavesItEmpty) {
    struct Emptier : TObject {
        void Empty(TObject* s) {
            auto* item = static_cast<FakeItem*>(s);
            while (!item->items.empty())
                item->items.back()->Free();
        }
        void Suicide(TObject* s) { static_cast<FakeItem*>(s)->Free(); }
    } emptier;
    auto* emptied = source->Add("Emptied");
    emptied->Add("a");
    emptied->Add("b");
    emptied->OnClick = TNotifyEvent(&emptier, &Emptier::Empty);
    auto* freed = source->Add("Freed");
    freed->Add("c");
    freed->OnClick = TNotifyEvent(&emptier, &Emptier::Suicide);

    Make().Build(&menu->root, source);
    showing->OpenSubmenu(menu->root.Items(0));
    EXPECT_EQ(menu->root.Items(0)->Count(), 0);
    // An empty submenu opened again reads its item again, without a crash.
    showing->OpenSubmenu(menu->root.Items(0));
    EXPECT_EQ(menu->root.Items(0)->Count(), 0);

    showing->OpenSubmenu(menu->root.Items(1));
    EXPECT_EQ(menu->root.Items(1)->Tag(), nullptr) << "the freed item is forgotten";
    EXPECT_EQ(menu->root.Items(1)->Count(), 0);
    showing->OpenSubmenu(menu->root.Items(1));
}

TEST_F(BuilderTest, ItemsAndActionsFreedDuringTheShowingAreForgotten) {
    Log log;
    // Owned elsewhere: only the free notification tells the menu.
    auto* elsewhere = new TComponent(nullptr);
    auto* root = new FakeItem(elsewhere);
    auto* plain = root->Add("Plain");
    plain->OnClick = TNotifyEvent(&log, &Log::Clicked);
    auto* action = new TAction(elsewhere);
    root->Add("Linked")->action = action;

    Make().Build(&menu->root, root);
    auto* ma = dynamic_cast<TMenuAction*>(menu->root.Items(0)->Action());
    ASSERT_NE(ma, nullptr);
    elsewhere->Free();
    EXPECT_EQ(menu->root.Items(0)->Tag(), nullptr);
    EXPECT_EQ(menu->root.Items(1)->Tag(), nullptr);
    EXPECT_EQ(menu->root.Items(1)->Action(), nullptr);
    EXPECT_EQ(ma->MenuItem(), nullptr);
    EXPECT_TRUE(ma->Execute());
    EXPECT_TRUE(log.lines.empty());
}

class Bar : public TCustomActionBar {
    FW_CLASS(Bar, TCustomActionBar)
public:
    explicit Bar(TComponent* AOwner) : TCustomActionBar(AOwner) {}
};

TEST(ActionBarStyles, XPStyleComesFirstAndBarsWithoutAManagerUseTheFirst) {
    ASSERT_FALSE(ActionBarStyles().empty());
    EXPECT_EQ(ActionBarStyles().front()->Name(), "XP Style");
    EXPECT_EQ(DefaultActnBarStyle(), FindActnBarStyle("xp style"));

    TActionBarStyle other("Standard", TActionBarColorMap{});
    RegisterActnBarStyle(&other);
    EXPECT_EQ(ActionBarStyles().back(), &other);
    EXPECT_EQ(DefaultActnBarStyle()->Name(), "XP Style");
    EXPECT_THROW(RegisterActnBarStyle(&other), EInvalidOperation);
    TActionBarStyle twin("STANDARD", TActionBarColorMap{});
    EXPECT_THROW(RegisterActnBarStyle(&twin), EInvalidOperation);
    EXPECT_THROW(RegisterActnBarStyle(nullptr), EInvalidOperation);

    auto* owner = new TComponent(nullptr);
    auto* bar = new Bar(owner);
    EXPECT_EQ(bar->Style()->Name(), "XP Style");
    auto* manager = new TActionManager(owner);
    manager->SetStyle(&other);
    TActionBarItem* item = manager->AddActionBar(bar);
    EXPECT_EQ(bar->ActionClient(), item);
    EXPECT_EQ(item->ActionBar(), bar);
    EXPECT_EQ(bar->Style(), &other);
    EXPECT_EQ(&bar->EffectiveColorMap(), &other.ColorMap());
    TActionBarColorMap own;
    bar->SetColorMap(&own);
    EXPECT_EQ(&bar->EffectiveColorMap(), &own);

    // The bar goes first: its item stays without it; the manager goes: the bar loses its client.
    bar->Free();
    EXPECT_EQ(manager->ActionBars(0)->ActionBar(), nullptr);
    auto* second = new Bar(owner);
    manager->AddActionBar(second);
    EXPECT_THROW(manager->ActionBars(2), EListError);
    manager->Free();
    EXPECT_EQ(second->ActionClient(), nullptr);
    EXPECT_EQ(second->ActionManager(), nullptr);
    owner->Free();
    UnRegisterActnBarStyle(&other);
    EXPECT_EQ(ActionBarStyles().size(), 1u);
}

TEST(ActionClientItems, OutOfRangeIndexRaisesAndDeepTreesFreeWithoutRecursion) {
    TActionClientItem root;
    EXPECT_THROW(root.Items(0), EListError);
    TActionClientItem* p = &root;
    for (int i = 0; i < 100000; ++i)
        p = p->Add();
    root.Forget(nullptr);
    root.Clear();
    EXPECT_EQ(root.Count(), 0);
}

} // namespace
