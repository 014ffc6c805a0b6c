#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"

namespace {

// What happened, in order, across all probes of a test.
std::vector<std::string> gLog;

// A component that logs its life cycle and the notifications it hears, and
// clears its reference to a peer when that peer is removed.
class TProbe : public TComponent {
    FW_CLASS(TProbe, TComponent)
public:
    explicit TProbe(TComponent* AOwner) : TComponent(AOwner) {}
    ~TProbe() override { gLog.push_back("~" + Name()); }

    TComponent* Peer = nullptr;
    std::vector<std::string> Heard;

    void Notification(TComponent* AComponent, TOperation Operation) override {
        if (Operation == opRemove && AComponent != this) {
            // The dying component is still whole: its final class answers.
            Heard.push_back(AComponent->ClassName() + ":" + AComponent->Name() + ":" +
                            (AComponent->ComponentState().Contains(csDestroying) ? "destroying"
                                                                                : "alive"));
            if (AComponent == Peer)
                Peer = nullptr;
        }
        TComponent::Notification(AComponent, Operation);
    }

    void BeforeDestruction() override {
        gLog.push_back("before " + Name());
        TComponent::BeforeDestruction();
    }

protected:
    void Loaded() override {
        gLog.push_back("loaded " + Name() + (ComponentState().Contains(csLoading) ? "+L" : "") +
                       (ComponentState().Contains(csReading) ? "+R" : ""));
        TComponent::Loaded();
    }
};

TProbe* MakeProbe(TComponent* owner, const std::string& name) {
    auto* p = Create<TProbe>(owner);
    p->SetName(name);
    return p;
}

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        gLog.clear();
        gReports = 0;
        previous_ = SetExceptionReporter(&CountReport);
    }
    void TearDown() override { SetExceptionReporter(previous_); }

    static void CountReport(TObject*, std::exception_ptr) noexcept { ++gReports; }
    static inline int gReports = 0;

private:
    TExceptionReporter previous_ = nullptr;
};

TEST_F(ComponentTest, OwnerFreesItsComponentsLastCreatedFirstBeforeItsOwnDestructor) {
    auto* form = MakeProbe(nullptr, "Form");
    MakeProbe(form, "A");
    auto* b = MakeProbe(form, "B");
    MakeProbe(b, "B1");
    MakeProbe(form, "C");
    ASSERT_EQ(form->ComponentCount(), 3);

    form->Free();
    std::vector<std::string> expected = {"before Form", "before C", "~C",  "before B", "before B1",
                                         "~B1",         "~B",       "before A", "~A", "~Form"};
    EXPECT_EQ(gLog, expected);
}

TEST_F(ComponentTest, RemovalReachesSiblingsAndSubscribersWhileTheComponentIsWhole) {
    auto* form = MakeProbe(nullptr, "Form");
    auto* menu = MakeProbe(form, "Menu");
    auto* button = MakeProbe(form, "Button");
    auto* otherForm = MakeProbe(nullptr, "Other");
    auto* outsider = MakeProbe(otherForm, "Outsider");
    button->Peer = menu;
    outsider->Peer = menu;
    menu->FreeNotification(outsider);

    menu->Free();
    EXPECT_EQ(button->Peer, nullptr);
    EXPECT_EQ(outsider->Peer, nullptr);
    EXPECT_EQ(button->Heard, std::vector<std::string>{"TProbe:Menu:destroying"});
    EXPECT_EQ(outsider->Heard, std::vector<std::string>{"TProbe:Menu:destroying"});
    EXPECT_EQ(form->Heard, std::vector<std::string>{"TProbe:Menu:destroying"});
    EXPECT_EQ(form->ComponentCount(), 1);

    otherForm->Free();
    form->Free();
}

TEST_F(ComponentTest, FreeNotificationIsMutualAndRemovable) {
    auto* a = MakeProbe(nullptr, "A");
    auto* b = MakeProbe(nullptr, "B");
    auto* c = MakeProbe(nullptr, "C");
    a->FreeNotification(b);
    a->FreeNotification(c);
    a->RemoveFreeNotification(c);

    // b goes first: a must forget it, or a's later free would touch a dead b.
    b->Free();
    EXPECT_EQ(a->Heard, std::vector<std::string>{"TProbe:B:destroying"});
    a->Free();
    EXPECT_TRUE(c->Heard.empty());
    c->Free();
}

TEST_F(ComponentTest, DeleteWithoutFreeStillLeavesTheOwnerAndNotifies) {
    auto* form = MakeProbe(nullptr, "Form");
    auto* a = MakeProbe(form, "A");
    auto* b = MakeProbe(form, "B");
    b->Peer = a;
    delete a;
    EXPECT_EQ(b->Peer, nullptr);
    EXPECT_EQ(form->ComponentCount(), 1);
    form->Free();
}

