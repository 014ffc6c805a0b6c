#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/core/BoundedStream.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FileStream.h"
#include "framework/core/FileSystem.h"
#include "framework/core/MemoryStream.h"

namespace {

std::string ReadAll(TStream& stream) {
    std::string out(static_cast<std::size_t>(stream.Size() - stream.Position()), '\0');
    stream.ReadBuffer(out.data(), out.size());
    return out;
}

TMemoryStream& Fill(TMemoryStream& stream, std::string_view bytes) {
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return stream;
}

// A file name in the temporary folder that is removed with the fixture.
class TempFile {
public:
    explicit TempFile(const char* stem) {
        const char* dir = std::getenv("TMPDIR");
#ifdef _WIN32
        if (dir == nullptr)
            dir = std::getenv("TEMP");
        name_ = std::string(dir ? dir : ".") + "\\" + stem;
#else
        name_ = std::string(dir ? dir : "/tmp") + "/" + stem;
#endif
        name_ += std::to_string(reinterpret_cast<std::uintptr_t>(this));
        std::remove(name_.c_str());
    }
    ~TempFile() { std::remove(name_.c_str()); }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

}  // namespace

TEST(MemoryStream, WriteGrowsAndReadsBack) {
    TMemoryStream stream;
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Memory(), nullptr);
    stream.WriteBuffer("abc\0def", 7);
    EXPECT_EQ(stream.Size(), 7);
    EXPECT_EQ(stream.Position(), 7);
    stream.SetPosition(0);
    EXPECT_EQ(ReadAll(stream), std::string("abc\0def", 7));
    EXPECT_EQ(std::memcmp(stream.Memory(), "abc\0def", 7), 0);
}

TEST(MemoryStream, WritePastTheEndZeroFillsTheGap) {
    TMemoryStream stream;
    Fill(stream, "ab");
    stream.Seek(2, soEnd);
    stream.WriteBuffer("z", 1);
    stream.SetPosition(0);
    EXPECT_EQ(ReadAll(stream), std::string("ab\0\0z", 5));
}

