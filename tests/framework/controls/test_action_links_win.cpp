#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "framework/controls/Action.h"
#include "framework/controls/Button_win.h"
#include "framework/controls/Edit_win.h"
#include "framework/controls/Label_win.h"
#include "framework/controls/Panel_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

// One kind of action client, reached through its own class's members.
struct TClientKind {
    const char* Name;
    std::function<TControl*(TComponent* Owner)> Make;
    std::function<void(TControl* Client, TBasicAction* Action)> Link;
    std::function<TBasicAction*(TControl* Client)> Linked;
};

template <class T> TClientKind KindOf(const char* name) {
    return {name, [](TComponent* owner) -> TControl* { return Create<T>(owner); },
            [](TControl* c, TBasicAction* a) { static_cast<T*>(c)->SetAction(a); },
            [](TControl* c) { return static_cast<T*>(c)->Action(); }};
}

struct Runs : TObject {
    std::string log;
    void Action(TObject*) { log += "action "; }
    void Own(TObject*) { log += "own "; }
};

class ActionLinkTest : public ControlsTest {};

TEST_F(ActionLinkTest, EveryKindOfControlFollowsItsActionAndRunsIt) {
    const TClientKind kinds[] = {KindOf<TButton>("button"), KindOf<TLabel>("label"),
                                 KindOf<TPanel>("panel"), KindOf<TEdit>("edit")};
    for (const TClientKind& kind : kinds) {
        SCOPED_TRACE(kind.Name);
        Runs runs;
        auto* action = Create<TAction>(form);
        action->SetCaption("Refresh");
        action->SetHint("Refresh Desktop");
        action->OnExecute = TNotifyEvent(&runs, &Runs::Action);
        TControl* client = kind.Make(form);
        client->SetParent(form);
        kind.Link(client, action);
        EXPECT_EQ(kind.Linked(client), action);
        EXPECT_EQ(client->Caption(), "Refresh");
        EXPECT_EQ(client->Hint(), "Refresh Desktop");

        action->SetEnabled(false);
        EXPECT_FALSE(client->Enabled());
        client->Click();
        EXPECT_EQ(runs.log, "") << "a disabled action does not run";
        action->SetEnabled(true);
        action->SetVisible(false);
        EXPECT_FALSE(client->Visible());
        action->SetVisible(true);
        client->Click();
        EXPECT_EQ(runs.log, "action ");

        // What the control was given itself no longer follows the action.
        client->SetCaption("Mine");
        action->SetCaption("Reload");
        EXPECT_EQ(client->Caption(), "Mine");
        client->OnClick = TNotifyEvent(&runs, &Runs::Own);
        client->Click();
        EXPECT_EQ(runs.log, "action own ");

        // Freeing the action unlinks the control, which clicks as before.
        action->Free();
        EXPECT_EQ(kind.Linked(client), nullptr);
        client->Click();
        EXPECT_EQ(runs.log, "action own own ");
        client->Free();
    }
}

} // namespace
