#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/core/CustomMemoryStream.h"

// A module instance (the Win32 HINSTANCE as an integer, so this header needs
// no Windows header).
using TInstanceHandle = std::uintptr_t;

// Names a resource or a resource type: a text name, or an integer id (the
// Win32 MAKEINTRESOURCE form). Text names compare without case, as Win32
// compares them.
class TResourceName {
public:
    // A pointer value below 0x10000 is an id, as in Win32 (so RT_RCDATA and
    // MAKEINTRESOURCE values may be passed through); nullptr is id 0.
    TResourceName(const char* name);
    TResourceName(const std::string& name) : name_(name) {}
    static TResourceName FromId(std::uint16_t id);

    bool IsId() const { return isId_; }
    std::uint16_t Id() const { return id_; }
    const std::string& Name() const { return name_; }
    // The name as messages show it: the text, or "#<id>".
    std::string Text() const;
    bool Matches(const TResourceName& other) const;

private:
    TResourceName() = default;
    bool isId_ = false;
    std::uint16_t id_ = 0;
    std::string name_;
};

// Standard resource types.
inline const TResourceName kResourceTypeBitmap = TResourceName::FromId(2);
inline const TResourceName kResourceTypeRcData = TResourceName::FromId(10);

// A read-only stream over a resource of a module. The bytes are looked up
// first among the blobs registered with RegisterResourceBlob (the only source
// in native builds, where programs embed their data as arrays) and then, on
// Windows, among the module's own resources. Raises EResNotFound ("Resource
// <name> not found") when neither has it. Writing raises EWriteError.
class TResourceStream : public TCustomMemoryStream {
public:
    TResourceStream(TInstanceHandle instance, const TResourceName& name, const TResourceName& type);
    ~TResourceStream() override;
};

// Makes size bytes at data (which must outlive every stream over them)
// available as resource name of type for instance; instance 0 serves every
// instance. A second registration of the same instance, name and type
// replaces the first. Call from start-up code, not from static initialisers.
void RegisterResourceBlob(TInstanceHandle instance, const TResourceName& name,
                          const TResourceName& type, const void* data, std::size_t size);
// Removes a registration; false when there was none.
bool UnregisterResourceBlob(TInstanceHandle instance, const TResourceName& name,
                            const TResourceName& type);

namespace fw_detail {
// The module's own resource (Win32); false when there is none or natively.
bool FindModuleResource(TInstanceHandle instance, const TResourceName& name,
                        const TResourceName& type, const void*& data, std::size_t& size);
}  // namespace fw_detail