TEST(MemoryStream, SetSizeKeepsBytesAndClampsPosition) {
    TMemoryStream stream;
    Fill(stream, "hello");
    stream.SetPosition(5);
    stream.SetSize(2);
    EXPECT_EQ(stream.Position(), 2);
    stream.SetSize(4);
    stream.SetPosition(0);
    EXPECT_EQ(ReadAll(stream), std::string("he\0\0", 4));
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(MemoryStream, AbsurdSizeRaisesAndLeavesTheStream) {
    TMemoryStream stream;
    Fill(stream, "keep");
    EXPECT_THROW(stream.SetSize(std::int64_t{1} << 62), EOutOfMemory);
    EXPECT_THROW(stream.SetSize(std::int64_t{1} << 31), EOutOfMemory);
    EXPECT_THROW(stream.SetSize(-1), EStreamError);
    stream.Seek(INT32_MAX, soBeginning);
    EXPECT_THROW(stream.Write("x", 1), EOutOfMemory);
    stream.SetPosition(0);
    EXPECT_EQ(ReadAll(stream), "keep");
}

TEST(Stream, ShortReadRaisesReadError) {
    TMemoryStream stream;
    Fill(stream, "abc");
    char buffer[8];
    EXPECT_EQ(stream.Read(buffer, 8), 3u);
    stream.SetPosition(1);
    try {
        stream.ReadBuffer(buffer, 3);
        FAIL() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    // Reading at or beyond the end gives nothing.
    stream.SetPosition(10);
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    EXPECT_THROW(stream.ReadBuffer(buffer, 1), EReadError);
    stream.ReadBuffer(buffer, 0);
}

TEST(Stream, SeekOriginsAndNegativeTargets) {
    TMemoryStream stream;
    Fill(stream, "0123456789");
    struct Case {
        std::int64_t offset;
        TSeekOrigin origin;
        std::int64_t expected;
    };
    stream.SetPosition(4);
    const Case cases[] = {{2, soCurrent, 6}, {-1, soEnd, 9}, {3, soBeginning, 3},
                          {-3, soCurrent, 0}, {5, soEnd, 15}};
    for (const Case& c : cases)
        EXPECT_EQ(stream.Seek(c.offset, c.origin), c.expected);
    EXPECT_THROW(stream.Seek(-1, soBeginning), EStreamError);
    EXPECT_THROW(stream.Seek(-11, soEnd), EStreamError);
    EXPECT_THROW(stream.Seek(INT64_MAX, soEnd), EStreamError);
    EXPECT_EQ(stream.Position(), 15);
}

TEST(Stream, CopyFromCountsAndWholeSource) {
    TMemoryStream source;
    Fill(source, "abcdef");
    source.SetPosition(2);
    TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(source, 3), 3);
    target.SetPosition(0);
    EXPECT_EQ(ReadAll(target), "cde");

    // Count 0 copies everything from position 0, wherever the source stands.
    TMemoryStream whole;
    source.SetPosition(4);
    EXPECT_EQ(whole.CopyFrom(source, 0), 6);
    whole.SetPosition(0);
    EXPECT_EQ(ReadAll(whole), "abcdef");

    source.SetPosition(4);
    EXPECT_THROW(target.CopyFrom(source, 5), EReadError);
}

TEST(MemoryStream, LoadFromStreamReplacesContents) {
    TMemoryStream source;
    Fill(source, "new");
    source.SetPosition(2);
    TMemoryStream target;
    Fill(target, "old contents");
    target.LoadFromStream(source);
    EXPECT_EQ(target.Size(), 3);
    EXPECT_EQ(target.Position(), 0);
    EXPECT_EQ(ReadAll(target), "new");
}

TEST(BoundedStream, ReadsOnlyItsWindow) {
    TMemoryStream base;
    Fill(base, "headBLOBtail");
    TBoundedStream blob(base, 4, 4);
    EXPECT_EQ(blob.Size(), 4);
    EXPECT_EQ(blob.Position(), 0);
    char buffer[16];
    EXPECT_EQ(blob.Read(buffer, sizeof buffer), 4u);
    EXPECT_EQ(std::string(buffer, 4), "BLOB");
    EXPECT_EQ(blob.Read(buffer, 1), 0u);
    blob.SetPosition(2);
    EXPECT_THROW(blob.ReadBuffer(buffer, 3), EReadError);
    // The short read took only what the window holds: the tail is untouched.
    EXPECT_EQ(base.Position(), 8);
    EXPECT_EQ(blob.Seek(0, soEnd), 4);
    EXPECT_EQ(blob.Seek(-4, soCurrent), 0);
    EXPECT_THROW(blob.Seek(-1, soBeginning), EStreamError);
    EXPECT_THROW(blob.SetSize(10), EStreamError);
}

TEST(BoundedStream, WindowPastTheBaseEndReadsShort) {
    TMemoryStream base;
    Fill(base, "abc");
    TBoundedStream blob(base, 1, 100);
    char buffer[8];
    EXPECT_EQ(blob.Read(buffer, sizeof buffer), 2u);
    EXPECT_THROW(TBoundedStream(base, -1, 2), EStreamError);
    EXPECT_THROW(TBoundedStream(base, 1, -2), EStreamError);
    EXPECT_THROW(TBoundedStream(base, INT64_MAX, 2), EStreamError);
}

TEST(BoundedStream, WritesAreCutAtTheWindowEnd) {
    TMemoryStream base;
    Fill(base, "..........");
    TBoundedStream window(base, 2, 3);
    EXPECT_EQ(window.Write("ABCDE", 5), 3u);
    EXPECT_THROW(window.WriteBuffer("F", 1), EWriteError);
    base.SetPosition(0);
    EXPECT_EQ(ReadAll(base), "..ABC.....");
}

TEST(FileStream, CreateWriteReopenRead) {
    TempFile file("fwstream");
    {
        TFileStream stream(file.Name(), fmCreate);
        stream.WriteBuffer("abc\0def", 7);
        EXPECT_EQ(stream.Size(), 7);
        stream.SetSize(5);
        EXPECT_EQ(stream.Position(), 5);
    }
    EXPECT_TRUE(FileExists(file.Name()));
    TFileStream stream(file.Name(), fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(ReadAll(stream), std::string("abc\0d", 5));
    char c;
    EXPECT_THROW(stream.ReadBuffer(&c, 1), EReadError);
    EXPECT_THROW(stream.Seek(-1, soBeginning), EStreamError);
    EXPECT_EQ(stream.Position(), 5);

    TMemoryStream memory;
    memory.LoadFromFile(file.Name());
    EXPECT_EQ(ReadAll(memory), std::string("abc\0d", 5));
}

TEST(FileStream, OpenAndCreateFailuresRaise) {
    TempFile file("fwmissing");
    try {
        TFileStream stream(file.Name(), fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + file.Name() + "\"");
    }
    EXPECT_THROW(TFileStream(file.Name() + "/sub/x", fmCreate), EFCreateError);
    // A NUL in the name must not open the shorter name before it.
    EXPECT_THROW(TFileStream(file.Name() + std::string("\0x", 2), fmCreate), EFCreateError);
    EXPECT_FALSE(FileExists(file.Name()));
    TMemoryStream memory;
    EXPECT_THROW(memory.LoadFromFile(file.Name()), EFOpenError);
}

TEST(FileStream, SaveToFileWritesTheWholeBlock) {
    TempFile file("fwsave");
    TMemoryStream memory;
    Fill(memory, "saved");
    memory.SetPosition(3);
    memory.SaveToFile(file.Name());
    TFileStream stream(file.Name(), fmOpenRead);
    EXPECT_EQ(ReadAll(stream), "saved");
}

#ifdef _WIN32
TEST(FileStream, ShareModesAreEnforcedOnWindows) {
    TempFile file("fwshare");
    TFileStream writer(file.Name(), fmCreate | fmShareExclusive);
    EXPECT_THROW(TFileStream(file.Name(), fmOpenRead | fmShareDenyNone), EFOpenError);
}
#endif
