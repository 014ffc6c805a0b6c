#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"

TEST(StrToInt, GrammarTable) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;  // nullopt: EConvertError
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"  42", 42},
        {"\t7", 7},
        {"+5", 5},
        {"-5", -5},
        {"007", 7},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"$1F", 31},
        {"0x1f", 31},
        {"0X1F", 31},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"$FF00000F", static_cast<std::int32_t>(0xFF00000F)},
        {"-$80000000", INT32_MIN},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"42 ", std::nullopt},
        {"4 2", std::nullopt},
        {"42a", std::nullopt},
        {"1.5", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"$100000000", std::nullopt},
        {"-$80000001", std::nullopt},
        {"+-1", std::nullopt},
        {"--1", std::nullopt},
        {"$-1", std::nullopt},
        {"\n1", std::nullopt},
        {"TRUE", std::nullopt},
    };
    for (const Case& c : cases) {
        std::int32_t value = 12345;
        const bool ok = TryStrToInt(c.text, value);
        EXPECT_EQ(ok, c.value.has_value()) << "'" << c.text << "'";
        if (c.value) {
            EXPECT_EQ(value, *c.value) << c.text;
            EXPECT_EQ(StrToInt(c.text), *c.value) << c.text;
        } else {
            EXPECT_EQ(value, 12345) << c.text;
            EXPECT_THROW(StrToInt(c.text), EConvertError) << c.text;
            EXPECT_EQ(StrToIntDef(c.text, -7), -7) << c.text;
        }
    }
    // A NUL is not a digit, and the text after it is not ignored.
    std::int32_t value = 0;
    EXPECT_FALSE(TryStrToInt(std::string("12\0" "3", 4), value));
}

TEST(StrToInt, ErrorMessageQuotesTheText) {
    try {
        StrToInt("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    }
}

TEST(StrToUInt, HandlesAtOrAbove2To31RoundTrip) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        {"0", 0u},
        {"2147483648", 0x80000000u},
        {"4294967295", 0xFFFFFFFFu},
        {" +65536", 65536u},
        {"$FFFFFFFF", 0xFFFFFFFFu},
        {"4294967296", std::nullopt},
        {"-1", std::nullopt},
        {"-0", std::nullopt},
        {"", std::nullopt},
        {"12x", std::nullopt},
    };
    for (const Case& c : cases) {
        std::uint32_t value = 99;
        EXPECT_EQ(TryStrToUInt(c.text, value), c.value.has_value()) << c.text;
        if (c.value) {
            EXPECT_EQ(value, *c.value) << c.text;
            EXPECT_EQ(StrToUInt(c.text), *c.value);
        } else {
            EXPECT_THROW(StrToUInt(c.text), EConvertError) << c.text;
            EXPECT_EQ(StrToUIntDef(c.text, 5u), 5u);
        }
    }
    for (std::uint32_t handle : {0x80000000u, 0xFFFFFFFEu, 0x7FFFFFFFu, 0x10010u})
        EXPECT_EQ(StrToUInt(IntToStr(handle)), handle);
}

TEST(IntToStr, DecimalAndHexText) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(IntToStr(std::uint32_t{4294967295u}), "4294967295");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
    EXPECT_EQ(IntToHex(0, 0), "0");
    EXPECT_EQ(IntToHex(std::int32_t{-1}, 1), "FFFFFFFF");
    EXPECT_EQ(IntToHex(std::int64_t{-1}, 1), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(std::uint8_t{0x9}, 2), "09");
}

TEST(StrToBool, Table) {
    struct Case {
        const char* text;
        std::optional<bool> value;
    };
    const Case cases[] = {
        {"TRUE", true},  {"true", true},   {"True", true},  {"FALSE", false}, {"fAlSe", false},
        {"0", false},    {"1", true},      {"-1", true},    {"$10", true},    {" 0", false},
        {"", std::nullopt}, {"yes", std::nullopt}, {"TRUE ", std::nullopt}, {"T", std::nullopt},
        {" TRUE", std::nullopt},
    };
    for (const Case& c : cases) {
        bool value = false;
        EXPECT_EQ(TryStrToBool(c.text, value), c.value.has_value()) << c.text;
        if (c.value) {
            EXPECT_EQ(value, *c.value) << c.text;
            EXPECT_EQ(StrToBool(c.text), *c.value) << c.text;
        } else {
            EXPECT_THROW(StrToBool(c.text), EConvertError) << c.text;
        }
    }
}

