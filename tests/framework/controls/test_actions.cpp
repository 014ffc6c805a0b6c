#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/controls/Action.h"

namespace {

// A client that records what its link tells it, the way a menu item or a
// button shows an action.
struct FakeClient : TObject {
    std::string caption;
    bool enabled = true;
    bool visible = true;
    bool gone = false;
};

class FakeLink : public TActionLink {
public:
    explicit FakeLink(FakeClient* c) : TActionLink(c), client_(c) {
        OnChange = TNotifyEvent(this, &FakeLink::Gone);
    }
    bool IsCaptionLinked() override { return TActionLink::IsCaptionLinked() && client_->caption == CustomAction()->Caption(); }
    bool IsEnabledLinked() override { return TActionLink::IsEnabledLinked() && client_->enabled == CustomAction()->Enabled(); }
    void SetCaption(const std::string& v) override {
        if (IsCaptionLinked())
            client_->caption = v;
    }
    void SetEnabled(bool v) override {
        if (IsEnabledLinked())
            client_->enabled = v;
    }
    void SetVisible(bool v) override {
        if (IsVisibleLinked())
            client_->visible = v;
    }

private:
    void Gone(TObject*) { client_->gone = true; }
    FakeClient* client_;
};

struct Counter : TObject {
    int runs = 0;
    void Run(TObject*) { ++runs; }
};

TEST(Actions, ChangedPropertiesReachEveryLinkedClientAtOnce) {
    auto* action = Create<TAction>(nullptr);
    FakeClient a, b;
    FakeLink la(&a), lb(&b);
    la.SetAction(action);
    lb.SetAction(action);
    EXPECT_EQ(action->ClientCount(), 2);
    action->SetCaption("");  // no change
    action->SetVisible(false);
    EXPECT_FALSE(a.visible);
    EXPECT_FALSE(b.visible);
    action->SetEnabled(false);
    EXPECT_FALSE(a.enabled);
    EXPECT_FALSE(b.enabled);
    // A client that took its own value is no longer linked for it.
    b.caption = "own";
    action->SetCaption("Move to 3");
    EXPECT_EQ(a.caption, "Move to 3");
    EXPECT_EQ(b.caption, "own");
    action->Free();
}

TEST(Actions, ExecuteDoesNothingWhileDisabled) {
    auto* action = Create<TAction>(nullptr);
    Counter counter;
    action->OnExecute = TNotifyEvent(&counter, &Counter::Run);
    EXPECT_TRUE(action->Execute());
    action->SetEnabled(false);
    EXPECT_FALSE(action->Execute());
    FakeClient c;
    FakeLink link(&c);
    link.SetAction(action);
    EXPECT_FALSE(link.Execute());
    EXPECT_EQ(counter.runs, 1);
    action->Free();
}

TEST(Actions, HandlerlessActionsStayEnabled) {
    auto* action = Create<TAction>(nullptr);
    action->SetCaption("<Please select an application>");
    EXPECT_FALSE(action->Update());
    EXPECT_FALSE(action->Execute());
    EXPECT_TRUE(action->Enabled());
    action->Free();
}

TEST(Actions, FreeingAnActionUnlinksItsClients) {
    auto* action = Create<TAction>(nullptr);
    FakeClient c;
    {
        FakeLink link(&c);
        link.SetAction(action);
        action->Free();
        EXPECT_TRUE(c.gone);
        EXPECT_EQ(link.Action(), nullptr);
        EXPECT_FALSE(link.Execute());
    }
    // A link that goes first unregisters itself.
    auto* second = Create<TAction>(nullptr);
    {
        FakeLink link(&c);
        link.SetAction(second);
    }
    EXPECT_EQ(second->ClientCount(), 0);
    second->Free();
}

TEST(Actions, ListsAndGroups) {
    auto* list = Create<TActionList>(nullptr);
    auto* one = Create<TAction>(nullptr);
    auto* two = Create<TAction>(nullptr);
    one->SetActionList(list);
    two->SetActionList(list);
    one->SetGroupIndex(1);
    two->SetGroupIndex(1);
    EXPECT_EQ(two->Index(), 1);
    one->SetChecked(true);
    two->SetChecked(true);
    EXPECT_FALSE(one->Checked());
    EXPECT_TRUE(two->Checked());
    two->SetIndex(0);
    EXPECT_EQ(list->Actions(0), two);
    one->Free();
    EXPECT_EQ(list->ActionCount(), 1);
    list->Free();
    EXPECT_EQ(two->ActionList(), nullptr);
    two->Free();
}

TEST(Actions, ShortCutRunsTheFirstActionOfTheListThatIsEnabledAfterItsUpdate) {
    auto* list = Create<TActionList>(nullptr);
    std::vector<std::string> ran;
    struct Sink : TObject {
        std::vector<std::string>* ran;
        void Run(TObject* s) { ran->push_back(static_cast<TAction*>(s)->Caption()); }
        void Enable(TObject* s) { static_cast<TAction*>(s)->SetEnabled(true); }
    } sink;
    sink.ran = &ran;
    auto add = [&](const char* caption, TShortCut shortCut, bool enabled, bool handler = true) {
        auto* action = Create<TAction>(list);
        action->SetCaption(caption);
        action->SetShortCut(shortCut);
        action->SetEnabled(enabled);
        if (handler)
            action->OnExecute = TNotifyEvent(&sink, &Sink::Run);
        action->SetActionList(list);
        return action;
    };
    const TShortCut ctrlR = ShortCut('R', {ssCtrl});
    add("off R", ctrlR, false);
    add("on R", ctrlR, true);
    add("late R", ctrlR, true);
    add("updated 1", ShortCut('1', {ssAlt}), false)->OnUpdate = TNotifyEvent(&sink, &Sink::Enable);
    add("off Q", ShortCut('Q', {ssCtrl}), false);
    add("silent N", ShortCut('N', {ssCtrl}), true, false);

    const struct {
        TShortCut Key;
        bool Used;
        std::vector<std::string> Ran;
    } cases[] = {
        {ctrlR, true, {"on R"}},
        {ShortCut('1', {ssAlt}), true, {"updated 1"}},
        {ShortCut('Q', {ssCtrl}), false, {}},
        {ShortCut('N', {ssCtrl}), true, {}}, // an enabled action owns its key, handler or not
        {ShortCut('R', {}), false, {}},
        {0, false, {}},
    };
    for (const auto& c : cases) {
        ran.clear();
        EXPECT_EQ(list->IsShortCut(c.Key), c.Used) << ShortCutToText(c.Key);
        EXPECT_EQ(ran, c.Ran) << ShortCutToText(c.Key);
    }
    list->Free();
}

}  // namespace
