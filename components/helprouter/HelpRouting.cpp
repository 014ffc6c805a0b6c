#include "components/helprouter/HelpRouting.h"

#include "framework/core/FileNames.h"
#include "framework/core/SysUtils.h"

using namespace help_commands;

namespace {

bool HasFolder(const std::string& path) {
    return !ExtractFilePath(path).empty();
}

} // namespace

std::string PopupSource(const std::string& HelpFile, const std::string& PopupTopics) {
    return ChangeFileExt(HelpFile, ".chm") + "::/" +
           (PopupTopics.empty() ? std::string("CSHelp.txt") : PopupTopics);
}

std::string ResolveHelpFile(const std::string& Name, const std::string& ProgramFolder) {
    if (Name.empty() || HasFolder(Name) || ProgramFolder.empty())
        return Name;
    // The router names Windows files: its separator is the backslash in every build.
    std::string folder = ProgramFolder;
    if (!ExtractFileName(folder).empty())
        folder += '\\';
    return folder + Name;
}

THelpAction RouteHelpRequest(THelpRequestState& State, unsigned Command, std::intptr_t Data,
                             THelpPoint Cursor) {
    THelpAction a;
    if (State.ShowType == stMain) {
        if (Command == kContextPopup)
            Command = kContext;
        else if (Command == kSetPopupPos)
            Command = 0;
    }
    const bool viewer =
        State.HelpType == htHTMLhelp ||
        (State.HelpType == htMixedMode && Command != kContextPopup && Command != kSetPopupPos);
    if (!viewer) {
        if (Command == 0) {
            a.Result = true;
            return a;
        }
        std::string path = State.HelpFile;
        if (Command == kContextPopup && State.HelpType == htMixedMode &&
            LowerCase(ExtractFileExt(State.PopupTopics)) == ".hlp") {
            path = HasFolder(State.PopupTopics) ? State.PopupTopics
                                                : ExtractFilePath(path) + State.PopupTopics;
        }
        a.Kind = THelpAction::WinHelp;
        a.Path = ChangeFileExt(path, ".hlp");
        a.Command = Command;
        a.Data = Data;
        return a;
    }
    if (Command == kQuit && !State.ViewerLoaded) {
        a.Result = true;
        return a;
    }
    if (!State.ViewerAvailable || !State.ViewerAvailable()) {
        a.Kind = THelpAction::Fallback;
        a.CallHelp = true;
        return a;
    }
    a.Path = ChangeFileExt(State.HelpFile, ".chm");
    a.Kind = THelpAction::Viewer;
    switch (Command) {
    case kContext:
        a.ViewerCommand = kHelpContext;
        a.Data = Data;
        break;
    case kQuit:
        a.ViewerCommand = kCloseAll;
        a.Path.clear();
        break;
    case kIndex:
    case kFinder:
        a.ViewerCommand = kDisplayToc;
        break;
    case kContextPopup:
        a.Kind = THelpAction::Popup;
        a.PopupAt = State.PopupPos == THelpPoint{} ? Cursor : State.PopupPos;
        a.Data = Data;
        a.Result = true;
        State.PopupPos = {};
        break;
    case kSetPopupPos:
        a.Kind = THelpAction::None;
        State.PopupPos = {static_cast<std::int16_t>(Data & 0xFFFF),
                          static_cast<std::int16_t>((Data >> 16) & 0xFFFF)};
        break;
    case kTab:
        a.ViewerCommand = Data != 0 ? kDisplayIndex : kDisplayToc;
        break;
    case kKey:
    case kPartialKey:
        a.ViewerCommand = kDisplayIndex;
        a.Data = Data;
        break;
    default:
        a.Kind = THelpAction::None;
        break;
    }
    return a;
}
