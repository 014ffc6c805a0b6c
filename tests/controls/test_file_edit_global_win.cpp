// The file-name edit under the real keyboard: Browse opens the picture dialog, a typed path and
// Enter hand the name back, Escape leaves the text alone; a failing dialog is an error, not a
// cancel; dropped files (a path longer than 255 characters, two names with and without multiple
// selection); the name checks and the line-break cut; the default glyph from the resources.

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "controls/TkFileEdit_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/core/StringList.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

// Types text into the focused window of the foreground.
void TypeText(const std::string& text) {
    for (char c : text) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = static_cast<unsigned char>(c);
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        Sleep(5);
    }
}

BOOL CALLBACK FindOwnDialog(HWND w, LPARAM p) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && std::string(cls) == "#32770") {
        *reinterpret_cast<HWND*>(p) = w;
        return FALSE;
    }
    return TRUE;
}

// The file dialog of this process once it is on the screen (nullptr after Ms).
HWND WaitForDialog(DWORD Ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < Ms) {
        HWND found = nullptr;
        EnumWindows(&FindOwnDialog, reinterpret_cast<LPARAM>(&found));
        if (found != nullptr)
            return found;
        Sleep(50);
    }
    return nullptr;
}

// A file of the temporary folder, made for the test and removed after it.
struct TempFile {
    std::string dir, path;
    explicit TempFile(const std::string& name) {
        char tmp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tmp);
        dir = std::string(tmp) + "qv file edit";
        CreateDirectoryA(dir.c_str(), nullptr);
        path = dir + "\\" + name;
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
    }
    ~TempFile() {
        DeleteFileA(path.c_str());
        RemoveDirectoryA(dir.c_str());
    }
};

struct Events : TObject {
    std::vector<std::string> log;
    void After(TObject*, std::string& Name, bool& Action) {
        log.push_back("after:" + Name + (Action ? ":ok" : ":cancel"));
    }
    void Changed(TObject* s) { log.push_back("change:" + static_cast<TControl*>(s)->Text()); }
    void Dropped(TObject*) { log.push_back("dropped"); }
};

class FileEditTest : public ControlsTest {
protected:
    // As the wallpaper page sets its hidden picture browser, but shown here.
    TTkFilenameEdit* PictureEdit() {
        auto* e = Create<TTkFilenameEdit>(form);
        e->SetBounds(20, 20, 250, 21);
        e->AddQuotes = false;
        e->SetDialogKind(dkOpenPicture);
        e->SetFilter("Pictures|*.bmp;*.gif;*.jpg");
        e->SetDialogOptions(
            {ofHideReadOnly, ofFileMustExist, ofNoNetworkButton, ofDontAddToRecent});
        e->SetDirectInput(false);
        e->SetButtonWidth(25);
        e->OnAfterDialog = TExecOpenDialogEvent(&events, &Events::After);
        e->OnChange = TNotifyEvent(&events, &Events::Changed);
        e->SetParent(form);
        return e;
    }
    // Runs the button action while another thread answers the dialog.
    void Browse(TTkFilenameEdit* e, const std::string& typed, WORD finalKey) {
        std::atomic<bool> seen{false};
        std::thread user([&] {
            HWND dialog = WaitForDialog(5000);
            if (dialog == nullptr)
                return;
            seen = true;
            SetForegroundWindow(dialog);
            Sleep(300);
            TypeText(typed);
            Sleep(200);
            mouse_input::Key(finalKey);
        });
        e->RunButtonAction();
        user.join();
        EXPECT_TRUE(seen) << "the dialog opened";
    }
    Events events;
};

TEST_F(FileEditTest, ATypedPathAndEnterHandTheNameBack) {
    TempFile file("wall paper.bmp");
    auto* e = PictureEdit();
    ShowForm();
    EXPECT_TRUE(e->Dialog()->InheritsFrom<TOpenPictureDialog>());
    Browse(e, file.path, VK_RETURN);
    EXPECT_EQ(e->FileName(), file.path);
    EXPECT_EQ(events.log,
              (std::vector<std::string>{"after:" + file.path + ":ok", "change:" + file.path}));
    EXPECT_EQ(e->InitialDir(), file.dir + "\\") << "the next run starts in its folder";
}

