#pragma once

#include <objidl.h>
#include <windows.h>

#include <atomic>
#include <memory>

#include "controls/ComboEditLogic.h"

class TStrings;

// The list a source reads. The edit that owns the list clears it when it goes: the shell may
// hold a source (and its clones) longer than the edit lives.
struct TAutoCompleteItemsRef {
    TStrings* List = nullptr;
};

// The string enumerator the shell's auto-complete object reads: the edit's items from a current
// index, each handed out as a new wide string in COM task memory.
class TAutoCompleteSource final : public IEnumString {
public:
    explicit TAutoCompleteSource(std::shared_ptr<TAutoCompleteItemsRef> Items,
                                 std::uint32_t Index = 0);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG Wanted, LPOLESTR* Out, ULONG* Fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG N) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumString** Out) override;

    // The wide copy of Text in task memory, or nullptr when it cannot be allocated. The
    // allocator may be replaced (tests make it fail).
    using TAllocator = void*(WINAPI*)(SIZE_T);
    static TAllocator& Allocator() noexcept;

private:
    ~TAutoCompleteSource() = default;
    std::uint32_t Count() const;

    std::atomic<ULONG> refs_{1};
    std::shared_ptr<TAutoCompleteItemsRef> items_;
    TStringEnumCursor cursor_;
};
