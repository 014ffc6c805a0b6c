#include "framework/core/ClassRegistry.h"

#include <map>
#include <mutex>
#include <string>

#include "framework/core/Exceptions.h"

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::string, TClass, std::less<>> classes;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

void RegisterClass(TPersistentClass cls) {
    if (!cls)
        return;
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto [it, inserted] = r.classes.try_emplace(cls->Name, cls.Class());
    if (!inserted && it->second != cls.Class())
        throw EInvalidOperation("A class named " + cls->ClassName() + " already exists");
}

#ifdef _WIN32
void RegisterClassA(TPersistentClass cls) {
    RegisterClass(cls);
}
#endif

void RegisterClasses(std::initializer_list<TPersistentClass> classes) {
    for (TPersistentClass cls : classes)
        RegisterClass(cls);
}

void UnRegisterClass(TPersistentClass cls) noexcept {
    if (!cls)
        return;
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto it = r.classes.find(std::string_view(cls->Name));
    if (it != r.classes.end() && it->second == cls.Class())
        r.classes.erase(it);
}

TPersistentClass GetClass(std::string_view name) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto it = r.classes.find(name);
    return it == r.classes.end() ? TPersistentClass() : TPersistentClass(it->second);
}

TPersistentClass FindClass(std::string_view name) {
    TPersistentClass cls = GetClass(name);
    if (!cls)
        throw EStreamError("Class " + std::string(name) + " not found");
    return cls;
}
