// The real QuorvaneBand.dll in a stand-in taskbar: a top-level "Shell_TrayWnd" of this process
// with a real rebar, a site object answering what the band asks for, and a stand-in main
// window ("TForm1" / "Quorvane") that records what the band posts. Wine's own taskbar has no
// rebar, so this is how the band meets one here.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <docobj.h>
#include <ocidl.h>
#include <servprov.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "band/BandIds.h"
#include "tests/app/QuorvaneDriver_win.h"
#include "tests/fixtures/MouseInput_win.h"

namespace {

using TGetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using TNoArgs = HRESULT(WINAPI*)();

std::string ClassKey() {
    char text[64];
    const GUID& g = CLSID_QuorvaneBand;
    wsprintfA(text, "CLSID\\{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
              g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5],
              g.Data4[6], g.Data4[7]);
    return text;
}

bool KeyExists(HKEY root, const std::string& key) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

std::string ReadValue(HKEY root, const std::string& key, const char* name) {
    char buf[1024] = {};
    DWORD size = sizeof buf - 1, type = 0;
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return "<no key>";
    const LONG rc = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS ? std::string(buf) : "<no value>";
}

void WriteSetting(const char* name, const char* value) {
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quorvane", 0, nullptr, 0, KEY_WRITE, nullptr, &k,
                    nullptr);
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(strlen(value) + 1));
    RegCloseKey(k);
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

template <class F> bool PumpUntil(F done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        Pump(10);
    }
    return true;
}

// What the stand-in main window heard: message number and first parameter.
std::vector<std::pair<UINT, WPARAM>> gMainHeard;

LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if ((m >= WM_USER + 1 && m <= WM_USER + 13) || m == WM_NULL)
        gMainHeard.push_back({m, wp});
    return DefWindowProcA(w, m, wp, lp);
}

bool Heard(UINT msg, WPARAM wp) {
    for (const auto& [m, p] : gMainHeard)
        if (m == msg && p == wp)
            return true;
    return false;
}

// The site the shell gives a band: its window (the rebar) and the interfaces the band asks for.
class TSite : public IInputObjectSite,
              public IOleWindow,
              public IOleCommandTarget,
              public IServiceProvider {
public:
    explicit TSite(HWND window) : window_(window) {}
    LONG Refs = 1;
    int FocusReports = 0;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IInputObjectSite))
            *ppv = static_cast<IInputObjectSite*>(this);
        else if (IsEqualIID(riid, IID_IOleWindow))
            *ppv = static_cast<IOleWindow*>(this);
        else if (IsEqualIID(riid, IID_IOleCommandTarget))
            *ppv = static_cast<IOleCommandTarget*>(this);
        else if (IsEqualIID(riid, IID_IServiceProvider))
            *ppv = static_cast<IServiceProvider*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&Refs); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&Refs); }
    STDMETHODIMP OnFocusChangeIS(IUnknown*, BOOL) override {
        ++FocusReports;
        return S_OK;
    }
    STDMETHODIMP GetWindow(HWND* w) override {
        *w = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Exec(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryService(REFGUID, REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

private:
    HWND window_;
};

class BandHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        module = LoadLibraryA(QUORVANE_BAND_DLL);
        ASSERT_NE(module, nullptr) << QUORVANE_BAND_DLL;
        getClassObject = reinterpret_cast<TGetClassObject>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
        canUnload = reinterpret_cast<TNoArgs>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
        reg = reinterpret_cast<TNoArgs>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
        unreg = reinterpret_cast<TNoArgs>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer")));
        WNDCLASSA wc{};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TForm1";
        RegisterClassA(&wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "Shell_TrayWnd";
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        RegisterClassA(&wc);
    }
    static void TearDownTestSuite() {
        if (module != nullptr)
            FreeLibrary(module);
        CoUninitialize();
    }
    void SetUp() override {
        ASSERT_NE(getClassObject, nullptr);
        WriteSetting("NumDesks", "4");
        gMainHeard.clear();
        main = CreateWindowExA(0, "TForm1", "Quorvane", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        tray = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "",
                               WS_POPUP | WS_VISIBLE, 100, 900, 600, 30, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        rebar = CreateWindowExA(0, REBARCLASSNAMEA, "",
                                WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT | CCS_NODIVIDER, 0, 0, 600,
                                30, tray, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(rebar, nullptr);
        site = new TSite(rebar);
    }
    void TearDown() override {
        if (band != nullptr)
            Free();
        DestroyWindow(tray);
        DestroyWindow(main);
        delete site;
    }

    IDeskBand* Create() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(getClassObject(CLSID_QuorvaneBand, IID_IClassFactory,
                                 reinterpret_cast<void**>(&factory)),
                  S_OK);
        if (factory == nullptr)
            return nullptr;
        IDeskBand* b = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDeskBand, reinterpret_cast<void**>(&b)),
                  S_OK);
        factory->Release();
        return b;
    }
    // Sites the band, makes its window and puts it into the rebar as the shell does.
    HWND Show() {
        band = Create();
        if (band == nullptr)
            return nullptr;
        IObjectWithSite* ows = nullptr;
        band->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&ows));
        EXPECT_EQ(ows->SetSite(static_cast<IInputObjectSite*>(site)), S_OK);
        ows->Release();
        HWND w = nullptr;
        EXPECT_EQ(band->GetWindow(&w), S_OK);
        REBARBANDINFOA info{};
        info.cbSize = REBARBANDINFOA_V6_SIZE;
        info.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_STYLE;
        info.fStyle = RBBS_NOGRIPPER;
        info.hwndChild = w;
        info.cxMinChild = 67;
        info.cyMinChild = 28;
        info.cx = 100;
        SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&info));
        band->ShowDW(TRUE);
        Pump(100);
        return w;
    }
    void Free() {
        IObjectWithSite* ows = nullptr;
        band->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&ows));
        ows->SetSite(nullptr);
        ows->Release();
        band->Release();
        band = nullptr;
        Pump(50);
    }
    DESKBANDINFO Info() {
        DESKBANDINFO i{};
        i.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_MODEFLAGS |
                   DBIM_BKCOLOR;
        EXPECT_EQ(band->GetBandInfo(7, DBIF_VIEWMODE_NORMAL, &i), S_OK);
        return i;
    }
    REBARBANDINFOA RebarBand() {
        REBARBANDINFOA info{};
        info.cbSize = REBARBANDINFOA_V6_SIZE;
        info.fMask = RBBIM_STYLE | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
        SendMessageA(rebar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&info));
        return info;
    }

    static inline HMODULE module = nullptr;
    static inline TGetClassObject getClassObject = nullptr;
    static inline TNoArgs canUnload = nullptr, reg = nullptr, unreg = nullptr;
    HWND main = nullptr, tray = nullptr, rebar = nullptr;
    TSite* site = nullptr;
    IDeskBand* band = nullptr;
};

