#pragma once

#include <windows.h>

#include <string>

#include "framework/controls/FileDialogRules.h"
#include "framework/core/Component.h"
#include "framework/core/Exceptions.h"

class TStringList;
class TStrings;

// The system's file dialog failed (it was not cancelled): the message holds its error code.
FW_DECLARE_EXCEPTION(EFileDialogError, Exception);

// The system's open dialog. It is owned by the application window, and the program's forms take
// no input while it is open. Execute answers whether a name was chosen; a dialog that cannot
// open raises EFileDialogError.
class TOpenDialog : public TComponent {
    FW_CLASS(TOpenDialog, TComponent)
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;

    virtual bool Execute();

    std::string FileName;
    // The chosen names (one, or every name of a multiple selection), full paths.
    TStringList* Files() const noexcept { return files_; }
    // "Description|pattern|..." pairs.
    std::string Filter;
    int FilterIndex = 1;
    std::string InitialDir;
    std::string DefaultExt;
    std::string Title;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    TFileEditStyle FileEditStyle = fsEdit;
    // Not owned; names the caller keeps for a combo-box style (kept, not shown by these dialogs).
    TStrings* HistoryList = nullptr;
    int HelpContext = 0;

protected:
    // The system call: GetOpenFileNameA here.
    virtual BOOL RunSystemDialog(OPENFILENAMEA& Params);

private:
    TStringList* files_ = nullptr;
};

class TSaveDialog : public TOpenDialog {
    FW_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    BOOL RunSystemDialog(OPENFILENAMEA& Params) override;
};

// The picture variants: the same dialogs (without a preview pane).
class TOpenPictureDialog : public TOpenDialog {
    FW_CLASS(TOpenPictureDialog, TOpenDialog)
public:
    explicit TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
};

class TSavePictureDialog : public TSaveDialog {
    FW_CLASS(TSavePictureDialog, TSaveDialog)
public:
    explicit TSavePictureDialog(TComponent* AOwner) : TSaveDialog(AOwner) {}
};
