#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/FileNames.h"
#include "framework/core/Format.h"

// Conversions and string utilities of the class library. Everything here is
// locale-independent: case folding touches the ASCII letters only, so results
// are the same in every code page.

// ---------------------------------------------------------------------------
// Integers
//
// One grammar for every integer read from text (the settings key included):
// optional leading blanks (space, tab), an optional sign "+" or "-", then
// either decimal digits or "$", "0x" or "0X" followed by hexadecimal digits;
// nothing may follow. Decimal values must lie in the int32 range. Hexadecimal
// digits give a 32-bit pattern ("$FFFFFFFF" is -1, "$FF00000F" a system
// colour); with "-" the magnitude may not exceed $80000000. The empty text and
// anything else fail.

// Raises EConvertError "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);
// False (and value untouched) where StrToInt would raise.
bool TryStrToInt(std::string_view text, std::int32_t& value);
std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue);

// Unsigned 32-bit values such as window handles: the grammar above without
// "-", decimal up to 4294967295, hexadecimal up to $FFFFFFFF; so a handle at
// or above 2^31 survives IntToStr/StrToUInt. Raises EConvertError.
std::uint32_t StrToUInt(std::string_view text);
bool TryStrToUInt(std::string_view text, std::uint32_t& value);
std::uint32_t StrToUIntDef(std::string_view text, std::uint32_t defaultValue);

// Decimal text: "-" for negatives, no padding.
std::string IntToStr(std::int64_t value);
// Upper-case hexadecimal of the low `bits` bits of value, zero-filled to at
// least digits digits.
std::string IntToHexBits(std::uint64_t value, unsigned bits, int digits);
// Upper-case hexadecimal of value's two's complement at its own width,
// zero-filled to at least digits digits: IntToHex(255, 4) is "00FF", IntToHex
// of an int32 -1 is "FFFFFFFF", of an int64 -1 "FFFFFFFFFFFFFFFF".
template <std::integral T>
std::string IntToHex(T value, int digits) {
    return IntToHexBits(static_cast<std::uint64_t>(value), sizeof(T) * 8, digits);
}

// ---------------------------------------------------------------------------
// Booleans

// "TRUE" and "FALSE" in any case, or an integer of the grammar above (0 is
// false, anything else true). Raises EConvertError "'<text>' is not a valid
// boolean value".
bool StrToBool(std::string_view text);
bool TryStrToBool(std::string_view text, bool& value);

// ---------------------------------------------------------------------------
// Strings

std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
// Equal apart from the case of ASCII letters.
bool SameText(std::string_view a, std::string_view b);
// <0, 0, >0 ignoring the case of ASCII letters.
int CompareText(std::string_view a, std::string_view b);
// Removes leading and trailing blanks and control characters (bytes <= ' ').
std::string Trim(std::string_view text);

// ---------------------------------------------------------------------------
// Captions and hints

// The text before the first "|" (all of it when there is none).
std::string GetShortHint(std::string_view hint);
// The accelerator of a caption: the character after the first "&" that is
// not part of "&&" (a literal ampersand); 0 when there is none.
char GetHotkey(std::string_view caption);
// True when key is the caption's accelerator, compared without case.
bool IsAccel(char key, std::string_view caption);
// The caption as shown: every single "&" removed, "&&" shown as "&".
std::string StripHotkey(std::string_view caption);

// ---------------------------------------------------------------------------
// Platform

// The Windows platform id: 2 (VER_PLATFORM_WIN32_NT) on the NT family, 1 on
// Windows 9x. Native builds answer 2, so portable code takes its NT paths.
int Win32Platform();
