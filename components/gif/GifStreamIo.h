#pragma once

#include <cstdint>
#include <span>

#include "components/gif/GifTypes.h"

class TStream;

// The ways a GIF reaches the reader. Each resets image first; sizes that other
// programs or files give are checked against the bytes really there before
// anything is allocated (EReadError "Stream read error"). Parsing errors are
// those of GifParse; nothing is decoded here.

// Reads size bytes of stream from its position (nothing when size <= 0).
void GifLoadFromStream(std::int64_t size, TStream& stream, const GifOptions& options,
                       GifImageState& image);

// Form data: a signed 32-bit size, then that many bytes of GIF file.
void GifReadDataStream(TStream& stream, const GifOptions& options, GifImageState& image);

// A "GIF Image" clipboard block: a signed 32-bit size, then that many bytes of
// GIF file. A block under 4 bytes raises EReadError.
void GifLoadFromClipboardBlock(std::span<const std::uint8_t> block, const GifOptions& options,
                               GifImageState& image);
