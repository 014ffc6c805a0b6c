#include "band/QuorvaneBand_win.h"

#include <servprov.h>

#include "band/BandIds.h"
#include "band/BandProtocol.h"
#include "band/QuorvaneTB_win.h"
#include "framework/gui/Application_win.h"
#include "raster/Image32_win.h"
#include "raster/Startup.h"
#include "raster/ThemeNexus_win.h"

namespace {

template <class T> void ReleaseAndNil(T*& p) noexcept {
    if (p != nullptr) {
        T* q = p;
        p = nullptr;
        q->Release();
    }
}

// The class library and the graphics library start with the first band window, on the shell's
// thread, and with them the graphics library's hold on the visual styles; the server stops them
// again before it lets the module go.
void StartLibraries() {
    raster::Startup();
    if (!IsStarted())
        Startup();
    ThemeNexus();
}

} // namespace

TComObject* CreateQuorvaneBand(TComObjectFactory& Factory) {
    return new TQuorvaneBand(Factory);
}

TQuorvaneBand::~TQuorvaneBand() {
    ReleaseAndNil(webBrowser_);
    try {
        TQuorvaneTB* form = bandForm_;
        bandForm_ = nullptr;
        if (form != nullptr) {
            form->WindowProc = savedWndProc_;
            form->Free();
        }
    } catch (...) {
        // The window may have gone with its parent already; what is left goes on.
    }
    ReleaseAndNil(site_);
    ReleaseAndNil(oleCommandTarget_);
}

void* TQuorvaneBand::GetInterface(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_IUnknown))
        return static_cast<IInputObject*>(this);
    if (IsEqualIID(riid, IID_IInputObject))
        return static_cast<IInputObject*>(this);
    if (IsEqualIID(riid, IID_IContextMenu))
        return static_cast<IContextMenu*>(this);
    if (IsEqualIID(riid, IID_IObjectWithSite))
        return static_cast<IObjectWithSite*>(this);
    if (IsEqualIID(riid, IID_IPersistStreamInit))
        return static_cast<IPersistStreamInit*>(this);
    if (IsEqualIID(riid, IID_IPersistStream))
        return static_cast<IPersistStream*>(this);
    if (IsEqualIID(riid, IID_IPersist))
        return static_cast<IPersist*>(static_cast<IPersistStream*>(this));
    if (IsEqualIID(riid, IID_IDeskBand))
        return static_cast<IDeskBand*>(this);
    if (IsEqualIID(riid, IID_IDockingWindow))
        return static_cast<IDockingWindow*>(this);
    if (IsEqualIID(riid, IID_IOleWindow))
        return static_cast<IOleWindow*>(this);
    return nullptr;
}

void TQuorvaneBand::FocusChange(bool Focused) noexcept {
    if (site_ != nullptr)
        site_->OnFocusChangeIS(static_cast<IDeskBand*>(this), Focused ? TRUE : FALSE);
}

void TQuorvaneBand::BandWndProc(TMessage& Message) {
    if (Message.Msg == WM_PARENTNOTIFY) {
        hasFocus_ = true;
        FocusChange(true);
    }
    savedWndProc_(Message);
}

STDMETHODIMP TQuorvaneBand::GetWindow(HWND* phwnd) {
    if (phwnd == nullptr)
        return E_POINTER;
    *phwnd = nullptr;
    return ComGuard([&] {
        if (bandForm_ == nullptr) {
            if (parentWnd_ == nullptr || !IsWindow(parentWnd_))
                return E_FAIL; // no site window to live in yet
            StartLibraries();
            bandForm_ = TWinControl::CreateParented<TQuorvaneTB>(parentWnd_);
            bandForm_->SetWebBrowser(webBrowser_);
            savedWndProc_ = bandForm_->WindowProc;
            bandForm_->WindowProc = TWndMethod(this, &TQuorvaneBand::BandWndProc);
        }
        *phwnd = bandForm_->Handle();
        return S_OK;
    });
}

STDMETHODIMP TQuorvaneBand::ShowDW(BOOL fShow) {
    hasFocus_ = fShow != FALSE;
    FocusChange(hasFocus_);
    return S_OK;
}

STDMETHODIMP TQuorvaneBand::CloseDW(DWORD) {
    return ComGuard([&] {
        if (bandForm_ != nullptr) {
            bandForm_->SetVisible(false);
            // The shell showed the window, not the form: hide it whatever the form believes.
            if (bandForm_->HandleAllocated())
                ShowWindow(bandForm_->Handle(), SW_HIDE);
        }
        return S_OK;
    });
}

