#pragma once

#include <cstdint>
#include <span>

#include "components/gif/GifTypes.h"

// Reads a whole GIF file held in memory into image, which is reset first.
// Frames are kept encoded (nothing is decoded here), so the cost is linear in
// the file's size whatever sizes the file declares. On failure the image keeps
// the reset state plus the frames appended before the failure.
// Raises EReadError when a fixed-size block is cut short, and
// EInvalidGraphicOperation for a bad signature, an unknown extension label, a
// stray byte where a block must begin, and (with options.LoadCorrupted off) a
// frame whose data is cut short.
void GifParse(std::span<const std::uint8_t> bytes, const GifOptions& options, GifImageState& image);

// True for an application extension that carries the animation loop count
// ("NETSCAPE2.0" or "ANIMEXTS1.0", first sub-block 1, lo, hi).
bool IsAnimationLoopBlock(const GifExtension& extension);
