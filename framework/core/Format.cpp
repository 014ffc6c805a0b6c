#include "framework/core/Format.h"

#include <cstddef>

#include "framework/core/Exceptions.h"

FormatArg::FormatArg(const FormatArg& other)
    : kind_(other.kind_), bits_(other.bits_), width_(other.width_), signed_(other.signed_),
      charValue_(other.charValue_), text_(other.text_) {
    // A char argument views its own storage; the copy must view the copy's.
    if (kind_ == Kind::String && other.text_.data() == &other.charValue_)
        text_ = std::string_view(&charValue_, 1);
}

std::int64_t FormatArg::AsSigned() const {
    if (width_ >= 64 || width_ == 0)
        return static_cast<std::int64_t>(bits_);
    const std::uint64_t mask = (std::uint64_t{1} << width_) - 1;
    const std::uint64_t value = bits_ & mask;
    const std::uint64_t sign = std::uint64_t{1} << (width_ - 1);
    if (signed_ && (value & sign) != 0)
        return static_cast<std::int64_t>(value | ~mask);
    return static_cast<std::int64_t>(value);
}

std::uint64_t FormatArg::AsUnsigned() const {
    if (width_ >= 64 || width_ == 0)
        return bits_;
    return bits_ & ((std::uint64_t{1} << width_) - 1);
}

namespace {

[[noreturn]] void RaiseInvalid(std::string_view pattern) {
    throw EConvertError("Format '" + std::string(pattern) +
                        "' invalid or incompatible with argument");
}

// Reads a decimal number or "*" at pos; -1 when neither is there.
int ReadCount(std::string_view pattern, std::size_t& pos, const FormatArg*& next,
              const FormatArg* end) {
    if (pos < pattern.size() && pattern[pos] == '*') {
        ++pos;
        if (next == end || next->GetKind() != FormatArg::Kind::Integer)
            RaiseInvalid(pattern);
        const std::int64_t value = (next++)->AsSigned();
        if (value < 0 || value > 1000000)
            RaiseInvalid(pattern);
        return static_cast<int>(value);
    }
    int value = -1;
    while (pos < pattern.size() && pattern[pos] >= '0' && pattern[pos] <= '9') {
        value = (value < 0 ? 0 : value) * 10 + (pattern[pos] - '0');
        if (value > 1000000)
            RaiseInvalid(pattern);
        ++pos;
    }
    return value;
}

std::string Digits(std::uint64_t value, unsigned base) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value % base]);
        value /= base;
    } while (value != 0);
    return out;
}

}  // namespace

std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args) {
    std::string out;
    const FormatArg* next = args.begin();
    const FormatArg* const end = args.end();
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const char c = pattern[pos++];
        if (c != '%') {
            out.push_back(c);
            continue;
        }
        if (pos < pattern.size() && pattern[pos] == '%') {
            out.push_back('%');
            ++pos;
            continue;
        }
        bool leftJustify = false;
        if (pos < pattern.size() && pattern[pos] == '-') {
            leftJustify = true;
            ++pos;
        }
        const int width = ReadCount(pattern, pos, next, end);
        int precision = -1;
        if (pos < pattern.size() && pattern[pos] == '.') {
            ++pos;
            precision = ReadCount(pattern, pos, next, end);
            if (precision < 0)
                precision = 0;
        }
        if (pos >= pattern.size() || next == end)
            RaiseInvalid(pattern);
        const char type = pattern[pos++];
        const FormatArg& arg = *next++;
        std::string field;
        switch (type) {
        case 'd':
        case 'D':
        case 'u':
        case 'U':
        case 'x':
        case 'X': {
            if (arg.GetKind() != FormatArg::Kind::Integer)
                RaiseInvalid(pattern);
            bool negative = false;
            std::uint64_t magnitude;
            if (type == 'd' || type == 'D') {
                const std::int64_t v = arg.AsSigned();
                negative = v < 0;
                magnitude = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
            } else {
                magnitude = arg.AsUnsigned();
            }
            field = Digits(magnitude, (type == 'x' || type == 'X') ? 16 : 10);
            if (precision > 0 && field.size() < static_cast<std::size_t>(precision))
                field.insert(0, static_cast<std::size_t>(precision) - field.size(), '0');
            if (negative)
                field.insert(field.begin(), '-');
            break;
        }
        case 's':
        case 'S': {
            if (arg.GetKind() != FormatArg::Kind::String)
                RaiseInvalid(pattern);
            std::string_view text = arg.AsString();
            if (precision >= 0 && text.size() > static_cast<std::size_t>(precision))
                text = text.substr(0, static_cast<std::size_t>(precision));
            field.assign(text);
            break;
        }
        default:
            RaiseInvalid(pattern);
        }
        if (width > 0 && field.size() < static_cast<std::size_t>(width)) {
            const std::size_t pad = static_cast<std::size_t>(width) - field.size();
            if (leftJustify)
                field.append(pad, ' ');
            else
                field.insert(0, pad, ' ');
        }
        out += field;
    }
    return out;
}
