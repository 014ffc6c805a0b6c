#pragma once

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "framework/core/Exceptions.h"

class TComRegistry;
class TComObject;
class TComObjectFactory;

// A registration step the system refused.
FW_DECLARE_EXCEPTION(EOleRegistrationError, EOleError);

// A GUID as the registry writes it: upper-case hexadecimal in braces.
std::string GUIDToString(const GUID& Id);

// The in-process server: the module, the counts that decide whether it may be unloaded, its
// type library and the registration of everything it serves. Made on the first use from the
// module's exports, never in DllMain.
class TComServer {
public:
    explicit TComServer(HINSTANCE Module) noexcept : module_(Module) {}

    HINSTANCE Module() const noexcept { return module_; }
    // The full path of the module's file.
    std::string ServerFileName() const;
    // ServerFileName, in its short 8.3 form when the path holds a blank (the shell of old
    // systems splits an unquoted server path at the blank).
    std::string RegisteredServerName() const;

    // Live objects and held factory references (server locks included). Any thread may ask.
    long ObjectCount() const noexcept { return objects_.load(); }
    long FactoryCount() const noexcept { return factories_.load(); }
    void CountObject(bool Created) noexcept { Created ? ++objects_ : --objects_; }
    void CountFactory(bool Created) noexcept { Created ? ++factories_ : --factories_; }
    // S_OK once nothing is alive or locked, else S_FALSE.
    HRESULT CanUnloadNow() const noexcept;

    // The factories this server hands out, in the order they were made.
    void AddFactory(TComObjectFactory* Factory);
    void RemoveFactory(TComObjectFactory* Factory) noexcept;
    TComObjectFactory* FindFactory(const GUID& ClassID) const noexcept;
    // The class-object export: CLASS_E_CLASSNOTAVAILABLE with *Obj = nullptr for an unknown
    // class, else the factory's answer to the interface.
    HRESULT GetClassObject(const GUID& ClassID, const IID& Iid, void** Obj) noexcept;

    // The registration exports: the type library (from the module's own file, its folder as
    // the help folder) and then every factory's registry update. E_FAIL when any step raised;
    // the steps already done stay done.
    HRESULT RegisterServer() noexcept { return UpdateRegistry(true); }
    HRESULT UnregisterServer() noexcept { return UpdateRegistry(false); }

    // Where registration writes; HKEY_CLASSES_ROOT unless a test puts another store in.
    TComRegistry& Registry() const noexcept;
    void SetRegistry(TComRegistry* Registry) noexcept;
    // Whether registration touches the type library (tests of the registry part alone skip it).
    bool HandleTypeLibrary = true;

private:
    HRESULT UpdateRegistry(bool Register) noexcept;
    void RegisterTypeLibrary();
    void UnregisterTypeLibrary();

    HINSTANCE module_;
    std::atomic<long> objects_{0};
    std::atomic<long> factories_{0};
    std::vector<TComObjectFactory*> factoryList_;
    TComRegistry* registry_ = nullptr;
};

enum TClassInstancing : std::uint8_t { ciInternal, ciSingleInstance, ciMultiInstance };
enum TThreadingModel : std::uint8_t { tmSingle, tmApartment, tmFree, tmBoth, tmNeutral };

// Makes the object a factory hands out; the factory counts it.
using TComObjectCreator = TComObject* (*)(TComObjectFactory& Factory);

// A class factory for one class of the server. It lives as long as the server and is counted,
// not freed, by its references. Creating it enters it in the server's list.
class TComObjectFactory : public IClassFactory {
public:
    TComObjectFactory(TComServer& Server, TComObjectCreator Creator, const GUID& ClassID,
                      std::string ClassName, std::string Description, TClassInstancing Instancing,
                      TThreadingModel ThreadingModel);
    virtual ~TComObjectFactory();
    TComObjectFactory(const TComObjectFactory&) = delete;
    TComObjectFactory& operator=(const TComObjectFactory&) = delete;

    TComServer& ComServer() const noexcept { return server_; }
    const GUID& ClassID() const noexcept { return classId_; }
    const std::string& ClassName() const noexcept { return className_; }
    const std::string& Description() const noexcept { return description_; }
    TClassInstancing Instancing() const noexcept { return instancing_; }
    TThreadingModel ThreadingModel() const noexcept { return threadingModel_; }
    // "CLSID\{...}".
    std::string ClassKey() const;

    // The registry part of registering (Register) or unregistering: the class key with the
    // description, its in-process server key with the server's file, the threading model unless
    // single, and the programmatic identifier when the class has a name. Raises on a refused
    // write. Derived factories add their own keys after calling this.
    virtual void UpdateRegistry(bool Register);

    // IUnknown / IClassFactory.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* Outer, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL Lock) override;

private:
    TComServer& server_;
    TComObjectCreator creator_;
    GUID classId_;
    std::string className_;
    std::string description_;
    TClassInstancing instancing_;
    TThreadingModel threadingModel_;
    std::atomic<long> refs_{0};
};

// The base of the server's objects: the reference count and the server's object count. A
// derived class inherits its interfaces beside this base and answers them in GetInterface.
class TComObject {
public:
    explicit TComObject(TComObjectFactory& Factory) noexcept;
    virtual ~TComObject();
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    // Runs once after construction, before the first interface leaves the factory.
    virtual void Initialize() {}
    TComObjectFactory& Factory() const noexcept { return factory_; }

    HRESULT ObjQueryInterface(REFIID riid, void** ppv) noexcept;
    ULONG ObjAddRef() noexcept;
    // Frees the object at the last reference.
    ULONG ObjRelease() noexcept;
    ULONG RefCount() const noexcept { return static_cast<ULONG>(refs_.load()); }

protected:
    // The interface pointer for riid, or nullptr; IUnknown is asked for too.
    virtual void* GetInterface(REFIID riid) noexcept = 0;

private:
    TComObjectFactory& factory_;
    std::atomic<long> refs_{0};
};

// Runs Body and turns anything it throws into an HRESULT, so no exception leaves a COM method:
// E_OUTOFMEMORY for an allocation failure, the code of a system error, E_FAIL for the rest.
template <class F> HRESULT ComGuard(F&& Body) noexcept {
    try {
        return Body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const EOleSysError& e) {
        return static_cast<HRESULT>(e.ErrorCode());
    } catch (...) {
        return E_FAIL;
    }
}

// The IUnknown methods of a class derived from TComObject, forwarding to its base.
#define FW_COM_IUNKNOWN                                                                            \
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {                                \
        return ObjQueryInterface(riid, ppv);                                                       \
    }                                                                                              \
    STDMETHODIMP_(ULONG) AddRef() override {                                                       \
        return ObjAddRef();                                                                        \
    }                                                                                              \
    STDMETHODIMP_(ULONG) Release() override {                                                      \
        return ObjRelease();                                                                       \
    }
