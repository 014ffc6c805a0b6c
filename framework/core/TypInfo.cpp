#include "framework/core/TypInfo.h"

#include <algorithm>

#include "framework/core/Exceptions.h"
#include "framework/core/Persistent.h"

namespace {

bool SameAsciiText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

[[noreturn]] void RaiseUnknownProperty(std::string_view name) {
    throw EPropertyError("Unknown property: '" + std::string(name) + "'");
}

const char* const kBooleanNames[] = {"False", "True"};
const char* const kPixelFormatNames[] = {"pfDevice", "pf1bit",  "pf4bit",  "pf8bit",  "pf15bit",
                                         "pf16bit",  "pf24bit", "pf32bit", "pfCustom"};
const char* const kAlignNames[] = {"alNone",  "alTop",    "alBottom", "alLeft",
                                   "alRight", "alClient", "alCustom"};
const char* const kFontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
const char* const kShiftStateNames[] = {"ssShift", "ssAlt",    "ssCtrl",  "ssLeft",
                                        "ssRight", "ssMiddle", "ssDouble"};

std::uint64_t SetMask(const TEnumType& elements) {
    return elements.Count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << elements.Count) - 1;
}

}  // namespace

const TEnumType kBooleanType{kBooleanNames};
const TEnumType kPixelFormatType{kPixelFormatNames};
const TEnumType kAlignType{kAlignNames};
const TEnumType kFontStyleType{kFontStyleNames};
const TEnumType kShiftStateType{kShiftStateNames};

std::string GetEnumName(const TEnumType& type, int value) {
    if (value < 0 || value >= type.Count)
        return {};
    return type.Names[value];
}

int GetEnumValue(const TEnumType& type, std::string_view name) {
    for (int i = 0; i < type.Count; ++i) {
        if (SameAsciiText(type.Names[i], name))
            return i;
    }
    return -1;
}

std::string SetToString(const TEnumType& elements, std::uint64_t bits) {
    std::string text;
    for (int i = 0; i < elements.Count && i < 64; ++i) {
        if ((bits >> i) & 1) {
            if (!text.empty())
                text += ',';
            text += elements.Names[i];
        }
    }
    return text;
}

std::uint64_t StringToSet(const TEnumType& elements, std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '[') {
        if (text.back() != ']')
            throw EPropertyError("Invalid property value: '" + std::string(text) + "'");
        text = TrimBlanks(text.substr(1, text.size() - 2));
    }
    std::uint64_t bits = 0;
    while (!text.empty()) {
        std::size_t comma = text.find(',');
        std::string_view name = TrimBlanks(text.substr(0, comma));
        int value = GetEnumValue(elements, name);
        if (value < 0 || value >= 64)
            throw EPropertyError("Invalid property element: '" + std::string(name) + "'");
        bits |= std::uint64_t{1} << value;
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return bits;
}

// --- TPropList ----------------------------------------------------------------

const TPropInfo* TPropList::Find(std::string_view name) const noexcept {
    for (const TPropInfo& prop : props_) {
        if (prop.Name == name)
            return &prop;
    }
    return nullptr;
}

TPropList& TPropList::Add(TPropInfo prop) {
    auto same = std::find_if(props_.begin(), props_.end(),
                             [&](const TPropInfo& p) { return p.Name == prop.Name; });
    if (same != props_.end()) {
        *same = std::move(prop);
        last_ = static_cast<std::size_t>(same - props_.begin());
    } else {
        props_.push_back(std::move(prop));
        last_ = props_.size() - 1;
    }
    return *this;
}

TPropInfo& TPropList::Last() {
    if (props_.empty())
        throw EPropertyError("No property to modify");
    return props_[last_];
}

TPropList& TPropList::Default(std::int64_t value) {
    Last().Default = value;
    return *this;
}

TPropList& TPropList::NoDefault() {
    Last().Default.reset();
    return *this;
}

TPropList& TPropList::Stored(bool stored) {
    if (stored)
        Last().Stored = nullptr;
    else
        Last().Stored = [](const TObject&) { return false; };
    return *this;
}