// A notification handler that frees another sibling must not derail the
// owner's walk over its list.
class TGreedy : public TComponent {
    FW_CLASS(TGreedy, TComponent)
public:
    using TComponent::TComponent;
    TComponent* Victim = nullptr;
    void Notification(TComponent* AComponent, TOperation Operation) override {
        if (Operation == opRemove && Victim != nullptr && AComponent != Victim) {
            TComponent* v = Victim;
            Victim = nullptr;
            v->Free();
        }
        TComponent::Notification(AComponent, Operation);
    }
};

TEST_F(ComponentTest, HandlersThatFreeSiblingsDuringNotificationAreSafe) {
    auto* form = MakeProbe(nullptr, "Form");
    auto* greedy = Create<TGreedy>(form);
    auto* victim = MakeProbe(form, "Victim");
    MakeProbe(form, "Last");
    greedy->Victim = victim;
    form->Components(2)->Free();  // "Last"
    EXPECT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(form->Components(0), greedy);
    form->Free();
}

class TFailing : public TComponent {
    FW_CLASS(TFailing, TComponent)
public:
    using TComponent::TComponent;
    void BeforeDestruction() override {
        TComponent::BeforeDestruction();
        throw EInvalidOperation("teardown failed");
    }
};

TEST_F(ComponentTest, FailuresDuringDestructionAreReportedAndTheRestGoesOn) {
    auto* form = MakeProbe(nullptr, "Form");
    MakeProbe(form, "A");
    Create<TFailing>(form);
    MakeProbe(form, "C");
    form->Free();
    EXPECT_EQ(gReports, 1);
    std::vector<std::string> expected = {"before Form", "before C", "~C", "before A", "~A", "~Form"};
    EXPECT_EQ(gLog, expected);
}

// Two-phase construction: the hook runs after the most-derived constructor,
// so an override reaches the final class with its members initialised.
class TTwoPhaseBase : public TComponent {
    FW_CLASS(TTwoPhaseBase, TComponent)
public:
    explicit TTwoPhaseBase(TComponent* AOwner) : TComponent(AOwner) { CreationHook(); }
    std::vector<std::string> Calls;
    void AfterConstruction() override {
        TComponent::AfterConstruction();
        CreationHook();
    }
    void BeforeDestruction() override {
        DestructionHook();
        TComponent::BeforeDestruction();
    }
    virtual void CreationHook() { Calls.push_back("base hook"); }
    virtual void DestructionHook() { gLog.push_back("base destruction hook"); }
};

class TTwoPhaseDerived : public TTwoPhaseBase {
    FW_CLASS(TTwoPhaseDerived, TTwoPhaseBase)
public:
    explicit TTwoPhaseDerived(TComponent* AOwner) : TTwoPhaseBase(AOwner), style_("derived") {}
    ~TTwoPhaseDerived() override { gLog.push_back("~derived"); }
    void CreationHook() override { Calls.push_back("derived hook sees " + style_); }
    void DestructionHook() override { gLog.push_back("derived destruction hook sees " + style_); }

private:
    std::string style_;
};

TEST_F(ComponentTest, TwoPhaseConstructionAndDestructionReachTheDerivedOverride) {
    TComponentClass cls = TComponentClass::Of<TTwoPhaseDerived>();
    auto* obj = static_cast<TTwoPhaseDerived*>(cls.Create(nullptr));
    // The call inside the base constructor reached the base version; the one
    // after construction reached the override with its member set.
    EXPECT_EQ(obj->Calls, (std::vector<std::string>{"base hook", "derived hook sees derived"}));
    obj->Free();
    EXPECT_EQ(gLog, (std::vector<std::string>{"derived destruction hook sees derived", "~derived"}));
}

TEST_F(ComponentTest, ClassReferenceCreatesInsideTheOwner) {
    auto* form = MakeProbe(nullptr, "Form");
    TComponentClass cls(TProbe::StaticClass());
    TComponent* made = cls.Create(form);
    EXPECT_EQ(made->ClassName(), "TProbe");
    EXPECT_EQ(made->Owner(), form);
    EXPECT_EQ(made->ComponentIndex(), 0);
    EXPECT_THROW(TComponentClass{TPersistent::StaticClass()}, EInvalidCast);
    EXPECT_THROW(TComponentClass().Create(form), EInvalidOperation);
    form->Free();
}

