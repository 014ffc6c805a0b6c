#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "controls/TkTypes.h"
#include "framework/core/Types.h"

// Text and command-line helpers of the toolkit's controls; nothing here needs
// the window system.

// True when the name is not empty and holds none of / < > " ? * |
// (backslashes and colons pass: paths are names too).
bool IsFileNameValid(std::string_view name) noexcept;

// True when the last path component holds a wildcard (* or ?): a file
// search on such a name would answer some other file.
bool LastComponentHasWildcard(std::string_view path) noexcept;

// The pixel width of a text, as the canvas would draw it.
using TTextMeasurer = std::function<int(std::string_view text)>;
// True for the first byte of a two-byte character of the current code page.
using TLeadBytePredicate = std::function<bool(unsigned char byte)>;

// Shortens text until it fits maxWidth: the first shortening drops two
// characters and appends "...", each further step one more character; "..."
// alone is the shortest answer, returned even when it does not fit. Cuts
// fall on character boundaries (isLeadByte tells two-byte characters; empty
// means one byte each).
std::string ShortenTextToWidth(std::string_view text, int maxWidth, const TTextMeasurer& measure,
                               const TLeadBytePredicate& isLeadByte = {});

// One parameter of a command line from pos on: blanks and control codes
// and pairs of double quotes are skipped, then characters above 32 are
// collected (bytes compare unsigned, so accented letters belong to the
// parameter); a double quote starts a run kept whole, blanks included, up
// to the next one. pos ends after the parameter. No length cap: a cut would
// change a file name silently.
std::string NextCommandLineParam(std::string_view text, std::size_t& pos);
// The number of parameters (up to the first empty one).
int CommandLineParamCount(std::string_view text);
// Parameter index (0 = the program), empty when there are fewer.
std::string CommandLineParamAt(std::string_view text, int index);

struct TProgramAndParams {
    std::string Program;
    std::string Params; // blank-separated; quotes only around parameters that hold a blank
    // (or another code up to 32)
};
TProgramAndParams SplitProgramAndParams(std::string_view commandLine);

constexpr int RectWidth(const TRect& r) noexcept {
    return r.Right - r.Left;
}
constexpr int RectHeight(const TRect& r) noexcept {
    return r.Bottom - r.Top;
}

// The checker pattern: pixels whose coordinates have the same parity take
// the second colour.
constexpr bool CheckerTakesSecondColor(int x, int y) noexcept {
    return ((x + y) & 1) == 0;
}

// The font attributes that font tracking copies.
struct TTkFontAttributes {
    int CharSet = 1;
    TColor Color = clBlack;
    int Height = 0;
    std::string Name;
    int Pitch = 0;
    std::uint32_t Style = 0;
    friend bool operator==(const TTkFontAttributes&, const TTkFontAttributes&) = default;
};

// Copies the source's attributes into target unless preserved; nothing at
// all without hoFollowFont.
void ApplyTrackedFont(TTkFontAttributes& target, const TTkFontAttributes& source,
                      TTkTrackFontOptions options);
