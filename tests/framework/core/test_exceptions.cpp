#include <gtest/gtest.h>

#include <string>

#include "framework/core/Exceptions.h"

namespace {

template <class Caught, class Thrown>
std::string MessageAs(const Thrown& error) {
    try {
        throw error;
    } catch (const Caught& e) {
        return e.Message();
    }
}

}  // namespace

TEST(Exceptions, FixedMessages) {
    EXPECT_EQ(MessageAs<EListError>(EListError::IndexOutOfBounds(8)),
              "List index out of bounds (8)");
    EXPECT_EQ(MessageAs<EStreamError>(EReadError()), "Stream read error");
    EXPECT_EQ(MessageAs<EStreamError>(EWriteError()), "Stream write error");
    EXPECT_EQ(MessageAs<Exception>(EInvalidGraphic()), "Bitmap image is not valid");
    EXPECT_EQ(MessageAs<Exception>(ERegistryException::FailedToSetData("NumDesks")),
              "Failed to set data for 'NumDesks'");
    EXPECT_EQ(MessageAs<Exception>(EInvalidOperation("Invalid ImageList")), "Invalid ImageList");
    EXPECT_EQ(MessageAs<EListError>(Exception::CreateFmt<EListError>("Item not found ($0%x)",
                                                                     {0xBEEF})),
              "Item not found ($0BEEF)");
}

TEST(Exceptions, TreeShape) {
    // Each class is caught by its parents, up to Exception and std::exception.
    EXPECT_EQ(MessageAs<EStreamError>(EFOpenError("o")), "o");
    EXPECT_EQ(MessageAs<EStreamError>(EFCreateError("c")), "c");
    EXPECT_EQ(MessageAs<EStreamError>(EResNotFound("r")), "r");
    EXPECT_EQ(MessageAs<EOleError>(EOleSysError("ole", -2147467259)), "ole");
    EXPECT_EQ(EOleSysError("x", -2147467259).ErrorCode(), -2147467259);
    EXPECT_EQ(MessageAs<Exception>(EAbort()), "Operation aborted");
    EXPECT_EQ(MessageAs<Exception>(EOutOfMemory()), "Out of memory");
    EXPECT_EQ(MessageAs<Exception>(EInvalidCast()), "Invalid class typecast");
    for (const Exception& e :
         {Exception("a"), Exception(EConvertError("b")), Exception(EPropertyError("c")),
          Exception(EComponentError("d")), Exception(EMenuError("e")), Exception(EThread("f")),
          Exception(EInvalidGraphicOperation("g")), Exception(EAssertionFailed("h"))})
        EXPECT_FALSE(e.Message().empty());
    try {
        throw EConvertError("as std::exception");
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "as std::exception");
    }
    EXPECT_THROW(Abort(), EAbort);
}

TEST(Exceptions, MessagesAreBinarySafeAndSettable) {
    Exception e(std::string("a\0b", 3));
    EXPECT_EQ(e.Message().size(), 3u);
    EXPECT_STREQ(e.what(), "a");
    e.SetMessage("changed");
    EXPECT_STREQ(e.what(), "changed");
    EXPECT_EQ(Exception("%s=%d", {"x", 5}).Message(), "x=5");
    // A pattern that does not fit its arguments is itself a conversion error.
    EXPECT_THROW(Exception("%d", {"x"}), EConvertError);
}

#ifndef NDEBUG
TEST(Exceptions, AssertRaisesInDebugBuilds) {
    Assert(true, "never");
    try {
        Assert(false, "Unpaired EndUpdate");
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message().rfind("Unpaired EndUpdate (", 0), 0u) << e.Message();
        EXPECT_NE(e.Message().find("test_exceptions.cpp, line "), std::string::npos);
    }
}
#endif
