#pragma once

#include <cstdint>
#include <initializer_list>

// Basic value types of the class library: colours, geometry, small sets and
// the enumerations that several units share. Nothing here needs the platform;
// TRect and TPoint have the layout of the Win32 RECT and POINT, so the
// Windows layer may pass them where those are expected.

// ---------------------------------------------------------------------------
// Sets

// A set of enumeration values, one bit per value (value n is bit n), as the
// class library stores them: Raw() is the stored or published form.
//   TShiftState shift{ssShift, ssCtrl};
//   if (shift.Contains(ssCtrl)) ...
template <class E, class Bits = std::uint32_t>
class TSet {
public:
    using Element = E;
    using RawType = Bits;

    constexpr TSet() noexcept = default;
    constexpr TSet(E element) noexcept : bits_(Bit(element)) {}
    constexpr TSet(std::initializer_list<E> elements) noexcept {
        for (E e : elements)
            bits_ |= Bit(e);
    }
    static constexpr TSet FromRaw(Bits bits) noexcept {
        TSet s;
        s.bits_ = bits;
        return s;
    }

    constexpr Bits Raw() const noexcept { return bits_; }
    constexpr bool Contains(E element) const noexcept { return (bits_ & Bit(element)) != 0; }
    constexpr bool Empty() const noexcept { return bits_ == 0; }
    constexpr TSet& Include(E element) noexcept {
        bits_ |= Bit(element);
        return *this;
    }
    constexpr TSet& Exclude(E element) noexcept {
        bits_ &= static_cast<Bits>(~Bit(element));
        return *this;
    }

    // Union, intersection, difference; a <= b is "a is a subset of b".
    friend constexpr TSet operator|(TSet a, TSet b) noexcept { return FromRaw(a.bits_ | b.bits_); }
    friend constexpr TSet operator&(TSet a, TSet b) noexcept { return FromRaw(a.bits_ & b.bits_); }
    friend constexpr TSet operator-(TSet a, TSet b) noexcept {
        return FromRaw(static_cast<Bits>(a.bits_ & ~b.bits_));
    }
    constexpr TSet& operator|=(TSet b) noexcept { return *this = *this | b; }
    constexpr TSet& operator&=(TSet b) noexcept { return *this = *this & b; }
    constexpr TSet& operator-=(TSet b) noexcept { return *this = *this - b; }
    friend constexpr bool operator==(TSet a, TSet b) noexcept { return a.bits_ == b.bits_; }
    friend constexpr bool operator<=(TSet a, TSet b) noexcept { return (a.bits_ & ~b.bits_) == 0; }

private:
    static constexpr Bits Bit(E element) noexcept {
        return static_cast<Bits>(Bits{1} << static_cast<unsigned>(element));
    }
    Bits bits_ = 0;
};

enum TShiftStateFlag : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

