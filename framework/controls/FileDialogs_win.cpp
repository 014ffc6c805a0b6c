#include "framework/controls/FileDialogs_win.h"

#include <commdlg.h>

#include <vector>

#include "framework/core/Format.h"
#include "framework/core/StringList.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Form_win.h"

namespace {

// Room for a multiple selection of many long names.
constexpr std::size_t kNameBufferSize = 64 * 1024;

} // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {
    files_ = new TStringList();
}

TOpenDialog::~TOpenDialog() {
    files_->Free();
}

BOOL TOpenDialog::RunSystemDialog(OPENFILENAMEA& Params) {
    return GetOpenFileNameA(&Params);
}

BOOL TSaveDialog::RunSystemDialog(OPENFILENAMEA& Params) {
    return GetSaveFileNameA(&Params);
}

bool TOpenDialog::Execute() {
    std::vector<char> name(kNameBufferSize, '\0');
    FileName.copy(name.data(), std::min(FileName.size(), name.size() - 2));
    const std::string filter = FilterToNulPairs(Filter);
    const std::string ext = DefaultExt.starts_with('.') ? DefaultExt.substr(1) : DefaultExt;
    OPENFILENAMEA params{};
    params.lStructSize = sizeof params;
    params.hwndOwner = Application != nullptr ? Application->Handle() : nullptr;
    params.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    params.nFilterIndex = static_cast<DWORD>(FilterIndex);
    params.lpstrFile = name.data();
    params.nMaxFile = static_cast<DWORD>(name.size() - 1);
    params.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    params.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    params.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    params.Flags = OpenOptionsToFlags(Options);
    BOOL chosen = FALSE;
    {
        TDisabledTaskWindows disabled(params.hwndOwner);
        chosen = RunSystemDialog(params);
    }
    if (chosen == FALSE) {
        const DWORD error = CommDlgExtendedError();
        if (error != 0)
            throw EFileDialogError(
                Format("The file dialog failed (error 0x%.4x)", {static_cast<int>(error)}));
        return false;
    }
    Options = OptionsAfterDialog(Options, params.Flags);
    FilterIndex = static_cast<int>(params.nFilterIndex);
    files_->Clear();
    for (const std::string& n : SelectedFileNames(name.data(), name.size()))
        files_->Add(n);
    FileName = files_->Count() > 0 ? files_->Strings(0) : std::string(name.data());
    return true;
}
