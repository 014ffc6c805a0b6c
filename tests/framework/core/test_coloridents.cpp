#include <gtest/gtest.h>

#include "framework/core/ColorIdents.h"
#include "framework/core/Exceptions.h"

TEST(ColorIdents, NamesAndNumbers) {
    struct Case {
        const char* text;
        TColor color;
    };
    const Case cases[] = {
        {"clBtnFace", clBtnFace},   {"CLBTNFACE", clBtnFace}, {"clWindow", clWindow},
        {"clNone", clNone},         {"clDefault", clDefault}, {"clFuchsia", 0x00FF00FF},
        {"clBlue", 0x00FF0000},     {"clMenuBar", clMenuBar}, {"255", 255},
        {"$FF00000F", clBtnFace},   {"-1", -1},               {"$0000FF", clRed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringToColor(c.text), c.color) << c.text;
    TColor color = 7;
    EXPECT_FALSE(IdentToColor("clNoSuchColour", color));
    EXPECT_FALSE(IdentToColor("Red", color));
    EXPECT_EQ(color, 7);
    EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
    for (const char* bad : {"", "$00BBGGRR", "clRed ", "Red"})
        EXPECT_THROW(StringToColor(bad), EConvertError) << bad;
}