TEST_F(ComponentTest, NamesAreIdentifiersUniqueWithinOneOwner) {
    auto* form = MakeProbe(nullptr, "Form");
    auto* a = MakeProbe(form, "Button1");
    auto* b = MakeProbe(form, "");
    struct Case {
        const char* name;
        bool valid;
    };
    const Case cases[] = {{"Edit1", true},  {"_x", true},   {"", true},     {"1Edit", false},
                          {"Edit 1", false}, {"Ed-it", false}, {"Edit.1", false}};
    for (const Case& c : cases) {
        if (c.valid) {
            EXPECT_NO_THROW(b->SetName(c.name)) << c.name;
        } else {
            EXPECT_THROW(b->SetName(c.name), EComponentError) << c.name;
        }
    }
    b->SetName("");
    EXPECT_THROW(b->SetName("Button1"), EComponentError);
    EXPECT_THROW(b->SetName("BUTTON1"), EComponentError);
    EXPECT_NO_THROW(a->SetName("BUTTON1"));  // the component's own name in another case
    EXPECT_EQ(form->FindComponent("button1"), a);
    EXPECT_EQ(form->FindComponent(""), nullptr);

    // The same name under another owner is fine; moving it here is not.
    auto* other = MakeProbe(nullptr, "Other");
    auto* twin = MakeProbe(other, "Button1");
    EXPECT_THROW(form->InsertComponent(twin), EComponentError);
    EXPECT_EQ(twin->Owner(), other);
    other->Free();
    form->Free();
}

TEST_F(ComponentTest, InsertRemoveAndIndex) {
    auto* form = MakeProbe(nullptr, "Form");
    auto* a = MakeProbe(form, "A");
    auto* b = MakeProbe(form, "B");
    auto* c = MakeProbe(form, "C");
    c->SetComponentIndex(0);
    EXPECT_EQ(form->Components(0), c);
    a->SetComponentIndex(99);
    EXPECT_EQ(form->Components(2), a);
    EXPECT_EQ(b->ComponentIndex(), 1);

    try {
        form->Components(3);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (3)");
    }
    EXPECT_THROW(form->Components(-1), EListError);

    form->RemoveComponent(b);
    EXPECT_EQ(b->Owner(), nullptr);
    EXPECT_EQ(b->ComponentIndex(), -1);
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_TRUE(a->Heard == std::vector<std::string>{"TProbe:B:alive"});

    // No cycles in ownership.
    form->InsertComponent(b);
    EXPECT_THROW(b->InsertComponent(form), EComponentError);
    EXPECT_THROW(b->InsertComponent(b), EComponentError);

    auto* other = MakeProbe(nullptr, "Other");
    other->InsertComponent(a);
    EXPECT_EQ(a->Owner(), other);
    EXPECT_EQ(form->FindComponent("A"), nullptr);
    other->Free();
    form->Free();
}

TEST_F(ComponentTest, CodeBuiltLoadingRunsLoadedInCreationOrder) {
    auto* form = MakeProbe(nullptr, "Form");
    form->BeginLoading();
    auto* a = MakeProbe(form, "A");
    auto* panel = MakeProbe(form, "Panel");
    MakeProbe(panel, "Inner");
    auto* gone = MakeProbe(form, "Gone");
    EXPECT_TRUE(a->ComponentState().Contains(csLoading));
    EXPECT_TRUE(a->ComponentState().Contains(csReading));
    EXPECT_FALSE(a->ComponentState().Contains(csDesigning));
    gone->Free();
    gLog.clear();
    form->EndLoading();
    std::vector<std::string> expected = {"loaded Form+L", "loaded A+L", "loaded Panel+L",
                                         "loaded Inner+L"};
    EXPECT_EQ(gLog, expected);
    EXPECT_TRUE(form->ComponentState().Empty());
    EXPECT_TRUE(a->ComponentState().Empty());

    // Components made after loading are not loading.
    EXPECT_TRUE(MakeProbe(form, "Late")->ComponentState().Empty());
    form->Free();
}

class TBadLoad : public TComponent {
    FW_CLASS(TBadLoad, TComponent)
public:
    using TComponent::TComponent;

protected:
    void Loaded() override { throw EInvalidOperation("cannot load"); }
};

TEST_F(ComponentTest, AFailingLoadedReleasesTheOthersFromLoading) {
    auto* form = MakeProbe(nullptr, "Form");
    form->BeginLoading();
    Create<TBadLoad>(form);
    auto* after = MakeProbe(form, "After");
    EXPECT_THROW(form->EndLoading(), EInvalidOperation);
    EXPECT_FALSE(after->ComponentState().Contains(csLoading));
    EXPECT_FALSE(form->ComponentState().Contains(csLoading));
    form->Free();
}

TEST_F(ComponentTest, FreeingTheRootWhileLoadingIsSafe) {
    auto* form = MakeProbe(nullptr, "Form");
    auto* outside = MakeProbe(nullptr, "Outside");
    form->BeginLoading();
    auto* child = MakeProbe(form, "Child");
    outside->InsertComponent(child);
    form->Free();
    EXPECT_FALSE(child->ComponentState().Contains(csLoading));
    outside->Free();
}

TEST_F(ComponentTest, NamePathIsTheNameAndTheOwnerIsTheOwningComponent) {
    auto* form = MakeProbe(nullptr, "Form");
    auto* a = MakeProbe(form, "A");
    EXPECT_EQ(a->GetNamePath(), "A");
    EXPECT_EQ(a->GetOwner(), form);
    form->Free();
}

}  // namespace
