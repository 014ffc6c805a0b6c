// Feeds the icon list's framing reader with arbitrary bytes, as a whole stream and framed inside a
// larger one as the form reader frames it. A read either raises EReadError or succeeds; every entry
// it delivered lies inside the input, and writing the entries back and reading that again gives
// the same entries. Each entry's bytes then go through the icon directory reader, which either
// raises EInvalidGraphic or describes images inside those bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "components/iconlist/IconListFraming.h"
#include "framework/core/BoundedStream.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/IconFile.h"

namespace {

using Entries = std::vector<std::optional<std::vector<std::uint8_t>>>;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The entries read, or nothing when the read raised.
std::optional<Entries> ReadAll(TStream& stream, std::size_t available) {
    Entries entries;
    std::size_t delivered = 0;
    try {
        ReadIconFraming(stream, [&](const std::vector<std::uint8_t>* bytes) {
            if (bytes == nullptr) {
                entries.emplace_back();
                delivered += 4;
                return;
            }
            Check(!bytes->empty());
            entries.emplace_back(*bytes);
            delivered += 4 + bytes->size();
        });
    } catch (const EReadError&) {
        // What was delivered before the failure came from the stream too.
        Check(delivered <= available);
        return std::nullopt;
    }
    Check(4 + delivered <= available);
    Check(static_cast<std::size_t>(stream.Position()) == 4 + delivered);
    return entries;
}

void CheckIconBytes(const std::vector<std::uint8_t>& bytes) {
    try {
        const TIconDirectory dir = ParseIconDirectory(bytes.data(), bytes.size());
        Check(!dir.Entries.empty() && dir.BytesUsed <= bytes.size());
        Check(BestIconEntry(dir) < dir.Entries.size());
        for (const TIconDirEntry& e : dir.Entries)
            Check(e.Offset + std::uint64_t{e.Size} <= bytes.size());
    } catch (const EInvalidGraphic&) {
    }
}

void ReadOnce(TStream& stream, std::size_t size) {
    const std::optional<Entries> entries = ReadAll(stream, size);
    if (!entries)
        return;
    TMemoryStream out;
    WriteIconCount(out, static_cast<std::int32_t>(entries->size()));
    for (const auto& entry : *entries) {
        if (entry)
            WriteIconEntry(out, entry->data(), entry->size());
        else
            WriteIconEntry(out, nullptr, 0);
    }
    out.SetPosition(0);
    const std::optional<Entries> again = ReadAll(out, static_cast<std::size_t>(out.Size()));
    Check(again && *again == *entries);
    for (const auto& entry : *entries)
        if (entry)
            CheckIconBytes(*entry);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20))
        return 0;
    TMemoryStream whole;
    if (size > 0)
        whole.WriteBuffer(data, size);
    whole.SetPosition(0);
    ReadOnce(whole, size);

    // The same blob between other bytes, seen through a frame of its length: a size that reaches
    // into the bytes after the frame must not be read.
    TMemoryStream outer;
    const std::uint8_t pad[4] = {0xFF, 0xFF, 0xFF, 0x7F};
    outer.WriteBuffer(pad, sizeof pad);
    if (size > 0)
        outer.WriteBuffer(data, size);
    outer.WriteBuffer(pad, sizeof pad);
    TBoundedStream frame(outer, sizeof pad, static_cast<std::int64_t>(size));
    ReadOnce(frame, size);
    return 0;
}
