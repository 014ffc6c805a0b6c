#pragma once

#include <any>
#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/core/Events.h"
#include "framework/core/Object.h"
#include "framework/core/Types.h"
#include "framework/core/Variant.h"

// The published-property table: per class, the properties that are copied
// or stored by name, ancestors' first, each in declaration order.
//
//   const TPropList& TKernelResampler::PublishedProperties() {
//       static const TPropList list = TPropList(TInherited::PublishedProperties())
//           .Class("Kernel", &TKernelResampler::GetKernel, &TKernelResampler::SetKernel)
//           .String("KernelClassName", &TKernelResampler::GetKernelClassName,
//                   &TKernelResampler::SetKernelClassName)
//           .Enum("KernelMode", kKernelModeType, &TKernelResampler::GetKernelMode,
//                 &TKernelResampler::SetKernelMode).Default(kmDynamic)
//           .Integer("TableSize", &TKernelResampler::GetTableSize,
//                    &TKernelResampler::SetTableSize).Default(32);
//       return list;
//   }
//
// Tables are built on first use, never at start-up.

enum TTypeKind : std::uint8_t {
    tkInteger,
    tkEnumeration,
    tkSet,
    tkFloat,
    tkString,
    tkClass,
    tkMethod
};
using TTypeKinds = TSet<TTypeKind>;
inline constexpr TTypeKinds tkAny{tkInteger, tkEnumeration, tkSet, tkFloat,
                                  tkString,  tkClass,       tkMethod};
inline constexpr TTypeKinds tkProperties = tkAny - TTypeKinds{tkMethod};

// The names of an enumeration's values 0..Count-1 (also the element type of
// a set). The array must have static storage duration.
struct TEnumType {
    const char* const* Names = nullptr;
    int Count = 0;

    constexpr TEnumType() noexcept = default;
    template <std::size_t N>
    constexpr TEnumType(const char* const (&names)[N]) noexcept
        : Names(names), Count(static_cast<int>(N)) {}
};

// The value's name, or "" when value is outside 0..Count-1.
std::string GetEnumName(const TEnumType& type, int value);
// The value whose name is name (case-insensitive), or -1.
int GetEnumValue(const TEnumType& type, std::string_view name);

// "a,b" for the elements set in bits (lowest first); unknown bits are ignored.
std::string SetToString(const TEnumType& elements, std::uint64_t bits);
// Parses "a,b" or "[a, b]"; an unknown name raises EPropertyError.
std::uint64_t StringToSet(const TEnumType& elements, std::string_view text);

// Name tables of the shared enumerations.
extern const TEnumType kBooleanType;      // False, True
extern const TEnumType kPixelFormatType;  // pfDevice ... pfCustom
extern const TEnumType kAlignType;        // alNone ... alCustom
extern const TEnumType kFontStyleType;    // fsBold ... fsStrikeOut
extern const TEnumType kShiftStateType;   // ssShift ... ssDouble

// One published property. Get answers the raw value: an integer for
// integer, enumeration and set kinds, a float, a string, an object or a
// method. Set is empty for a read-only property.
struct TPropInfo {
    std::string Name;
    TTypeKind Kind = tkInteger;
    const TEnumType* EnumType = nullptr;  // enumeration and set kinds
    TClass PropClass = nullptr;           // class kind, when the class has meta data
    std::function<Variant(const TObject&)> Get;
    std::function<void(TObject&, const Variant&)> Set;
    std::optional<std::int64_t> Default;  // ordinal kinds: the value that is not stored
    std::function<bool(const TObject&)> Stored;  // empty: always stored

    bool Writable() const noexcept { return static_cast<bool>(Set); }
};

namespace fw_detail {

template <class M>
struct MemberClass;
template <class C, class R, class... A>
struct MemberClass<R (C::*)(A...)> {
    using type = C;
};
template <class C, class R, class... A>
struct MemberClass<R (C::*)(A...) const> {
    using type = C;
};
template <class C, class R, class... A>
struct MemberClass<R (C::*)(A...) noexcept> {
    using type = C;
};
template <class C, class R, class... A>
struct MemberClass<R (C::*)(A...) const noexcept> {
    using type = C;
};
template <class C, class R>
    requires(!std::is_function_v<R>)
struct MemberClass<R C::*> {
    using type = C;
};
template <class M>
using MemberClassT = typename MemberClass<M>::type;

[[noreturn]] void RaisePropertyValue(const std::string& name);

}  // namespace fw_detail

