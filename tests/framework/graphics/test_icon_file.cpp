// The icon file directory: accepted layouts and the checks that keep a bad
// directory from sending the reader outside the data.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "framework/core/Exceptions.h"
#include "framework/graphics/IconFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Image(std::size_t size) {
    Bytes b(size, 0);
    b[0] = 40;  // information header size
    return b;
}

TIconDirectory Parse(const Bytes& data) {
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[data.size() ? data.size() : 1]);
    if (!data.empty()) std::memcpy(copy.get(), data.data(), data.size());
    return ParseIconDirectory(copy.get(), data.size());
}

TEST(IconFile, WrittenFileReadsBack) {
    const Bytes file = MakeIconFile(32, 32, 32, Image(100));
    const TIconDirectory dir = Parse(file);
    ASSERT_EQ(dir.Entries.size(), 1u);
    EXPECT_EQ(dir.Entries[0].Width, 32);
    EXPECT_EQ(dir.Entries[0].BitCount, 32);
    EXPECT_EQ(dir.Entries[0].Offset, 22u);
    EXPECT_EQ(dir.Entries[0].Size, 100u);
    EXPECT_EQ(dir.BytesUsed, file.size());
    EXPECT_EQ(Parse(MakeIconFile(256, 256, 32, Image(40))).Entries[0].Width, 256);
}

TEST(IconFile, BestEntryIsLargestThenDeepest) {
    TIconDirectory dir;
    dir.Entries = {{16, 16, 0, 32, 0, 0}, {32, 32, 16, 4, 0, 0}, {32, 32, 0, 32, 0, 0}, {32, 32, 0, 8, 0, 0}};
    EXPECT_EQ(BestIconEntry(dir), 2u);
}

TEST(IconFile, BadDirectoriesRaise) {
    const Bytes good = MakeIconFile(16, 16, 32, Image(64));
    struct Case {
        const char* name;
        std::size_t at;
        std::uint8_t value;
        std::size_t truncate;
    };
    const Case cases[] = {
        {"reserved word", 0, 1, 0},
        {"cursor type", 2, 2, 0},
        {"no entries", 4, 0, 0},
        {"more entries than data", 4, 200, 0},
        {"image past the end", 14, 0xFF, 0},      // size
        {"offset past the end", 20, 0x7F, 0},     // offset high byte
        {"offset inside the directory", 18, 4, 0},
        {"image without a header", 22, 12, 0},
        {"short file", 0, 0, 5},
        {"cut image", 0, 0, 22 + 63},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes data = good;
        if (c.truncate != 0) {
            data.resize(c.truncate);
        } else {
            data[c.at] = c.value;
        }
        EXPECT_THROW(Parse(data), EInvalidGraphic);
    }
    EXPECT_THROW(MakeIconFile(300, 16, 32, Image(64)), EInvalidGraphic);
}

}  // namespace
