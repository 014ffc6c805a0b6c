// Feeds the icon file directory reader with arbitrary bytes. A read either raises EInvalidGraphic
// or describes images that lie inside the data; the chosen image, written as a one-image file,
// reads back with the same description.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/graphics/IconFile.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20))
        return 0;
    // An exact-size copy, so that a read past the end is caught by the address sanitizer.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size > 0 ? size : 1]);
    if (size > 0)
        std::memcpy(copy.get(), data, size);
    TIconDirectory dir;
    try {
        dir = ParseIconDirectory(size > 0 ? copy.get() : nullptr, size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    Check(!dir.Entries.empty() && dir.Entries.size() <= 256);
    Check(dir.BytesUsed >= 6 + 16 * dir.Entries.size() && dir.BytesUsed <= size);
    for (const TIconDirEntry& e : dir.Entries) {
        Check(e.Width >= 1 && e.Width <= 256 && e.Height >= 1 && e.Height <= 256);
        Check(e.Size >= 40 && e.Offset + std::uint64_t{e.Size} <= dir.BytesUsed);
    }
    const std::size_t best = BestIconEntry(dir);
    Check(best < dir.Entries.size());

    const TIconDirEntry& e = dir.Entries[best];
    const std::vector<std::uint8_t> image(copy.get() + e.Offset, copy.get() + e.Offset + e.Size);
    const std::vector<std::uint8_t> file = MakeIconFile(e.Width, e.Height, e.BitCount, image);
    const TIconDirectory again = ParseIconDirectory(file.data(), file.size());
    Check(again.Entries.size() == 1 && again.BytesUsed == file.size());
    const TIconDirEntry& a = again.Entries[0];
    Check(a.Width == e.Width && a.Height == e.Height && a.BitCount == e.BitCount &&
          a.Size == e.Size);
    Check(std::memcmp(file.data() + a.Offset, image.data(), image.size()) == 0);
    return 0;
}
