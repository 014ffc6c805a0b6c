#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "framework/core/Exceptions.h"
#include "framework/core/ResourceStream.h"

// The system's own modules carry a version resource (type 16, id 1) whose
// first word is its length: a real Win32 resource read through the stream.
TEST(ResourceStreamWin, ReadsAModuleResource) {
    const auto module = reinterpret_cast<TInstanceHandle>(GetModuleHandleA("kernel32.dll"));
    ASSERT_NE(module, 0u);
    TResourceStream stream(module, TResourceName::FromId(1), TResourceName::FromId(16));
    ASSERT_GE(stream.Size(), 6);
    std::uint16_t length = 0;
    stream.ReadBuffer(&length, 2);
    EXPECT_EQ(length, stream.Size());
    EXPECT_THROW(stream.WriteBuffer("x", 1), EWriteError);
    EXPECT_THROW(TResourceStream(module, "NO_SUCH_RESOURCE", kResourceTypeRcData), EResNotFound);
}
