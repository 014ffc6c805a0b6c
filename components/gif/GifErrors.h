#pragma once

#include <cstdint>

// The fixed texts of the GIF code's errors; all are EInvalidGraphicOperation
// except checked reads of fixed-size blocks and size prefixes, which raise the
// class library's EReadError.
inline constexpr const char* kGifUnknownVersion = "Unknown GIF version";
inline constexpr const char* kGifCodeSizeRange = "GIF code size not in range 2 to 9";
inline constexpr const char* kGifCorruptData = "GIF encoded data is corrupt";
inline constexpr const char* kGifWrongColorCount = "Wrong number of colors; must be a power of 2";
inline constexpr const char* kGifUnknownExtension = "Unrecognized extension block: %.2x";
inline constexpr const char* kGifCannotResize = "Cannot change the Size of a GIF image";
inline constexpr const char* kGifReadError = "Stream read error";
inline constexpr const char* kGifTooLarge = "GIF image is too large";

// EInvalidGraphicOperation with one of the texts above.
[[noreturn]] void GifRaise(const char* message);
// EInvalidGraphicOperation "Unrecognized extension block: xx".
[[noreturn]] void GifRaiseUnknownExtension(std::uint8_t label);
// EReadError "Stream read error".
[[noreturn]] void GifRaiseReadError();
