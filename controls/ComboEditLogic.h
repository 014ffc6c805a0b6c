#pragma once

// The button edit's decisions apart from any window: where the embedded button sits, the text
// margins it leaves, the minimum height, the button width with its hidden state, the ellipsis
// glyph's dots, the read-only and clipboard rules, the key decisions and the group peers. The
// control (TkToolEdit_win) carries them out.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "controls/TkTypes.h"
#include "framework/core/ShortCut.h"
#include "framework/core/Types.h"

enum TTkImageKind : std::uint8_t { ikCustom, ikDefault, ikDropDown, ikEllipsis };

using TClipboardCommand = TTkClipboardCommand;
using TClipboardCommands = TTkClipboardCommands;
inline constexpr TClipboardCommands kAllClipboardCommands{caCopy, caCut, caPaste, caClear, caUndo};

// What decides the edit's frame: the system look (new since the 32-bit shells), visual styles,
// a single border and the sunken (3-D) edge.
struct TComboFrameLook {
    bool NewLook = true;
    bool Themed = false;
    bool SingleBorder = true;
    bool Ctl3D = true;
};

// The button host's bounds inside an edit of Width x Height for a button ButtonWidth wide.
TRect ButtonHostBounds(const TComboFrameLook& look, int width, int height,
                       int buttonWidth) noexcept;

struct TComboTextMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0; // the button host's width + 2 included
};

TComboTextMargins ComboTextMargins(const TComboFrameLook& look, int hostWidth) noexcept;

// The formatting rectangle the margins give in an edit Width wide with a ClientHeight tall
// client area.
TRect ComboFormattingRect(const TComboTextMargins& margins, int width, int clientHeight) noexcept;

// The smallest height the edit takes for a font FontHeight tall (the system font SystemHeight
// tall); the edit is never made lower by it.
int ComboMinimumHeight(const TComboFrameLook& look, int borderHeight, int fontHeight,
                       int systemHeight) noexcept;

// The button width the edit stores in form data only when it differs from this one.
// defaultImageWidth: the width of the kind's default image list, or -1 without a default image.
int DefaultButtonWidth(TTkImageKind kind, int defaultImageWidth, int vScrollWidth) noexcept;

// The image kind an old form's "GlyphKind" identifier names ("gkCustom" ... "gkEllipsis", any
// case); -1 for any other text.
int ImageKindFromGlyphKind(std::string_view identifier) noexcept;

// The button's width with its hidden state: a width below 2 hides the button and remembers
// the width it had, showing it again brings that width back.
class TComboButtonWidth {
public:
    enum class TStep : std::uint8_t {
        Ignored, // nothing changes
        Saved,   // only the remembered width changed (the button is hidden)
        Hidden,  // the host is hidden now
        Resized  // the host and the button take Width(); the host keeps its right edge
    };

    bool Shown() const noexcept { return shown_; }
    // The button's width while shown, the remembered one while hidden.
    int Read() const noexcept { return shown_ ? width_ : saved_; }
    // The width of the shown button (0 while hidden is not implied: the host keeps it).
    int Width() const noexcept { return width_; }
    int Saved() const noexcept { return saved_; }

    // A new width; Limit is the edit's client width: a width that leaves no room for the text
    // is ignored. While Constructing the width is taken as it is.
    TStep Set(int value, int limit, bool constructing = false) noexcept;
    // ShowButton: True brings the remembered width back, False hides the button.
    TStep Show(bool value, int limit) noexcept;

private:
    bool shown_ = true;
    int width_ = 21;
    int saved_ = 21;
};

// The ellipsis glyph for a button ButtonWidth wide: a monochrome bitmap Width x 4 with three
// 2 x 2 dots on row 1 at DotX (dots may lie partly or wholly outside a narrow bitmap).
struct TEllipsisGlyph {
    int Width = 1;
    int Height = 4;
    std::array<int, 3> DotX{};
};

TEllipsisGlyph EllipsisGlyph(int buttonWidth) noexcept;