TEST_F(BandHost, RegistrationWritesAndRemovesTheKeys) {
    const std::string cls = ClassKey();
    const std::string category = "Component Categories\\{00021492-0000-0000-C000-000000000046}";
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(reg(), S_OK) << "round " << round;
        EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, cls, nullptr), "Quorvane");
        const std::string server = ReadValue(HKEY_CLASSES_ROOT, cls + "\\InProcServer32", nullptr);
        EXPECT_EQ(lstrcmpiA(server.c_str(), path), 0) << server << " vs " << path;
        EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, cls + "\\InProcServer32", "ThreadingModel"),
                  "Apartment");
        EXPECT_TRUE(
            KeyExists(HKEY_CLASSES_ROOT, cls + "\\Implemented Categories\\" + kDeskBandCategory));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, cls + "\\ProgID"));
        EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT,
                            "TypeLib\\{0621ECA1-3037-4B34-8B73-15FFBEC9F7F1}\\1.0", nullptr),
                  "QuorvaneBand Library");
    }
    // The shell's cached member list of the category must go, the category itself stays.
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, (category + "\\Enum").c_str(), 0, nullptr, 0, KEY_WRITE,
                    nullptr, &k, nullptr);
    RegCloseKey(k);
    ASSERT_EQ(unreg(), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, cls));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, category + "\\Enum"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, category));
    EXPECT_FALSE(
        KeyExists(HKEY_CLASSES_ROOT, "TypeLib\\{0621ECA1-3037-4B34-8B73-15FFBEC9F7F1}\\1.0"));
}

