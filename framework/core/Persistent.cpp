#include "framework/core/Persistent.h"

#include "framework/core/Exceptions.h"

TPersistent::~TPersistent() = default;

void TPersistent::Assign(TPersistent* Source) {
    if (Source == nullptr)
        AssignError(nullptr);
    Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    if (Dest == nullptr)
        throw EConvertError("Cannot assign a " + ClassName() + " to nil");
    Dest->AssignError(this);
}

void TPersistent::DefineProperties(TFiler*) {}

TPersistent* TPersistent::GetOwner() const {
    return nullptr;
}

std::string TPersistent::GetNamePath() const {
    std::string path = ClassName();
    if (TPersistent* owner = GetOwner()) {
        std::string ownerPath = owner->GetNamePath();
        if (!ownerPath.empty())
            path = ownerPath + "." + path;
    }
    return path;
}

void TPersistent::AssignError(const TPersistent* Source) const {
    std::string sourceName = Source != nullptr ? Source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}