int TQuorvaneBand::RequestedWidth() const {
    const band::TEdge edge =
        TQuorvaneTB::TaskbarEdge != nullptr ? TQuorvaneTB::TaskbarEdge() : band::TEdge::Unknown;
    if (bandForm_ != nullptr)
        return band::BandInfoWidth(bandForm_->TBBtn3->Visible(), bandForm_->TBBtn4->Visible(),
                                   edge);
    // Before the window exists the buttons it will show follow from "NumDesks".
    const band::TButtonSet set = band::ButtonsFor(StoredNumDesks(), {true, true, 67});
    return band::BandInfoWidth(set.ThirdVisible, set.FourthVisible, edge);
}

STDMETHODIMP TQuorvaneBand::GetBandInfo(DWORD dwBandID, DWORD, DESKBANDINFO* pdbi) {
    if (pdbi == nullptr)
        return E_INVALIDARG;
    bandId_ = dwBandID;
    return ComGuard([&] {
        const LONG w = RequestedWidth();
        if (pdbi->dwMask & DBIM_MINSIZE)
            pdbi->ptMinSize = {w, 16};
        if (pdbi->dwMask & DBIM_MAXSIZE)
            pdbi->ptMaxSize = {w, 67};
        if (pdbi->dwMask & DBIM_INTEGRAL)
            pdbi->ptIntegral = {1, 1};
        if (pdbi->dwMask & DBIM_ACTUAL)
            pdbi->ptActual = {w, 24};
        if (pdbi->dwMask & DBIM_MODEFLAGS)
            pdbi->dwModeFlags = DBIMF_VARIABLEHEIGHT;
        // The shell draws its own background behind the buttons.
        pdbi->dwMask &= ~static_cast<DWORD>(DBIM_BKCOLOR);
        return S_OK;
    });
}

STDMETHODIMP TQuorvaneBand::UIActivateIO(BOOL fActivate, MSG*) {
    hasFocus_ = fActivate != FALSE;
    FocusChange(hasFocus_);
    if (hasFocus_ && bandForm_ != nullptr && bandForm_->HandleAllocated())
        ::SetFocus(bandForm_->Handle());
    return S_OK;
}

STDMETHODIMP TQuorvaneBand::TranslateAcceleratorIO(MSG* pMsg) {
    if (pMsg == nullptr)
        return E_POINTER;
    // Tab moves the focus on to the shell's next band.
    if (pMsg->wParam == VK_TAB)
        return S_FALSE;
    TranslateMessage(pMsg);
    DispatchMessageA(pMsg);
    return S_OK;
}

void TQuorvaneBand::ReleaseSite() noexcept {
    ReleaseAndNil(webBrowser_);
    ReleaseAndNil(oleCommandTarget_);
    ReleaseAndNil(site_);
    parentWnd_ = nullptr;
}

STDMETHODIMP TQuorvaneBand::SetSite(IUnknown* pUnkSite) {
    // Without a site nothing may keep the shell's objects alive: the shell releases the band
    // only after taking its site away, and the band's references would hold both forever.
    ReleaseSite();
    if (pUnkSite == nullptr)
        return S_OK;
    return ComGuard([&] {
        pUnkSite->QueryInterface(IID_IInputObjectSite, reinterpret_cast<void**>(&site_));
        IOleWindow* window = nullptr;
        if (FAILED(pUnkSite->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window))) ||
            window == nullptr)
            return E_FAIL;
        const HRESULT hr = window->GetWindow(&parentWnd_);
        window->Release();
        if (FAILED(hr))
            return hr;
        pUnkSite->QueryInterface(IID_IOleCommandTarget,
                                 reinterpret_cast<void**>(&oleCommandTarget_));
        if (oleCommandTarget_ != nullptr) {
            IServiceProvider* services = nullptr;
            if (SUCCEEDED(oleCommandTarget_->QueryInterface(IID_IServiceProvider,
                                                            reinterpret_cast<void**>(&services))) &&
                services != nullptr) {
                services->QueryService(IID_IWebBrowserApp, IID_IWebBrowser2,
                                       reinterpret_cast<void**>(&webBrowser_));
                services->Release();
            }
        }
        return S_OK;
    });
}

STDMETHODIMP TQuorvaneBand::GetSite(REFIID riid, void** ppvSite) {
    if (ppvSite == nullptr)
        return E_POINTER;
    *ppvSite = nullptr;
    if (site_ == nullptr)
        return E_FAIL;
    return site_->QueryInterface(riid, ppvSite);
}

STDMETHODIMP TQuorvaneBand::GetClassID(CLSID* pClassID) {
    if (pClassID == nullptr)
        return E_POINTER;
    *pClassID = CLSID_QuorvaneBand;
    return S_OK;
}

STDMETHODIMP TQuorvaneBand::GetSizeMax(ULARGE_INTEGER* pcbSize) {
    if (pcbSize == nullptr)
        return E_POINTER;
    pcbSize->QuadPart = 256;
    return S_OK;
}
