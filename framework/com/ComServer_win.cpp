#include "framework/com/ComServer_win.h"

#include <algorithm>
#include <cstdio>

#include "framework/com/ComRegistry_win.h"

std::string GUIDToString(const GUID& Id) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(Id.Data1), Id.Data2, Id.Data3, Id.Data4[0],
                  Id.Data4[1], Id.Data4[2], Id.Data4[3], Id.Data4[4], Id.Data4[5], Id.Data4[6],
                  Id.Data4[7]);
    return text;
}

// --- the server ---

std::string TComServer::ServerFileName() const {
    // Paths past MAX_PATH exist; grow until the whole name fits.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(module_, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            throw EOleSysError("The module's file name is not known",
                               static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string TComServer::RegisteredServerName() const {
    const std::string path = ServerFileName();
    if (path.find(' ') == std::string::npos)
        return path;
    const DWORD need = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (need == 0)
        return path; // no short names on this volume: the long one is all there is
    std::string shortPath(need, '\0');
    const DWORD n = GetShortPathNameA(path.c_str(), shortPath.data(), need);
    if (n == 0 || n >= need)
        return path;
    shortPath.resize(n);
    return shortPath;
}

HRESULT TComServer::CanUnloadNow() const noexcept {
    return objects_.load() > 0 || factories_.load() > 0 ? S_FALSE : S_OK;
}

void TComServer::AddFactory(TComObjectFactory* Factory) {
    factoryList_.push_back(Factory);
}

void TComServer::RemoveFactory(TComObjectFactory* Factory) noexcept {
    factoryList_.erase(std::remove(factoryList_.begin(), factoryList_.end(), Factory),
                       factoryList_.end());
}

TComObjectFactory* TComServer::FindFactory(const GUID& ClassID) const noexcept {
    for (TComObjectFactory* f : factoryList_)
        if (IsEqualGUID(f->ClassID(), ClassID))
            return f;
    return nullptr;
}

HRESULT TComServer::GetClassObject(const GUID& ClassID, const IID& Iid, void** Obj) noexcept {
    if (Obj == nullptr)
        return E_POINTER;
    *Obj = nullptr;
    TComObjectFactory* factory = FindFactory(ClassID);
    if (factory == nullptr)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory->QueryInterface(Iid, Obj);
}

void TComServer::SetRegistry(TComRegistry* Registry) noexcept {
    registry_ = Registry;
}

TComRegistry& TComServer::Registry() const noexcept {
    return registry_ != nullptr ? *registry_ : ClassesRootRegistry();
}

HRESULT TComServer::UpdateRegistry(bool Register) noexcept {
    return ComGuard([&] {
               if (HandleTypeLibrary) {
                   if (Register)
                       RegisterTypeLibrary();
                   else
                       UnregisterTypeLibrary();
               }
               for (TComObjectFactory* f : factoryList_)
                   f->UpdateRegistry(Register);
               return S_OK;
           }) == S_OK
               ? S_OK
               : E_FAIL;
}

namespace {

// The type library held in the module's own file, loaded for one registration step.
struct TTypeLibrary {
    ITypeLib* Lib = nullptr;
    explicit TTypeLibrary(const std::string& path) {
        const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
        const HRESULT hr = LoadTypeLibEx(wide.c_str(), REGKIND_NONE, &Lib);
        if (FAILED(hr))
            throw EOleSysError("The type library cannot be loaded", hr);
        Wide = wide;
    }
    ~TTypeLibrary() {
        if (Lib != nullptr)
            Lib->Release();
    }
    TTypeLibrary(const TTypeLibrary&) = delete;
    TTypeLibrary& operator=(const TTypeLibrary&) = delete;
    std::wstring Wide;
};

} // namespace

void TComServer::RegisterTypeLibrary() {
    TTypeLibrary lib(ServerFileName());
    std::wstring folder = lib.Wide.c_str();
    folder.resize(folder.find_last_of(L"\\/") == std::wstring::npos ? 0
                                                                    : folder.find_last_of(L"\\/"));
    const HRESULT hr = RegisterTypeLib(lib.Lib, lib.Wide.data(), folder.data());
    if (FAILED(hr))
        throw EOleSysError("The type library cannot be registered", hr);
}

void TComServer::UnregisterTypeLibrary() {
    TTypeLibrary lib(ServerFileName());
    TLIBATTR* attr = nullptr;
    HRESULT hr = lib.Lib->GetLibAttr(&attr);
    if (FAILED(hr))
        throw EOleSysError("The type library cannot be read", hr);
    const TLIBATTR copy = *attr;
    lib.Lib->ReleaseTLibAttr(attr);
    hr =
        UnRegisterTypeLib(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind);
    // A library that was never registered is already where unregistering wants it.
    if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_CANTLOADLIBRARY)
        throw EOleSysError("The type library cannot be unregistered", hr);
}

