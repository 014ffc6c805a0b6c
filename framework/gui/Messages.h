#pragma once

#include <cstdint>

// Message numbers of the class library, beside the window system's own.
//
// Component notifications (CM_*) tell a control about changes; they travel
// only through in-process Perform calls, never through the window system,
// because several carry object pointers. Reflected messages (CN_*) are the
// notifications a parent window receives about a child (WM_COMMAND,
// WM_NOTIFY, ...) handed on to the child's object; they sit in a range above
// every number the notifications and the toolkit use.
//
// WM_USER .. WM_USER+13 (0x400-0x40D) are never sent to a form by the
// library: another process talks to the program's forms with those numbers.

inline constexpr std::uint32_t CM_BASE = 0xB000;
inline constexpr std::uint32_t CM_PRIVATE_LAST = 0xBFFF;

// Dialog key: wParam key, lParam key data; result not 0 = used.
inline constexpr std::uint32_t CM_DIALOGKEY = 0xB005;
// Dialog character: wParam character, lParam key data; result 1 = used.
inline constexpr std::uint32_t CM_DIALOGCHAR = 0xB006;
// Focus moved: lParam the newly focused control (TWinControl*).
inline constexpr std::uint32_t CM_FOCUSCHANGED = 0xB007;
inline constexpr std::uint32_t CM_PARENTFONTCHANGED = 0xB008;
inline constexpr std::uint32_t CM_PARENTCOLORCHANGED = 0xB009;
// Hit test: lParam the point as two signed 16-bit halves (x low);
// result not 0 = the point hits the control.
inline constexpr std::uint32_t CM_HITTEST = 0xB00A;
inline constexpr std::uint32_t CM_VISIBLECHANGED = 0xB00B;
inline constexpr std::uint32_t CM_ENABLEDCHANGED = 0xB00C;
inline constexpr std::uint32_t CM_COLORCHANGED = 0xB00D;
inline constexpr std::uint32_t CM_FONTCHANGED = 0xB00E;
inline constexpr std::uint32_t CM_CURSORCHANGED = 0xB00F;
inline constexpr std::uint32_t CM_TEXTCHANGED = 0xB012;
// Mouse entered / left: lParam the control itself.
inline constexpr std::uint32_t CM_MOUSEENTER = 0xB013;
inline constexpr std::uint32_t CM_MOUSELEAVE = 0xB014;
inline constexpr std::uint32_t CM_SHOWINGCHANGED = 0xB019;
inline constexpr std::uint32_t CM_SHOWHINTCHANGED = 0xB022;
inline constexpr std::uint32_t CM_PARENTSHOWHINTCHANGED = 0xB023;
inline constexpr std::uint32_t CM_SYSCOLORCHANGE = 0xB024;
// Control list change: wParam the control, lParam 1 inserting / 0 removing.
// Insert: CM_CONTROLLISTCHANGE(1) before, CM_CONTROLCHANGE(1) after.
// Remove: CM_CONTROLCHANGE(0) before, CM_CONTROLLISTCHANGE(0) after.
inline constexpr std::uint32_t CM_CONTROLLISTCHANGE = 0xB02C;
inline constexpr std::uint32_t CM_CONTROLCHANGE = 0xB036;
// Hint about to show: lParam THintInfo*; result not 0 suppresses the hint.
inline constexpr std::uint32_t CM_HINTSHOW = 0xB030;
inline constexpr std::uint32_t CM_INVALIDATE = 0xB034;
// Button pressed: wParam group, lParam sender. Reserved for the speed button.
inline constexpr std::uint32_t CM_BUTTONPRESSED = 0xB051;

// Numbers owned by users of the library; the library never sends them.
inline constexpr std::uint32_t CM_TRAYCALLBACK_RESERVED = 0xB054;
inline constexpr std::uint32_t CM_SELFPOSTED_RESERVED = 0xB300;
inline constexpr std::uint32_t CM_INTERFACEQUERY_RESERVED = 0xB7D0;

// Unnumbered notifications, in free numbers of 0xB000-0xB0FF.
inline constexpr std::uint32_t CM_CANCELMODE = 0xB040; // lParam the control that takes over
inline constexpr std::uint32_t CM_ENTER = 0xB041;      // focus enters the control
inline constexpr std::uint32_t CM_EXIT = 0xB042;       // focus leaves the control

// Reflected notifications: CN_BASE + the original message number.
inline constexpr std::uint32_t CN_BASE = 0xBC00;
inline constexpr std::uint32_t CN_COMMAND = CN_BASE + 0x0111;        // WM_COMMAND
inline constexpr std::uint32_t CN_NOTIFY = CN_BASE + 0x004E;         // WM_NOTIFY
inline constexpr std::uint32_t CN_DRAWITEM = CN_BASE + 0x002B;       // WM_DRAWITEM
inline constexpr std::uint32_t CN_MEASUREITEM = CN_BASE + 0x002C;    // WM_MEASUREITEM
inline constexpr std::uint32_t CN_CTLCOLORMSGBOX = CN_BASE + 0x0132; // WM_CTLCOLORMSGBOX
inline constexpr std::uint32_t CN_CTLCOLOREDIT = CN_BASE + 0x0133;
inline constexpr std::uint32_t CN_CTLCOLORLISTBOX = CN_BASE + 0x0134;
inline constexpr std::uint32_t CN_CTLCOLORBTN = CN_BASE + 0x0135;
inline constexpr std::uint32_t CN_CTLCOLORDLG = CN_BASE + 0x0136;
inline constexpr std::uint32_t CN_CTLCOLORSCROLLBAR = CN_BASE + 0x0137;
inline constexpr std::uint32_t CN_CTLCOLORSTATIC = CN_BASE + 0x0138;
inline constexpr std::uint32_t CN_KEYDOWN = CN_BASE + 0x0100;
inline constexpr std::uint32_t CN_CHAR = CN_BASE + 0x0102;
inline constexpr std::uint32_t CN_SYSKEYDOWN = CN_BASE + 0x0104;
inline constexpr std::uint32_t CN_SYSCHAR = CN_BASE + 0x0106;
