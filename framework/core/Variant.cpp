#include "framework/core/Variant.h"

#include <charconv>
#include <cmath>

#include "framework/core/Exceptions.h"

namespace {

[[noreturn]] void RaiseVariantType(const char* target) {
    throw EConvertError(std::string("Could not convert variant to ") + target);
}

}  // namespace

Variant Variant::FromMethod(std::any delegate) {
    Variant v;
    v.value_ = Method{std::move(delegate)};
    return v;
}

std::int64_t Variant::AsInteger() const {
    switch (VarType()) {
    case varInteger:
        return std::get<std::int64_t>(value_);
    case varFloat: {
        double d = std::get<double>(value_);
        // The range check is written so that NaN fails it too.
        if (!(d >= -9.2e18 && d <= 9.2e18) || d != std::floor(d))
            RaiseVariantType("an integer");
        return static_cast<std::int64_t>(d);
    }
    case varString: {
        const std::string& s = std::get<std::string>(value_);
        std::int64_t result = 0;
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), result);
        if (s.empty() || ec != std::errc() || end != s.data() + s.size())
            RaiseVariantType("an integer");
        return result;
    }
    default:
        RaiseVariantType("an integer");
    }
}

double Variant::AsFloat() const {
    switch (VarType()) {
    case varInteger:
        return static_cast<double>(std::get<std::int64_t>(value_));
    case varFloat:
        return std::get<double>(value_);
    default:
        RaiseVariantType("a float");
    }
}

std::string Variant::AsString() const {
    switch (VarType()) {
    case varInteger:
        return std::to_string(std::get<std::int64_t>(value_));
    case varString:
        return std::get<std::string>(value_);
    default:
        RaiseVariantType("a string");
    }
}

TObject* Variant::AsObject() const {
    if (VarType() == varObject)
        return std::get<TObject*>(value_);
    if (VarType() == varEmpty)
        return nullptr;
    RaiseVariantType("an object");
}

const std::any& Variant::AsMethod() const {
    if (VarType() != varMethod)
        RaiseVariantType("a method");
    return std::get<Method>(value_).delegate;
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.VarType() != b.VarType())
        return false;
    switch (a.VarType()) {
    case Variant::varEmpty:
        return true;
    case Variant::varInteger:
        return std::get<std::int64_t>(a.value_) == std::get<std::int64_t>(b.value_);
    case Variant::varFloat:
        return std::get<double>(a.value_) == std::get<double>(b.value_);
    case Variant::varString:
        return std::get<std::string>(a.value_) == std::get<std::string>(b.value_);
    case Variant::varObject:
        return std::get<TObject*>(a.value_) == std::get<TObject*>(b.value_);
    case Variant::varMethod:
        // Delegates of unknown type cannot be compared here.
        return false;
    }
    return false;
}
