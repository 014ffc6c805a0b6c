#pragma once

#include <any>
#include <cstdint>
#include <string>
#include <variant>

class TObject;

// The small variant through which published properties are read and written
// by name: empty, a 64-bit integer (integers, ordinals, set bits), a float,
// a string, an object reference or a method (a TDelegate held by value).
class Variant {
public:
    enum TVarType { varEmpty, varInteger, varFloat, varString, varObject, varMethod };

    Variant() noexcept = default;
    Variant(std::int64_t value) : value_(value) {}
    Variant(int value) : value_(std::int64_t{value}) {}
    Variant(double value) : value_(value) {}
    Variant(std::string value) : value_(std::move(value)) {}
    Variant(const char* value) : value_(std::string(value)) {}
    Variant(TObject* value) : value_(value) {}
    // A method value; holds a copy of any TDelegate.
    static Variant FromMethod(std::any delegate);

    TVarType VarType() const noexcept { return static_cast<TVarType>(value_.index()); }
    bool IsEmpty() const noexcept { return VarType() == varEmpty; }

    // Conversions raise EConvertError when the value has another type; an
    // integer converts to float and to its decimal text, a float with no
    // fraction converts to integer, a string holding a decimal integer
    // converts to integer.
    std::int64_t AsInteger() const;
    double AsFloat() const;
    std::string AsString() const;
    TObject* AsObject() const;
    const std::any& AsMethod() const;

    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct Method {
        std::any delegate;
    };
    std::variant<std::monostate, std::int64_t, double, std::string, TObject*, Method> value_;
};
