#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class TStream;

// The framing of the icon list's stored form, without the icons: a 32-bit
// little-endian signed count, then per entry a 32-bit size and, when the size
// is above 0, that many bytes of icon file. Sizes of 0 or below mean an empty
// slot.

// Called once per entry in order: the entry's bytes, or nullptr for an empty
// slot.
using TIconEntryProc = std::function<void(const std::vector<std::uint8_t>* Bytes)>;

// Reads the framing at the stream's position and hands each entry to entry
// as it is read, so entries read before a failure have been delivered. A
// negative count reads no entry. A stream that ends early, or a size larger
// than the bytes left in the stream, raises EReadError; the size is checked
// before anything is allocated for it.
void ReadIconFraming(TStream& stream, const TIconEntryProc& entry);

void WriteIconCount(TStream& stream, std::int32_t count);
// Writes one entry: its size, then its bytes; size 0 (an empty slot) writes
// the size alone. Precondition: size fits in 31 bits.
void WriteIconEntry(TStream& stream, const void* bytes, std::size_t size);
