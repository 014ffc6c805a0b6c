#pragma once

#include <string>
#include <string_view>

#include "framework/core/Types.h"

// Colour names of the class library ("clBtnFace", "clNone", ...), as stored
// colour values are written.

// The colour named ident ("clRed", any case); false when the name is unknown.
bool IdentToColor(std::string_view ident, TColor& color);
// A colour name, or an integer in the common grammar of StrToInt (decimal or
// "$" hexadecimal, so "$FF00000F" is clBtnFace). Raises EConvertError.
TColor StringToColor(std::string_view text);
