#include <gtest/gtest.h>

#include "framework/gui/MessageRules.h"
#include "framework/gui/Messages.h"

namespace {

TEST(MessageRules, PrivateRangeRefusedFromOutsideExceptSelfPosted) {
    struct Case {
        std::uint32_t msg;
        bool allowed;
    };
    for (Case c : {Case{0x0111, true}, Case{0x0401, true}, Case{0x040D, true}, Case{0xAFFF, true},
                   Case{0xB000, false}, Case{CM_HINTSHOW, false}, Case{CM_FOCUSCHANGED, false},
                   Case{CN_NOTIFY, false}, Case{0xBFFF, false}, Case{0xC000, true},
                   Case{CM_SELFPOSTED_RESERVED, true}}) {
        EXPECT_EQ(IsForeignMessageAllowed(c.msg), c.allowed) << std::hex << c.msg;
    }
}

TEST(MessageRules, PointsAreSignExtendedBothWays) {
    struct Case {
        std::uint32_t lParam;
        TPoint p;
    };
    for (Case c : {Case{0x00000000, {0, 0}}, Case{0x00140005, {5, 20}}, Case{0xFFFFFFFF, {-1, -1}},
                   Case{0x8000FFF6, {-10, -32768}}, Case{0x7FFF0001, {1, 32767}}}) {
        EXPECT_EQ(PointFromLParam(c.lParam), c.p) << std::hex << c.lParam;
        EXPECT_EQ(PointToLParam(c.p), c.lParam) << std::hex << c.lParam;
    }
}

TEST(MessageRules, MouseKeyFlags) {
    EXPECT_EQ(KeysToShiftState(0x01), TShiftState{ssLeft});
    EXPECT_EQ(KeysToShiftState(0x02), TShiftState{ssRight});
    EXPECT_EQ(KeysToShiftState(0x10), TShiftState{ssMiddle});
    EXPECT_EQ(KeysToShiftState(0x0C), (TShiftState{ssShift, ssCtrl}));
    EXPECT_EQ(KeysToShiftState(0x00, true), TShiftState{ssAlt});
    EXPECT_EQ(KeysToShiftState(0x20), TShiftState{}); // MK_XBUTTON1 has no member
}

TEST(MessageRules, KeyDataRoundTrip) {
    EXPECT_EQ(KeyDataToShiftState(0x20000000, false, false), TShiftState{ssAlt});
    EXPECT_EQ(KeyDataToShiftState(0x001C0001, true, true), (TShiftState{ssShift, ssCtrl}));
    EXPECT_EQ(ShiftStateToKeyData({ssAlt, ssCtrl, ssShift}), 0x38000000u);
    EXPECT_EQ(ShiftStateToKeyData({ssLeft, ssDouble}), 0u);
    EXPECT_EQ(KeyDataToShiftState(ShiftStateToKeyData({ssAlt}), false, false), TShiftState{ssAlt});
}

} // namespace
