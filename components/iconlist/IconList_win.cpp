#include "components/iconlist/IconList_win.h"

#include <new>

#include "components/iconlist/IconListFraming.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Filer.h"
#include "framework/core/MemoryStream.h"

TIconList::~TIconList() {
    OnChange = nullptr;
    for (TIcon* icon : items_) {
        Unbind(icon);
        delete icon;
    }
}

template <class F> void TIconList::InBatch(F&& body) {
    LockChanges();
    try {
        body();
    } catch (...) {
        UnlockChanges();
        throw;
    }
    UnlockChanges();
}

void TIconList::UnlockChanges() {
    if (--updateCount_ == 0)
        Changed();
}

void TIconList::Changed() {
    if (updateCount_ == 0 && OnChange)
        OnChange(this);
}

void TIconList::CheckIndex(std::int32_t index, std::int32_t limit) const {
    if (index < 0 || index >= limit)
        throw EListError::IndexOutOfBounds(index);
}

TIcon* TIconList::Get(std::int32_t index) const {
    CheckIndex(index, Count());
    return items_[static_cast<std::size_t>(index)];
}

void TIconList::Bind(TIcon* icon) {
    if (icon != nullptr)
        icon->OnChange = TNotifyEvent(this, &TIconList::ItemChanged);
}

void TIconList::Unbind(TIcon* icon) noexcept {
    if (icon != nullptr)
        icon->OnChange = nullptr;
}

void TIconList::ItemChanged(TObject*) {
    Changed();
}

TIcon* TIconList::CopyOf(TIcon* icon) {
    auto* copy = new TIcon();
    try {
        copy->Assign(icon);
    } catch (...) {
        delete copy;
        throw;
    }
    return copy;
}

TIcon* TIconList::FromResource(HINSTANCE instance, const std::string& name) {
    auto* icon = new TIcon();
    // LoadIconA's icons are shared and must not be destroyed: SetHandle keeps a copy. A name the
    // module lacks gives no icon, and the entry is then an empty icon: the list takes what the
    // module has, as the notification icon shows nothing for an empty frame.
    HICON shared = LoadIconA(instance, name.c_str());
    try {
        icon->SetHandle(shared);
    } catch (...) {
        delete icon;
        throw;
    }
    return icon;
}

std::int32_t TIconList::AppendEntry(TIcon* icon) {
    items_.push_back(icon);
    Bind(icon);
    Changed();
    return Count() - 1;
}

void TIconList::Put(std::int32_t index, TIcon* icon) {
    InBatch([&] {
        if (index == Count())
            Add(nullptr);
        CheckIndex(index, Count());
        TIcon*& entry = items_[static_cast<std::size_t>(index)];
        if (entry == nullptr)
            entry = new TIcon();
        Bind(entry);
        entry->Assign(icon);
    });
}

// The room for the entry is made before the icon: once the icon exists, nothing can fail
// before the list holds it.
std::int32_t TIconList::Add(TIcon* icon) {
    Reserve();
    return AppendEntry(CopyOf(icon));
}

std::int32_t TIconList::AddFromResource(HINSTANCE instance, const std::string& name) {
    Reserve();
    return AppendEntry(FromResource(instance, name));
}

void TIconList::Reserve() {
    try {
        items_.reserve(items_.size() + 1);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

void TIconList::Clear() {
    InBatch([&] {
        for (std::int32_t i = Count() - 1; i >= 0; --i)
            Delete(i);
    });
}

void TIconList::Delete(std::int32_t index) {
    CheckIndex(index, Count());
    TIcon* icon = items_[static_cast<std::size_t>(index)];
    items_.erase(items_.begin() + index);
    Unbind(icon);
    delete icon;
    Changed();
}

void TIconList::Exchange(std::int32_t index1, std::int32_t index2) {
    CheckIndex(index1, Count());
    CheckIndex(index2, Count());
    std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
    Changed();
}

std::int32_t TIconList::IndexOf(const TIcon* icon) const noexcept {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == icon)
            return static_cast<std::int32_t>(i);
    return -1;
}

void TIconList::Insert(std::int32_t index, TIcon* icon) {
    CheckIndex(index, Count() + 1);
    Reserve();
    TIcon* copy = CopyOf(icon);
    items_.insert(items_.begin() + index, copy);
    Bind(copy);
    Changed();
}

void TIconList::InsertFromResource(std::int32_t index, HINSTANCE instance,
                                   const std::string& name) {
    CheckIndex(index, Count() + 1);
    Reserve();
    TIcon* icon = FromResource(instance, name);
    items_.insert(items_.begin() + index, icon);
    Bind(icon);
    Changed();
}

void TIconList::Move(std::int32_t curIndex, std::int32_t newIndex) {
    CheckIndex(curIndex, Count());
    CheckIndex(newIndex, Count());
    if (curIndex == newIndex)
        return Changed();
    TIcon* icon = items_[static_cast<std::size_t>(curIndex)];
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, icon);
    Changed();
}

void TIconList::ReadFromStream(TStream& stream) {
    InBatch([&] {
        Clear();
        ReadIconFraming(stream, [&](const std::vector<std::uint8_t>* bytes) {
            if (bytes == nullptr) {
                AppendEntry(nullptr);
                return;
            }
            TMemoryStream data;
            data.WriteBuffer(bytes->data(), bytes->size());
            data.SetPosition(0);
            auto* icon = new TIcon();
            try {
                icon->LoadFromStream(data);
                items_.reserve(items_.size() + 1);
            } catch (...) {
                delete icon;
                throw;
            }
            AppendEntry(icon);
        });
    });
}

void TIconList::WriteToStream(TStream& stream) {
    WriteIconCount(stream, Count());
    TMemoryStream scratch;
    for (TIcon* icon : items_) {
        scratch.Clear();
        if (icon != nullptr && !icon->Empty())
            icon->SaveToStream(scratch);
        WriteIconEntry(stream, scratch.Memory(), static_cast<std::size_t>(scratch.Size()));
    }
}

void TIconList::Assign(TPersistent* Source) {
    if (Source == this)
        return;
    if (Source == nullptr) {
        Clear();
        return;
    }
    if (auto* list = dynamic_cast<TIconList*>(Source)) {
        InBatch([&] {
            Clear();
            for (TIcon* icon : list->items_)
                Add(icon);
        });
        return;
    }
    if (auto* icon = dynamic_cast<TIcon*>(Source)) {
        InBatch([&] {
            Clear();
            Add(icon);
        });
        return;
    }
    TPersistent::Assign(Source);
}

bool TIconList::HasDataFor(TPersistent* ancestor) const {
    auto* base = dynamic_cast<TIconList*>(ancestor);
    if (base != nullptr && base->Count() == Count() && Count() != 0) {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i] != base->items_[i])
                return true;
        return false;
    }
    return Count() != 0;
}

void TIconList::DefineProperties(TFiler* Filer) {
    TPersistent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Icons", [this](TStream& s) { ReadFromStream(s); },
        [this](TStream& s) { WriteToStream(s); }, HasDataFor(Filer->Ancestor()));
}