// --- the factory ---

TComObjectFactory::TComObjectFactory(TComServer& Server, TComObjectCreator Creator,
                                     const GUID& ClassID, std::string ClassName,
                                     std::string Description, TClassInstancing Instancing,
                                     TThreadingModel ThreadingModel)
    : server_(Server), creator_(Creator), classId_(ClassID), className_(std::move(ClassName)),
      description_(std::move(Description)), instancing_(Instancing),
      threadingModel_(ThreadingModel) {
    server_.AddFactory(this);
}

TComObjectFactory::~TComObjectFactory() {
    server_.RemoveFactory(this);
}

std::string TComObjectFactory::ClassKey() const {
    return "CLSID\\" + GUIDToString(classId_);
}

void TComObjectFactory::UpdateRegistry(bool Register) {
    TComRegistry& reg = server_.Registry();
    const std::string classKey = ClassKey();
    const std::string serverKey = classKey + "\\InprocServer32";
    if (Register) {
        reg.WriteString(classKey, "", description_);
        reg.WriteString(serverKey, "", server_.RegisteredServerName());
        static const char* const kModels[] = {"", "Apartment", "Free", "Both", "Neutral"};
        if (threadingModel_ != tmSingle)
            reg.WriteString(serverKey, "ThreadingModel", kModels[threadingModel_]);
        if (!className_.empty()) {
            reg.WriteString(classKey + "\\ProgID", "", className_);
            reg.WriteString(className_, "", description_);
            reg.WriteString(className_ + "\\Clsid", "", GUIDToString(classId_));
        }
    } else {
        if (!className_.empty()) {
            reg.DeleteKey(className_ + "\\Clsid");
            reg.DeleteKey(className_);
            reg.DeleteKey(classKey + "\\ProgID");
        }
        reg.DeleteKey(serverKey);
        reg.DeleteKey(classKey);
    }
}

STDMETHODIMP TComObjectFactory::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) TComObjectFactory::AddRef() {
    server_.CountFactory(true);
    return static_cast<ULONG>(++refs_);
}

STDMETHODIMP_(ULONG) TComObjectFactory::Release() {
    // The factory lives with the server: the last release only lets the module go.
    const long n = --refs_;
    server_.CountFactory(false);
    return static_cast<ULONG>(n < 0 ? 0 : n);
}

STDMETHODIMP TComObjectFactory::CreateInstance(IUnknown* Outer, REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    if (Outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    return ComGuard([&] {
        TComObject* object = creator_(*this);
        // The creator's reference keeps the object alive through Initialize and the query.
        object->ObjAddRef();
        HRESULT hr = E_FAIL;
        try {
            object->Initialize();
            hr = object->ObjQueryInterface(riid, ppv);
        } catch (...) {
            object->ObjRelease();
            throw;
        }
        object->ObjRelease();
        return hr;
    });
}

STDMETHODIMP TComObjectFactory::LockServer(BOOL Lock) {
    server_.CountFactory(Lock != FALSE);
    return S_OK;
}

// --- the object ---

TComObject::TComObject(TComObjectFactory& Factory) noexcept : factory_(Factory) {
    factory_.ComServer().CountObject(true);
}

TComObject::~TComObject() {
    factory_.ComServer().CountObject(false);
}

HRESULT TComObject::ObjQueryInterface(REFIID riid, void** ppv) noexcept {
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = GetInterface(riid);
    if (*ppv == nullptr)
        return E_NOINTERFACE;
    ObjAddRef();
    return S_OK;
}

ULONG TComObject::ObjAddRef() noexcept {
    return static_cast<ULONG>(++refs_);
}

ULONG TComObject::ObjRelease() noexcept {
    const long n = --refs_;
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}
