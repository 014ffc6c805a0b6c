#include "framework/core/ShortCut.h"

#include <array>

#include "framework/core/SysUtils.h"

namespace {

struct NamedKey {
    std::uint8_t key;
    const char* name;
};

// Fixed English names: the stored "AppHotKey" text must read back on any
// system, so nothing here comes from the keyboard layout or the locale.
constexpr NamedKey kNamedKeys[] = {
    {0x08, "BkSp"},       {0x09, "Tab"},        {0x0C, "Clear"},      {0x0D, "Enter"},
    {0x10, "ShiftKey"},   {0x11, "CtrlKey"},    {0x12, "AltKey"},     {0x13, "Pause"},
    {0x14, "Caps Lock"},  {0x1B, "Esc"},        {0x20, "Space"},      {0x21, "PgUp"},
    {0x22, "PgDn"},       {0x23, "End"},        {0x24, "Home"},       {0x25, "Left"},
    {0x26, "Up"},         {0x27, "Right"},      {0x28, "Down"},       {0x29, "Select"},
    {0x2A, "Print"},      {0x2B, "Execute"},    {0x2C, "PrtSc"},      {0x2D, "Ins"},
    {0x2E, "Del"},        {0x2F, "Help"},       {0x5B, "LWin"},       {0x5C, "RWin"},
    {0x5D, "Apps"},       {0x5F, "Sleep"},      {0x60, "Num 0"},      {0x61, "Num 1"},
    {0x62, "Num 2"},      {0x63, "Num 3"},      {0x64, "Num 4"},      {0x65, "Num 5"},
    {0x66, "Num 6"},      {0x67, "Num 7"},      {0x68, "Num 8"},      {0x69, "Num 9"},
    {0x6A, "Num *"},      {0x6B, "Num +"},      {0x6C, "Num Sep"},    {0x6D, "Num -"},
    {0x6E, "Num ."},      {0x6F, "Num /"},      {0x90, "Num Lock"},   {0x91, "Scroll Lock"},
    {0xBA, ";"},          {0xBB, "="},          {0xBC, ","},          {0xBD, "-"},
    {0xBE, "."},          {0xBF, "/"},          {0xC0, "`"},          {0xDB, "["},
    {0xDC, "\\"},         {0xDD, "]"},          {0xDE, "'"},
};

constexpr const char* kGenericPrefix = "Key $";

}  // namespace

TShortCut ShortCut(std::uint16_t key, TShiftState shift) {
    if (key > 0xFF)
        return 0;
    TShortCut result = key;
    if (shift.Contains(ssShift))
        result |= scShift;
    if (shift.Contains(ssCtrl))
        result |= scCtrl;
    if (shift.Contains(ssAlt))
        result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut shortCut, std::uint16_t& key, TShiftState& shift) {
    key = shortCut & 0xFF;
    shift = TShiftState();
    if ((shortCut & scShift) != 0)
        shift.Include(ssShift);
    if ((shortCut & scCtrl) != 0)
        shift.Include(ssCtrl);
    if ((shortCut & scAlt) != 0)
        shift.Include(ssAlt);
}

bool ShortCutHasModifier(TShortCut shortCut) {
    return (shortCut & (scShift | scCtrl | scAlt)) != 0;
}

std::string KeyName(std::uint16_t key) {
    if (key == 0 || key > 0xFF)
        return {};
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= 0x70 && key <= 0x87)
        return "F" + IntToStr(key - 0x70 + 1);
    for (const NamedKey& named : kNamedKeys)
        if (named.key == key)
            return named.name;
    return kGenericPrefix + IntToHex(key, 2);
}

std::string ShortCutToText(TShortCut shortCut) {
    const std::string name = KeyName(shortCut & 0xFF);
    if (name.empty())
        return {};
    std::string text;
    if ((shortCut & scShift) != 0)
        text += "Shift+";
    if ((shortCut & scCtrl) != 0)
        text += "Ctrl+";
    if ((shortCut & scAlt) != 0)
        text += "Alt+";
    return text + name;
}

namespace {

// The virtual key named name (any case), 0 when there is none.
std::uint16_t KeyFromName(std::string_view name) {
    if (name.size() == 1) {
        const char c = UpperCase(name)[0];
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
            return static_cast<std::uint16_t>(c);
    }
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        std::uint32_t number = 0;
        const std::string_view digits = name.substr(1);
        if (digits[0] >= '1' && digits[0] <= '9' && digits.size() <= 2 &&
            digits.find_first_not_of("0123456789") == std::string_view::npos &&
            TryStrToUInt(digits, number) && number >= 1 && number <= 24)
            return static_cast<std::uint16_t>(0x70 + number - 1);
    }
    for (const NamedKey& named : kNamedKeys)
        if (SameText(name, named.name))
            return named.key;
    const std::string_view prefix(kGenericPrefix);
    if (name.size() == prefix.size() + 2 && SameText(name.substr(0, prefix.size()), prefix)) {
        std::uint32_t key = 0;
        if (TryStrToUInt("$" + std::string(name.substr(prefix.size())), key) && key != 0 &&
            KeyName(static_cast<std::uint16_t>(key)) == kGenericPrefix + IntToHex(key, 2))
            return static_cast<std::uint16_t>(key);
    }
    return 0;
}

}  // namespace

TShortCut TextToShortCut(std::string_view text) {
    struct Modifier {
        const char* word;
        TShortCut bit;
    };
    static constexpr Modifier kModifiers[] = {{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
    TShortCut modifiers = 0;
    bool found = true;
    while (found) {
        found = false;
        for (const Modifier& m : kModifiers) {
            const std::string_view word(m.word);
            // A name such as "Num +" must stay a key, so the text after a
            // modifier word has to be non-empty.
            if (text.size() > word.size() && SameText(text.substr(0, word.size()), word)) {
                modifiers |= m.bit;
                text.remove_prefix(word.size());
                found = true;
            }
        }
    }
    const std::uint16_t key = KeyFromName(text);
    return key == 0 ? TShortCut{0} : static_cast<TShortCut>(key | modifiers);
}
