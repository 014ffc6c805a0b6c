#include "framework/core/StreamAdapter_win.h"

#include <cstdint>
#include <vector>

#include "framework/core/Stream.h"

HRESULT STDMETHODCALLTYPE TStreamAdapter::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISequentialStream) ||
        IsEqualIID(riid, IID_IStream)) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TStreamAdapter::AddRef() {
    return ++references_;
}

ULONG STDMETHODCALLTYPE TStreamAdapter::Release() {
    return references_ > 0 ? --references_ : 0;
}

HRESULT STDMETHODCALLTYPE TStreamAdapter::Read(void* buffer, ULONG count, ULONG* done) {
    if (done != nullptr)
        *done = 0;
    if (buffer == nullptr && count > 0)
        return STG_E_INVALIDPOINTER;
    try {
        const std::size_t got = stream_.Read(buffer, count);
        if (done != nullptr)
            *done = static_cast<ULONG>(got);
        if (got == count)
            return S_OK;
        shortRead_ = true;
        return S_FALSE;
    } catch (...) {
        shortRead_ = true;
        return STG_E_READFAULT;
    }
}

HRESULT STDMETHODCALLTYPE TStreamAdapter::Write(const void* buffer, ULONG count, ULONG* done) {
    if (done != nullptr)
        *done = 0;
    if (buffer == nullptr && count > 0)
        return STG_E_INVALIDPOINTER;
    try {
        const std::size_t put = stream_.Write(buffer, count);
        if (done != nullptr)
            *done = static_cast<ULONG>(put);
        return put == count ? S_OK : STG_E_WRITEFAULT;
    } catch (...) {
        return STG_E_WRITEFAULT;
    }
}

HRESULT STDMETHODCALLTYPE TStreamAdapter::Seek(LARGE_INTEGER move, DWORD origin,
                                               ULARGE_INTEGER* position) {
    TSeekOrigin from;
    switch (origin) {
    case STREAM_SEEK_SET:
        from = soBeginning;
        break;
    case STREAM_SEEK_CUR:
        from = soCurrent;
        break;
    case STREAM_SEEK_END:
        from = soEnd;
        break;
    default:
        return STG_E_INVALIDFUNCTION;
    }
    try {
        const std::int64_t now = stream_.Seek(move.QuadPart, from);
        if (now < 0)
            return STG_E_INVALIDFUNCTION;
        if (position != nullptr)
            position->QuadPart = static_cast<ULONGLONG>(now);
        return S_OK;
    } catch (...) {
        return STG_E_INVALIDFUNCTION;
    }
}

HRESULT STDMETHODCALLTYPE TStreamAdapter::SetSize(ULARGE_INTEGER size) {
    if (size.QuadPart > static_cast<ULONGLONG>(INT64_MAX))
        return STG_E_INVALIDFUNCTION;
    try {
        stream_.SetSize(static_cast<std::int64_t>(size.QuadPart));
        return S_OK;
    } catch (...) {
        return STG_E_MEDIUMFULL;
    }
}

HRESULT STDMETHODCALLTYPE TStreamAdapter::CopyTo(IStream* target, ULARGE_INTEGER count,
                                                 ULARGE_INTEGER* read, ULARGE_INTEGER* written) {
    if (read != nullptr)
        read->QuadPart = 0;
    if (written != nullptr)
        written->QuadPart = 0;
    if (target == nullptr)
        return STG_E_INVALIDPOINTER;
    // In pieces: the count may be anything up to "everything".
    std::vector<unsigned char> buffer(64 * 1024);
    ULONGLONG left = count.QuadPart;
    while (left > 0) {
        const ULONG want = static_cast<ULONG>(left < buffer.size() ? left : buffer.size());
        ULONG got = 0;
        const HRESULT hr = Read(buffer.data(), want, &got);
        if (FAILED(hr))
            return hr;
        if (read != nullptr)
            read->QuadPart += got;
        if (got == 0)
            break;
        ULONG put = 0;
        const HRESULT wr = target->Write(buffer.data(), got, &put);
        if (written != nullptr)
            written->QuadPart += put;
        if (FAILED(wr))
            return wr;
        left -= got;
        if (got < want)
            break;
    }
    return S_OK;
}

// Writes go straight to the stream: there is nothing to commit or revert.
HRESULT STDMETHODCALLTYPE TStreamAdapter::Commit(DWORD) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TStreamAdapter::Revert() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TStreamAdapter::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT STDMETHODCALLTYPE TStreamAdapter::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT STDMETHODCALLTYPE TStreamAdapter::Stat(STATSTG* stat, DWORD) {
    if (stat == nullptr)
        return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    try {
        stat->cbSize.QuadPart = static_cast<ULONGLONG>(stream_.Size());
        return S_OK;
    } catch (...) {
        return STG_E_ACCESSDENIED;
    }
}

HRESULT STDMETHODCALLTYPE TStreamAdapter::Clone(IStream** clone) {
    if (clone != nullptr)
        *clone = nullptr;
    return E_NOTIMPL;
}
