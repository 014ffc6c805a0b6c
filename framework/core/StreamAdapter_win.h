#pragma once

#include <objidl.h>
#include <windows.h>

class TStream;

// The system's IStream over one of our streams, for system calls that read
// or write through IStream (image lists). It does not own the stream, and it
// lives on its creator's stack: the reference count follows the interface's
// rules but never frees the adapter, so the callee must not keep it past the
// call. Errors of the stream become failure codes; no exception leaves a
// method.
class TStreamAdapter final : public IStream {
public:
    explicit TStreamAdapter(TStream& Stream) noexcept : stream_(Stream) {}
    TStreamAdapter(const TStreamAdapter&) = delete;
    TStreamAdapter& operator=(const TStreamAdapter&) = delete;
    virtual ~TStreamAdapter() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* done) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* done) override;

    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count,
                                         DWORD type) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count,
                                           DWORD type) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;

    // The references callers hold now (1 while only the creator does).
    ULONG References() const noexcept { return references_; }
    // Whether a read found fewer bytes than it asked for: some readers take
    // a short stream for a whole one.
    bool ShortRead() const noexcept { return shortRead_; }

private:
    TStream& stream_;
    ULONG references_ = 1;
    bool shortRead_ = false;
};
