#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/Types.h"

// A key with its modifiers in 16 bits: the low byte is the virtual key, then
// scShift, scCtrl and scAlt. 0 means no shortcut.
using TShortCut = std::uint16_t;

inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

// key (a virtual key 1..255) with the ssShift, ssCtrl and ssAlt of shift;
// other members of shift are ignored. 0 when key does not fit in one byte.
// ShortCut(VK_DOWN, {ssAlt}) is 32808.
TShortCut ShortCut(std::uint16_t key, TShiftState shift);

// Splits a shortcut into its virtual key and modifiers.
void ShortCutToKey(TShortCut shortCut, std::uint16_t& key, TShiftState& shift);

// True when the shortcut holds Shift, Ctrl or Alt.
bool ShortCutHasModifier(TShortCut shortCut);

// "Shift+", "Ctrl+", "Alt+" (in that order, for the modifiers present), then
// the key's name; "" for 0 or a shortcut without a key. The names come from a
// fixed table, the same on every system and in every language: letters and
// digits as themselves, "F1".."F24", English names for the named keys
// ("Enter", "Esc", "Space", "PgUp", "Left", "Num 5", ...), and "Key $XX"
// (two hexadecimal digits) for any other key, so every key reads back.
std::string ShortCutToText(TShortCut shortCut);

// The inverse of ShortCutToText: modifier words "Shift+", "Ctrl+", "Alt+"
// in any order and case, then a key name of the table (any case). Unknown or
// empty text gives 0. Blanks around the words are not allowed.
TShortCut TextToShortCut(std::string_view text);

// The table's name of a virtual key ("" for 0 and keys above 255).
std::string KeyName(std::uint16_t key);

// A component that runs commands bound to key chords (action lists, menus).
// A form offers every key chord pressed in it to the components it owns.
class IShortCutTarget {
public:
    // Runs the command bound to shortCut; true when the chord is used up
    // (the key then goes no further).
    virtual bool IsShortCut(TShortCut shortCut) = 0;

protected:
    ~IShortCutTarget() = default;
};
