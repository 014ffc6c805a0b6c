#pragma once

#include <windows.h>

#include "controls/FileEditLogic.h"
#include "controls/TkToolEdit_win.h"
#include "framework/controls/FileDialogs_win.h"

class TOpenDialog;
struct IObjMgr;

// A name handed to and back from the dialog events: Action false stops (before) or tells of a
// cancel (after).
using TExecOpenDialogEvent = TDelegate<void(TObject* Sender, std::string& Name, bool& Action)>;

enum TFileDialogKind : std::uint8_t { dkOpen, dkSave, dkOpenPicture, dkSavePicture };

// A button edit for names of files and folders: it takes files dropped from the shell (each
// name read whole, however long) and has events around its dialog. Its default button image is
// the browse glyph of the program's resources ("TkFilenameEditGLYPH", or "TkFilenameEditXPGLYPH"
// under visual styles).
class TTkFileDirEdit : public TTkCustomComboEdit {
    FW_CLASS(TTkFileDirEdit, TTkCustomComboEdit)
public:
    explicit TTkFileDirEdit(TComponent* AOwner);

    bool AcceptFiles() const noexcept { return acceptFiles_; }
    // Registers or unregisters the window for dropped files at once.
    void SetAcceptFiles(bool Value);
    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;
    TNotifyEvent OnDropFiles;
    // Whether the path list of a kind is in use (the system may lack some).
    bool HasPathList(TShellList Kind) const noexcept { return pathLists_.List(Kind) != nullptr; }

    // The file-system names of the current name: long (name part) or short (8.3); empty when the
    // file is not found.
    virtual std::string LongName() { return std::string(); }
    virtual std::string ShortName() { return std::string(); }

    void WndProc(TMessage& Message) override;
    ~TTkFileDirEdit() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // The shell's multi-source list of path completions (in place of the edit's own items), or
    // none when the shell cannot make it.
    IEnumString* AutoCompleteSource() override;
    // The path lists for FileOptions, then the completion options.
    void ApplyAutoCompleteOptions() override;
    // The path lists wanted (none here).
    virtual TTkAutoCompleteFileOptions FileOptions() const { return {}; }
    // Re-applies the path lists after FileOptions changed (not at design time).
    void FileOptionsChanged();
    // A text holding a line break is cut before it; only a text without one is a change.
    void Change() override;
    int DefaultImageIndex() const override;
    TCustomImageList* DefaultImages() const override;

    // Takes one dropped name (false when a handler freed the edit).
    virtual bool TakeDroppedName(const std::string& Name) {
        (void)Name;
        return true;
    }
    virtual void ClearNames() {}
    // More than one dropped name is taken.
    bool MultipleNames = false;

private:
    class TShellLists;
    void FilesDropped(HDROP Drop);
    void ReleasePathLists();
    bool acceptFiles_ = true;
    IObjMgr* multiList_ = nullptr;
    TPathCompletionLists pathLists_;
};

// The file-name edit: its button runs a file dialog (open or save, with or without a picture
// preview) and its text is a file name, in double quotes where it holds a blank (AddQuotes).
class TTkFilenameEdit : public TTkFileDirEdit {
    FW_CLASS(TTkFilenameEdit, TTkFileDirEdit)
public:
    explicit TTkFilenameEdit(TComponent* AOwner);

    TOpenDialog* Dialog() const noexcept { return dialog_; }
    TFileDialogKind DialogKind() const noexcept { return dialogKind_; }
    // Replaces the dialog by one of the kind, with the old one's settings.
    void SetDialogKind(TFileDialogKind Value);
    bool AddQuotes = true;
    TTkAutoCompleteFileOptions AutoCompleteFileOptions() const noexcept { return fileOptions_; }
    void SetAutoCompleteFileOptions(TTkAutoCompleteFileOptions Value);

    // The text as a file name. Setting a non-empty invalid name raises EComboEditError and
    // changes nothing; any accepted name clears the collected names.
    std::string FileName();
    void SetFileName(const std::string& Value);

    const std::string& DefaultExt() const noexcept { return dialog_->DefaultExt; }
    void SetDefaultExt(const std::string& Value) { dialog_->DefaultExt = Value; }
    const std::string& DialogTitle() const noexcept { return dialog_->Title; }
    void SetDialogTitle(const std::string& Value) { dialog_->Title = Value; }
    bool IsDialogTitleStored() const { return dialog_->Title != "Browse"; }
    TFileEditStyle FileEditStyle() const noexcept { return dialog_->FileEditStyle; }
    void SetFileEditStyle(TFileEditStyle Value) { dialog_->FileEditStyle = Value; }
    const std::string& Filter() const noexcept { return dialog_->Filter; }
    void SetFilter(const std::string& Value) { dialog_->Filter = Value; }
    bool IsFilterStored() const;
    int FilterIndex() const noexcept { return dialog_->FilterIndex; }
    void SetFilterIndex(int Value) { dialog_->FilterIndex = Value; }
    TStrings* HistoryList() const noexcept { return dialog_->HistoryList; }
    void SetHistoryList(TStrings* Value) { dialog_->HistoryList = Value; }
    const std::string& InitialDir() const noexcept { return dialog_->InitialDir; }
    void SetInitialDir(const std::string& Value) { dialog_->InitialDir = Value; }
    TOpenOptions DialogOptions() const noexcept { return dialog_->Options; }
    // ofAllowMultiSelect takes several dropped names; without it the collected names go.
    void SetDialogOptions(TOpenOptions Value);

    std::string LongName() override;
    std::string ShortName() override;

protected:
    TTkAutoCompleteFileOptions FileOptions() const override { return fileOptions_; }
    // Runs the file dialog (the popup of this edit); DisableEdit is not used.
    void PopupDropDown(bool DisableEdit) override;
    bool TakeDroppedName(const std::string& Name) override;
    void ClearNames() override;

private:
    class TDialogHost;
    TFileProbe Probe() const;
    TOpenDialog* dialog_ = nullptr;
    TFileDialogKind dialogKind_ = dkOpen;
    TTkAutoCompleteFileOptions fileOptions_{acfFileSystem};
};
