#include "controls/TkAutoComplete_win.h"

#include <new>
#include <string>

#include "framework/core/Strings.h"

namespace {

HRESULT ToHResult(TEnumAnswer answer) noexcept {
    switch (answer) {
    case TEnumAnswer::Ok:
        return S_OK;
    case TEnumAnswer::False:
        return S_FALSE;
    case TEnumAnswer::OutOfMemory:
        return E_OUTOFMEMORY;
    case TEnumAnswer::InvalidArg:
        return E_INVALIDARG;
    case TEnumAnswer::Fail:
        break;
    }
    return E_FAIL;
}

wchar_t* WideCopy(const std::string& text) {
    const int n = text.empty() ? 0
                               : MultiByteToWideChar(CP_ACP, 0, text.data(),
                                                     static_cast<int>(text.size()), nullptr, 0);
    auto* out = static_cast<wchar_t*>(
        TAutoCompleteSource::Allocator()((static_cast<SIZE_T>(n) + 1) * sizeof(wchar_t)));
    if (out == nullptr)
        return nullptr;
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out, n);
    out[n] = L'\0';
    return out;
}

} // namespace

TAutoCompleteSource::TAllocator& TAutoCompleteSource::Allocator() noexcept {
    static TAllocator allocator = &CoTaskMemAlloc;
    return allocator;
}

TAutoCompleteSource::TAutoCompleteSource(std::shared_ptr<TAutoCompleteItemsRef> Items,
                                         std::uint32_t Index)
    : items_(std::move(Items)) {
    cursor_.Index = Index;
}

std::uint32_t TAutoCompleteSource::Count() const {
    const int n = items_ != nullptr && items_->List != nullptr ? items_->List->Count() : 0;
    return n > 0 ? static_cast<std::uint32_t>(n) : 0;
}

HRESULT STDMETHODCALLTYPE TAutoCompleteSource::QueryInterface(REFIID Iid, void** Object) {
    if (Object == nullptr)
        return E_POINTER;
    if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IEnumString)) {
        *Object = static_cast<IEnumString*>(this);
        AddRef();
        return S_OK;
    }
    *Object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TAutoCompleteSource::AddRef() {
    return ++refs_;
}

ULONG STDMETHODCALLTYPE TAutoCompleteSource::Release() {
    const ULONG left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE TAutoCompleteSource::Next(ULONG Wanted, LPOLESTR* Out, ULONG* Fetched) {
    try {
        static_assert(sizeof(ULONG) == sizeof(std::uint32_t));
        const TEnumAnswer answer = cursor_.Next(
            Count(), Wanted, reinterpret_cast<void**>(Out),
            reinterpret_cast<std::uint32_t*>(Fetched),
            [this](std::uint32_t i) -> void* {
                return WideCopy(items_->List->Strings(static_cast<int>(i)));
            },
            [](void* p) { CoTaskMemFree(p); });
        return ToHResult(answer);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TAutoCompleteSource::Skip(ULONG N) {
    return ToHResult(cursor_.Skip(Count(), N));
}

HRESULT STDMETHODCALLTYPE TAutoCompleteSource::Reset() {
    cursor_.Reset();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TAutoCompleteSource::Clone(IEnumString** Out) {
    if (Out == nullptr)
        return E_POINTER;
    *Out = nullptr;
    auto* clone = new (std::nothrow) TAutoCompleteSource(items_, cursor_.Index);
    if (clone == nullptr)
        return E_UNEXPECTED;
    *Out = clone;
    return S_OK;
}