// Runs a program of the bed and answers its exit code (~0 when it could not start or did not
// end in time).
DWORD RunProgram(std::string commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return ~0u;
    DWORD code = ~0u;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

// Every value below a key, as "path=value" lines, for comparing two registrations.
void DumpKey(HKEY root, const std::string& key, std::string& out) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        char name[256] = {};
        BYTE data[1024] = {};
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        if (RegEnumValueA(k, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        out += key + "\\" + name + "=" + reinterpret_cast<char*>(data) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        char name[256] = {};
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(k, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        out += key + "\\" + name + "\n";
        DumpKey(root, key + "\\" + name, out);
    }
    RegCloseKey(k);
}

constexpr const char* kTypeLibKey = "TypeLib\\{0621ECA1-3037-4B34-8B73-15FFBEC9F7F1}";
#ifdef _WIN64
constexpr const char* kTypeLibPlatform = "win64";
#else
constexpr const char* kTypeLibPlatform = "win32";
#endif

std::string Registration() {
    std::string all;
    DumpKey(HKEY_CLASSES_ROOT, ClassKey(), all);
    DumpKey(HKEY_CLASSES_ROOT, kTypeLibKey, all);
    return all;
}

// regsvr32 for real, twice, then through the registration as the shell creates the band; then
// unregistered; and from a folder whose path holds a blank, which the server key names by its
// short form.
TEST_F(BandHost, Regsvr32RegistersTheBandTheShellCreatesAndRemovesIt) {
    const std::string cls = ClassKey();
    const std::string category = "Component Categories\\" + std::string(kDeskBandCategory);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    const std::string quoted = std::string("\"") + path + "\"";
    ASSERT_EQ(RunProgram("regsvr32 /s " + quoted), 0u);
    EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, cls, nullptr), "Quorvane");
    EXPECT_EQ(
        lstrcmpiA(ReadValue(HKEY_CLASSES_ROOT, cls + "\\InProcServer32", nullptr).c_str(), path),
        0);
    EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, cls + "\\InProcServer32", "ThreadingModel"),
              "Apartment");
    EXPECT_TRUE(
        KeyExists(HKEY_CLASSES_ROOT, cls + "\\Implemented Categories\\" + kDeskBandCategory));
    EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, std::string(kTypeLibKey) + "\\1.0", nullptr),
              "QuorvaneBand Library");
    const std::string library = ReadValue(
        HKEY_CLASSES_ROOT, std::string(kTypeLibKey) + "\\1.0\\0\\" + kTypeLibPlatform, nullptr);
    EXPECT_EQ(lstrcmpiA(library.c_str(), path), 0) << library;
    const std::string first = Registration();
    ASSERT_EQ(RunProgram("regsvr32 /s " + quoted), 0u);
    EXPECT_EQ(Registration(), first) << "a second registration writes the same";

    // The shell's way in: the class through its registration.
    IDeskBand* created = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_QuorvaneBand, nullptr, CLSCTX_INPROC_SERVER, IID_IDeskBand,
                               reinterpret_cast<void**>(&created)),
              S_OK);
    band = created;
    IObjectWithSite* ows = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&ows)), S_OK);
    EXPECT_EQ(ows->SetSite(static_cast<IInputObjectSite*>(site)), S_OK);
    ows->Release();
    HWND w = nullptr;
    EXPECT_EQ(band->GetWindow(&w), S_OK);
    EXPECT_EQ(GetParent(w), rebar);
    Free();
    EXPECT_FALSE(IsWindow(w));

    // A category key the shell keeps, with its cached member list, outlives the band's removal.
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, (category + "\\Enum").c_str(), 0, nullptr, 0, KEY_WRITE,
                    nullptr, &k, nullptr);
    RegCloseKey(k);
    ASSERT_EQ(RunProgram("regsvr32 /s /u " + quoted), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, cls));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(kTypeLibKey) + "\\1.0"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, category + "\\Enum"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, category));

    // From a folder with a blank in its name.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "band folder";
    const std::string copy = folder + "\\QuorvaneBand.dll";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(path, copy.c_str(), FALSE));
    ASSERT_EQ(RunProgram("regsvr32 /s \"" + copy + "\""), 0u);
    char shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameA(copy.c_str(), shortPath, MAX_PATH), 0u);
    const std::string server = ReadValue(HKEY_CLASSES_ROOT, cls + "\\InProcServer32", nullptr);
    EXPECT_EQ(lstrcmpiA(server.c_str(), shortPath), 0) << server;
    EXPECT_EQ(server.find(' '), std::string::npos) << server;
    EXPECT_NE(GetFileAttributesA(server.c_str()), INVALID_FILE_ATTRIBUTES) << server;
    EXPECT_EQ(RunProgram("regsvr32 /s /u \"" + copy + "\""), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, cls));
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(BandHost, ClassObjectsAndUnloading) {
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(IID_IUnknown, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(getClassObject(CLSID_QuorvaneBand, IID_IDeskBand, &p), E_NOINTERFACE);
    EXPECT_EQ(canUnload(), S_OK);
    IDeskBand* b = Create();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE);
    b->Release();
    EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(BandHost, AnswersTheShellsInterfaces) {
    WriteSetting("NumDesks", "3");
    band = Create();
    ASSERT_NE(band, nullptr);
    // Before the window exists the size follows "NumDesks".
    DESKBANDINFO i = Info();
    EXPECT_EQ(i.ptMinSize.x, 50);
    EXPECT_EQ(i.ptMinSize.y, 16);
    EXPECT_EQ(i.ptMaxSize.x, 50);
    EXPECT_EQ(i.ptMaxSize.y, 67);
    EXPECT_EQ(i.ptActual.x, 50);
    EXPECT_EQ(i.ptActual.y, 24);
    EXPECT_EQ(i.ptIntegral.x, 1);
    EXPECT_EQ(i.dwModeFlags, static_cast<DWORD>(DBIMF_VARIABLEHEIGHT));
    EXPECT_EQ(i.dwMask & DBIM_BKCOLOR, 0u);
    EXPECT_EQ(band->GetBandInfo(1, 0, nullptr), E_INVALIDARG);
    HWND w = reinterpret_cast<HWND>(1);
    EXPECT_EQ(band->GetWindow(&w), E_FAIL) << "no site, no window";
    EXPECT_EQ(band->GetWindow(nullptr), E_POINTER);
    EXPECT_EQ(band->CloseDW(0), S_OK);

    IInputObject* io = nullptr;
    IContextMenu* cm = nullptr;
    IPersistStream* ps = nullptr;
    IPersistStreamInit* psi = nullptr;
    IObjectWithSite* ows = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IInputObject, reinterpret_cast<void**>(&io)), S_OK);
    ASSERT_EQ(band->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&cm)), S_OK);
    ASSERT_EQ(band->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&ps)), S_OK);
    ASSERT_EQ(band->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&psi)), S_OK);
    ASSERT_EQ(band->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&ows)), S_OK);
    MSG tab{};
    tab.message = WM_KEYDOWN;
    tab.wParam = VK_TAB;
    EXPECT_EQ(io->TranslateAcceleratorIO(&tab), S_FALSE);
    tab.message = WM_CHAR; // any message with 9 in its first parameter
    EXPECT_EQ(io->TranslateAcceleratorIO(&tab), S_FALSE);
    EXPECT_EQ(io->TranslateAcceleratorIO(nullptr), E_POINTER);
    EXPECT_EQ(io->HasFocusIO(), S_FALSE);
    EXPECT_EQ(cm->QueryContextMenu(nullptr, 0, 0, 0, 0), S_OK);
    EXPECT_EQ(cm->InvokeCommand(nullptr), E_FAIL);
    EXPECT_EQ(cm->GetCommandString(0, 0, nullptr, nullptr, 0), E_NOTIMPL);
    CLSID id{};
    EXPECT_EQ(ps->GetClassID(&id), S_OK);
    EXPECT_TRUE(IsEqualCLSID(id, CLSID_QuorvaneBand));
    EXPECT_EQ(ps->GetClassID(nullptr), E_POINTER);
    ULARGE_INTEGER size{};
    EXPECT_EQ(ps->GetSizeMax(&size), S_OK);
    EXPECT_EQ(size.QuadPart, 256u);
    EXPECT_EQ(ps->IsDirty(), S_OK);
    EXPECT_EQ(psi->InitNew(), S_OK);
    void* s = reinterpret_cast<void*>(1);
    EXPECT_EQ(ows->GetSite(IID_IUnknown, &s), E_FAIL);
    EXPECT_EQ(s, nullptr);
    // Sited: the site answers, focus reports reach it.
    EXPECT_EQ(ows->SetSite(static_cast<IInputObjectSite*>(site)), S_OK);
    EXPECT_EQ(ows->GetSite(IID_IOleWindow, &s), S_OK);
    static_cast<IUnknown*>(s)->Release();
    EXPECT_EQ(io->UIActivateIO(TRUE, nullptr), S_OK);
    EXPECT_EQ(io->HasFocusIO(), S_OK);
    EXPECT_GE(site->FocusReports, 1);
    for (IUnknown* u :
         {static_cast<IUnknown*>(io), static_cast<IUnknown*>(cm), static_cast<IUnknown*>(ps),
          static_cast<IUnknown*>(psi), static_cast<IUnknown*>(ows)})
        u->Release();
    // Taking the site away lets go of it at once.
    const LONG held = site->Refs;
    Free();
    EXPECT_LT(site->Refs, held);
    EXPECT_EQ(site->Refs, 1);
}

