#include "framework/graphics/IconFile.h"

#include <cstring>

#include "framework/core/Exceptions.h"

namespace {

[[noreturn]] void Invalid() { throw EInvalidGraphic("Icon image is not valid"); }

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

constexpr std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

}  // namespace

TIconDirectory ParseIconDirectory(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < 6) Invalid();
    if (Le16(data) != 0 || Le16(data + 2) != 1) Invalid();
    const std::size_t count = Le16(data + 4);
    if (count == 0 || count > 256 || count > (size - 6) / 16) Invalid();
    TIconDirectory dir;
    dir.BytesUsed = 6 + 16 * count;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = data + 6 + 16 * i;
        TIconDirEntry entry;
        entry.Width = e[0] == 0 ? 256 : e[0];
        entry.Height = e[1] == 0 ? 256 : e[1];
        entry.ColorCount = e[2];
        entry.BitCount = Le16(e + 6);
        entry.Size = Le32(e + 8);
        entry.Offset = Le32(e + 12);
        if (entry.Offset < 6 + 16 * count || entry.Offset > size || entry.Size > size - entry.Offset) Invalid();
        if (entry.Size < 40) Invalid();
        const std::uint8_t* image = data + entry.Offset;
        if (std::memcmp(image, kPng, sizeof kPng) != 0 && Le32(image) != 40) Invalid();
        const std::size_t end = entry.Offset + static_cast<std::size_t>(entry.Size);
        if (end > dir.BytesUsed) dir.BytesUsed = end;
        dir.Entries.push_back(entry);
    }
    return dir;
}

std::size_t BestIconEntry(const TIconDirectory& directory) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < directory.Entries.size(); ++i) {
        const TIconDirEntry& a = directory.Entries[i];
        const TIconDirEntry& b = directory.Entries[best];
        const long long areaA = static_cast<long long>(a.Width) * a.Height;
        const long long areaB = static_cast<long long>(b.Width) * b.Height;
        if (areaA > areaB || (areaA == areaB && a.BitCount > b.BitCount)) best = i;
    }
    return best;
}

std::vector<std::uint8_t> MakeIconFile(int width, int height, int bitCount, const std::vector<std::uint8_t>& image) {
    if (width <= 0 || width > 256 || height <= 0 || height > 256 || image.size() < 40) Invalid();
    std::vector<std::uint8_t> out;
    out.reserve(22 + image.size());
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(static_cast<std::uint8_t>(width == 256 ? 0 : width));
    out.push_back(static_cast<std::uint8_t>(height == 256 ? 0 : height));
    out.push_back(0);  // colour count: 0 above 8 bits
    out.push_back(0);
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bitCount));
    Put32(out, static_cast<std::uint32_t>(image.size()));
    Put32(out, 22);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}
