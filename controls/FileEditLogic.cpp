#include "controls/FileEditLogic.h"

#include "controls/ToolkitText.h"
#include "framework/core/FileNames.h"
#include "framework/core/Format.h"

std::string UnquoteFileName(const std::string& name, const TFileProbe& probe) {
    if (!name.empty() && probe.FileExists(name))
        return name;
    if (!name.empty() && probe.DirectoryExists(name))
        return IncludeTrailingPathDelimiter(name);
    return SplitProgramAndParams(name).Program;
}

std::string QuoteFileName(const std::string& name) {
    if (name.find(' ') == std::string::npos || name.starts_with('"'))
        return name;
    return '"' + name + '"';
}

std::string FileNameText(const std::string& value, bool addQuotes, const TFileProbe& probe) {
    if (!value.empty() && !IsFileNameValid(UnquoteFileName(value, probe)))
        throw EComboEditError(Format("Invalid file name - %s", {value}));
    return addQuotes ? QuoteFileName(value) : value;
}

std::string CutAtLineBreak(const std::string& text, bool& cut) {
    std::size_t at = text.find('\n');
    if (at == std::string::npos)
        at = text.find('\r');
    cut = at != std::string::npos;
    return cut ? text.substr(0, at) : text;
}

void RunFileDialog(TFileDialogHost& host, bool addQuotes) {
    std::string name = host.UnquotedText();
    bool action = true;
    if (!host.BeforeDialog(name, action) || !action)
        return;
    if (IsFileNameValid(name)) {
        try {
            const std::string dir = ExtractFilePath(name);
            if (!dir.empty() && host.DirectoryExists(dir))
                host.SetInitialDir(dir);
            const std::string part = ExtractFileName(name);
            if (part.empty() || !IsFileNameValid(part))
                name.clear();
            host.SetDialogFileName(name);
        } catch (...) {
            // The dialog then starts from the name of its last run.
        }
    }
    host.PrepareDialog();
    const std::uint32_t previous = host.SetErrorMode(kDialogErrorMode);
    try {
        action = host.ExecuteDialog();
    } catch (...) {
        host.SetErrorMode(previous);
        throw;
    }
    host.SetErrorMode(previous);
    if (action)
        name = host.DialogFileName();
    host.FocusEdit();
    if (!host.AfterDialog(name, action) || !action)
        return;
    if (!host.SetText(addQuotes ? QuoteFileName(name) : name))
        return;
    host.SetInitialDir(ExtractFilePath(host.DialogFileName()));
}

void TPathCompletionLists::Want(TShellList kind, bool on, TShellListSeam& seam) {
    void*& list = lists_[static_cast<int>(kind)];
    if (on && list == nullptr) {
        list = seam.Create(kind);
        if (list != nullptr)
            seam.Append(list);
    } else if (!on && list != nullptr) {
        void* gone = list;
        list = nullptr;
        seam.Remove(gone);
        seam.Release(gone);
    }
}

void TPathCompletionLists::Apply(TTkAutoCompleteFileOptions options, TShellListSeam& seam) {
    Want(TShellList::RecentlyUsed, options.Contains(acfURLMRU), seam);
    Want(TShellList::History, options.Contains(acfURLHistory), seam);
    const bool folders = options.Contains(acfFileSystem) || options.Contains(acfFileSysDirs);
    Want(TShellList::Folders, folders, seam);
    if (void* list = List(TShellList::Folders))
        seam.SetFolderOptions(list, options.Contains(acfFileSysDirs) ? 48u : 16u);
}

void TPathCompletionLists::ReleaseAll(TShellListSeam& seam) {
    for (void*& list : lists_)
        if (list != nullptr) {
            void* gone = list;
            list = nullptr;
            seam.Release(gone);
        }
}
