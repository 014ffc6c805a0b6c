#include "framework/core/SysUtils.h"

#include <algorithm>

#include "framework/core/Exceptions.h"

namespace {

char FoldUp(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char FoldDown(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The common grammar: blanks, sign, decimal or hexadecimal digits, the end.
struct ParsedInteger {
    bool negative = false;
    bool hex = false;
    std::uint64_t magnitude = 0;  // capped: anything above 2^32 stops growing
};

bool ParseInteger(std::string_view text, ParsedInteger& out) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        out.negative = text[i++] == '-';
    if (i < text.size() && text[i] == '$') {
        out.hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        out.hex = true;
        i += 2;
    }
    if (i == text.size())
        return false;
    constexpr std::uint64_t kCap = std::uint64_t{1} << 33;
    for (; i < text.size(); ++i) {
        int digit = out.hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0)
            return false;
        out.magnitude = std::min(out.magnitude * (out.hex ? 16 : 10) + static_cast<unsigned>(digit), kCap);
    }
    return true;
}

[[noreturn]] void RaiseNotInteger(std::string_view text) {
    throw EConvertError("'%s' is not a valid integer value", {text});
}

}  // namespace

bool TryStrToInt(std::string_view text, std::int32_t& value) {
    ParsedInteger parsed;
    if (!ParseInteger(text, parsed))
        return false;
    std::int64_t result;
    if (parsed.hex && !parsed.negative) {
        if (parsed.magnitude > 0xFFFFFFFFu)
            return false;
        result = static_cast<std::int32_t>(static_cast<std::uint32_t>(parsed.magnitude));
    } else {
        if (parsed.magnitude > (parsed.negative ? 0x80000000u : 0x7FFFFFFFu))
            return false;
        result = parsed.negative ? -static_cast<std::int64_t>(parsed.magnitude)
                                 : static_cast<std::int64_t>(parsed.magnitude);
    }
    value = static_cast<std::int32_t>(result);
    return true;
}

std::int32_t StrToInt(std::string_view text) {
    std::int32_t value = 0;
    if (!TryStrToInt(text, value))
        RaiseNotInteger(text);
    return value;
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue) {
    std::int32_t value = defaultValue;
    return TryStrToInt(text, value) ? value : defaultValue;
}

bool TryStrToUInt(std::string_view text, std::uint32_t& value) {
    ParsedInteger parsed;
    if (!ParseInteger(text, parsed) || parsed.negative || parsed.magnitude > 0xFFFFFFFFu)
        return false;
    value = static_cast<std::uint32_t>(parsed.magnitude);
    return true;
}

std::uint32_t StrToUInt(std::string_view text) {
    std::uint32_t value = 0;
    if (!TryStrToUInt(text, value))
        RaiseNotInteger(text);
    return value;
}

std::uint32_t StrToUIntDef(std::string_view text, std::uint32_t defaultValue) {
    std::uint32_t value = defaultValue;
    return TryStrToUInt(text, value) ? value : defaultValue;
}

std::string IntToStr(std::int64_t value) { return Format("%d", {value}); }

std::string IntToHexBits(std::uint64_t value, unsigned bits, int digits) {
    if (bits < 64)
        value &= (std::uint64_t{1} << bits) - 1;
    return Format("%.*x", {std::max(digits, 0), value});
}

bool TryStrToBool(std::string_view text, bool& value) {
    if (SameText(text, "TRUE")) {
        value = true;
        return true;
    }
    if (SameText(text, "FALSE")) {
        value = false;
        return true;
    }
    std::int32_t number = 0;
    if (!TryStrToInt(text, number))
        return false;
    value = number != 0;
    return true;
}

bool StrToBool(std::string_view text) {
    bool value = false;
    if (!TryStrToBool(text, value))
        throw EConvertError("'%s' is not a valid boolean value", {text});
    return value;
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), FoldUp);
    return out;
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), FoldDown);
    return out;
}

int CompareText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(FoldUp(a[i]));
        const auto cb = static_cast<unsigned char>(FoldUp(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string GetShortHint(std::string_view hint) {
    return std::string(hint.substr(0, hint.find('|')));
}

char GetHotkey(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return caption[i + 1];
        ++i;  // "&&": a literal ampersand
    }
    return 0;
}

bool IsAccel(char key, std::string_view caption) {
    const char hotkey = GetHotkey(caption);
    return hotkey != 0 && FoldUp(hotkey) == FoldUp(key);
}

std::string StripHotkey(std::string_view caption) {
    std::string out;
    std::size_t i = 0;
    while (i < caption.size()) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            out.push_back(caption[i + 1]);  // "&&" shows "&", "&F" shows "F"
            i += 2;
        } else {
            out.push_back(caption[i++]);  // a trailing "&" prefixes nothing
        }
    }
    return out;
}