TEST(Format, Table) {
    EXPECT_EQ(Format("List index out of bounds (%d)", {-1}), "List index out of bounds (-1)");
    EXPECT_EQ(Format("Item not found ($0%x)", {0x1A2B}), "Item not found ($01A2B)");
    EXPECT_EQ(Format("Unrecognized extension block: %.2x", {5}),
              "Unrecognized extension block: 05");
    EXPECT_EQ(Format("Failed to set data for '%s'", {"NumDesks"}),
              "Failed to set data for 'NumDesks'");
    EXPECT_EQ(Format("%u %u", {-1, 7u}), "4294967295 7");
    EXPECT_EQ(Format("%x", {std::int64_t{-1}}), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("[%5d][%-5d][%05d]", {42, 42, 42}), "[   42][42   ][   42]");
    EXPECT_EQ(Format("[%.3d][%6.3d]", {-5, 7}), "[-005][   007]");
    EXPECT_EQ(Format("[%.2s][%4s][%-4s]", {"abcdef", "ab", "ab"}), "[ab][  ab][ab  ]");
    EXPECT_EQ(Format("[%*d][%.*x]", {4, 1, 3, 10}), "[   1][00A]");
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_EQ(Format("%s", {std::string("a\0b", 3)}), std::string("a\0b", 3));
    EXPECT_EQ(Format(std::string_view("x\0%d", 4), {1}), std::string("x\0" "1", 3));
    EXPECT_EQ(Format("%s", {'c'}), "c");
    for (auto* bad : {"%d", "%q", "%", "%5"})
        EXPECT_THROW(Format(bad, {}), EConvertError) << bad;
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s", {5}), EConvertError);
    EXPECT_THROW(Format("%*d", {-1, 5}), EConvertError);
}

TEST(Strings, CaseAndTrim) {
    EXPECT_EQ(UpperCase("abcXYZ09\xE4"), "ABCXYZ09\xE4");
    EXPECT_EQ(LowerCase("ABCxyz\xC4"), "abcxyz\xC4");
    EXPECT_TRUE(SameText("Software\\Quorvane", "SOFTWARE\\quorvane"));
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_FALSE(SameText(std::string("a\0b", 3), "a"));
    EXPECT_LT(CompareText("apple", "BANANA"), 0);
    EXPECT_EQ(CompareText("ab", "AB"), 0);
    EXPECT_GT(CompareText("abc", "AB"), 0);
    EXPECT_EQ(Trim("  \t x y \r\n"), "x y");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(std::string("\0a\0", 3)), "a");
}

TEST(Captions, HintsAndAccelerators) {
    EXPECT_EQ(GetShortHint("Short|Long text"), "Short");
    EXPECT_EQ(GetShortHint("No bar"), "No bar");
    EXPECT_EQ(GetShortHint("|Long"), "");
    EXPECT_EQ(GetShortHint("a|b|c"), "a");

    struct Case {
        const char* caption;
        char key;
        bool accel;
        const char* stripped;
    };
    const Case cases[] = {
        {"&File", 'f', true, "File"},
        {"&File", 'F', true, "File"},
        {"E&xit", 'X', true, "Exit"},
        {"E&xit", 'e', false, "Exit"},
        {"Save && &Quit", 'q', true, "Save & Quit"},
        {"Tom && Jerry", 'j', false, "Tom & Jerry"},
        {"&&A", 'a', false, "&A"},
        {"No accel", 'n', false, "No accel"},
        {"Trailing&", 'g', false, "Trailing&"},
        {"&1 Desktop", '1', true, "1 Desktop"},
        {"&A&B", 'a', true, "AB"},
        {"&A&B", 'b', false, "AB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsAccel(c.key, c.caption), c.accel) << c.caption << " / " << c.key;
        EXPECT_EQ(StripHotkey(c.caption), c.stripped) << c.caption;
    }
}

TEST(FileNames, TakenApart) {
    struct Case {
        const char* name;
        const char* path;
        const char* file;
        const char* ext;
    };
    const Case cases[] = {
        {"C:\\Pictures\\sea.bmp", "C:\\Pictures\\", "sea.bmp", ".bmp"},
        {"C:sea.jpg", "C:", "sea.jpg", ".jpg"},
        {"/home/u/a.b/c", "/home/u/a.b/", "c", ""},
        {"archive.tar.gz", "", "archive.tar.gz", ".gz"},
        {"dir\\", "dir\\", "", ""},
        {".hidden", "", ".hidden", ".hidden"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
    }
    EXPECT_EQ(ChangeFileExt("C:\\a\\quorvane.exe", ".chm"), "C:\\a\\quorvane.chm");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\readme", ".txt"), "C:\\a.b\\readme.txt");
    EXPECT_EQ(ChangeFileExt("x.gif", ""), "x");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\dir"), std::string("C:\\dir") + PathDelim);
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\dir\\"), "C:\\dir\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/"), "/tmp/");
    EXPECT_TRUE(SameFileName("C:\\Windows\\Web.BMP", "c:\\windows\\web.bmp"));
    EXPECT_FALSE(SameFileName("a.bmp", "a.bm"));
}

TEST(FileNames, ExistenceChecks) {
    const char* dir = std::getenv("TMPDIR");
#ifdef _WIN32
    if (dir == nullptr)
        dir = std::getenv("TEMP");
#endif
    const std::string folder = dir != nullptr ? dir : "/tmp";
    ASSERT_TRUE(DirectoryExists(folder));
    EXPECT_FALSE(FileExists(folder));
    const std::string file = IncludeTrailingPathDelimiter(folder) + "fw_exists_probe.txt";
    std::remove(file.c_str());
    EXPECT_FALSE(FileExists(file));
    {
        std::FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(FileExists(file + std::string("\0", 1)));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(DirectoryExists(""));
    std::remove(file.c_str());
}

TEST(Platform, Win32PlatformIsNt) { EXPECT_EQ(Win32Platform(), 2); }