// One object: IUnknown through every interface is the same pointer; others are refused.
TEST_F(BandHost, OneIdentityBehindEveryInterface) {
    band = Create();
    ASSERT_NE(band, nullptr);
    IUnknown* identity = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    const IID* answered[] = {&IID_IInputObject,       &IID_IContextMenu,   &IID_IObjectWithSite,
                             &IID_IPersistStreamInit, &IID_IPersistStream, &IID_IPersist,
                             &IID_IDeskBand,          &IID_IDockingWindow, &IID_IOleWindow};
    for (const IID* iid : answered) {
        IUnknown* through = nullptr;
        ASSERT_EQ(band->QueryInterface(*iid, reinterpret_cast<void**>(&through)), S_OK);
        IUnknown* back = nullptr;
        EXPECT_EQ(through->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)), S_OK);
        EXPECT_EQ(back, identity);
        back->Release();
        through->Release();
    }
    const IID* refused[] = {&IID_IDispatch, &IID_IClassFactory, &IID_IDeskBand2,
                            &IID_IServiceProvider, &IID_IOleCommandTarget};
    for (const IID* iid : refused) {
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(band->QueryInterface(*iid, &p), E_NOINTERFACE);
        EXPECT_EQ(p, nullptr);
    }
    identity->Release();
}

