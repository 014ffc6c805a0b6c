#include <gtest/gtest.h>

#include <set>
#include <string>

#include "framework/core/ShortCut.h"
#include "framework/core/SysUtils.h"

TEST(ShortCut, ValuesAndSplitting) {
    EXPECT_EQ(ShortCut(0x28, {ssAlt}), 32808);  // Alt+Down
    EXPECT_EQ(ShortCut('A', {ssShift, ssCtrl, ssAlt}), 'A' | scShift | scCtrl | scAlt);
    EXPECT_EQ(ShortCut('A', {ssLeft, ssDouble}), 'A');
    EXPECT_EQ(ShortCut(0x100, {ssCtrl}), 0);

    std::uint16_t key = 0;
    TShiftState shift;
    ShortCutToKey(ShortCut(0x72, {ssCtrl, ssShift}), key, shift);
    EXPECT_EQ(key, 0x72);
    EXPECT_EQ(shift, (TShiftState{ssCtrl, ssShift}));
    ShortCutToKey(0, key, shift);
    EXPECT_EQ(key, 0);
    EXPECT_TRUE(shift.Empty());

    EXPECT_FALSE(ShortCutHasModifier('Q'));
    EXPECT_FALSE(ShortCutHasModifier(0));
    EXPECT_TRUE(ShortCutHasModifier('Q' | scShift));
    EXPECT_TRUE(ShortCutHasModifier(0x70 | scAlt));
}

TEST(ShortCut, TextOfKnownShortcuts) {
    struct Case {
        TShortCut shortCut;
        const char* text;
    };
    const Case cases[] = {
        {0, ""},
        {scCtrl, ""},  // modifiers without a key
        {'1' | scAlt, "Alt+1"},
        {0x72 | scCtrl, "Ctrl+F3"},
        {'A' | scShift | scCtrl | scAlt, "Shift+Ctrl+Alt+A"},
        {32808, "Alt+Down"},
        {0x87, "F24"},
        {0x0D | scCtrl, "Ctrl+Enter"},
        {0x6B | scShift, "Shift+Num +"},
        {0xE5, "Key $E5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortCutToText(c.shortCut), c.text) << c.shortCut;
}

TEST(ShortCut, EveryKeyOfTheTableRoundTripsWithEveryModifierSet) {
    std::set<std::string> names;
    for (unsigned key = 1; key <= 0xFF; ++key) {
        const std::string name = KeyName(static_cast<std::uint16_t>(key));
        ASSERT_FALSE(name.empty()) << key;
        EXPECT_TRUE(names.insert(UpperCase(name)).second) << "duplicate name " << name;
        for (TShortCut modifiers : {0, 0x2000, 0x4000, 0x8000, 0x6000, 0xA000, 0xC000, 0xE000}) {
            const auto shortCut = static_cast<TShortCut>(key | modifiers);
            const std::string text = ShortCutToText(shortCut);
            EXPECT_EQ(TextToShortCut(text), shortCut) << text;
        }
    }
}

TEST(ShortCut, TextParsingAcceptsAnyOrderAndCase) {
    struct Case {
        const char* text;
        TShortCut shortCut;
    };
    const Case cases[] = {
        {"Alt+1", '1' | scAlt},
        {"Ctrl+F3", 0x72 | scCtrl},
        {"Ctrl+Alt+1", '1' | scCtrl | scAlt},
        {"Alt+Ctrl+1", '1' | scCtrl | scAlt},
        {"alt+CTRL+f4", 0x73 | scCtrl | scAlt},
        {"Shift+Alt+Ctrl+x", 'X' | scShift | scCtrl | scAlt},
        {"sHiFt+pgdn", 0x22 | scShift},
        {"a", 'A'},
        {"F12", 0x7B},
        {"Num +", 0x6B},
        {"Ctrl+Num +", 0x6B | scCtrl},
        {"key $e5", 0xE5},
        {"", 0},
        {"Ctrl+", 0},
        {"Ctrl", 0},
        {"Ctrl+Foo", 0},
        {"Hyper+A", 0},
        {" Ctrl+A", 0},
        {"Ctrl +A", 0},
        {"Ctrl+A ", 0},
        {"F0", 0},
        {"F25", 0},
        {"F01", 0},
        {"Key $BA", 0},  // 0xBA has its own name, ";"
        {"Key $00", 0},
        {"AA", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextToShortCut(c.text), c.shortCut) << "'" << c.text << "'";
}
