#include <gtest/gtest.h>

#include "desktops/WindowHandle.h"

namespace {

struct TextCase {
    TWindowHandle handle;
    const char* text;
};

// Handles at and above 2^31 are ordinary values: they must not turn negative on the way.
TEST(HandleText, CanonicalDecimalRoundTrips) {
    const TextCase cases[] = {
        {0, "0"},
        {1, "1"},
        {65552, "65552"},
        {0x7FFFFFFF, "2147483647"},
        {0x80000000, "2147483648"},
        {0xFFFFFFFF, "4294967295"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HandleText(c.handle), c.text);
        EXPECT_EQ(ParseHandle(c.text), c.handle) << c.text;
    }
}

// Only the one canonical spelling names a window: any other would compare unequal as text.
TEST(HandleText, NonCanonicalTextNamesNoWindow) {
    const char* cases[] = {"",    "-1",  "+1",  "007",  "00",  "4294967296", "99999999999",
                           "12a", " 12", "12 ", "0x10", "1e3", "\xb2"};
    for (const char* text : cases) {
        EXPECT_EQ(ParseHandle(text), 0u) << '"' << text << '"';
    }
}

} // namespace