// The exports answer by the names and by the ordinals of the module definition.
TEST_F(BandHost, ExportsByNameAndOrdinal) {
    const char* names[] = {"DllUnregisterServer", "DllRegisterServer", "DllCanUnloadNow",
                           "DllGetClassObject"};
    for (int ordinal = 1; ordinal <= 4; ++ordinal) {
        FARPROC byName = GetProcAddress(module, names[ordinal - 1]);
        ASSERT_NE(byName, nullptr) << names[ordinal - 1];
        EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(ordinal)), byName) << ordinal;
    }
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(5)), nullptr);
}

// Focus: every show, activation and child notification is reported to the site; the answer of
// HasFocusIO follows the last of them.
TEST_F(BandHost, FocusChangesReachTheSite) {
    HWND w = Show();
    ASSERT_NE(w, nullptr);
    IInputObject* io = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IInputObject, reinterpret_cast<void**>(&io)), S_OK);
    int reports = site->FocusReports;
    EXPECT_EQ(io->UIActivateIO(FALSE, nullptr), S_OK);
    EXPECT_EQ(site->FocusReports, ++reports);
    EXPECT_EQ(io->HasFocusIO(), S_FALSE);
    EXPECT_EQ(io->UIActivateIO(TRUE, nullptr), S_OK);
    EXPECT_EQ(site->FocusReports, ++reports);
    EXPECT_EQ(io->HasFocusIO(), S_OK);
    EXPECT_EQ(band->ShowDW(FALSE), S_OK);
    EXPECT_EQ(site->FocusReports, ++reports);
    EXPECT_EQ(io->HasFocusIO(), S_FALSE);
    // Each notification from a child: one report each, focused.
    for (int i = 0; i < 3; ++i) {
        SendMessageA(w, WM_PARENTNOTIFY, WM_LBUTTONDOWN, MAKELPARAM(5, 5));
        EXPECT_EQ(site->FocusReports, ++reports);
        EXPECT_EQ(io->HasFocusIO(), S_OK);
    }
    // A second GetWindow installs no second hook: still one report per notification.
    HWND again = nullptr;
    EXPECT_EQ(band->GetWindow(&again), S_OK);
    SendMessageA(w, WM_PARENTNOTIFY, WM_LBUTTONDOWN, MAKELPARAM(5, 5));
    EXPECT_EQ(site->FocusReports, ++reports);
    io->Release();
}

// What the shell reads and hands over: the title stays as given, the streams are neither read
// nor written, the context menu gets no items, and CloseDW hides the window.
TEST_F(BandHost, StoresNothingOffersNoCommandsAndHidesOnClose) {
    HWND w = Show();
    ASSERT_NE(w, nullptr);
    DESKBANDINFO i{};
    i.dwMask = DBIM_TITLE | DBIM_ACTUAL;
    lstrcpyW(i.wszTitle, L"sentinel");
    ASSERT_EQ(band->GetBandInfo(1, DBIF_VIEWMODE_NORMAL, &i), S_OK);
    EXPECT_EQ(lstrcmpW(i.wszTitle, L"sentinel"), 0);
    EXPECT_NE(i.dwMask & DBIM_TITLE, 0u);
    EXPECT_EQ(i.ptActual.x, 67);

    IPersistStream* ps = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&ps)), S_OK);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    const char bytes[] = "stored by somebody else";
    ULONG written = 0;
    stream->Write(bytes, sizeof bytes, &written);
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(ps->Load(stream), S_OK);
    ULARGE_INTEGER at{};
    stream->Seek(zero, STREAM_SEEK_CUR, &at);
    EXPECT_EQ(at.QuadPart, 0u) << "nothing read";
    EXPECT_EQ(ps->Save(stream, TRUE), S_OK);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, sizeof bytes) << "nothing written";
    stream->Seek(zero, STREAM_SEEK_CUR, &at);
    EXPECT_EQ(at.QuadPart, 0u);
    ULARGE_INTEGER size{};
    EXPECT_EQ(ps->GetSizeMax(&size), S_OK);
    EXPECT_EQ(size.HighPart, 0u);
    EXPECT_EQ(size.LowPart, 256u);
    stream->Release();
    ps->Release();

    IContextMenu* cm = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&cm)), S_OK);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "the shell's own");
    EXPECT_EQ(cm->QueryContextMenu(menu, 1, 100, 200, CMF_NORMAL), 0);
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    DestroyMenu(menu);
    cm->Release();

    ASSERT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(band->CloseDW(0), S_OK);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_TRUE(IsWindow(w)) << "hidden, not destroyed";
}

