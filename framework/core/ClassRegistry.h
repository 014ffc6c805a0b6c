#pragma once

#include <initializer_list>
#include <string_view>

#include "framework/core/Persistent.h"

// The process-wide registry of classes by name, for streaming: names are
// the declared class names, exact and case-sensitive. The registry is made
// on first use.

// Registers cls under its class name. Registering a class again does nothing;
// another class under a taken name raises EInvalidOperation.
void RegisterClass(TPersistentClass cls);
#ifdef _WIN32
// <windows.h> turns RegisterClass into RegisterClassA; this overload keeps
// such translation units calling the registry, whatever the include order.
void RegisterClassA(TPersistentClass cls);
#endif
void RegisterClasses(std::initializer_list<TPersistentClass> classes);
// Removes cls when it is registered (under its name); nothing otherwise.
void UnRegisterClass(TPersistentClass cls) noexcept;

// The registered class of that name, or nullptr.
TPersistentClass GetClass(std::string_view name);
// The registered class of that name; raises EStreamError "Class <name> not
// found" otherwise.
TPersistentClass FindClass(std::string_view name);