TEST_F(FileEditTest, EscapeLeavesTheTextAlone) {
    TempFile file("kept.bmp");
    auto* e = PictureEdit();
    e->SetFileName(file.path);
    events.log.clear();
    ShowForm();
    Browse(e, "", VK_ESCAPE);
    EXPECT_EQ(e->Text(), file.path);
    EXPECT_EQ(events.log, (std::vector<std::string>{"after:" + file.path + ":cancel"}));
}

// A dialog whose system call is given a broken structure: the system refuses it.
class TBrokenDialog : public TOpenDialog {
    FW_CLASS(TBrokenDialog, TOpenDialog)
public:
    using TOpenDialog::TOpenDialog;

protected:
    BOOL RunSystemDialog(OPENFILENAMEA& Params) override {
        Params.lStructSize = 3;
        return TOpenDialog::RunSystemDialog(Params);
    }
};

TEST_F(FileEditTest, AFailingDialogIsAnErrorNotACancel) {
    auto* d = Create<TBrokenDialog>(form);
    try {
        d->Execute();
        ADD_FAILURE() << "the failure was taken as a cancel";
    } catch (const EFileDialogError& e) {
        EXPECT_NE(std::string(e.what()).find("The file dialog failed (error 0x"), std::string::npos)
            << e.what();
    }
}

// A shell drop of Names as the shell hands it over.
HDROP MakeDrop(const std::vector<std::string>& names) {
    std::size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& n : names)
        size += n.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* at = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& n : names) {
        memcpy(at, n.c_str(), n.size() + 1);
        at += n.size() + 1;
    }
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

TEST_F(FileEditTest, DroppedNamesAreReadWhole) {
    auto* e = PictureEdit();
    e->OnDropFiles = TNotifyEvent(&events, &Events::Dropped);
    ShowForm();
    std::string longPath = "C:\\";
    while (longPath.size() < 240)
        longPath += "folder\\";
    longPath += std::string(258 - longPath.size() - 4, 'x') + ".bmp";
    ASSERT_EQ(longPath.size(), 258u);
    SendMessageA(e->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({longPath})), 0);
    EXPECT_EQ(e->Text(), longPath) << "not cut at 255 characters";
    EXPECT_EQ(events.log.back(), "dropped");

    // Two names: the first only, unless the dialog takes several.
    SendMessageA(e->Handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({"C:\\a.bmp", "C:\\b.bmp"})), 0);
    EXPECT_EQ(e->Text(), "C:\\a.bmp");
    EXPECT_EQ(e->Dialog()->Files()->Count(), 0);
    e->SetDialogOptions(e->DialogOptions() | TOpenOptions{ofAllowMultiSelect});
    SendMessageA(e->Handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({"C:\\c.bmp", "C:\\d.bmp"})), 0);
    EXPECT_EQ(e->Text(), "C:\\c.bmp");
    ASSERT_EQ(e->Dialog()->Files()->Count(), 2);
    EXPECT_EQ(e->Dialog()->Files()->Strings(1), "C:\\d.bmp");
    e->SetDialogOptions({ofHideReadOnly});
    EXPECT_EQ(e->Dialog()->Files()->Count(), 0) << "without multiple selection the names go";
}