// The taskbar goes while the band lives: the band window goes with it and says so; the band
// object is released without a fault and posts nothing to the window that is gone.
TEST_F(BandHost, TheTaskbarGoingTakesTheWindowAlong) {
    HWND w = Show();
    ASSERT_NE(w, nullptr);
    gMainHeard.clear();
    DestroyWindow(tray);
    tray = nullptr;
    EXPECT_FALSE(IsWindow(w));
    EXPECT_TRUE(PumpUntil([&] { return Heard(WM_USER + 5, 0); }, 2000));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, "Software\\Quorvane", "TBHandle"), "0");
    // The shell's questions after that are answered without the window.
    DESKBANDINFO i = Info();
    EXPECT_EQ(i.ptActual.x, 67);
    EXPECT_EQ(band->CloseDW(0), S_OK);
    gMainHeard.clear();
    Free();
    Pump(100);
    EXPECT_TRUE(gMainHeard.empty()) << "nothing more from a band whose window went";
    EXPECT_EQ(canUnload(), S_OK);
}

// The band's hold on the visual styles (a hidden window of the band library) comes with the
// first band window, on the shell's thread, and goes before the library may be unloaded.
struct TUtilityCount {
    HMODULE owner;
    int n = 0;
};

BOOL CALLBACK CountUtilityWindow(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<TUtilityCount*>(lp);
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpA(cls, "TQuorvaneUtilWindow") == 0 &&
        reinterpret_cast<HMODULE>(GetWindowLongPtrA(h, GWLP_HINSTANCE)) == c->owner)
        ++c->n;
    return TRUE;
}

int ThemeWindowsOf(HMODULE owner) {
    TUtilityCount count{owner};
    EnumThreadWindows(GetCurrentThreadId(), &CountUtilityWindow, reinterpret_cast<LPARAM>(&count));
    return count.n;
}

TEST_F(BandHost, TheThemeHoldComesWithTheFirstWindowAndGoesBeforeUnloading) {
    ASSERT_EQ(canUnload(), S_OK);
    const int before = ThemeWindowsOf(module);
    band = Create();
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(ThemeWindowsOf(module), before) << "not before a window exists";
    band->Release();
    band = nullptr;
    HWND w = Show();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ThemeWindowsOf(module), before + 1);
    Free();
    SendMessageA(rebar, RB_DELETEBAND, 0, 0);
    ASSERT_EQ(canUnload(), S_OK);
    EXPECT_EQ(ThemeWindowsOf(module), before);
}

TEST_F(BandHost, TheWindowLivesInTheRebarAndAnnouncesItself) {
    HWND w = Show();
    ASSERT_NE(w, nullptr);
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    EXPECT_STREQ(cls, "TQuorvaneTB");
    EXPECT_EQ(GetParent(w), rebar);
    HWND again = nullptr;
    EXPECT_EQ(band->GetWindow(&again), S_OK);
    EXPECT_EQ(again, w);
    const auto handle = static_cast<WPARAM>(reinterpret_cast<std::uintptr_t>(w) & 0xFFFFFFFFu);
    EXPECT_TRUE(PumpUntil([&] { return Heard(WM_USER + 5, handle); }, 2000));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, "Software\\Quorvane", "TBHandle"),
              std::to_string(handle));
    EXPECT_EQ(Info().ptMinSize.x, 67);

    // Two desktops: buttons 3 and 4 go, the window is shaped to buttons 1 and 2, the band is
    // resized in the rebar.
    PostMessageA(w, WM_USER + 6, 2, 0);
    Pump(100);
    EXPECT_EQ(Info().ptActual.x, 33);
    RECT box{};
    ASSERT_NE(GetWindowRgnBox(w, &box), ERROR);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 33);
    EXPECT_EQ(box.top, 8);
    EXPECT_EQ(box.bottom, 24);
    EXPECT_EQ(RebarBand().cxMinChild, 33u);
    // A count the band does not know changes nothing.
    PostMessageA(w, WM_USER + 6, 9, 0);
    Pump(50);
    EXPECT_EQ(Info().ptActual.x, 33);
    PostMessageA(w, WM_USER + 6, 4, 0);
    Pump(100);
    EXPECT_EQ(RebarBand().cxMinChild, 67u);

    // Hide and show from the main program.
    PostMessageA(w, WM_USER + 12, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return (RebarBand().fStyle & RBBS_HIDDEN) != 0; }, 2000));
    PostMessageA(w, WM_USER + 13, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return (RebarBand().fStyle & RBBS_HIDDEN) == 0; }, 2000));

    // The shell lets go: the window goes and says so.
    gMainHeard.clear();
    Free();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_TRUE(PumpUntil([&] { return Heard(WM_USER + 5, 0); }, 2000));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, "Software\\Quorvane", "TBHandle"), "0");
    EXPECT_EQ(canUnload(), S_OK);
    WNDCLASSA wc{};
    EXPECT_FALSE(GetClassInfoA(module, "TQuorvaneTB", &wc)) << "the class goes before the module";
}

