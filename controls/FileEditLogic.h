#pragma once

// The file-name edit's rules apart from any window: quoting and unquoting names, the checks of
// a name set from code, the cut at a line break, and the run of the file dialog over a seam
// that stands for the edit, its dialog and the process's error mode.

#include <cstdint>
#include <functional>
#include <string>

#include "controls/TkTypes.h"

// A file name the edit cannot take.
FW_DECLARE_EXCEPTION(EComboEditError, ETkException);

// Whether a name is an existing file or folder.
struct TFileProbe {
    std::function<bool(const std::string&)> FileExists;
    std::function<bool(const std::string&)> DirectoryExists;
};

// An existing file stays; an existing folder gets a trailing delimiter; anything else is split
// like a command line and its first item taken (quotes removed).
std::string UnquoteFileName(const std::string& name, const TFileProbe& probe);
// Names holding a blank (and not starting with a quote) are put between double quotes.
std::string QuoteFileName(const std::string& name);
// The text that FileName := Value leaves: the quoted (or plain) value. Raises EComboEditError
// ("Invalid file name - <value>") for a non-empty value whose unquoted form is not a valid name.
std::string FileNameText(const std::string& value, bool addQuotes, const TFileProbe& probe);
// The text cut before its first line feed, or without one before its first carriage return;
// Cut tells whether it was.
std::string CutAtLineBreak(const std::string& text, bool& cut);

// The error mode the dialog runs under: no critical-error and no open-file error boxes.
inline constexpr std::uint32_t kDialogErrorMode = 0x8001;

// What the dialog run needs of the edit and its dialog. The event calls answer false when the
// handler freed the edit: the run then stops without touching anything more.
class TFileDialogHost {
public:
    virtual ~TFileDialogHost() = default;
    virtual std::string UnquotedText() = 0;
    virtual bool BeforeDialog(std::string& name, bool& action) = 0;
    virtual bool AfterDialog(std::string& name, bool& action) = 0;
    virtual bool DirectoryExists(const std::string& name) = 0;
    virtual void SetInitialDir(const std::string& dir) = 0;
    virtual std::string DialogFileName() = 0;
    virtual void SetDialogFileName(const std::string& name) = 0;
    virtual void PrepareDialog() = 0; // the help context
    virtual std::uint32_t SetErrorMode(std::uint32_t mode) = 0;
    // Raises when the dialog fails; false for a cancel.
    virtual bool ExecuteDialog() = 0;
    virtual void FocusEdit() = 0;
    // False when a change handler freed the edit.
    virtual bool SetText(const std::string& text) = 0;
};

// Runs the dialog for the edit's name: the events around it, the folder and name it starts
// with, the error mode (restored however the run ends) and the chosen name into the text.
void RunFileDialog(TFileDialogHost& host, bool addQuotes);

enum TTkAutoCompleteFileOption : std::uint8_t {
    acfFileSystem,
    acfFileSysDirs,
    acfURLHistory,
    acfURLMRU
};
using TTkAutoCompleteFileOptions = TSet<TTkAutoCompleteFileOption>;

// The lists the shell's multi-source list may hold for path completion.
enum class TShellList : std::uint8_t { RecentlyUsed, History, Folders };

// The shell objects as the path completion sees them (the Windows side makes and links the
// real ones; tests count the calls).
class TShellListSeam {
public:
    virtual ~TShellListSeam() = default;
    // A new list, or nullptr when the system has no such object.
    virtual void* Create(TShellList kind) = 0;
    virtual void Append(void* list) = 0;
    virtual void Remove(void* list) = 0;
    virtual void Release(void* list) = 0;
    // The folder list's options: 16 (file system) or 48 (file-system folders only).
    virtual void SetFolderOptions(void* list, std::uint32_t options) = 0;
};

// The lists made for the options: each made once when its option comes on (and skipped when it
// cannot be made), removed and released when it goes off.
class TPathCompletionLists {
public:
    void Apply(TTkAutoCompleteFileOptions options, TShellListSeam& seam);
    void ReleaseAll(TShellListSeam& seam);
    void* List(TShellList kind) const noexcept { return lists_[static_cast<int>(kind)]; }

private:
    void Want(TShellList kind, bool on, TShellListSeam& seam);
    void* lists_[3] = {};
};
