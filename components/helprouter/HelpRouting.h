#pragma once

// The help router's decisions apart from any window: which engine a help request goes to and
// with what, the popup position it keeps, and the paths it names.

#include <cstdint>
#include <functional>
#include <string>

enum THelpType : std::uint8_t { htWinhelp, htHTMLhelp, htMixedMode };
enum TShowType : std::uint8_t { stDefault, stMain, stPopup };

// The help commands of the classic engine and the viewer commands they become.
namespace help_commands {
inline constexpr unsigned kContext = 1, kQuit = 2, kIndex = 3, kContextPopup = 8, kFinder = 11,
                          kSetPopupPos = 13, kTab = 15, kKey = 0x101, kPartialKey = 0x105;
inline constexpr unsigned kDisplayToc = 1, kDisplayIndex = 2, kDisplayTextPopup = 0x0E,
                          kHelpContext = 0x0F, kCloseAll = 0x12;
} // namespace help_commands

struct THelpPoint {
    int X = 0, Y = 0;
    friend bool operator==(const THelpPoint&, const THelpPoint&) = default;
};

// What one request asks for.
struct THelpAction {
    enum TKind : std::uint8_t {
        None,     // nothing is called
        WinHelp,  // the classic engine: Path, Command, Data
        Viewer,   // the viewer: Path (empty: none), ViewerCommand, Data
        Popup,    // a text popup of context Data at PopupAt
        Fallback, // the viewer is missing: the application's own engine runs
    };
    TKind Kind = None;
    std::string Path;
    unsigned Command = 0;
    unsigned ViewerCommand = 0;
    std::intptr_t Data = 0;
    THelpPoint PopupAt;
    // The result when no call is made (a call's own result replaces it).
    bool Result = false;
    bool CallHelp = false;
};

struct THelpRequestState {
    THelpType HelpType = htWinhelp;
    TShowType ShowType = stDefault;
    std::string HelpFile;         // the current help file
    std::string PopupTopics;      // CHMPopupTopics
    bool ViewerLoaded = false;    // the library is loaded already
    // Loads the viewer when it is not loaded yet and answers whether its entry point is known;
    // asked only for requests the viewer serves (a quit before any help loads nothing).
    std::function<bool()> ViewerAvailable;
    THelpPoint PopupPos;          // (0, 0): none set
};

// The request's action; the popup position is read, set or reset in State. Cursor is where the
// mouse stands, for a popup without a position.
THelpAction RouteHelpRequest(THelpRequestState& State, unsigned Command, std::intptr_t Data,
                             THelpPoint Cursor);

// The text-popup source: "<file>.chm::/<topics>", "CSHelp.txt" for empty topics.
std::string PopupSource(const std::string& HelpFile, const std::string& PopupTopics);
// A help file named without a folder is looked for in the program's folder.
std::string ResolveHelpFile(const std::string& Name, const std::string& ProgramFolder);