// --- run-time interface -------------------------------------------------------

const TPropInfo* GetPropInfo(TClass cls, std::string_view name) {
    if (cls == nullptr)
        return nullptr;
    return cls->Properties().Find(name);
}

const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name) {
    return obj != nullptr ? GetPropInfo(obj->ClassType(), name) : nullptr;
}

Variant GetPropValue(const TObject* obj, std::string_view name, bool preferStrings) {
    const TPropInfo* prop = GetPropInfo(obj, name);
    if (prop == nullptr)
        RaiseUnknownProperty(name);
    Variant value = prop->Get(*obj);
    if (preferStrings && prop->EnumType != nullptr) {
        std::int64_t raw = value.AsInteger();
        if (prop->Kind == tkEnumeration)
            return Variant(GetEnumName(*prop->EnumType, static_cast<int>(raw)));
        if (prop->Kind == tkSet)
            return Variant(SetToString(*prop->EnumType, static_cast<std::uint64_t>(raw)));
    }
    return value;
}

namespace {

Variant NormaliseOrdinal(const TPropInfo& prop, const Variant& value) {
    const TEnumType& type = *prop.EnumType;
    if (prop.Kind == tkEnumeration) {
        std::int64_t ordinal;
        if (value.VarType() == Variant::varString) {
            ordinal = GetEnumValue(type, value.AsString());
        } else {
            ordinal = value.AsInteger();
        }
        if (ordinal < 0 || ordinal >= type.Count)
            throw EPropertyError("Invalid value for property '" + prop.Name + "'");
        return Variant(ordinal);
    }
    std::uint64_t bits = value.VarType() == Variant::varString
                             ? StringToSet(type, value.AsString())
                             : static_cast<std::uint64_t>(value.AsInteger());
    if ((bits & ~SetMask(type)) != 0)
        throw EPropertyError("Invalid value for property '" + prop.Name + "'");
    return Variant(static_cast<std::int64_t>(bits));
}

}  // namespace

void SetPropValue(TObject* obj, std::string_view name, const Variant& value) {
    const TPropInfo* prop = GetPropInfo(obj, name);
    if (prop == nullptr)
        RaiseUnknownProperty(name);
    if (!prop->Writable())
        throw EPropertyError("Property '" + prop->Name + "' is read-only");
    try {
        if (prop->EnumType != nullptr)
            prop->Set(*obj, NormaliseOrdinal(*prop, value));
        else
            prop->Set(*obj, value);
    } catch (const EConvertError&) {
        throw EPropertyError("Invalid value for property '" + prop->Name + "'");
    }
}

bool IsStoredProp(const TObject& obj, const TPropInfo& prop) {
    if (prop.Stored && !prop.Stored(obj))
        return false;
    if (prop.Default.has_value() &&
        (prop.Kind == tkInteger || prop.Kind == tkEnumeration || prop.Kind == tkSet)) {
        return prop.Get(obj).AsInteger() != *prop.Default;
    }
    return true;
}

void CopyPropertiesByName(const TObject* source, TObject* dest, TTypeKinds kinds) {
    if (source == nullptr || dest == nullptr)
        return;
    for (const TPropInfo& prop : source->ClassType()->Properties()) {
        if (!kinds.Contains(prop.Kind))
            continue;
        const TPropInfo* target = GetPropInfo(dest, prop.Name);
        if (target == nullptr || target->Kind != prop.Kind)
            continue;
        if (prop.Kind == tkClass) {
            auto* from = dynamic_cast<TPersistent*>(prop.Get(*source).AsObject());
            auto* to = dynamic_cast<TPersistent*>(target->Get(*dest).AsObject());
            if (from != nullptr && to != nullptr)
                to->Assign(from);
            continue;
        }
        if (!target->Writable())
            continue;
        bool names = prop.EnumType != nullptr;
        SetPropValue(dest, prop.Name, GetPropValue(source, prop.Name, names));
    }
}

namespace fw_detail {

void RaisePropertyValue(const std::string& name) {
    throw EPropertyError("Invalid value for property '" + name + "'");
}

}  // namespace fw_detail
