#include "framework/core/Object.h"

#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/core/TypInfo.h"

bool TMetaClass::InheritsFrom(TClass ancestor) const noexcept {
    if (ancestor == nullptr)
        return false;
    for (TClass cls = this; cls != nullptr; cls = cls->ClassParent()) {
        if (cls == ancestor)
            return true;
    }
    return false;
}

TObject* CompleteConstruction(TObject* obj) {
    try {
        obj->AfterConstruction();
    } catch (...) {
        obj->Free();
        throw;
    }
    return obj;
}

void RaiseCannotCreate(TClass cls) {
    if (cls == nullptr)
        throw EInvalidOperation("Cannot create an instance of an empty class reference");
    throw EInvalidOperation("Cannot create an instance of class " + cls->ClassName());
}

void RaiseInvalidCast() {
    throw EInvalidCast();
}

TObject::~TObject() = default;

TClass TObject::StaticClass() noexcept {
    static constexpr TMetaClass kMeta{"TObject", nullptr,
                                      fw_detail::ConstructorOf<TObject>(TCtorArgs<>{}),
                                      fw_detail::ConstructorTagOf(TCtorArgs<>{}),
                                      &TObject::PublishedProperties};
    return &kMeta;
}

TClass TObject::ClassType() const noexcept {
    return StaticClass();
}

void TObject::Free() noexcept {
    try {
        BeforeDestruction();
    } catch (...) {
        ReportException(this);
    }
    delete this;
}

const TPropList& TObject::PublishedProperties() {
    static const TPropList empty;
    return empty;
}