// The colour of button n's face (inside its frame, away from the number), read off the screen
// (the buttons are child windows: repaints reach them with RDW_ALLCHILDREN).
COLORREF Face(HWND w, int n) {
    HDC dc = GetDC(w);
    const COLORREF c = GetPixel(dc, (n - 1) * 17 + 2, 8 + 2);
    ReleaseDC(w, dc);
    return c;
}

TEST_F(BandHost, ClicksAskTheMainProgramAndTheActiveDesktopIsMarked) {
    HWND w = Show();
    ASSERT_NE(w, nullptr);
    const COLORREF normal = RGB(0xEC, 0xEC, 0xEC);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(50);
    EXPECT_EQ(Face(w, 1), RGB(0x2F, 0x6F, 0xD0)) << "desktop 1 until told otherwise";
    EXPECT_EQ(Face(w, 2), normal);
    PostMessageA(w, WM_USER + 2, 0, 0); // desktop 2 is active
    Pump(100);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(Face(w, 1), normal);
    EXPECT_EQ(Face(w, 2), RGB(0x2E, 0x9E, 0x4F));
    EXPECT_EQ(Face(w, 4), normal);

    // A real click on button 3 asks for desktop 3 and marks it at once.
    POINT at{34 + 8, 8 + 8};
    ClientToScreen(w, &at);
    gMainHeard.clear();
    ASSERT_TRUE(mouse_input::Click(at));
    EXPECT_TRUE(PumpUntil([&] { return Heard(WM_USER + 3, 0); }, 2000));
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(Face(w, 3), RGB(0xD0, 0x7A, 0x1E));
    EXPECT_EQ(Face(w, 2), normal);

    // A right click on button 2 asks for desktop 2's window list.
    POINT at2{17 + 8, 8 + 8};
    ClientToScreen(w, &at2);
    gMainHeard.clear();
    ASSERT_TRUE(mouse_input::Click(at2, mouse_input::Button::Right));
    EXPECT_TRUE(PumpUntil([&] { return Heard(WM_USER + 9, 0); }, 2000));
    EXPECT_TRUE(PumpUntil([&] { return Heard(WM_NULL, 0); }, 2000));
    EXPECT_FALSE(Heard(WM_USER + 3, 0));
}

TEST_F(BandHost, CyclesLeaveNoObjectsBehind) {
    auto cycle = [&] {
        HWND w = Show();
        ASSERT_NE(w, nullptr);
        Free();
        SendMessageA(rebar, RB_DELETEBAND, 0, 0);
    };
    cycle();
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 100; ++i)
        cycle();
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
    EXPECT_EQ(canUnload(), S_OK);
}

// With the real program: the band announces itself, Quorvane answers with the active desktop,
// a real click on button 3 switches to desktop 3 and the band marks it when the program says
// so; when the program ends, it hides the band.
// What the band window hears from the main program, in order (message - WM_USER).
std::vector<UINT> gBandHeard;
WNDPROC gBandProc = nullptr;
LRESULT CALLBACK RecordBand(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m > WM_USER && m <= WM_USER + 13)
        gBandHeard.push_back(m - WM_USER);
    return CallWindowProcA(gBandProc, h, m, wp, lp);
}

bool BandHeard(UINT n) {
    return std::find(gBandHeard.begin(), gBandHeard.end(), n) != gBandHeard.end();
}