enum TOpenOption : std::uint8_t {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
    ofDontAddToRecent,
    ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

// ---------------------------------------------------------------------------
// Enumerations

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

// The pixel formats of bitmaps, in their stored order (pfDevice = 0 ... pfCustom = 8).
enum TPixelFormat : std::uint8_t {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};

enum TProgressStage : std::uint8_t { psStarting, psRunning, psEnding };

enum TDragState : std::uint8_t { dsDragEnter, dsDragLeave, dsDragMove };

// The result of a modal form; the values match the dialog-box command ids.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

// Cursor ids: 0 is "the control's default", negative ids are the built-in
// cursors, positive ids are slots an application fills.
using TCursor = std::int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// ---------------------------------------------------------------------------
// Colours

// 0x00BBGGRR for a plain colour. A top byte of 0xFF names a system colour
// whose index is the low byte; other top bytes are special values (clNone,
// clDefault) or the callers' own pseudo-colours and are never resolved.
using TColor = std::int32_t;

constexpr TColor ColorFromRaw(std::uint32_t raw) noexcept { return static_cast<TColor>(raw); }

inline constexpr TColor clNone = ColorFromRaw(0x1FFFFFFF);
inline constexpr TColor clDefault = ColorFromRaw(0x20000000);

inline constexpr TColor clBlack = ColorFromRaw(0x000000);
inline constexpr TColor clMaroon = ColorFromRaw(0x000080);
inline constexpr TColor clGreen = ColorFromRaw(0x008000);
inline constexpr TColor clOlive = ColorFromRaw(0x008080);
inline constexpr TColor clNavy = ColorFromRaw(0x800000);
inline constexpr TColor clPurple = ColorFromRaw(0x800080);
inline constexpr TColor clTeal = ColorFromRaw(0x808000);
inline constexpr TColor clGray = ColorFromRaw(0x808080);
inline constexpr TColor clSilver = ColorFromRaw(0xC0C0C0);
inline constexpr TColor clRed = ColorFromRaw(0x0000FF);
inline constexpr TColor clLime = ColorFromRaw(0x00FF00);
inline constexpr TColor clYellow = ColorFromRaw(0x00FFFF);
inline constexpr TColor clBlue = ColorFromRaw(0xFF0000);
inline constexpr TColor clFuchsia = ColorFromRaw(0xFF00FF);
inline constexpr TColor clAqua = ColorFromRaw(0xFFFF00);
inline constexpr TColor clWhite = ColorFromRaw(0xFFFFFF);

// System colours: 0xFF000000 | the system colour index.
inline constexpr std::uint32_t kSystemColorBase = 0xFF000000u;
constexpr TColor SystemColor(int index) noexcept {
    return ColorFromRaw(kSystemColorBase | static_cast<std::uint32_t>(index & 0xFF));
}
inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);
inline constexpr TColor clHotLight = SystemColor(26);
inline constexpr TColor clGradientActiveCaption = SystemColor(27);
inline constexpr TColor clGradientInactiveCaption = SystemColor(28);
inline constexpr TColor clMenuHighlight = SystemColor(29);
inline constexpr TColor clMenuBar = SystemColor(30);

// True only for a top byte of 0xFF; other negative values (pseudo-colours
// such as 0x80000400) are not system colours.
constexpr bool IsSystemColor(TColor color) noexcept {
    return (static_cast<std::uint32_t>(color) >> 24) == 0xFF;
}

// Answers the 0x00BBGGRR value of a system colour index (0..255). The
// Windows layer installs GetSysColor; until then, and in native builds, a
// fixed table of the classic scheme answers (0 for unknown indexes).
using TSysColorResolver = std::uint32_t (*)(int index);

// Installs resolver (nullptr restores the built-in table) and returns the
// previous one, so tests can inject and restore.
TSysColorResolver SetSysColorResolver(TSysColorResolver resolver) noexcept;

// A system colour becomes its current RGB value; every other value,
// including clNone and clDefault, is returned unchanged.
TColor ColorToRGB(TColor color) noexcept;

// ---------------------------------------------------------------------------
// Geometry

struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

// Right and bottom are exclusive.
struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    constexpr std::int32_t Width() const noexcept { return Right - Left; }
    constexpr std::int32_t Height() const noexcept { return Bottom - Top; }
    constexpr TPoint TopLeft() const noexcept { return {Left, Top}; }
    constexpr TPoint BottomRight() const noexcept { return {Right, Bottom}; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(std::int32_t x, std::int32_t y) noexcept { return {x, y}; }
constexpr TRect Rect(std::int32_t left, std::int32_t top, std::int32_t right,
                     std::int32_t bottom) noexcept {
    return {left, top, right, bottom};
}
constexpr TRect Bounds(std::int32_t left, std::int32_t top, std::int32_t width,
                       std::int32_t height) noexcept {
    return {left, top, left + width, top + height};
}

// True when p lies inside r (left/top inclusive, right/bottom exclusive).
constexpr bool PtInRect(const TRect& r, const TPoint& p) noexcept {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// Stores the intersection of a and b in dst and answers whether it is not
// empty; an empty intersection stores the all-zero rectangle. dst may alias
// a or b.
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) noexcept;

// number * numerator / denominator in 64-bit arithmetic, rounded half away
// from zero; -1 when denominator is 0 or the result does not fit in 32 bits.
// The twin of the platform's MulDiv (whose name it cannot share), so portable
// code computes the same values natively and on Windows.
std::int32_t PortableMulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator) noexcept;