// The property list of one class; a copy of the parent's list extended by
// the builder calls below. Getters are member functions (or data members) of
// the class or an ancestor; setters are member functions taking the value;
// nullptr as setter makes the property read-only.
class TPropList {
public:
    TPropList() = default;

    int Count() const noexcept { return static_cast<int>(props_.size()); }
    const TPropInfo& operator[](int index) const { return props_.at(static_cast<std::size_t>(index)); }
    auto begin() const noexcept { return props_.begin(); }
    auto end() const noexcept { return props_.end(); }
    // Exact, case-sensitive names; nullptr when absent.
    const TPropInfo* Find(std::string_view name) const noexcept;

    // Appends prop; a property that redeclares an inherited name replaces it
    // in place (keeping the ancestor's position).
    TPropList& Add(TPropInfo prop);

    template <class G, class S = std::nullptr_t>
    TPropList& Integer(std::string name, G getter, S setter = nullptr) {
        return AddTyped<std::int64_t>(std::move(name), tkInteger, nullptr, getter, setter);
    }
    template <class G, class S = std::nullptr_t>
    TPropList& Float(std::string name, G getter, S setter = nullptr) {
        return AddTyped<double>(std::move(name), tkFloat, nullptr, getter, setter);
    }
    template <class G, class S = std::nullptr_t>
    TPropList& String(std::string name, G getter, S setter = nullptr) {
        return AddTyped<std::string>(std::move(name), tkString, nullptr, getter, setter);
    }
    // An enumeration (or bool) with its name table.
    template <class G, class S = std::nullptr_t>
    TPropList& Enum(std::string name, const TEnumType& type, G getter, S setter = nullptr) {
        return AddTyped<std::int64_t>(std::move(name), tkEnumeration, &type, getter, setter);
    }
    // A TSet of an enumeration with the element names.
    template <class G, class S = std::nullptr_t>
    TPropList& Set(std::string name, const TEnumType& elements, G getter, S setter = nullptr) {
        return AddTyped<std::uint64_t>(std::move(name), tkSet, &elements, getter, setter);
    }
    // An object reference (a pointer to a TObject descendant).
    template <class G, class S = std::nullptr_t>
    TPropList& Class(std::string name, G getter, S setter = nullptr) {
        return AddTyped<TObject*>(std::move(name), tkClass, nullptr, getter, setter);
    }
    // An event (a TDelegate).
    template <class G, class S = std::nullptr_t>
    TPropList& Method(std::string name, G getter, S setter = nullptr) {
        return AddTyped<std::any>(std::move(name), tkMethod, nullptr, getter, setter);
    }

    // Modify the property added last.
    TPropList& Default(std::int64_t value);
    TPropList& NoDefault();
    TPropList& Stored(bool stored);
    template <class P>
        requires std::predicate<P, const TObject&>
    TPropList& Stored(P predicate) {
        Last().Stored = std::move(predicate);
        return *this;
    }

private:
    TPropInfo& Last();

    template <class Raw, class G, class S>
    TPropList& AddTyped(std::string name, TTypeKind kind, const TEnumType* type, G getter,
                        S setter);

    std::vector<TPropInfo> props_;
    std::size_t last_ = 0;  // the property the modifiers apply to
};

// --- the run-time interface -------------------------------------------------

// The property named name of obj's class (or of cls), or nullptr.
const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name);
const TPropInfo* GetPropInfo(TClass cls, std::string_view name);

// Reads a property by name. With preferStrings, enumerations answer their
// value's name and sets their "a,b" text; otherwise both answer integers.
// An unknown name raises EPropertyError.
Variant GetPropValue(const TObject* obj, std::string_view name, bool preferStrings = true);

// Writes a property by name. Enumerations and sets accept names or integers.
// An unknown name, a read-only property or a value of the wrong type raises
// EPropertyError.
void SetPropValue(TObject* obj, std::string_view name, const Variant& value);

// True when prop should be stored for obj: its Stored rule holds and an
// ordinal value differs from its default.
bool IsStoredProp(const TObject& obj, const TPropInfo& prop);

