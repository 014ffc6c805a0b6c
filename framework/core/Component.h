#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Persistent.h"
#include "framework/core/Types.h"

enum TOperation : std::uint8_t { opInsert, opRemove };

enum TComponentStateFlag : std::uint8_t { csLoading, csReading, csDesigning, csDestroying };
using TComponentState = TSet<TComponentStateFlag>;

// A named object owned by another component, which frees it. The owner
// hears of every component inserted into or removed from it and passes the
// news to everything it owns, so references between siblings are cleared
// before a sibling dies.
//
// Construction is two-phase: create components with Create<T>(owner) or a
// TComponentClass's Create(owner); AfterConstruction then runs once the
// most-derived constructor is done.
//
// Destruction is two-phase too: Free() runs BeforeDestruction, which
//   1. sets csDestroying on the component and everything it owns,
//   2. sends opRemove to the free-notification subscribers,
//   3. frees the owned components, last-created first,
//   4. sends opRemove to the owner (which passes it to its other components)
//      and leaves the owner's list;
// only then do the C++ destructors run. Each step is caught and reported
// (ReportException): nothing escapes. Descendants that add steps (a form's
// OnDestroy, a control's window) override BeforeDestruction, may call
// Destroying() first, and call the base. A component deleted without Free
// runs the same steps from ~TComponent, where only TComponent's virtuals are
// reached.
class TComponent : public TPersistent {
    FW_CLASS(TComponent, TPersistent)
public:
    using TConstructorArgs = TCtorArgs<TComponent*>;

    // Inserts the component into AOwner (when given), which sends opInsert.
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    void BeforeDestruction() override;

    TComponent* Owner() const noexcept { return owner_; }
    int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
    // The owned component at index; EListError outside 0..ComponentCount-1.
    TComponent* Components(int index) const;
    // The position in the owner's list, -1 without an owner.
    int ComponentIndex() const noexcept;
    // Moves the component in its owner's list; the index is clamped to the list.
    void SetComponentIndex(int index);

    // Takes AComponent over from its previous owner. Raises EComponentError
    // when its name is taken here, or when it would own itself (directly or
    // through its owners).
    void InsertComponent(TComponent* AComponent);
    // Sends opRemove (to this component and everything it owns) and lets
    // AComponent go; it then has no owner. Nothing when this is not its owner.
    void RemoveComponent(TComponent* AComponent);
    // The owned component of that name (case-insensitive), or nullptr; an
    // empty name finds nothing.
    TComponent* FindComponent(std::string_view AName) const;

    const std::string& Name() const noexcept { return name_; }
    // The name is empty or an identifier (letter or underscore, then letters,
    // digits and underscores); another name or one that a sibling has
    // (case-insensitive) raises EComponentError.
    virtual void SetName(const std::string& NewName);

    std::intptr_t Tag() const noexcept { return tag_; }
    void SetTag(std::intptr_t value) noexcept { tag_ = value; }

    TComponentState ComponentState() const noexcept { return state_; }

    // Asks for opRemove when AComponent is freed, wherever it is owned; the
    // link is mutual, so whichever goes first tells the other. Components of
    // the same owner hear of each other through the owner anyway and are not
    // linked.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Frees the owned components, last-created first; each failure is reported.
    void DestroyComponents() noexcept;
    // Sets csDestroying on this component and everything it owns.
    void Destroying() noexcept;

    // Loading for components built in code. BeginLoading sets csLoading and
    // csReading; every component inserted below this one while it loads gets
    // them too. EndLoading clears csReading, then calls Loaded on this
    // component and then on the others in creation order (Loaded clears
    // csLoading). Should one Loaded raise, the rest are released from loading
    // and the exception goes on.
    void BeginLoading();
    void EndLoading();

    // Hears that AComponent joined (opInsert) or is leaving (opRemove) this
    // component's tree or a free-notification link. Overrides clear their
    // references to AComponent and call the base, which drops the link and
    // passes the news to every owned component.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

    TPersistent* GetOwner() const override;
    std::string GetNamePath() const override;

    static const TPropList& PublishedProperties();

protected:
    // Called when loading has ended; the base clears csLoading.
    virtual void Loaded();

private:
    void Teardown() noexcept;
    void ValidateName(const std::string& NewName, const TComponent* owner) const;
    void UnlinkFreeNotification(TComponent* AComponent) noexcept;
    void LeaveLoading() noexcept;
    void ForgetInOwner() noexcept;

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    std::intptr_t tag_ = 0;
    TComponentState state_;
    TComponent* loadingRoot_ = nullptr;  // the component whose loading includes this one
    std::vector<TComponent*> loaded_;    // at a loading root: who gets Loaded, in order
    bool tornDown_ = false;
};

using TComponentClass = TClassOf<TComponent>;