TEST_F(BandHost, WithTheRealProgram) {
    DestroyWindow(main); // the real main window takes its place
    main = nullptr;
    quorvane_test::PutSetting("ShowDeskbandHelp", "FALSE");
    HWND w = Show();
    ASSERT_NE(w, nullptr);
    // The pointer rests on the band while the program idles: the program asks which of its
    // controls is under it, and a window of another process must not be taken for one.
    POINT on{2, 10};
    ClientToScreen(w, &on);
    ASSERT_TRUE(mouse_input::MoveTo(on));
    gBandHeard.clear();
    gBandProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordBand)));
    quorvane_test::Program program;
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(program.WaitReady());
    // The program found the band through "TBHandle" and showed it; the buttons still say 1.
    Pump(300);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(RebarBand().fStyle & RBBS_HIDDEN, 0u);
    ASSERT_GE(gBandHeard.size(), 2u);
    EXPECT_EQ(gBandHeard[0], 13u); // WM_SHOWBAND
    EXPECT_EQ(gBandHeard[1], 1u);  // WM_ACTIVEDESK1
    EXPECT_FALSE(BandHeard(12));
    EXPECT_EQ(Face(w, 1), RGB(0x2F, 0x6F, 0xD0));
    POINT at{34 + 8, 8 + 8};
    ClientToScreen(w, &at);
    ASSERT_TRUE(mouse_input::Click(at));
    // The click marks button 3 at once; the program's answer keeps it so after the switch.
    EXPECT_TRUE(PumpUntil(
        [&] {
            RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            return Face(w, 3) == RGB(0xD0, 0x7A, 0x1E);
        },
        3000));
    // The program switched and says so.
    EXPECT_TRUE(PumpUntil([&] { return BandHeard(3); }, 5000));
    Pump(200);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(Face(w, 3), RGB(0xD0, 0x7A, 0x1E));
    EXPECT_EQ(Face(w, 1), RGB(0xEC, 0xEC, 0xEC));
    // Ending the program hides the band in the rebar.
    PostMessageA(program.Manager(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
    EXPECT_TRUE(PumpUntil([&] { return (RebarBand().fStyle & RBBS_HIDDEN) != 0; }, 3000));
    EXPECT_TRUE(BandHeard(12));
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gBandProc));
}

// A real right click on a band button opens the real program's window list of that desktop;
// choosing a window there switches to its desktop and brings it forward.
TEST_F(BandHost, ARightClickListsThatDesktopsWindowsAndAChoiceActivatesOne) {
    DestroyWindow(main); // the real main window takes its place
    main = nullptr;
    quorvane_test::PutSetting("ShowDeskbandHelp", "FALSE");
    quorvane_test::PutSetting("NumDesks", "4");
    WriteSetting("NumDesks", "4");
    winfarm::Farm farm;
    const HWND first = farm.Spawn("DeskOne").Of("main").at(0);
    HWND w = Show();
    ASSERT_NE(w, nullptr);
    gBandHeard.clear();
    gBandProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordBand)));
    quorvane_test::Program program;
    ASSERT_TRUE(program.WaitReady());
    ASSERT_TRUE(PumpUntil([&] { return BandHeard(1); }, 5000));
    // A window of desktop 2: made while desktop 2 is active, hidden when desktop 1 comes back.
    PostMessageA(program.Manager(), WM_USER + 2, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return BandHeard(2) && !IsWindowVisible(first); }, 5000));
    const HWND second = farm.Spawn("DeskTwo").Of("main").at(0);
    gBandHeard.clear();
    PostMessageA(program.Manager(), WM_USER + 1, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return BandHeard(1) && !IsWindowVisible(second); }, 5000));
    ASSERT_TRUE(IsWindowVisible(first));

    POINT at{17 + 8, 8 + 8};
    ClientToScreen(w, &at);
    gBandHeard.clear();
    ASSERT_TRUE(mouse_input::Click(at, mouse_input::Button::Right));
    auto menuShown = [] {
        HWND menu = FindWindowA("#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu);
    };
    ASSERT_TRUE(PumpUntil(menuShown, 5000)) << "the program's window list";
    HWND menu = FindWindowA("#32768", nullptr);
    DWORD menuProcess = 0;
    GetWindowThreadProcessId(menu, &menuProcess);
    EXPECT_EQ(menuProcess, GetProcessId(program.Process()));
    Pump(300);
    mouse_input::Key(VK_DOWN); // desktop 2's one window
    Pump(200);
    mouse_input::Key(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return BandHeard(2); }, 5000)) << "switched to desktop 2";
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == second; }, 5000));
    EXPECT_TRUE(IsWindowVisible(second));
    EXPECT_FALSE(IsWindowVisible(first));

    PostMessageA(program.Manager(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
    EXPECT_TRUE(IsWindowVisible(first)) << "every window back at the end";
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gBandProc));
}

} // namespace

namespace {

// Not a check: holds the band on screen with four and then two desktops, desktop 3 active, for
// a screenshot (run with --gtest_also_run_disabled_tests while tools/screenshot takes it).
TEST_F(BandHost, DISABLED_Showcase) {
    HWND w = Show();
    ASSERT_NE(w, nullptr);
    PostMessageA(w, WM_USER + 3, 0, 0);
    Pump(4000);
    PostMessageA(w, WM_USER + 6, 2, 0);
    PostMessageA(w, WM_USER + 1, 0, 0);
    Pump(4000);
}

} // namespace
