#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/core/StreamAdapter_win.h"

namespace {

// A stream whose every operation fails, as a broken file would.
class TFailingStream : public TStream {
public:
    std::size_t Read(void*, std::size_t) override { throw EReadError(); }
    std::size_t Write(const void*, std::size_t) override { throw EWriteError(); }
    std::int64_t Seek(std::int64_t, TSeekOrigin) override { throw EReadError(); }
};

TEST(StreamAdapter, ReadsWritesAndSeeksTheStreamBelow) {
    TMemoryStream memory;
    TStreamAdapter adapter(memory);
    IStream* stream = nullptr;
    ASSERT_EQ(adapter.QueryInterface(IID_IStream, reinterpret_cast<void**>(&stream)), S_OK);
    EXPECT_EQ(adapter.References(), 2u);
    ULONG done = 0;
    EXPECT_EQ(stream->Write("quorvane", 8, &done), S_OK);
    EXPECT_EQ(done, 8u);
    EXPECT_EQ(memory.Size(), 8);

    LARGE_INTEGER move{};
    move.QuadPart = 4;
    ULARGE_INTEGER at{};
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_SET, &at), S_OK);
    EXPECT_EQ(at.QuadPart, 4u);
    char buffer[8] = {};
    EXPECT_EQ(stream->Read(buffer, 4, &done), S_OK);
    EXPECT_EQ(std::memcmp(buffer, "vane", 4), 0);
    EXPECT_FALSE(adapter.ShortRead());
    // Past the end: what there is, S_FALSE, and the adapter remembers.
    stream->Seek(move, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(stream->Read(buffer, 8, &done), S_FALSE);
    EXPECT_EQ(done, 4u);
    EXPECT_TRUE(adapter.ShortRead());

    STATSTG stat{};
    EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 8u);
    EXPECT_EQ(stream->Seek(move, 7, nullptr), STG_E_INVALIDFUNCTION);
    IUnknown* other = nullptr;
    EXPECT_EQ(adapter.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&other)),
              E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    stream->Release();
    EXPECT_EQ(adapter.References(), 1u);
}

TEST(StreamAdapter, ErrorsOfTheStreamBecomeFailureCodes) {
    TFailingStream broken;
    TStreamAdapter adapter(broken);
    char buffer[4] = {};
    ULONG done = 99;
    EXPECT_EQ(adapter.Read(buffer, 4, &done), STG_E_READFAULT);
    EXPECT_EQ(done, 0u);
    EXPECT_TRUE(adapter.ShortRead());
    EXPECT_EQ(adapter.Write(buffer, 4, &done), STG_E_WRITEFAULT);
    LARGE_INTEGER move{};
    EXPECT_EQ(adapter.Seek(move, STREAM_SEEK_CUR, nullptr), STG_E_INVALIDFUNCTION);
    STATSTG stat{};
    EXPECT_NE(adapter.Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(adapter.Read(nullptr, 4, nullptr), STG_E_INVALIDPOINTER);
}

} // namespace
