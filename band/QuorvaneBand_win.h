#pragma once

#include <windows.h>

#include <docobj.h>
#include <exdisp.h>
#include <ocidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "framework/com/ComServer_win.h"
#include "framework/gui/Message_win.h"

class TQuorvaneTB;

// The desk band object the shell creates: it answers the shell's band interfaces, makes the
// band window as a child of the site's window on the first GetWindow, tells the shell its size
// and reports focus changes to the site. No exception leaves a method: each ends as an HRESULT.
class TQuorvaneBand : public TComObject,
                      public IDeskBand,
                      public IInputObject,
                      public IObjectWithSite,
                      public IPersistStream,
                      public IPersistStreamInit,
                      public IContextMenu {
public:
    explicit TQuorvaneBand(TComObjectFactory& Factory) noexcept : TComObject(Factory) {}
    ~TQuorvaneBand() override;

    FW_COM_IUNKNOWN

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IDockingWindow
    STDMETHODIMP ShowDW(BOOL fShow) override;
    STDMETHODIMP CloseDW(DWORD) override;
    STDMETHODIMP ResizeBorderDW(LPCRECT, IUnknown*, BOOL) override { return E_NOTIMPL; }
    // IDeskBand
    STDMETHODIMP GetBandInfo(DWORD dwBandID, DWORD dwViewMode, DESKBANDINFO* pdbi) override;
    // IInputObject
    STDMETHODIMP UIActivateIO(BOOL fActivate, MSG* pMsg) override;
    STDMETHODIMP HasFocusIO() override { return hasFocus_ ? S_OK : S_FALSE; }
    STDMETHODIMP TranslateAcceleratorIO(MSG* pMsg) override;
    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* pUnkSite) override;
    STDMETHODIMP GetSite(REFIID riid, void** ppvSite) override;
    // IPersist, IPersistStream, IPersistStreamInit: nothing is stored.
    STDMETHODIMP GetClassID(CLSID* pClassID) override;
    STDMETHODIMP IsDirty() override { return S_OK; }
    STDMETHODIMP Load(IStream*) override { return S_OK; }
    STDMETHODIMP Save(IStream*, BOOL) override { return S_OK; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* pcbSize) override;
    STDMETHODIMP InitNew() override { return S_OK; }
    // IContextMenu: the band offers no commands.
    STDMETHODIMP QueryContextMenu(HMENU, UINT, UINT, UINT, UINT) override { return S_OK; }
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO*) override { return E_FAIL; }
    STDMETHODIMP GetCommandString(UINT_PTR, UINT, UINT*, LPSTR, UINT) override { return E_NOTIMPL; }

    TQuorvaneTB* BandForm() const noexcept { return bandForm_; }
    DWORD BandID() const noexcept { return bandId_; }

protected:
    void* GetInterface(REFIID riid) noexcept override;

private:
    void FocusChange(bool Focused) noexcept;
    void BandWndProc(TMessage& Message);
    // Lets go of the site and what came from it.
    void ReleaseSite() noexcept;
    // The width the band asks for: from the window's buttons, or from "NumDesks" while there
    // is no window yet.
    int RequestedWidth() const;

    bool hasFocus_ = false;
    DWORD bandId_ = 0;
    HWND parentWnd_ = nullptr;
    IInputObjectSite* site_ = nullptr;
    IOleCommandTarget* oleCommandTarget_ = nullptr;
    IWebBrowser2* webBrowser_ = nullptr;
    TQuorvaneTB* bandForm_ = nullptr;
    TWndMethod savedWndProc_;
};

// Makes a band object for the factory.
TComObject* CreateQuorvaneBand(TComObjectFactory& Factory);
