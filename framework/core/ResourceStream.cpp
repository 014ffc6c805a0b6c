#include "framework/core/ResourceStream.h"

#include <mutex>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"

namespace {

struct Blob {
    TInstanceHandle instance;
    TResourceName name;
    TResourceName type;
    const void* data;
    std::size_t size;
};

struct BlobTable {
    std::mutex lock;
    std::vector<Blob> blobs;
};

// Built on first use, so nothing runs before start-up.
BlobTable& Blobs() {
    static BlobTable table;
    return table;
}

}  // namespace

TResourceName::TResourceName(const char* name) {
    const auto value = reinterpret_cast<std::uintptr_t>(name);
    if (value < 0x10000) {
        isId_ = true;
        id_ = static_cast<std::uint16_t>(value);
    } else {
        name_ = name;
    }
}

TResourceName TResourceName::FromId(std::uint16_t id) {
    TResourceName result;
    result.isId_ = true;
    result.id_ = id;
    return result;
}

std::string TResourceName::Text() const { return isId_ ? "#" + IntToStr(id_) : name_; }

bool TResourceName::Matches(const TResourceName& other) const {
    if (isId_ != other.isId_)
        return false;
    return isId_ ? id_ == other.id_ : SameText(name_, other.name_);
}

TResourceStream::TResourceStream(TInstanceHandle instance, const TResourceName& name,
                                 const TResourceName& type) {
    {
        BlobTable& table = Blobs();
        std::lock_guard<std::mutex> guard(table.lock);
        for (const Blob& blob : table.blobs) {
            if ((blob.instance == 0 || blob.instance == instance) && blob.name.Matches(name) &&
                blob.type.Matches(type)) {
                SetPointer(const_cast<void*>(blob.data), blob.size);
                return;
            }
        }
    }
    const void* data = nullptr;
    std::size_t size = 0;
    if (!fw_detail::FindModuleResource(instance, name, type, data, size))
        throw EResNotFound("Resource %s not found", {name.Text()});
    SetPointer(const_cast<void*>(data), size);
}

TResourceStream::~TResourceStream() = default;

void RegisterResourceBlob(TInstanceHandle instance, const TResourceName& name,
                          const TResourceName& type, const void* data, std::size_t size) {
    BlobTable& table = Blobs();
    std::lock_guard<std::mutex> guard(table.lock);
    for (Blob& blob : table.blobs) {
        if (blob.instance == instance && blob.name.Matches(name) && blob.type.Matches(type)) {
            blob.data = data;
            blob.size = size;
            return;
        }
    }
    table.blobs.push_back(Blob{instance, name, type, data, size});
}

bool UnregisterResourceBlob(TInstanceHandle instance, const TResourceName& name,
                            const TResourceName& type) {
    BlobTable& table = Blobs();
    std::lock_guard<std::mutex> guard(table.lock);
    for (auto it = table.blobs.begin(); it != table.blobs.end(); ++it) {
        if (it->instance == instance && it->name.Matches(name) && it->type.Matches(type)) {
            table.blobs.erase(it);
            return true;
        }
    }
    return false;
}
