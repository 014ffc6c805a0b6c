#include <gtest/gtest.h>

#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/ResourceStream.h"

namespace {

constexpr TInstanceHandle kModule = 0x400000;
const char kPicture[] = "BM\0\x01picture";
const char kOther[] = "other";

std::string ReadAll(TStream& stream) {
    std::string out(static_cast<std::size_t>(stream.Size()), '\0');
    stream.ReadBuffer(out.data(), out.size());
    return out;
}

}  // namespace

TEST(ResourceStream, RegisteredBlobsReadBack) {
    RegisterResourceBlob(kModule, "BANDHELP", kResourceTypeBitmap, kPicture, sizeof kPicture - 1);
    RegisterResourceBlob(kModule, TResourceName::FromId(7), "CURSORS", kOther, 5);
    {
        // Names compare without case, as Win32's do.
        TResourceStream stream(kModule, "BandHelp", kResourceTypeBitmap);
        EXPECT_EQ(ReadAll(stream), std::string(kPicture, sizeof kPicture - 1));
        EXPECT_EQ(stream.Memory(), static_cast<const void*>(kPicture));
        char c = 0;
        EXPECT_THROW(stream.ReadBuffer(&c, 1), EReadError);
        EXPECT_THROW(stream.WriteBuffer("x", 1), EWriteError);
        EXPECT_THROW(stream.SetSize(1), EStreamError);
    }
    TResourceStream byId(kModule, TResourceName::FromId(7), "cursors");
    EXPECT_EQ(ReadAll(byId), "other");
    EXPECT_TRUE(UnregisterResourceBlob(kModule, "BANDHELP", kResourceTypeBitmap));
    EXPECT_FALSE(UnregisterResourceBlob(kModule, "BANDHELP", kResourceTypeBitmap));
    EXPECT_TRUE(UnregisterResourceBlob(kModule, TResourceName::FromId(7), "CURSORS"));
}

TEST(ResourceStream, LookUpMatchesInstanceNameAndType) {
    RegisterResourceBlob(kModule, "DATA", kResourceTypeRcData, kOther, 5);
    RegisterResourceBlob(0, "SHARED", kResourceTypeRcData, kPicture, 2);
    EXPECT_THROW(TResourceStream(kModule + 1, "DATA", kResourceTypeRcData), EResNotFound);
    EXPECT_THROW(TResourceStream(kModule, "DATA", kResourceTypeBitmap), EResNotFound);
    EXPECT_THROW(TResourceStream(kModule, TResourceName::FromId(10), kResourceTypeRcData),
                 EResNotFound);
    // Instance 0 serves every module.
    TResourceStream shared(kModule + 1, "SHARED", kResourceTypeRcData);
    EXPECT_EQ(ReadAll(shared), "BM");
    // A later registration replaces the earlier one.
    RegisterResourceBlob(kModule, "DATA", kResourceTypeRcData, kPicture, 2);
    TResourceStream replaced(kModule, "DATA", kResourceTypeRcData);
    EXPECT_EQ(ReadAll(replaced), "BM");
    UnregisterResourceBlob(kModule, "DATA", kResourceTypeRcData);
    UnregisterResourceBlob(0, "SHARED", kResourceTypeRcData);
}

TEST(ResourceStream, MissingResourceNamesItself) {
    try {
        TResourceStream stream(kModule, "NOSUCH", kResourceTypeRcData);
        FAIL();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource NOSUCH not found");
    }
    try {
        TResourceStream stream(kModule, TResourceName::FromId(42), kResourceTypeRcData);
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Resource #42 not found");
    }
    EXPECT_THROW(TResourceStream(kModule, std::string("NO\0SUCH", 7), kResourceTypeRcData),
                 EResNotFound);
}

TEST(ResourceName, IdsFromPointerValues) {
    const TResourceName rcdata(reinterpret_cast<const char*>(std::uintptr_t{10}));
    EXPECT_TRUE(rcdata.IsId());
    EXPECT_TRUE(rcdata.Matches(kResourceTypeRcData));
    EXPECT_FALSE(TResourceName("10").Matches(kResourceTypeRcData));
    EXPECT_EQ(TResourceName("Name").Text(), "Name");
}
