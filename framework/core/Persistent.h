#pragma once

#include <string>

#include "framework/core/Object.h"

class TFiler;

// An object whose state can be copied into another object (Assign/AssignTo)
// and stored in a form description (published properties, DefineProperties).
class TPersistent : public TObject {
    FW_CLASS(TPersistent, TObject)
public:
    TPersistent() noexcept = default;
    ~TPersistent() override;

    // Copies Source's state into this object. The default asks Source to do
    // it (Source->AssignTo(this)); Assign(nullptr) raises EConvertError unless
    // a class overrides it to mean "clear".
    virtual void Assign(TPersistent* Source);

    // Copies this object's state into Dest. The default raises EConvertError
    // ("Cannot assign a <this class> to a <Dest class>"): the classes know
    // nothing of each other.
    virtual void AssignTo(TPersistent* Dest);

    // Declares the object's stored data that is not a published property
    // (Filer->DefineProperty / DefineBinaryProperty). The default declares
    // nothing.
    virtual void DefineProperties(TFiler* Filer);

    // The object that owns this one for naming and storing (a component's
    // owner, an item's collection); nullptr by default.
    virtual TPersistent* GetOwner() const;

    // The name by which tools and messages refer to the object: the owner's
    // path, a dot and the class name by default (a component answers its
    // Name, a collection item "<collection path>[<index>]").
    virtual std::string GetNamePath() const;

protected:
    // Raises EConvertError naming Source's class (or "nil") and this class.
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

using TPersistentClass = TClassOf<TPersistent>;
