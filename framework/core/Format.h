#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// One argument of Format: an integer (with its width and signedness, so "%x" of
// an int shows its 32-bit two's complement) or a string. Strings are held as
// views; they must outlive the Format call, which the initializer-list form
// guarantees.
class FormatArg {
public:
    enum class Kind { Integer, String };

    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, char>)
    FormatArg(T value)
        : kind_(Kind::Integer),
          bits_(static_cast<std::uint64_t>(value)),
          width_(sizeof(T) * 8),
          signed_(std::is_signed_v<T>) {}
    FormatArg(bool value) = delete;
    FormatArg(char value) : kind_(Kind::String), charValue_(value), text_(&charValue_, 1) {}
    FormatArg(const char* text) : kind_(Kind::String), text_(text ? std::string_view(text) : std::string_view()) {}
    FormatArg(std::string_view text) : kind_(Kind::String), text_(text) {}
    FormatArg(const std::string& text) : kind_(Kind::String), text_(text) {}
    FormatArg(const FormatArg& other);
    FormatArg& operator=(const FormatArg&) = delete;

    Kind GetKind() const { return kind_; }
    // The value sign-extended (signed source) or zero-extended (unsigned source).
    std::int64_t AsSigned() const;
    // The value reduced to the source width, as unsigned: -1 of an int is 0xFFFFFFFF.
    std::uint64_t AsUnsigned() const;
    std::string_view AsString() const { return text_; }

private:
    Kind kind_;
    std::uint64_t bits_ = 0;
    unsigned width_ = 0;
    bool signed_ = false;
    char charValue_ = 0;
    std::string_view text_;
};

// Formats like the class library's Format: "%" ["-"] [width] ["." precision]
// type, with types d (signed decimal), u (unsigned decimal), x (hexadecimal,
// upper case), s (string) and "%%" for a percent sign. Width pads with blanks
// (left-justified after "-"); precision is the minimum digit count for d/u/x
// (zero-filled, "%.2x" of 5 is "05") and the maximum length for s. Width and
// precision may be "*" (taken from the next integer argument).
// Raises EConvertError for an unknown type, a missing argument or an argument
// of the wrong kind. Binary-safe: NULs in the pattern or in strings pass through.
std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args);
