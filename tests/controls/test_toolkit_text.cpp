#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controls/ToolkitText.h"

namespace {

// Letters 10 pixels, dots 2, as a proportional font measures them.
int TenPerChar(std::string_view s) {
    int w = 0;
    for (char c : s)
        w += c == '.' ? 2 : 10;
    return w;
}

TEST(ToolkitText, FileNameValidity) {
    struct Case {
        const char* name;
        bool valid;
    };
    const Case cases[] = {
        {"C:\\dir\\a.txt", true}, {"a.txt", true},  {"a b.txt", true}, {"", false},
        {"a?.txt", false},        {"a|b", false},   {"a*", false},     {"a/b", false},
        {"<a>", false},           {"\"a\"", false}, {"a>", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsFileNameValid(c.name), c.valid) << c.name;
}

TEST(ToolkitText, WildcardInTheLastComponent) {
    EXPECT_TRUE(LastComponentHasWildcard("C:\\dir\\*.txt"));
    EXPECT_TRUE(LastComponentHasWildcard("a?c"));
    EXPECT_TRUE(LastComponentHasWildcard("C:a*"));
    EXPECT_FALSE(LastComponentHasWildcard("C:\\d*r\\a.txt"));
    EXPECT_FALSE(LastComponentHasWildcard("C:\\dir\\a.txt"));
    EXPECT_FALSE(LastComponentHasWildcard(""));
}

TEST(ToolkitText, ShortenTextToWidth) {
    struct Case {
        const char* text;
        int width;
        const char* result;
    };
    const Case cases[] = {
        {"abcdef", 60, "abcdef"},  // fits
        {"abcdef", 59, "abcd..."}, // the first step drops two characters
        {"abcdef", 70, "abcdef"},
        {"abcdef", 65, "abcdef"},
        {"abcdef", 45, "abc..."},
        {"abcdef", 5, "..."}, // the shortest answer, even when it does not fit
        {"a", 5, "..."},
        {"", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortenTextToWidth(c.text, c.width, TenPerChar), c.result)
            << c.text << " in " << c.width;
}

TEST(ToolkitText, ShorteningNeverSplitsATwoByteCharacter) {
    // Two two-byte characters (lead 0x82) and one plain letter: 5 bytes, 3 characters.
    const std::string text = "\x82\xA0\x82\xA1x";
    auto lead = [](unsigned char b) { return b == 0x82; };
    auto perChar = [&](std::string_view s) {
        int chars = 0;
        for (std::size_t i = 0; i < s.size(); ++i, ++chars)
            if (lead(static_cast<unsigned char>(s[i])))
                ++i;
        return chars * 10 - static_cast<int>(std::count(s.begin(), s.end(), '.')) * 8;
    };
    // Three characters do not fit in 25 pixels: keep 1 character (2 bytes) + "...".
    EXPECT_EQ(ShortenTextToWidth(text, 25, perChar, lead), "\x82\xA0...");
    // A lead byte at the very end is a character of its own.
    EXPECT_EQ(ShortenTextToWidth("ab\x82", 0, perChar, lead), "...");
}

TEST(ToolkitText, SplitProgramAndParams) {
    struct Case {
        std::string line;
        const char* program;
        const char* params;
    };
    const std::string longParam(300, 'p');
    const Case cases[] = {
        {"prog.exe  a  \"b c\" d", "prog.exe", "a \"b c\" d"},
        {"", "", ""},
        {"\"my prog.exe\" x", "my prog.exe", "x"},
        {"\"\"prog.exe \"\"a", "prog.exe", "a"}, // leading pairs of quotes are skipped
        {"prog \xE9t\xE9 caf\xE9", "prog", "\xE9t\xE9 caf\xE9"}, // bytes above 0x7F belong
        {"prog " + longParam, "prog", longParam.c_str()},        // no 256-character cap
        {"prog \"a\tb\"", "prog", "\"a\tb\""}, // a tab keeps its quotes like a blank
        {"prog \"unterminated x", "prog", "\"unterminated x\""},
        {"  \t prog", "prog", ""},
        {std::string("prog a\0b", 8), "prog", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const TProgramAndParams r = SplitProgramAndParams(c.line);
        EXPECT_EQ(r.Program, c.program);
        EXPECT_EQ(r.Params, c.params);
    }
}

TEST(ToolkitText, ParameterCountAndIndex) {
    const char* line = "p  a \"b c\"d e";
    EXPECT_EQ(CommandLineParamCount(line), 4);
    EXPECT_EQ(CommandLineParamAt(line, 0), "p");
    EXPECT_EQ(CommandLineParamAt(line, 2), "b cd");
    EXPECT_EQ(CommandLineParamAt(line, 3), "e");
    EXPECT_EQ(CommandLineParamAt(line, 9), "");
    EXPECT_EQ(CommandLineParamCount(""), 0);
}

TEST(ToolkitText, CheckerParity) {
    EXPECT_TRUE(CheckerTakesSecondColor(0, 0));
    EXPECT_TRUE(CheckerTakesSecondColor(1, 1));
    EXPECT_FALSE(CheckerTakesSecondColor(1, 0));
    EXPECT_FALSE(CheckerTakesSecondColor(0, 1));
    EXPECT_TRUE(CheckerTakesSecondColor(7, 5));
}

TEST(ToolkitText, TrackedFont) {
    const TTkFontAttributes source{2, clRed, -15, "Source", 1, 3};
    const TTkFontAttributes own{1, clBlue, -11, "Own", 2, 0};
    struct Case {
        TTkTrackFontOptions options;
        TTkFontAttributes expected;
    };
    const Case cases[] = {
        {{}, own},
        // Without following, the preserve options do nothing either.
        {{hoPreserveColor, hoPreserveName}, own},
        {{hoFollowFont}, source},
        {{hoFollowFont, hoPreserveColor, hoPreserveName}, {2, clBlue, -15, "Own", 1, 3}},
        {{hoFollowFont, hoPreserveCharSet, hoPreserveColor, hoPreserveHeight, hoPreserveName,
          hoPreservePitch, hoPreserveStyle},
         own},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.Raw());
        TTkFontAttributes target = own;
        ApplyTrackedFont(target, source, c.options);
        EXPECT_EQ(target, c.expected);
    }
}

} // namespace
