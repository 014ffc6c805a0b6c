#pragma once

#include <cstdint>
#include <string>

// The band's side of the protocol with the main program, and the arithmetic of its buttons.
// Nothing here needs the system's headers; the window and the band object use it.
namespace band {

constexpr std::uint32_t kUser = 0x400;
// To the main window: switch to desktop n (0x400 + n), pop up desktop n's window list
// (0x407 + n), and the band window's handle (0 when it goes).
constexpr std::uint32_t kSwitchDesk1 = kUser + 1;
constexpr std::uint32_t kBandHandle = kUser + 5;
constexpr std::uint32_t kDeskMenu1 = kUser + 8;
// From the main program: desktop n is active (the same numbers as the switch requests), the
// number of desktops, hide and show the band in the taskbar.
constexpr std::uint32_t kActiveDesk1 = kUser + 1;
constexpr std::uint32_t kActiveDesk4 = kUser + 4;
constexpr std::uint32_t kSetNumDesks = kUser + 6;
constexpr std::uint32_t kHideBand = kUser + 12;
constexpr std::uint32_t kShowBand = kUser + 13;

// The message that asks for a switch to button n's desktop, or 0 for a button outside 1..4.
constexpr std::uint32_t SwitchMessage(int n) {
    return n >= 1 && n <= 4 ? kSwitchDesk1 + (n - 1) : 0;
}
// The message that asks for button n's window list, or 0.
constexpr std::uint32_t DeskMenuMessage(int n) {
    return n >= 1 && n <= 4 ? kDeskMenu1 + (n - 1) : 0;
}

// The stored "NumDesks": its decimal value, or 4 when it is missing or not a number. The value
// is not clamped; counts outside 2..4 leave the buttons alone (see ButtonsFor).
int ParseNumDesks(const std::string& text);

// The buttons shown and the band's width for a number of desktops.
struct TButtonSet {
    bool ThirdVisible;
    bool FourthVisible;
    int Width;
};
// 2: buttons 1-2, 33 px; 3: buttons 1-3, 50 px; 4: all, 67 px. Any other count keeps Current.
TButtonSet ButtonsFor(int count, const TButtonSet& Current);
// Where the taskbar stands; a vertical one (left or right edge) makes the band 24 px wide and
// stacks the buttons.
enum class TEdge : std::uint8_t { Left = 0, Top = 1, Right = 2, Bottom = 3, Unknown = 255 };
constexpr bool IsVertical(TEdge e) {
    return e == TEdge::Left || e == TEdge::Right;
}
constexpr int kVerticalWidth = 24;

// The width the shell is told: from the visible buttons, or 24 on a vertical taskbar.
int BandInfoWidth(bool thirdVisible, bool fourthVisible, TEdge edge);

// Button n's (1..4) image in the list of eight: 2n-2 when it is the active desktop's, 2n-1
// otherwise. -1 for n outside 1..4.
constexpr int ButtonImage(int n, int active) {
    if (n < 1 || n > 4)
        return -1;
    return n == active ? 2 * n - 2 : 2 * n - 1;
}

// Button n's (1..4) place in the band window: side by side along a horizontal taskbar, one
// above the other along a vertical one.
struct TPoint2 {
    int X;
    int Y;
};
constexpr int kButtonSize = 16;
constexpr int kButtonStep = 17;
constexpr TPoint2 ButtonOrigin(int n, bool vertical) {
    return vertical ? TPoint2{4, (n - 1) * kButtonStep} : TPoint2{(n - 1) * kButtonStep, 8};
}

} // namespace band
