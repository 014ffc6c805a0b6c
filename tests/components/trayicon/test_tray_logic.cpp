#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "components/MaxMin.h"
#include "components/trayicon/TrayCallback.h"
#include "components/trayicon/TrayText.h"

namespace {

// Runs a sequence of callbacks through the decoder as the window procedure
// does, logging the mouse operations as short words.
struct TReplay {
    TTrayClickFlags Flags;
    std::vector<std::string> Log;

    static std::string Word(const TTrayOp& op) {
        static const char* const kinds[] = {"move", "down", "up", "click", "dbl"};
        static const char* const buttons[] = {"L", "R", "M"};
        std::string w = kinds[static_cast<int>(op.Kind)];
        if (op.Kind != TTrayOpKind::DblClick && op.Kind != TTrayOpKind::MouseMove)
            w += buttons[op.Button];
        if (op.Shift.Contains(ssDouble))
            w += "+dbl";
        return w;
    }

    void Run(std::uint32_t msg, TShiftState keys = {}) {
        for (const TTrayOp& op : DecodeTrayCallback(msg, keys, Flags)) {
            if (op.Kind == TTrayOpKind::SetClickFlag || op.Kind == TTrayOpKind::ClearClickFlag)
                ApplyTrayOp(op, Flags);
            else
                Log.push_back(Word(op));
        }
    }
};

std::string Join(const std::vector<std::string>& words) {
    std::string s;
    for (const auto& w : words)
        s += (s.empty() ? "" : " ") + w;
    return s;
}

struct TCallbackCase {
    const char* Name;
    std::vector<std::uint32_t> Messages;
    const char* Expected;
};

TEST(TrayCallbackTest, SequencesGiveTheEventsOfTheTable) {
    const TCallbackCase cases[] = {
        {"move", {0x200}, "move"},
        {"left click", {0x201, 0x202}, "downL clickL upL"},
        {"left double click", {0x201, 0x202, 0x203, 0x202}, "downL clickL upL dbl downL+dbl upL"},
        {"right click", {0x204, 0x205}, "downR clickR upR"},
        {"right double click", {0x204, 0x205, 0x206, 0x205}, "downR clickR upR downR+dbl upR"},
        {"middle never clicks", {0x207, 0x208, 0x209, 0x208}, "downM upM downM+dbl upM"},
        {"up without down", {0x202, 0x205}, "upL upR"},
        {"one press, one click", {0x201, 0x202, 0x202}, "downL clickL upL upL"},
        {"flags are per button", {0x201, 0x205, 0x202}, "downL upR clickL upL"},
        {"unknown values do nothing", {0, 0x20A, 0x400, 0xB054, 0xFFFFFFFF, 0x1FF}, ""},
    };
    for (const auto& c : cases) {
        TReplay replay;
        for (std::uint32_t m : c.Messages)
            replay.Run(m);
        EXPECT_EQ(Join(replay.Log), c.Expected) << c.Name;
    }
}

TEST(TrayCallbackTest, ShiftCarriesKeysAndTheButtonButNeverOtherButtonsFromTheCaller) {
    const TShiftState keys{ssShift, ssCtrl, ssAlt, ssRight, ssDouble};
    auto ops = DecodeTrayCallback(0x201, keys, {});
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].Shift, (TShiftState{ssShift, ssCtrl, ssAlt, ssLeft}));
    ops = DecodeTrayCallback(0x200, TShiftState{ssCtrl}, {});
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].Shift, TShiftState{ssCtrl});
    ops = DecodeTrayCallback(0x209, {}, {});
    EXPECT_EQ(ops[0].Shift, TShiftState{ssDouble});
}

TEST(TrayCallbackTest, FlagStepsSitBetweenTheOperations) {
    // Down: the flag is set after MouseDown ran; up: cleared before Click.
    auto down = DecodeTrayCallback(0x204, {}, {});
    ASSERT_EQ(down.size(), 2u);
    EXPECT_EQ(down[0].Kind, TTrayOpKind::MouseDown);
    EXPECT_EQ(down[1].Kind, TTrayOpKind::SetClickFlag);
    EXPECT_EQ(down[1].Flag, cfRight);
    auto up = DecodeTrayCallback(0x205, {}, TTrayClickFlags{cfRight});
    ASSERT_EQ(up.size(), 3u);
    EXPECT_EQ(up[0].Kind, TTrayOpKind::ClearClickFlag);
    EXPECT_EQ(up[1].Kind, TTrayOpKind::Click);
    EXPECT_EQ(up[2].Kind, TTrayOpKind::MouseUp);
}

TEST(TrayTipTest, ShortHintCutTo63Characters) {
    const std::string seventy(70, 'x');
    const struct {
        std::string Hint;
        std::string Tip;
    } cases[] = {
        {"", ""},
        {"Desktop 1", "Desktop 1"},
        {"a|b", "a"},
        {"|long part", ""},
        {std::string(63, 'y'), std::string(63, 'y')},
        {seventy, std::string(63, 'x')},
        {seventy + "|b", std::string(63, 'x')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrayTipText(c.Hint), c.Tip) << c.Hint;
        char field[kTrayTipCapacity];
        std::memset(field, 'Z', sizeof field);
        FillTrayTip(field, c.Hint);
        EXPECT_EQ(std::string(field), c.Tip);
        EXPECT_EQ(field[kTrayTipCapacity - 1], '\0');
    }
}

TEST(TrayFrameTest, ClampAndWrap) {
    const struct {
        std::int32_t Frame, Count, Shown, Next;
    } cases[] = {
        {-1, 3, 0, 0}, {0, 3, 0, 1},         {1, 3, 1, 2},
        {2, 3, 2, 0},  {5, 3, 2, 0}, // the list shrank: the last entry until the tick wraps
        {0, 1, 0, 0},  {INT32_MAX, 2, 1, 0}, {INT32_MIN, 2, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClampedFrameIndex(c.Frame, c.Count), c.Shown) << c.Frame << "/" << c.Count;
        EXPECT_EQ(NextFrameIndex(c.Frame, c.Count), c.Next) << c.Frame << "/" << c.Count;
    }
    EXPECT_EQ(NextFrameIndex(0, 0), 0);
    EXPECT_EQ(NextFrameIndex(-1, 0), 0);
}

TEST(MaxMinTest, SignedExtremes) {
    static_assert(IntMax(-1, 0) == 0 && IntMin(-1, 0) == -1);
    EXPECT_EQ(IntMax(INT32_MIN, INT32_MAX), INT32_MAX);
    EXPECT_EQ(IntMin(INT32_MIN, INT32_MAX), INT32_MIN);
}

} // namespace
