#include "framework/core/Component.h"

#include <algorithm>

#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/core/TypInfo.h"

namespace {

bool IsIdentifier(const std::string& s) {
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (s.empty() || !letter(s[0]))
        return false;
    return std::all_of(s.begin() + 1, s.end(), [&](char c) { return letter(c) || digit(c); });
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

void Erase(std::vector<TComponent*>& list, TComponent* c) noexcept {
    list.erase(std::remove(list.begin(), list.end(), c), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Teardown();
}

void TComponent::BeforeDestruction() {
    Teardown();
}

void TComponent::Teardown() noexcept {
    if (tornDown_)
        return;
    tornDown_ = true;
    Destroying();
    LeaveLoading();
    // Subscribers first: they hold references from outside the owner's tree.
    while (!freeNotifies_.empty()) {
        TComponent* subscriber = freeNotifies_.back();
        freeNotifies_.pop_back();
        Erase(subscriber->freeNotifies_, this);
        CallReporting(this, [&] { subscriber->Notification(this, opRemove); });
    }
    DestroyComponents();
    if (owner_ != nullptr) {
        TComponent* owner = owner_;
        CallReporting(this, [&] { owner->Notification(this, opRemove); });
        ForgetInOwner();
    }
}

void TComponent::ForgetInOwner() noexcept {
    if (owner_ == nullptr)
        return;
    Erase(owner_->components_, this);
    owner_ = nullptr;
}

void TComponent::Destroying() noexcept {
    if (state_.Contains(csDestroying))
        return;
    state_.Include(csDestroying);
    for (TComponent* c : components_)
        c->Destroying();
}

void TComponent::DestroyComponents() noexcept {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        c->Free();
        // A component whose teardown was already done (or failed before it
        // left the list) must not be freed twice.
        if (!components_.empty() && components_.back() == c)
            components_.pop_back();
    }
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EListError::IndexOutOfBounds(index);
    return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const noexcept {
    if (owner_ == nullptr)
        return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int index) {
    int current = ComponentIndex();
    if (current < 0)
        return;
    auto& list = owner_->components_;
    int last = static_cast<int>(list.size()) - 1;
    index = std::clamp(index, 0, last);
    if (index == current)
        return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + index, this);
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->owner_ == this)
        return;
    for (const TComponent* c = this; c != nullptr; c = c->owner_) {
        if (c == AComponent)
            throw EComponentError("A component cannot own itself");
    }
    ValidateName(AComponent->name_, this);
    if (AComponent->owner_ != nullptr)
        AComponent->owner_->RemoveComponent(AComponent);
    components_.push_back(AComponent);
    AComponent->owner_ = this;
    if (state_.Contains(csLoading) && AComponent->loadingRoot_ == nullptr) {
        TComponent* root = loadingRoot_ != nullptr ? loadingRoot_ : this;
        AComponent->state_ |= TComponentState{csLoading, csReading};
        AComponent->loadingRoot_ = root;
        root->loaded_.push_back(AComponent);
    }
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->owner_ != this)
        return;
    CallReporting(this, [&] { Notification(AComponent, opRemove); });
    AComponent->ForgetInOwner();
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
    if (AName.empty())
        return nullptr;
    for (TComponent* c : components_) {
        if (SameName(c->name_, AName))
            return c;
    }
    return nullptr;
}

void TComponent::ValidateName(const std::string& NewName, const TComponent* owner) const {
    if (NewName.empty())
        return;
    if (!IsIdentifier(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (owner != nullptr) {
        TComponent* other = owner->FindComponent(NewName);
        if (other != nullptr && other != this)
            throw EComponentError("A component named " + NewName + " already exists");
    }
}

void TComponent::SetName(const std::string& NewName) {
    if (NewName == name_)
        return;
    ValidateName(NewName, owner_);
    name_ = NewName;
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this)
        return;
    if (owner_ != nullptr && AComponent->owner_ == owner_)
        return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end())
        freeNotifies_.push_back(AComponent);
    if (std::find(AComponent->freeNotifies_.begin(), AComponent->freeNotifies_.end(), this) ==
        AComponent->freeNotifies_.end())
        AComponent->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    UnlinkFreeNotification(AComponent);
}

void TComponent::UnlinkFreeNotification(TComponent* AComponent) noexcept {
    if (AComponent == nullptr)
        return;
    Erase(freeNotifies_, AComponent);
    Erase(AComponent->freeNotifies_, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove)
        UnlinkFreeNotification(AComponent);
    // Handlers may free or insert components: walk from the end and re-check
    // the bound after every call. Each component's failure is its own.
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (i >= ComponentCount()) {
            i = ComponentCount();
            continue;
        }
        TComponent* c = components_[static_cast<std::size_t>(i)];
        CallReporting(c, [&] { c->Notification(AComponent, Operation); });
    }
}

void TComponent::BeginLoading() {
    if (state_.Contains(csLoading))
        return;
    state_ |= TComponentState{csLoading, csReading};
    loadingRoot_ = this;
    loaded_.assign(1, this);
}

void TComponent::EndLoading() {
    if (loadingRoot_ != this)
        return;
    for (TComponent* c : loaded_) {
        if (c != nullptr)
            c->state_.Exclude(csReading);
    }
    // Entries of components freed meanwhile are nulled by LeaveLoading; a
    // component inserted below one that still loads joins the end of the
    // list and is reached by the index loop.
    std::size_t i = 0;
    try {
        for (; i < loaded_.size(); ++i) {
            TComponent* c = loaded_[i];
            if (c == nullptr)
                continue;
            c->Loaded();
            if (loaded_[i] != nullptr) {
                c->state_.Exclude(csLoading);
                if (c != this)
                    c->loadingRoot_ = nullptr;
            }
        }
    } catch (...) {
        for (TComponent* c : loaded_) {
            if (c != nullptr) {
                c->state_ -= TComponentState{csLoading, csReading};
                c->loadingRoot_ = nullptr;
            }
        }
        loaded_.clear();
        throw;
    }
    loaded_.clear();
    loadingRoot_ = nullptr;
    state_ -= TComponentState{csLoading, csReading};
}

void TComponent::LeaveLoading() noexcept {
    if (loadingRoot_ == nullptr)
        return;
    if (loadingRoot_ == this) {
        for (TComponent* c : loaded_) {
            if (c != nullptr && c != this) {
                c->loadingRoot_ = nullptr;
                c->state_ -= TComponentState{csLoading, csReading};
            }
        }
        loaded_.clear();
    } else {
        auto& list = loadingRoot_->loaded_;
        std::replace(list.begin(), list.end(), this, static_cast<TComponent*>(nullptr));
    }
    loadingRoot_ = nullptr;
    state_ -= TComponentState{csLoading, csReading};
}

void TComponent::Loaded() {
    state_.Exclude(csLoading);
}

TPersistent* TComponent::GetOwner() const {
    return owner_;
}

std::string TComponent::GetNamePath() const {
    return name_;
}

const TPropList& TComponent::PublishedProperties() {
    static const TPropList list =
        TPropList(TInherited::PublishedProperties())
            .String("Name", &TComponent::Name, &TComponent::SetName)
            .Stored(false)
            .Integer("Tag", &TComponent::Tag, &TComponent::SetTag)
            .Default(0);
    return list;
}
