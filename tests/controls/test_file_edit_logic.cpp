// The file-name edit's rules without windows: quoting, the checks of a name set from code, the
// cut at a line break, and the dialog run over a fake seam (events, folder, error mode).

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls/FileEditLogic.h"
#include "framework/core/FileNames.h"

namespace {

TFileProbe Probe(std::set<std::string> files, std::set<std::string> dirs) {
    return {[files](const std::string& n) { return files.count(n) > 0; },
            [dirs](const std::string& n) { return dirs.count(n) > 0; }};
}

TEST(FileEditLogic, QuotingAndUnquoting) {
    const TFileProbe probe = Probe({"C:\\My Pictures\\a b.bmp"}, {"C:\\My Pictures"});
    struct Case {
        std::string in, unquoted;
    };
    const Case cases[] = {
        {"C:\\My Pictures\\a b.bmp", "C:\\My Pictures\\a b.bmp"}, // an existing file stays
        {"C:\\My Pictures", std::string("C:\\My Pictures") + PathDelim},
        {"\"C:\\x y\\z.gif\" extra", "C:\\x y\\z.gif"},
        {"C:\\plain.bmp", "C:\\plain.bmp"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnquoteFileName(c.in, probe), c.unquoted) << c.in;
    EXPECT_EQ(QuoteFileName("C:\\a b.bmp"), "\"C:\\a b.bmp\"");
    EXPECT_EQ(QuoteFileName("C:\\ab.bmp"), "C:\\ab.bmp");
    EXPECT_EQ(QuoteFileName("\"C:\\a b.bmp\""), "\"C:\\a b.bmp\"");
}

TEST(FileEditLogic, ANameSetFromCodeIsCheckedAndQuoted) {
    const TFileProbe probe = Probe({}, {});
    EXPECT_EQ(FileNameText("", true, probe), "");
    EXPECT_EQ(FileNameText("C:\\a b.bmp", true, probe), "\"C:\\a b.bmp\"");
    EXPECT_EQ(FileNameText("C:\\a b.bmp", false, probe), "C:\\a b.bmp");
    for (const char* bad : {"C:\\*.bmp", "what?", "a|b", "<x>"}) {
        try {
            FileNameText(bad, false, probe);
            ADD_FAILURE() << bad << " was taken";
        } catch (const EComboEditError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Invalid file name - ") + bad);
        }
    }
}

TEST(FileEditLogic, TheTextIsCutAtItsFirstLineBreak) {
    bool cut = false;
    EXPECT_EQ(CutAtLineBreak("one\r\ntwo", cut), "one\r");
    EXPECT_TRUE(cut);
    EXPECT_EQ(CutAtLineBreak("one\rtwo", cut), "one");
    EXPECT_EQ(CutAtLineBreak("a\nb\nc", cut), "a");
    EXPECT_EQ(CutAtLineBreak("plain", cut), "plain");
    EXPECT_FALSE(cut);
}

struct FakeHost : TFileDialogHost {
    std::string text = "C:\\pics\\old.bmp";
    std::string dialogName = "last.bmp";
    std::string initialDir;
    std::set<std::string> dirs{"C:\\pics\\"};
    std::uint32_t errorMode = 0x0001;
    std::vector<std::uint32_t> modesDuringDialog;
    bool choose = true, fail = false, stopBefore = false;
    std::string chosen = "C:\\new dir\\new.gif";
    std::vector<std::string> log;

    std::string UnquotedText() override { return text; }
    bool BeforeDialog(std::string& name, bool& action) override {
        log.push_back("before:" + name);
        action = !stopBefore;
        return true;
    }
    bool AfterDialog(std::string& name, bool& action) override {
        log.push_back("after:" + name + (action ? ":ok" : ":cancel"));
        return true;
    }
    bool DirectoryExists(const std::string& name) override { return dirs.count(name) > 0; }
    void SetInitialDir(const std::string& dir) override { initialDir = dir; }
    std::string DialogFileName() override { return dialogName; }
    void SetDialogFileName(const std::string& name) override { dialogName = name; }
    void PrepareDialog() override { log.push_back("prepare"); }
    std::uint32_t SetErrorMode(std::uint32_t mode) override {
        const std::uint32_t old = errorMode;
        errorMode = mode;
        return old;
    }
    bool ExecuteDialog() override {
        modesDuringDialog.push_back(errorMode);
        log.push_back("dialog from " + initialDir + " with " + dialogName);
        if (fail)
            throw std::runtime_error("no dialog");
        if (choose)
            dialogName = chosen;
        return choose;
    }
    void FocusEdit() override { log.push_back("focus"); }
    bool SetText(const std::string& t) override {
        text = t;
        return true;
    }
};

TEST(FileEditLogic, AConfirmedRunTakesTheNameAndItsFolder) {
    FakeHost h;
    RunFileDialog(h, true);
    EXPECT_EQ(h.log, (std::vector<std::string>{"before:C:\\pics\\old.bmp", "prepare",
                                               "dialog from C:\\pics\\ with C:\\pics\\old.bmp",
                                               "focus", "after:C:\\new dir\\new.gif:ok"}));
    EXPECT_EQ(h.text, "\"C:\\new dir\\new.gif\"") << "quoted for its blank";
    EXPECT_EQ(h.initialDir, "C:\\new dir\\") << "the next run starts there";
    EXPECT_EQ(h.modesDuringDialog, (std::vector<std::uint32_t>{kDialogErrorMode}));
    EXPECT_EQ(h.errorMode, 0x0001u) << "restored";
}

TEST(FileEditLogic, ACancelLeavesTheTextAndStillTellsTheHandler) {
    FakeHost h;
    h.choose = false;
    h.text = "C:\\missing\\";
    RunFileDialog(h, false);
    EXPECT_EQ(h.text, "C:\\missing\\");
    EXPECT_EQ(h.log.back(), "after::cancel") << "the name as prepared: no file part, so empty";
    EXPECT_EQ(h.log[2], "dialog from  with ") << "a name without its file part starts empty";
    EXPECT_EQ(h.errorMode, 0x0001u);
}

TEST(FileEditLogic, AFailingDialogRestoresTheErrorModeAndIsNotACancel) {
    FakeHost h;
    h.fail = true;
    EXPECT_THROW(RunFileDialog(h, false), std::runtime_error);
    EXPECT_EQ(h.errorMode, 0x0001u);
    EXPECT_EQ(h.log.back(), "dialog from C:\\pics\\ with C:\\pics\\old.bmp") << "no after-event";
}

TEST(FileEditLogic, BeforeDialogMayStopTheRunAndAnInvalidNameKeepsTheLastOne) {
    FakeHost h;
    h.stopBefore = true;
    RunFileDialog(h, false);
    EXPECT_EQ(h.log, (std::vector<std::string>{"before:C:\\pics\\old.bmp"}));
    FakeHost invalid;
    invalid.text = "C:\\pics\\*.bmp";
    invalid.choose = false;
    RunFileDialog(invalid, false);
    EXPECT_EQ(invalid.log[2], "dialog from  with last.bmp");
}

} // namespace

namespace {

struct FakeShell : TShellListSeam {
    std::set<TShellList> missing;
    std::vector<std::string> log;
    int made = 0;
    static const char* Name(TShellList k) {
        return k == TShellList::RecentlyUsed ? "mru"
               : k == TShellList::History    ? "history"
                                             : "folders";
    }
    std::vector<std::pair<void*, TShellList>> objects;
    TShellList KindOf(void* p) {
        for (auto& [o, k] : objects)
            if (o == p)
                return k;
        ADD_FAILURE() << "an object never made";
        return TShellList::Folders;
    }
    void* Create(TShellList kind) override {
        log.push_back(std::string("create ") + Name(kind));
        if (missing.count(kind) > 0)
            return nullptr;
        void* p = reinterpret_cast<void*>(static_cast<std::uintptr_t>(++made));
        objects.push_back({p, kind});
        return p;
    }
    void Append(void* list) override { log.push_back(std::string("append ") + Name(KindOf(list))); }
    void Remove(void* list) override { log.push_back(std::string("remove ") + Name(KindOf(list))); }
    void Release(void* list) override {
        log.push_back(std::string("release ") + Name(KindOf(list)));
    }
    void SetFolderOptions(void* list, std::uint32_t options) override {
        log.push_back(std::string("options ") + Name(KindOf(list)) + " " + std::to_string(options));
    }
};

using Log = std::vector<std::string>;

TEST(PathCompletionLists, EachOptionSetAsksForItsLists) {
    FakeShell shell;
    TPathCompletionLists lists;
    lists.Apply({acfFileSystem}, shell);
    EXPECT_EQ(shell.log, (Log{"create folders", "append folders", "options folders 16"}));
    shell.log.clear();
    lists.Apply({acfFileSysDirs, acfURLHistory, acfURLMRU}, shell);
    EXPECT_EQ(shell.log, (Log{"create mru", "append mru", "create history", "append history",
                              "options folders 48"}))
        << "the folder list is made once, its options set each time";
    shell.log.clear();
    lists.Apply({}, shell);
    EXPECT_EQ(shell.log, (Log{"remove mru", "release mru", "remove history", "release history",
                              "remove folders", "release folders"}));
    shell.log.clear();
    lists.ReleaseAll(shell);
    EXPECT_TRUE(shell.log.empty());
}

TEST(PathCompletionLists, AListTheSystemLacksIsSkipped) {
    FakeShell shell;
    shell.missing = {TShellList::History, TShellList::RecentlyUsed};
    TPathCompletionLists lists;
    lists.Apply({acfFileSystem, acfURLHistory, acfURLMRU}, shell);
    EXPECT_EQ(shell.log, (Log{"create mru", "create history", "create folders", "append folders",
                              "options folders 16"}));
    EXPECT_EQ(lists.List(TShellList::History), nullptr);
    shell.log.clear();
    // Asked again on the next change; turned off, nothing missing is touched.
    lists.Apply({acfURLHistory}, shell);
    EXPECT_EQ(shell.log, (Log{"create history", "remove folders", "release folders"}));
    shell.log.clear();
    lists.Apply({acfFileSystem}, shell);
    lists.ReleaseAll(shell);
    EXPECT_EQ(shell.log,
              (Log{"create folders", "append folders", "options folders 16", "release folders"}));
}

} // namespace
