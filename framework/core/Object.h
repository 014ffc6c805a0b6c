#pragma once

#include <string>
#include <type_traits>
#include <utility>

// The object model of the class library: TObject, the per-class meta data
// (declared name, parent, virtual constructor, published properties) and
// class references.
//
// Every class that takes part declares itself with FW_CLASS at the top of its
// body:
//
//   class TForm1 : public TForm {
//       FW_CLASS(TForm1, TForm)
//   public:
//       ...
//   };
//
// The class name is the declared text ("TForm1"), never typeid().name(): form
// window classes and error messages are built from it.

class TObject;
class TPropList;
struct TMetaClass;

// A class reference: the meta data of one class, nullptr for "no class".
using TClass = const TMetaClass*;

// The argument list of a class family's virtual constructor. A family root
// names its own (TComponent: TCtorArgs<TComponent*>); descendants inherit it.
template <class... A>
struct TCtorArgs {};

// The virtual constructor of one class for one argument list.
template <class... A>
struct TConstructorRecord {
    TObject* (*Make)(A...);
};

// Identifies an argument list; writable so that no linker merges two of them.
template <class... A>
inline char gConstructorTag = 0;

// Meta data of one class. Instances are constant-initialised statics made by
// FW_CLASS; nothing here runs at start-up.
struct TMetaClass {
    const char* Name;
    TClass (*ParentFn)();                   // nullptr for TObject
    const void* Constructor;                // const TConstructorRecord<A...>*, or nullptr
    const char* ConstructorTag;             // &gConstructorTag<A...> of the record
    const TPropList& (*PropertiesFn)();     // the class's published properties

    std::string ClassName() const { return Name; }
    TClass ClassParent() const noexcept { return ParentFn != nullptr ? ParentFn() : nullptr; }
    // True for this class itself and every class it descends from.
    bool InheritsFrom(TClass ancestor) const noexcept;
    // Published properties, ancestors' first, in declaration order.
    const TPropList& Properties() const { return PropertiesFn(); }
    // False for abstract classes and classes without the family's constructor.
    bool CanCreate() const noexcept { return Constructor != nullptr; }

    // Runs the virtual constructor with the family's argument list P..., then
    // AfterConstruction. Raises EInvalidOperation when the class cannot be
    // created with that argument list (abstract class, other family).
    template <class... P, class... A>
    TObject* Construct(A&&... args) const;
};

// Runs obj->AfterConstruction(); when that raises, frees obj and rethrows.
// Returns obj.
TObject* CompleteConstruction(TObject* obj);

[[noreturn]] void RaiseCannotCreate(TClass cls);
[[noreturn]] void RaiseInvalidCast();

// The root of the class tree.
//
// Life cycle: Create<T>(args...) (or a class reference's Create) runs the C++
// constructors and then AfterConstruction(), when the most-derived class is
// complete, so overrides called from there reach the final class. Free()
// runs BeforeDestruction() while the object is still whole, then the C++
// destructors. Objects are identities: they are not copied.
class TObject {
public:
    using TConstructorArgs = TCtorArgs<>;

    TObject() noexcept = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    static TClass StaticClass() noexcept;
    // The exact class of the object.
    virtual TClass ClassType() const noexcept;

    std::string ClassName() const { return ClassType()->ClassName(); }
    TClass ClassParent() const noexcept { return ClassType()->ClassParent(); }
    bool InheritsFrom(TClass ancestor) const noexcept {
        return ClassType()->InheritsFrom(ancestor);
    }
    template <class T>
    bool InheritsFrom() const noexcept {
        return InheritsFrom(T::StaticClass());
    }

    // Called once after the most-derived constructor has finished.
    virtual void AfterConstruction() {}
    // Called by Free() before any destructor runs, while virtual calls still
    // reach the final class.
    virtual void BeforeDestruction() {}

    // BeforeDestruction(), then delete. An exception from BeforeDestruction
    // is reported (ReportException) and never escapes. The object must have
    // been made with new.
    void Free() noexcept;

    // TObject publishes nothing.
    static const TPropList& PublishedProperties();

    template <class... A>
    static TObject* FwConstruct_(A... args) {
        return new TObject(std::forward<A>(args)...);
    }
    template <class... A>
    static constexpr bool FwCanConstruct_() {
        return sizeof...(A) == 0;
    }
};

// Frees p (when not nullptr) and sets it to nullptr first, so handlers that
// run during the destruction see no dangling pointer.
template <class T>
void FreeAndNil(T*& p) noexcept {
    T* object = p;
    p = nullptr;
    if (object != nullptr)
        object->Free();
}

// Constructs a T and completes the construction (AfterConstruction). Use it
// for every object whose class overrides AfterConstruction.
template <class T, class... A>
T* Create(A&&... args) {
    T* object = new T(std::forward<A>(args)...);
    CompleteConstruction(object);
    return object;
}

// A checked cast: nullptr stays nullptr; an object that is not a T raises
// EInvalidCast.
template <class T>
T* CheckedCast(TObject* object) {
    if (object == nullptr)
        return nullptr;
    T* result = dynamic_cast<T*>(object);
    if (result == nullptr)
        RaiseInvalidCast();
    return result;
}

