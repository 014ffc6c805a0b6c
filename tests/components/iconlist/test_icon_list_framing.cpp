#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "components/iconlist/IconListFraming.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A stream built from 32-bit values and raw byte runs.
struct TBuilder {
    Bytes Data;
    TBuilder& I(std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            Data.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
        return *this;
    }
    TBuilder& B(const std::string& s) {
        Data.insert(Data.end(), s.begin(), s.end());
        return *this;
    }
};

// The entries read as text ("-" for an empty slot) and how reading ended.
struct TReadResult {
    std::vector<std::string> Entries;
    bool ReadError = false;
};

TReadResult ReadAll(const Bytes& data) {
    TMemoryStream stream;
    if (!data.empty())
        stream.WriteBuffer(data.data(), data.size());
    stream.SetPosition(0);
    TReadResult r;
    try {
        ReadIconFraming(stream, [&](const Bytes* b) {
            r.Entries.push_back(b == nullptr ? "-" : std::string(b->begin(), b->end()));
        });
    } catch (const EReadError&) {
        r.ReadError = true;
    }
    return r;
}

TEST(IconListFramingTest, WriteGivesCountThenSizeAndBytesPerEntry) {
    TMemoryStream stream;
    WriteIconCount(stream, 3);
    WriteIconEntry(stream, "abc", 3);
    WriteIconEntry(stream, nullptr, 0);
    WriteIconEntry(stream, "de", 2);
    const Bytes expected = TBuilder().I(3).I(3).B("abc").I(0).I(2).B("de").Data;
    ASSERT_EQ(stream.Size(), static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(std::memcmp(stream.Memory(), expected.data(), expected.size()), 0);
    Bytes written(expected.size());
    std::memcpy(written.data(), stream.Memory(), written.size());
    EXPECT_EQ(ReadAll(written).Entries, (std::vector<std::string>{"abc", "-", "de"}));
}

TEST(IconListFramingTest, FramingTable) {
    const struct {
        const char* Name;
        Bytes Data;
        std::vector<std::string> Entries;
        bool ReadError;
    } cases[] = {
        {"count 0", TBuilder().I(0).Data, {}, false},
        {"negative count", TBuilder().I(-4).I(3).B("abc").Data, {}, false},
        {"sizes 0 and -5 are empty slots", TBuilder().I(2).I(0).I(-5).Data, {"-", "-"}, false},
        {"empty stream", {}, {}, true},
        {"count cut short", Bytes{2, 0}, {}, true},
        {"missing entry keeps the ones before", TBuilder().I(2).I(1).B("a").Data, {"a"}, true},
        {"size cut short", TBuilder().I(2).I(1).B("a").B("\x02").Data, {"a"}, true},
        {"bytes cut short", TBuilder().I(2).I(1).B("a").I(4).B("xy").Data, {"a"}, true},
        {"oversized entry", TBuilder().I(1).I(0x7FFFFFFF).B("abcd").Data, {}, true},
        {"size one past the end", TBuilder().I(1).I(5).B("abcd").Data, {}, true},
        {"size exactly the rest", TBuilder().I(1).I(4).B("abcd").Data, {"abcd"}, false},
        {"huge count of nothing", TBuilder().I(0x7FFFFFFF).I(0).I(0).Data, {"-", "-"}, true},
    };
    for (const auto& c : cases) {
        const TReadResult r = ReadAll(c.Data);
        EXPECT_EQ(r.Entries, c.Entries) << c.Name;
        EXPECT_EQ(r.ReadError, c.ReadError) << c.Name;
    }
}

TEST(IconListFramingTest, OversizedEntryRaisesBeforeAllocating) {
    // 2 GB claimed by an eight-byte stream: with ASan a 2 GB allocation
    // would abort the test instead of raising.
    const TReadResult r = ReadAll(TBuilder().I(1).I(0x7FFFFFF0).Data);
    EXPECT_TRUE(r.ReadError);
    EXPECT_TRUE(r.Entries.empty());
}

TEST(IconListFramingTest, ReadsFromTheStreamPositionAndStopsAfterTheLastEntry) {
    TMemoryStream stream;
    const Bytes data = TBuilder().B("xx").I(1).I(2).B("ab").B("tail").Data;
    stream.WriteBuffer(data.data(), data.size());
    stream.SetPosition(2);
    std::vector<std::string> entries;
    ReadIconFraming(stream, [&](const Bytes* b) { entries.emplace_back(b->begin(), b->end()); });
    EXPECT_EQ(entries, (std::vector<std::string>{"ab"}));
    EXPECT_EQ(stream.Position(), 12);
}

} // namespace
