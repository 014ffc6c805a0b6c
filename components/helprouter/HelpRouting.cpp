#include "components/helprouter/HelpRouting.h"

#include <cctype>

using namespace help_commands;

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

std::size_t NameStart(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1]))
            return i;
    return 0;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Extension(const std::string& path) {
    const std::size_t start = NameStart(path);
    const std::size_t dot = path.rfind('.');
    return dot == std::string::npos || dot < start ? std::string() : path.substr(dot);
}

} // namespace

std::string ChangeHelpExtension(const std::string& Path, const std::string& Ext) {
    const std::size_t start = NameStart(Path);
    const std::size_t dot = Path.rfind('.');
    if (dot == std::string::npos || dot < start)
        return Path + Ext;
    return Path.substr(0, dot) + Ext;
}

std::string PopupSource(const std::string& HelpFile, const std::string& PopupTopics) {
    return ChangeHelpExtension(HelpFile, ".chm") + "::/" +
           (PopupTopics.empty() ? std::string("CSHelp.txt") : PopupTopics);
}

std::string ResolveHelpFile(const std::string& Name, const std::string& ProgramFolder) {
    if (Name.empty() || NameStart(Name) != 0 || ProgramFolder.empty())
        return Name;
    std::string folder = ProgramFolder;
    if (!IsSeparator(folder.back()))
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
            Lower(Extension(State.PopupTopics)) == ".hlp") {
            path = NameStart(State.PopupTopics) != 0
                       ? State.PopupTopics
                       : path.substr(0, NameStart(path)) + State.PopupTopics;
        }
        a.Kind = THelpAction::WinHelp;
        a.Path = ChangeHelpExtension(path, ".hlp");
        a.Command = Command;
        a.Data = Data;
        return a;
    }
    if (Command == kQuit && !State.ViewerLoaded) {
        a.Result = true;
        return a;
    }
    if (!State.ViewerAvailable) {
        a.Kind = THelpAction::Fallback;
        a.CallHelp = true;
        return a;
    }
    a.Path = ChangeHelpExtension(State.HelpFile, ".chm");
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