namespace fw_detail {

// T itself, as a type that depends on A (delays checks on T to instantiation).
template <class T, class... A>
struct TDependent {
    using type = T;
};

template <class T, class... A>
inline constexpr TConstructorRecord<A...> kConstructorRecord{&T::template FwConstruct_<A...>};

template <class T, class... A>
constexpr const void* ConstructorOf(TCtorArgs<A...>) {
    if constexpr (std::is_abstract_v<T>) {
        return nullptr;
    } else if constexpr (!T::template FwCanConstruct_<A...>()) {
        return nullptr;
    } else {
        return &kConstructorRecord<T, A...>;
    }
}

template <class... A>
constexpr const char* ConstructorTagOf(TCtorArgs<A...>) {
    return &gConstructorTag<A...>;
}

}  // namespace fw_detail

template <class... P, class... A>
TObject* TMetaClass::Construct(A&&... args) const {
    if (Constructor == nullptr || ConstructorTag != &gConstructorTag<P...>)
        RaiseCannotCreate(this);
    auto* record = static_cast<const TConstructorRecord<P...>*>(Constructor);
    return CompleteConstruction(record->Make(std::forward<A>(args)...));
}

// Declares Self's meta data: its name (the text of Self), its parent, its
// virtual constructor (when Self is concrete and has a constructor taking the
// family's TConstructorArgs) and its published properties (the nearest
// PublishedProperties() in Self or its ancestors). Leaves the access at
// public.
#define FW_CLASS(Self, Parent)                                                                     \
public:                                                                                            \
    using TInherited = Parent;                                                                     \
    /* A function, not a variable template, so that it sees Self complete; defined before */       \
    /* StaticClass, whose constant initialiser calls it; Self is made dependent so that an */      \
    /* abstract Self answers false instead of failing to compile. */                              \
    template <class... FwA>                                                                        \
    static constexpr bool FwCanConstruct_() {                                                      \
        using FwSelf = typename ::fw_detail::TDependent<Self, FwA...>::type;                       \
        return requires(FwA... args) { new FwSelf(args...); };                                     \
    }                                                                                              \
    static TClass StaticClass() noexcept {                                                         \
        static constexpr TMetaClass kMeta{                                                         \
            #Self, &Parent::StaticClass,                                                           \
            ::fw_detail::ConstructorOf<Self>(typename Self::TConstructorArgs{}),                   \
            ::fw_detail::ConstructorTagOf(typename Self::TConstructorArgs{}),                      \
            &Self::PublishedProperties};                                                           \
        return &kMeta;                                                                             \
    }                                                                                              \
    TClass ClassType() const noexcept override { return StaticClass(); }                           \
    template <class... FwA>                                                                        \
    static TObject* FwConstruct_(FwA... args) {                                                    \
        using FwSelf = typename ::fw_detail::TDependent<Self, FwA...>::type;                       \
        return new FwSelf(std::forward<FwA>(args)...);                                             \
    }                                                                                              \
                                                                                                   \
public:

// A typed class reference: a class that descends from Base, whose virtual
// constructor takes Base's TConstructorArgs.
//   TComponentClass cls = TComponentClass::Of<TButton>();
//   TComponent* c = cls.Create(owner);
template <class Base>
class TClassOf {
public:
    constexpr TClassOf() noexcept = default;
    constexpr TClassOf(std::nullptr_t) noexcept {}
    // Checked at run time: a class that does not descend from Base raises
    // EInvalidCast; nullptr is allowed.
    explicit TClassOf(TClass cls) : cls_(cls) {
        if (cls != nullptr && !cls->InheritsFrom(Base::StaticClass()))
            RaiseInvalidCast();
    }
    template <class T>
        requires std::is_base_of_v<Base, T>
    static TClassOf Of() noexcept {
        TClassOf ref;
        ref.cls_ = T::StaticClass();
        return ref;
    }
    template <class T>
        requires std::is_base_of_v<Base, T>
    TClassOf(const TClassOf<T>& other) noexcept : cls_(other.Class()) {}

    TClass Class() const noexcept { return cls_; }
    operator TClass() const noexcept { return cls_; }
    const TMetaClass* operator->() const noexcept { return cls_; }
    explicit operator bool() const noexcept { return cls_ != nullptr; }
    friend bool operator==(const TClassOf& a, const TClassOf& b) noexcept {
        return a.cls_ == b.cls_;
    }

    // Creates an instance through the virtual constructor and completes its
    // construction. Raises EInvalidOperation for an empty reference or a
    // class that cannot be created.
    template <class... A>
    Base* Create(A&&... args) const {
        return CreateWith(typename Base::TConstructorArgs{}, std::forward<A>(args)...);
    }

private:
    template <class... P, class... A>
    Base* CreateWith(TCtorArgs<P...>, A&&... args) const {
        if (cls_ == nullptr)
            RaiseCannotCreate(nullptr);
        return static_cast<Base*>(cls_->template Construct<P...>(std::forward<A>(args)...));
    }

    TClass cls_ = nullptr;
};

using TObjectClass = TClassOf<TObject>;
