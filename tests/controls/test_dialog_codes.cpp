#include <gtest/gtest.h>

#include "controls/DialogCodes.h"

namespace {

TEST(DialogCodes, EachMemberStandsForOneFlag) {
    struct Case {
        TTkDialogCode code;
        std::uint32_t flag;
    };
    const Case cases[] = {{dcWantAllKeys, 0x0004}, {dcWantArrows, 0x0001}, {dcWantChars, 0x0080},
                          {dcButton, 0x2000},      {dcHasSetSel, 0x0008},  {dcWantTab, 0x0002}};
    for (const Case& c : cases) {
        EXPECT_EQ(FlagsFromDialogCodes(c.code), c.flag) << int(c.code);
        EXPECT_EQ(DialogCodesFromFlags(c.flag), TTkDialogCodes(c.code)) << int(c.code);
    }
    // Native has no flag; flags outside the table (the default push button 0x10) are dropped.
    EXPECT_EQ(FlagsFromDialogCodes({dcNative}), 0u);
    EXPECT_EQ(DialogCodesFromFlags(0x0010 | 0x0081), (TTkDialogCodes{dcWantArrows, dcWantChars}));
    EXPECT_EQ(FlagsFromDialogCodes(DialogCodesFromFlags(0x208F)), 0x208Fu);
}

} // namespace
