#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Events.h"
#include "framework/core/Persistent.h"
#include "framework/graphics/Icon_win.h"

class TFiler;
class TStream;

// An ordered list of icons that owns its entries (an entry may be nullptr,
// an empty slot as read from a stream) and reports every change through
// OnChange. Changes can be batched: inside LockChanges ... UnlockChanges
// nothing is reported, and the UnlockChanges that closes the outermost batch
// reports once. A change of a held icon is reported as a change of the list.
//
// Stored in form descriptions as the binary property "Icons": a 32-bit
// count, then per entry a 32-bit size and that many bytes of icon file
// (size 0 for an empty slot or an empty icon).
class TIconList : public TPersistent {
    FW_CLASS(TIconList, TPersistent)
public:
    TIconList() = default;
    ~TIconList() override;

    void LockChanges() noexcept { ++updateCount_; }
    // Closes a batch; the outermost one reports the change.
    void UnlockChanges();
    // Fires OnChange unless a batch is open.
    virtual void Changed();

    // The entry at index (nullptr for an empty slot); EListError outside the list.
    virtual TIcon* Get(std::int32_t index) const;
    // Entries, empty slots included.
    virtual std::int32_t Count() const noexcept { return static_cast<std::int32_t>(items_.size()); }
    // Copies icon into the entry at index; index == Count appends. An empty
    // slot gets a new icon. One change.
    virtual void Put(std::int32_t index, TIcon* icon);
    // Appends a copy of icon (nullptr: an empty icon); returns its index.
    virtual std::int32_t Add(TIcon* icon);
    // Appends an icon loaded by LoadIconA(instance, name); an empty icon when the module has
    // no icon of that name.
    virtual std::int32_t AddFromResource(HINSTANCE instance, const std::string& name);
    // Deletes every entry, last first; one change.
    virtual void Clear();
    virtual void Delete(std::int32_t index);
    virtual void Exchange(std::int32_t index1, std::int32_t index2);
    // The position of that very object, -1 when it is not held.
    virtual std::int32_t IndexOf(const TIcon* icon) const noexcept;
    // Inserts a copy of icon at index (0..Count).
    virtual void Insert(std::int32_t index, TIcon* icon);
    virtual void InsertFromResource(std::int32_t index, HINSTANCE instance,
                                    const std::string& name);
    // Replaces the entries with the stored form read from stream. Entries read
    // before a failure stay; the failure (EReadError for a short stream or an
    // entry larger than what is left, the icon's error for bad icon bytes)
    // propagates after the batch has reported its change.
    virtual void ReadFromStream(TStream& stream);
    virtual void Move(std::int32_t curIndex, std::int32_t newIndex);
    virtual void WriteToStream(TStream& stream);

    // nullptr: Clear. A TIconList: copies of its entries. A TIcon: that icon
    // alone. Anything else: EConvertError.
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    TNotifyEvent OnChange;

private:
    // Runs body inside a batch that is closed also when body raises.
    template <class F> void InBatch(F&& body);
    void CheckIndex(std::int32_t index, std::int32_t limit) const;
    // Room for one more entry, made before its icon (EOutOfMemory when none).
    void Reserve();
    // Appends the object itself (nullptr allowed), binds it, reports.
    std::int32_t AppendEntry(TIcon* icon);
    static TIcon* CopyOf(TIcon* icon);
    static TIcon* FromResource(HINSTANCE instance, const std::string& name);
    void Bind(TIcon* icon);
    void Unbind(TIcon* icon) noexcept;
    void ItemChanged(TObject* Sender);
    bool HasDataFor(TPersistent* ancestor) const;

    std::vector<TIcon*> items_;
    std::int32_t updateCount_ = 0;
};

// The name by which the notification icon's code refers to the list.
using TQxIconList = TIconList;
