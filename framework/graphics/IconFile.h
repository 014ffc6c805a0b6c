#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The icon file format (.ico) without the platform: the directory, checked
// against the data it describes, and a writer for one image.

struct TIconDirEntry {
    int Width = 0;   // 1..256 (0 in the file means 256)
    int Height = 0;
    int ColorCount = 0;
    int BitCount = 0;
    std::uint32_t Offset = 0;  // of the image in the file
    std::uint32_t Size = 0;
};

struct TIconDirectory {
    std::vector<TIconDirEntry> Entries;
    // Just past the last byte that the directory or an image occupies.
    std::size_t BytesUsed = 0;
};

// Reads and checks an icon file's directory: reserved word 0, type 1, 1 to
// 256 entries, every image inside the data, at least 40 bytes long and
// starting with a 40-byte information header or a PNG signature. Raises
// EInvalidGraphic ("Icon image is not valid") otherwise. Reads nothing
// outside [data, data + size).
TIconDirectory ParseIconDirectory(const std::uint8_t* data, std::size_t size);

// The index of the entry a single-icon object shows: the largest image, of
// those the most colours (bit count), the first on a tie.
std::size_t BestIconEntry(const TIconDirectory& directory);

// An icon file holding one image: image is the resource form (information
// header with doubled height, colour bits, mask bits).
std::vector<std::uint8_t> MakeIconFile(int width, int height, int bitCount, const std::vector<std::uint8_t>& image);