// Copies, in Source's declaration order, every published property of Source
// whose kind is in kinds to the writable property of the same name of Dest;
// names Dest lacks (or cannot write) are skipped. A class-typed property is
// copied by letting Dest's object Assign Source's object when both are
// TPersistent and non-nil; the reference itself is never copied.
void CopyPropertiesByName(const TObject* source, TObject* dest, TTypeKinds kinds = tkAny);

// --- implementation of the typed builder ------------------------------------

namespace fw_detail {

template <class Raw, class V>
Variant ToVariant(const V& value) {
    if constexpr (std::is_same_v<Raw, std::any>) {
        return Variant::FromMethod(std::any(value));
    } else if constexpr (std::is_same_v<Raw, TObject*>) {
        return Variant(static_cast<TObject*>(const_cast<std::remove_const_t<
                                                 std::remove_pointer_t<V>>*>(value)));
    } else if constexpr (std::is_same_v<Raw, std::string>) {
        return Variant(std::string(value));
    } else if constexpr (std::is_same_v<Raw, double>) {
        return Variant(static_cast<double>(value));
    } else if constexpr (requires { value.Raw(); }) {
        return Variant(static_cast<std::int64_t>(value.Raw()));
    } else {
        return Variant(static_cast<std::int64_t>(value));
    }
}

template <class Raw, class V>
V FromVariant(const Variant& value, const std::string& name) {
    if constexpr (std::is_same_v<Raw, std::any>) {
        const V* delegate = std::any_cast<V>(&value.AsMethod());
        if (delegate == nullptr)
            RaisePropertyValue(name);
        return *delegate;
    } else if constexpr (std::is_same_v<Raw, TObject*>) {
        TObject* object = value.AsObject();
        if (object == nullptr)
            return nullptr;
        auto* typed = dynamic_cast<V>(object);
        if (typed == nullptr)
            RaisePropertyValue(name);
        return typed;
    } else if constexpr (std::is_same_v<Raw, std::string>) {
        return V(value.AsString());
    } else if constexpr (std::is_same_v<Raw, double>) {
        return static_cast<V>(value.AsFloat());
    } else if constexpr (requires { V::FromRaw(0); }) {
        return V::FromRaw(static_cast<typename V::RawType>(value.AsInteger()));
    } else if constexpr (std::is_same_v<V, bool>) {
        return value.AsInteger() != 0;
    } else {
        using Int = typename std::conditional_t<std::is_enum_v<V>, std::underlying_type<V>,
                                                std::type_identity<V>>::type;
        std::int64_t raw = value.AsInteger();
        if (!std::in_range<Int>(raw))
            RaisePropertyValue(name);
        return static_cast<V>(raw);
    }
}

template <class S>
struct SetterValue;
template <class C, class R, class A>
struct SetterValue<R (C::*)(A)> {
    using type = std::remove_cvref_t<A>;
};
template <class C, class R, class A>
struct SetterValue<R (C::*)(A) noexcept> {
    using type = std::remove_cvref_t<A>;
};

}  // namespace fw_detail

template <class Raw, class G, class S>
TPropList& TPropList::AddTyped(std::string name, TTypeKind kind, const TEnumType* type, G getter,
                               S setter) {
    using C = fw_detail::MemberClassT<G>;
    using Value = std::remove_cvref_t<std::invoke_result_t<G, const C&>>;
    TPropInfo prop;
    prop.Name = std::move(name);
    prop.Kind = kind;
    prop.EnumType = type;
    if constexpr (std::is_same_v<Raw, TObject*>) {
        using Pointee = std::remove_cv_t<std::remove_pointer_t<Value>>;
        static_assert(std::is_base_of_v<TObject, Pointee>, "class properties hold TObject pointers");
        if constexpr (requires { Pointee::StaticClass(); })
            prop.PropClass = Pointee::StaticClass();
    }
    prop.Get = [getter](const TObject& obj) -> Variant {
        const C& self = dynamic_cast<const C&>(obj);
        return fw_detail::ToVariant<Raw>(std::invoke(getter, self));
    };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
        using SetValue = typename fw_detail::SetterValue<S>::type;
        std::string propName = prop.Name;
        prop.Set = [setter, propName](TObject& obj, const Variant& value) {
            C& self = dynamic_cast<C&>(obj);
            std::invoke(setter, self, fw_detail::FromVariant<Raw, SetValue>(value, propName));
        };
    }
    return Add(std::move(prop));
}
