// The file dialogs' conversions: the filter text into NUL pairs, the options into the dialog's
// flags and back, and the names of an answer buffer, bounded by its size.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/controls/FileDialogRules.h"
#include "framework/core/FileNames.h"

namespace {

using namespace std::string_literals;

TEST(FileDialogRules, FilterBecomesNulPairs) {
    EXPECT_EQ(FilterToNulPairs("Pictures|*.bmp;*.gif;*.jpg"), "Pictures\0*.bmp;*.gif;*.jpg\0\0"s);
    EXPECT_EQ(FilterToNulPairs("A|*.a|B|*.b"), "A\0*.a\0B\0*.b\0\0"s);
    EXPECT_EQ(FilterToNulPairs("A|*.a|lonely"), "A\0*.a\0\0"s) << "a description without pattern";
    EXPECT_EQ(FilterToNulPairs(""), "");
    EXPECT_EQ(FilterToNulPairs("no pattern"), "");
    EXPECT_EQ(FilterToNulPairs("Empty||B|*.b"), "Empty\0\0B\0*.b\0\0"s);
}

TEST(FileDialogRules, OptionsMapToTheDialogFlags) {
    // The options the wallpaper page's picture dialog uses.
    EXPECT_EQ(
        OpenOptionsToFlags({ofHideReadOnly, ofFileMustExist, ofNoNetworkButton, ofDontAddToRecent}),
        0x00080000u | 0x4u | 0x1000u | 0x20000u | 0x02000000u);
    EXPECT_EQ(OpenOptionsToFlags({ofOldStyleDialog}), 0u) << "no explorer look";
    struct Case {
        TOpenOption option;
        std::uint32_t flag;
    };
    const Case cases[] = {{ofReadOnly, 0x1},
                          {ofOverwritePrompt, 0x2},
                          {ofNoChangeDir, 0x8},
                          {ofShowHelp, 0x10},
                          {ofNoValidate, 0x100},
                          {ofAllowMultiSelect, 0x200},
                          {ofExtensionDifferent, 0x400},
                          {ofPathMustExist, 0x800},
                          {ofCreatePrompt, 0x2000},
                          {ofShareAware, 0x4000},
                          {ofNoReadOnlyReturn, 0x8000},
                          {ofNoTestFileCreate, 0x10000},
                          {ofNoLongNames, 0x40000},
                          {ofNoDereferenceLinks, 0x100000},
                          {ofEnableIncludeNotify, 0x400000},
                          {ofEnableSizing, 0x800000},
                          {ofForceShowHidden, 0x10000000}};
    for (const Case& c : cases)
        EXPECT_EQ(OpenOptionsToFlags(TOpenOptions{c.option}), 0x00080000u | c.flag)
            << int(c.option);
    const TOpenOptions after = OptionsAfterDialog({ofHideReadOnly, ofExtensionDifferent}, 0x1);
    EXPECT_EQ(after, (TOpenOptions{ofHideReadOnly, ofReadOnly}))
        << "the answers replace the two flags";
}

TEST(FileDialogRules, SelectedNamesAreReadWithinTheBuffer) {
    const std::string one = "C:\\pics\\a.bmp\0\0"s;
    EXPECT_EQ(SelectedFileNames(one.data(), one.size()),
              (std::vector<std::string>{"C:\\pics\\a.bmp"}));
    const std::string many = "C:\\pics\0a.bmp\0b c.gif\0\0"s;
    const std::string folder = "C:\\pics"s + PathDelim;
    EXPECT_EQ(SelectedFileNames(many.data(), many.size()),
              (std::vector<std::string>{folder + "a.bmp", folder + "b c.gif"}));
    const std::string unended =
        "C:\\x\0ab"s; // no final NULs: the last name ends at the buffer's end
    EXPECT_EQ(SelectedFileNames(unended.data(), unended.size()),
              (std::vector<std::string>{"C:\\x"s + PathDelim + "ab"}));
    EXPECT_TRUE(SelectedFileNames(nullptr, 10).empty());
    EXPECT_TRUE(SelectedFileNames("\0", 1).empty());
}

} // namespace
