#pragma once

#include <cstdint>

// Text alignment inside a control.
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// Where a popup menu sits relative to the point it is popped up at.
enum TPopupAlignment : std::uint8_t { paLeft, paRight, paCenter };