TEST_F(FileEditTest, NamesSetFromCodeAndLineBreaks) {
    auto* e = Create<TTkFilenameEdit>(form);
    e->SetParent(form);
    e->OnChange = TNotifyEvent(&events, &Events::Changed);
    e->SetFileName("C:\\a b.bmp");
    EXPECT_EQ(e->Text(), "\"C:\\a b.bmp\"") << "quoted for its blank";
    EXPECT_EQ(e->FileName(), "C:\\a b.bmp");
    EXPECT_THROW(e->SetFileName("C:\\*.bmp"), EComboEditError);
    EXPECT_EQ(e->FileName(), "C:\\a b.bmp") << "unchanged";
    events.log.clear();
    e->SetFileName("");
    EXPECT_EQ(e->Text(), "");
    EXPECT_EQ(events.log, (std::vector<std::string>{"change:"}));
    // Characters the OEM set lacks: a name set from code comes back as it was set.
    const std::string accented = "C:\\caf\xE9 \xA4\xBD.bmp";
    e->HandleNeeded();
    e->SetFileName(accented);
    EXPECT_EQ(e->FileName(), accented);
    events.log.clear();
    e->SetText("first\r\nsecond");
    EXPECT_EQ(e->Text(), "first") << "cut at the break";
    EXPECT_EQ(events.log, (std::vector<std::string>{"change:first"}))
        << "only the cut text is a change";
}

TEST_F(FileEditTest, TheDefaultGlyphComesFromTheResources) {
    auto* e = Create<TTkFilenameEdit>(form);
    e->SetParent(form);
    EXPECT_EQ(e->ImageKind(), ikDefault);
    ASSERT_NE(e->Button()->Images(), nullptr);
    EXPECT_GE(e->Button()->ImageIndex(), 0) << "the glyph resource was loaded";
    EXPECT_EQ(e->Button()->Images()->Width(), 14);
    EXPECT_EQ(e->ButtonWidth(), 21) << "max(14 + 6, 21)";
    EXPECT_FALSE(e->IsButtonWidthStored());
    EXPECT_FALSE(e->IsFilterStored());
    EXPECT_FALSE(e->IsDialogTitleStored());
    EXPECT_EQ(e->DialogTitle(), "Browse");
    // A second edit takes the same image from the same list.
    auto* f = Create<TTkFilenameEdit>(form);
    EXPECT_EQ(f->Button()->Images(), e->Button()->Images());
    EXPECT_EQ(f->Button()->ImageIndex(), e->Button()->ImageIndex());
}

// For a look at the dialog over its form (run with --gtest_also_run_disabled_tests).
TEST_F(FileEditTest, DISABLED_Showcase) {
    TempFile file("wall paper.bmp");
    auto* e = PictureEdit();
    e->SetInitialDir(file.dir);
    ShowForm();
    std::thread user([&] {
        HWND dialog = WaitForDialog(5000);
        Sleep(4000);
        if (dialog != nullptr)
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    e->RunButtonAction();
    user.join();
}

} // namespace

namespace {

// Wine's shell makes the completion object, the multi-source list and the folder list, not the
// history and recently-used lists; it offers no suggestions for a typed folder path.
TEST_F(FileEditTest, PathCompletionListsFollowTheOptions) {
    TempFile file("completion target.bmp");
    auto* e = Create<TTkFilenameEdit>(form);
    e->SetBounds(20, 20, 300, 21);
    e->SetParent(form);
    ShowForm();
    ASSERT_TRUE(e->HasAutoComplete());
    EXPECT_TRUE(e->HasPathList(TShellList::Folders)) << "the default file-system option";
    e->SetAutoCompleteFileOptions({acfFileSysDirs, acfURLHistory, acfURLMRU});
    EXPECT_TRUE(e->HasPathList(TShellList::Folders));
    e->SetAutoCompleteFileOptions({acfURLHistory});
    EXPECT_FALSE(e->HasPathList(TShellList::Folders)) << "removed with its option";
    e->SetAutoCompleteFileOptions({acfFileSystem});
    EXPECT_TRUE(e->HasPathList(TShellList::Folders));
    EXPECT_FALSE(e->HasPathList(TShellList::History));
    // The edit keeps working whatever the shell offers.
    e->SetFocus();
    PumpFor(100);
    TypeText(file.dir + "\\comp");
    PumpFor(300);
    EXPECT_EQ(e->Text(), file.dir + "\\comp");
    // A new window, new lists.
    e->RecreateWnd();
    e->HandleNeeded();
    EXPECT_TRUE(e->HasAutoComplete());
    EXPECT_TRUE(e->HasPathList(TShellList::Folders));
}

} // namespace
