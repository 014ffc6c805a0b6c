#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/Filer.h"
#include "framework/core/MemoryStream.h"
#include "framework/core/Persistent.h"

namespace {

// Stores a binary "Data" blob (a count-prefixed byte string, the way the
// bitmap and GIF data streams frame themselves), a "Tag" integer, a "Title"
// string and a "Flag" boolean.
class TSample : public TPersistent {
public:
    std::string data;
    std::int32_t tag = 0;
    std::string title;
    bool flag = false;
    bool storeData = true;
    // Bytes the Data reader tries to take beyond its own count (a reader that
    // trusts a bad header).
    std::size_t overread = 0;
    std::int64_t seenSize = -1;
    TPersistent* seenAncestor = nullptr;

    void DefineProperties(TFiler* Filer) override {
        seenAncestor = Filer->Ancestor();
        Filer->DefineBinaryProperty(
            "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
            storeData);
        Filer->DefineProperty(
            "Tag", [this](TReader& r) { tag = r.ReadInteger(); },
            [this](TWriter& w) { w.WriteInteger(tag); }, tag != 0);
        Filer->DefineProperty(
            "Title", [this](TReader& r) { title = r.ReadString(); },
            [this](TWriter& w) { w.WriteString(title); }, !title.empty());
        Filer->DefineProperty(
            "Flag", [this](TReader& r) { flag = r.ReadBoolean(); },
            [this](TWriter& w) { w.WriteBoolean(flag); }, true);
    }

private:
    void ReadData(TStream& stream) {
        seenSize = stream.Size() - stream.Position();
        std::uint32_t count = 0;
        stream.ReadBuffer(&count, 4);
        // The size check every stored-data reader makes before allocating.
        if (count > stream.Size() - stream.Position())
            throw EReadError();
        data.assign(count + overread, '\0');
        stream.ReadBuffer(data.data(), data.size());
    }
    void WriteData(TStream& stream) {
        const auto count = static_cast<std::uint32_t>(data.size());
        stream.WriteBuffer(&count, 4);
        stream.WriteBuffer(data.data(), data.size());
    }
};

std::string Store(TSample& sample, TPersistent* ancestor = nullptr) {
    TMemoryStream stream;
    TWriter writer(stream);
    writer.SetAncestor(ancestor);
    writer.WriteDefinedProperties(sample);
    return std::string(static_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

void Load(TSample& sample, const std::string& block) {
    TMemoryStream stream;
    stream.WriteBuffer(block.data(), block.size());
    stream.SetPosition(0);
    TReader reader(stream);
    reader.ReadDefinedProperties(sample);
}

}  // namespace

TEST(Filer, DefinedPropertiesRoundTrip) {
    TSample source;
    source.data = std::string("pix\0els", 7);
    source.tag = -5;
    source.title = "Quorvane";
    source.flag = true;
    TSample ancestor;
    const std::string block = Store(source, &ancestor);
    EXPECT_EQ(source.seenAncestor, &ancestor);

    TSample target;
    Load(target, block);
    EXPECT_EQ(target.data, source.data);
    EXPECT_EQ(target.seenSize, 4 + 7);  // the blob's exact byte count
    EXPECT_EQ(target.tag, -5);
    EXPECT_EQ(target.title, "Quorvane");
    EXPECT_TRUE(target.flag);
}

TEST(Filer, PropertiesWithoutDataAreLeftOut) {
    TSample source;
    source.storeData = false;
    const std::string block = Store(source);
    // Only "Flag" (always stored) and the end marker.
    EXPECT_EQ(block, std::string("\x04" "Flag" "\x04" "\0", 7));
    TSample target;
    target.tag = 9;
    Load(target, block);
    EXPECT_EQ(target.tag, 9);
    EXPECT_EQ(target.seenSize, -1);
}

TEST(Filer, ReaderThatRunsPastItsBlobGetsReadErrorNotTheNextProperty) {
    TSample source;
    source.data = "abc";
    source.tag = 77;
    const std::string block = Store(source);
    TSample target;
    target.overread = 1;
    EXPECT_THROW(Load(target, block), EReadError);
    EXPECT_EQ(target.tag, 0);
}

TEST(Filer, ReaderThatLeavesBytesIsRealignedToTheNextProperty) {
    class TPartial : public TSample {
    public:
        void DefineProperties(TFiler* Filer) override {
            Filer->DefineBinaryProperty(
                "Data", [](TStream& s) { char c; s.ReadBuffer(&c, 1); }, nullptr, false);
            TSample::DefineProperties(Filer);
        }
    };
    TSample source;
    source.data = "abcdef";
    source.tag = 3;
    TPartial target;
    Load(target, Store(source));
    EXPECT_EQ(target.tag, 3);
    EXPECT_TRUE(target.data.empty());
}

TEST(Filer, MalformedBlocksRaiseReadError) {
    TSample source;
    source.data = "abc";
    source.title = "t";
    const std::string block = Store(source);
    // "\x04Data\x03" then the count: make the blob claim more than the stream holds.
    std::string longBlob = block;
    longBlob[6] = '\x7F';
    longBlob[9] = '\x7F';
    std::string badType = block;
    badType[5] = '\x09';
    std::string wrongType = block;
    wrongType[5] = '\x01';  // Data claims to be an integer
    const std::string cases[] = {
        block.substr(0, block.size() - 1),  // no end marker
        block.substr(0, 3),                 // cut inside a name
        longBlob, badType, wrongType,
        std::string("\x07" "Unknown" "\x04" "\0", 10),
        std::string("\x05" "Title" "\x02" "\xFF\xFF\xFF\x7F" "\0", 12),  // huge string length
    };
    for (const std::string& c : cases) {
        TSample target;
        EXPECT_THROW(Load(target, c), EReadError) << testing::PrintToString(c);
    }
    try {
        TSample target;
        Load(target, std::string("\x07" "Unknown" "\x04" "\0", 10));
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Property Unknown does not exist");
    }
}

TEST(Filer, DamagedBlocksRaiseOrLoadButNeverReadOutOfBounds) {
    // Every prefix and many random corruptions of a valid block: each load
    // either succeeds or raises EReadError (ASan watches the reads).
    TSample source;
    source.data = "0123456789";
    source.tag = 1234;
    source.title = "title";
    const std::string block = Store(source);
    std::mt19937 random(42);
    for (int run = 0; run < 4000; ++run) {
        std::string damaged = block.substr(0, random() % (block.size() + 1));
        if (run % 2 == 1 && !damaged.empty()) {
            for (int flips = 1 + static_cast<int>(random() % 3); flips > 0; --flips)
                damaged[random() % damaged.size()] = static_cast<char>(random());
        }
        TSample target;
        try {
            Load(target, damaged);
        } catch (const EReadError&) {
        }
        EXPECT_LE(target.data.size(), damaged.size());
    }
}