// Read-only rules: the window is read-only when the edit's own flag is on or typing is off;
// cutting and pasting need typing on and the own flag off.
constexpr bool WindowReadOnly(bool ownReadOnly, bool directInput) noexcept {
    return ownReadOnly || !directInput;
}
constexpr bool MayCutOrPaste(bool ownReadOnly, bool directInput) noexcept {
    return directInput && !ownReadOnly;
}
// A read-only edit keeps copying only.
constexpr TClipboardCommands ClipboardCommandsFor(TClipboardCommands value,
                                                  bool ownReadOnly) noexcept {
    return ownReadOnly ? (value & TClipboardCommands{caCopy}) : value;
}
// The button action runs unless the edit is read-only and the button is not kept enabled.
constexpr bool ButtonActionAllowed(bool ownReadOnly, bool keepButtonEnabled) noexcept {
    return !ownReadOnly || keepButtonEnabled;
}

// Key down: Ctrl+Tab and Ctrl+Enter belong to the form.
bool IsFormKeyChord(std::uint16_t key, TShiftState shift) noexcept;
// Key down: the click key runs the button action while the read button width is above 0.
bool IsClickKeyChord(std::uint16_t key, TShiftState shift, TShortCut clickKey,
                     int readButtonWidth) noexcept;

// Key press: what a character does.
struct TComboCharStep {
    bool ClosePopup = false; // the popup closes (accepting when Accept)
    bool Accept = false;
    bool DialogKey = false;    // the form gets the dialog-key notice with the key
    bool EditThenDrop = false; // the edit's own key press runs, then the key is dropped
    bool FormKeyPress = false; // the form's key press runs, the key is dropped
    bool Drop = false;         // the window never sees the key
    friend constexpr bool operator==(const TComboCharStep&, const TComboCharStep&) = default;
};

TComboCharStep ComboCharStep(char key, bool popupShown) noexcept;

// A button edit among its owner's components, as group clearing sees it.
struct TGroupMember {
    const void* Id = nullptr;
    int GroupIndex = -1;
};

// The members whose text a group clear of Self (in group GroupIndex) empties: the others of the
// same group, told apart by identity. None for group -1.
std::vector<const void*> GroupPeersToClear(const void* self, int groupIndex,
                                           std::span<const TGroupMember> members);

enum TTkPopupAlign : std::uint8_t { epaRight, epaLeft };

// Where a popup PopupWidth x PopupHeight opens for an edit at EditTopLeft (screen) of
// EditWidth x EditHeight on a monitor: below the edit, or above it when it would pass the
// monitor's bottom; right-aligned with the edit (or left-aligned), moved to stay on the monitor.
TPoint PopupPlacement(TPoint editTopLeft, int editWidth, int editHeight, int popupWidth,
                      int popupHeight, const TRect& monitor, TTkPopupAlign align) noexcept;

// The answers of a string enumerator (the shell reads the auto-complete items through one).
enum class TEnumAnswer : std::uint8_t { Ok, False, OutOfMemory, Fail, InvalidArg };

// The position of a string enumerator over a list of Count items, and its steps. The strings
// are made by the caller's allocator; a failure frees what the step made.
class TStringEnumCursor {
public:
    std::uint32_t Index = 0;

    // Up to Wanted strings from Index into Out (Make(i) gives the string of item i or nullptr
    // when it cannot be allocated; Release frees one). Fetched may be null only when one
    // string is asked for. Ok when Wanted strings were given, else False.
    template <class TMake, class TRelease>
    TEnumAnswer Next(std::uint32_t Count, std::uint32_t Wanted, void** Out, std::uint32_t* Fetched,
                     TMake Make, TRelease Release) {
        if (Out == nullptr)
            return TEnumAnswer::Fail;
        if (Fetched == nullptr && Wanted != 1)
            return TEnumAnswer::InvalidArg;
        std::uint32_t given = 0;
        while (given < Wanted && Index < Count) {
            void* s = Make(Index);
            if (s == nullptr) {
                for (std::uint32_t i = 0; i < given; ++i) {
                    Release(Out[i]);
                    Out[i] = nullptr;
                }
                Index -= given;
                if (Fetched != nullptr)
                    *Fetched = 0;
                return TEnumAnswer::OutOfMemory;
            }
            Out[given++] = s;
            ++Index;
        }
        if (Fetched != nullptr)
            *Fetched = given;
        return given == Wanted ? TEnumAnswer::Ok : TEnumAnswer::False;
    }

    // Moves on by N, never past the end (nor around 32 bits): False when it would.
    TEnumAnswer Skip(std::uint32_t Count, std::uint32_t N) noexcept;
    void Reset() noexcept { Index = 0; }
};
