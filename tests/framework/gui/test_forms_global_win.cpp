#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Messages.h"
#include "framework/gui/Screen_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

std::vector<std::string> gLog;

// The manager window's shape: a CreateParams override and an OnCreate that
// needs the handle.
class TForm1 : public TForm {
    FW_CLASS(TForm1, TForm)
public:
    explicit TForm1(TComponent* AOwner) : TForm(AOwner) {
        SetCaption("Quorvane");
        OnCreate = TNotifyEvent(this, &TForm1::FormCreate);
        OnDestroy = TNotifyEvent(this, &TForm1::FormDestroy);
        gLog.push_back("constructor");
    }
    static TForm1* Self;
    HWND HandleSeenInCreate = nullptr;
    bool SelfValidInCreate = false;

protected:
    void CreateComponents() override { gLog.push_back("components"); }
    void CreateParams(TCreateParams& Params) override {
        TForm::CreateParams(Params);
        gLog.push_back("params");
    }
    void Loaded() override {
        TForm::Loaded();
        gLog.push_back("loaded");
    }

private:
    void FormCreate(TObject*) {
        SelfValidInCreate = Self == this;
        HandleSeenInCreate = Handle();
        gLog.push_back("create");
    }
    void FormDestroy(TObject*) {
        gLog.push_back(IsWindow(HandleSeenInCreate) ? "destroy:window" : "destroy:nowindow");
        // Must not make a new window while the form goes.
        gLog.push_back(Handle() == HandleSeenInCreate ? "same-handle" : "other-handle");
    }
};
TForm1* TForm1::Self = nullptr;

class FormTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        gLog.clear();
        TForm1::Self = nullptr;
    }
};

TEST_F(FormTest, CreationHooksRunAfterTheMostDerivedConstructor) {
    Application->CreateForm(TForm1::Self);
    TForm1* form = TForm1::Self;
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Application->MainForm(), form);
    EXPECT_TRUE(form->SelfValidInCreate);
    EXPECT_EQ(gLog, (std::vector<std::string>{"constructor", "components", "loaded", "params",
                                              "create"}));
    HWND h = form->Handle();
    EXPECT_EQ(h, form->HandleSeenInCreate);
    gLog.clear();
    form->Free();
    EXPECT_EQ(gLog, (std::vector<std::string>{"destroy:window", "same-handle"}));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormTest, WindowClassTitleAndOwnership) {
    Application->SetTitle("Quorvane");
    Application->CreateForm(TForm1::Self);
    HWND h = TForm1::Self->Handle();
    char name[64] = {};
    GetClassNameA(h, name, sizeof name);
    EXPECT_STREQ(name, "TForm1");
    char title[64] = {};
    GetWindowTextA(h, title, sizeof title);
    EXPECT_STREQ(title, "Quorvane");
    EXPECT_EQ(FindWindowA("TForm1", "Quorvane"), h);
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    EXPECT_NE(style & WS_POPUP, 0);
    EXPECT_EQ(style & WS_CHILD, 0);
    EXPECT_EQ(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(GetParent(h), Application->Handle());
    EXPECT_EQ(GetWindow(h, GW_OWNER), Application->Handle());
    char appTitle[64] = {};
    GetWindowTextA(Application->Handle(), appTitle, sizeof appTitle);
    EXPECT_STREQ(appTitle, "Quorvane");
    EXPECT_FALSE(IsWindowVisible(Application->Handle()));
    // The start-up step that hides the taskbar button must be harmless.
    HWND app = Application->Handle();
    SetWindowLongA(app, GWL_EXSTYLE,
                   (GetWindowLongA(app, GWL_EXSTYLE) & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    TForm1::Self->Show();
    EXPECT_TRUE(IsWindowVisible(h));
    // A style change keeps the handle.
    TForm1::Self->SetBorderStyle(bsDialog);
    TForm1::Self->SetFormStyle(fsStayOnTop);
    EXPECT_EQ(TForm1::Self->Handle(), h);
    EXPECT_NE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & WS_THICKFRAME, 0);
}

// A form answering band-protocol numbers through its message map and one
// through a WndProc override; everything else falls through.
class TMapForm : public TForm {
    FW_CLASS(TMapForm, TForm)
public:
    explicit TMapForm(TComponent* AOwner) : TForm(AOwner) {
        SetMessageHandler(WM_USER + 1, TMessageHandler(this, &TMapForm::WMSwitchDesk1));
        SetMessageHandler(WM_USER + 13, TMessageHandler(this, &TMapForm::WMShowBand));
    }
    std::vector<UINT> Seen;
    std::vector<UINT> Fallen;

    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_USER + 5) {
            Seen.push_back(Message.Msg);
            Message.Result = static_cast<LRESULT>(Message.WParam) + 1;
            return;
        }
        TForm::WndProc(Message);
    }
    // Only messages without a handler get here.
    void DefaultHandler(TMessage& Message) override {
        if (Message.Msg >= WM_USER && Message.Msg < WM_USER + 20)
            Fallen.push_back(Message.Msg);
        TForm::DefaultHandler(Message);
    }

private:
    void WMSwitchDesk1(TMessage& Message) {
        Seen.push_back(Message.Msg);
        Message.Result = 77;
    }
    void WMShowBand(TMessage& Message) { Seen.push_back(Message.Msg); }
};

TEST_F(FormTest, MessageMapReachesHandlersAndFallsThrough) {
    TMapForm* form = nullptr;
    Application->CreateForm(form);
    HWND h = form->Handle();
    EXPECT_EQ(SendMessageA(h, WM_USER + 1, 0, 0), 77);
    EXPECT_EQ(SendMessageA(h, WM_USER + 5, 41, 0), 42);
    EXPECT_EQ(SendMessageA(h, WM_USER + 2, 0, 0), 0);
    PostMessageA(h, WM_USER + 13, 0, 0);
    PostMessageA(h, WM_USER + 3, 0, 0);
    PumpUntil([&] { return form->Seen.size() == 3 && form->Fallen.size() == 2; });
    EXPECT_EQ(form->Seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 5, WM_USER + 13}));
    EXPECT_EQ(form->Fallen, (std::vector<UINT>{WM_USER + 2, WM_USER + 3}));
}

// Notifications that carry object pointers never come from outside.
TEST_F(FormTest, PrivateNotificationsFromTheWindowSystemAreDropped) {
    TMapForm* form = nullptr;
    Application->CreateForm(form);
    int hintShows = 0;
    struct THook {
        int* Count;
        TWndMethod Saved;
        void Proc(TMessage& m) {
            if (m.Msg == CM_HINTSHOW || m.Msg == CM_MOUSEENTER)
                ++*Count;
            Saved(m);
        }
    } hook{&hintShows, form->WindowProc};
    form->WindowProc = TWndMethod(&hook, &THook::Proc);
    HWND h = form->Handle();
    // A pointer of the sender's choosing: must never be dereferenced.
    PostMessageA(h, CM_HINTSHOW, 0, 0x12345678);
    SendMessageA(h, CM_MOUSEENTER, 0, 0x1234);
    PumpFor(50);
    EXPECT_EQ(hintShows, 0);
    form->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(form));
    EXPECT_EQ(hintShows, 1);
    form->WindowProc = hook.Saved;
}

class TDialog : public TForm {
    FW_CLASS(TDialog, TForm)
public:
    explicit TDialog(TComponent* AOwner) : TForm(AOwner) { SetCaption("Dialog"); }
};

// The band-help flow: a modal dialog from OnCreate, before Run.
class TModalHost : public TForm {
    FW_CLASS(TModalHost, TForm)
public:
    explicit TModalHost(TComponent* AOwner) : TForm(AOwner) {
        OnCreate = TNotifyEvent(this, &TModalHost::FormCreate);
        SetMessageHandler(WM_USER + 2, TMessageHandler(this, &TModalHost::Posted));
    }
    TDialog* Dialog = nullptr;
    TModalResult Result = -1;
    bool HostEnabledInside = true;
    bool PostedInside = false;

private:
    void FormCreate(TObject*) {
        Dialog = new TDialog(this);
        CompleteConstruction(Dialog);
        PostMessageA(Handle(), WM_USER + 2, 0, 0);
        Result = Dialog->ShowModal();
    }
    void Posted(TMessage&) {
        PostedInside = Dialog->FormState.Contains(fsModal);
        HostEnabledInside = IsWindowEnabled(Handle()) != FALSE;
        Dialog->SetModalResult(mrOk);
    }
};

TEST_F(FormTest, ShowModalBeforeRunDisablesOthersAndDispatchesPostedMessages) {
    TModalHost* host = nullptr;
    Application->CreateForm(host);
    EXPECT_TRUE(host->PostedInside);
    EXPECT_FALSE(host->HostEnabledInside);
    EXPECT_EQ(host->Result, mrOk);
    EXPECT_TRUE(IsWindowEnabled(host->Handle()));
    EXPECT_FALSE(IsWindowVisible(host->Dialog->Handle()));
    EXPECT_EQ(Application->ModalForm(), nullptr);
}

TEST_F(FormTest, CloseBoxEndsModalWithCancelAndQuitIsPostedAgain) {
    TDialog* dialog = nullptr;
    Application->CreateForm(dialog);
    PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    PostQuitMessage(3);
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(FormTest, ActivatingTheApplicationWindowBringsTheFormForward) {
    Application->CreateForm(TForm1::Self);
    TForm1* form = TForm1::Self;
    form->Show();
    PumpFor(50);
    for (int i = 0; i < 10; ++i) {
        SetForegroundWindow(Application->Handle());
        PumpUntil([&] { return GetForegroundWindow() == form->Handle(); }, 500);
        EXPECT_EQ(GetForegroundWindow(), form->Handle()) << i;
    }
    EXPECT_EQ(Application->ActivationTarget(), form);
    EXPECT_EQ(Screen->ActiveForm(), form);
}

// Run: an exception in a click handler reaches the application's handler
// and the loop goes on; closing the main form ends it and frees the forms.
class TClickForm : public TForm {
    FW_CLASS(TClickForm, TForm)
public:
    explicit TClickForm(TComponent* AOwner) : TForm(AOwner) {
        OnClick = TNotifyEvent(this, &TClickForm::Clicked);
        SetMessageHandler(WM_USER + 7, TMessageHandler(this, &TClickForm::Later));
        OnDestroy = TNotifyEvent(this, &TClickForm::Destroyed);
    }
    static std::vector<std::string>* Log;

private:
    void Clicked(TObject*) { throw Exception("boom"); }
    void Later(TMessage&) {
        Log->push_back("later");
        Close();
    }
    void Destroyed(TObject*) {
        Log->push_back(IsWindow(Handle()) ? "destroy:window" : "destroy:gone");
    }
};
std::vector<std::string>* TClickForm::Log = nullptr;

struct TExceptionSink {
    std::vector<std::string> Messages;
    void Handle(TObject*, const std::exception_ptr& e) {
        try {
            std::rethrow_exception(e);
        } catch (const Exception& ex) {
            Messages.push_back(ex.Message());
        }
    }
};

TEST_F(FormTest, ExceptionInClickHandlerGoesToTheHandlerAndRunGoesOn) {
    std::vector<std::string> log;
    TClickForm::Log = &log;
    TExceptionSink sink;
    Application->OnException = TExceptionEvent(&sink, &TExceptionSink::Handle);
    TClickForm* form = nullptr;
    Application->CreateForm(form);
    Application->ShowMainForm = true;
    HWND h = form->Handle();
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    PostMessageA(h, WM_USER + 7, 0, 0);
    Application->Run();
    EXPECT_EQ(sink.Messages, std::vector<std::string>{"boom"});
    EXPECT_EQ(log, (std::vector<std::string>{"later", "destroy:window"}));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(Application->MainForm(), nullptr);
}

// A handler that frees the form it belongs to, from the form's own click.
class TSelfFreeing : public TForm {
    FW_CLASS(TSelfFreeing, TForm)
public:
    explicit TSelfFreeing(TComponent* AOwner) : TForm(AOwner) {
        OnClick = TNotifyEvent(this, &TSelfFreeing::Clicked);
    }
    static bool Freed;
    ~TSelfFreeing() override { Freed = true; }

private:
    void Clicked(TObject*) { Free(); }
};
bool TSelfFreeing::Freed = false;

TEST_F(FormTest, ClickHandlerMayFreeItsOwnForm) {
    TSelfFreeing* form = nullptr;
    Application->CreateForm(form);
    form->Show();
    HWND h = form->Handle();
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    PumpUntil([] { return TSelfFreeing::Freed; });
    EXPECT_TRUE(TSelfFreeing::Freed);
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(FormTest, ConstraintsLimitTheTrackingSize) {
    TDialog* form = nullptr;
    Application->CreateForm(form);
    form->SetConstraints({595, 460, 0, 0});
    form->SetBounds(10, 10, 100, 100);
    EXPECT_EQ(form->Width(), 595);
    MINMAXINFO info{};
    SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 595);
    EXPECT_EQ(info.ptMinTrackSize.y, 460);
}

TEST_F(FormTest, ParentedFormIsAChildOfTheForeignWindow) {
    TDialog* host = nullptr;
    Application->CreateForm(host);
    HWND foreign = host->Handle();
    TDialog* band = TWinControl::CreateParented<TDialog>(foreign);
    band->SetBorderStyle(bsNone);
    HWND h = band->Handle();
    EXPECT_NE(GetWindowLongA(h, GWL_STYLE) & WS_CHILD, 0);
    EXPECT_EQ(GetParent(h), foreign);
    band->Free();
}

TEST_F(FormTest, ClientSizeAndScreenCenter) {
    TDialog* form = nullptr;
    Application->CreateForm(form);
    form->SetBorderStyle(bsDialog);
    form->SetClientWidth(556);
    form->SetClientHeight(262);
    form->Position = poScreenCenter;
    form->Show();
    EXPECT_EQ(form->ClientWidth(), 556);
    EXPECT_EQ(form->ClientHeight(), 262);
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
}

TEST_F(FormTest, EndSessionHookRuns) {
    int calls = 0;
    struct TSink {
        int* Calls;
        void Fire(TObject*) { ++*Calls; }
    } sink{&calls};
    Application->OnEndSession = TNotifyEvent(&sink, &TSink::Fire);
    EXPECT_EQ(SendMessageA(Application->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageA(Application->Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(calls, 0);
    SendMessageA(Application->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(calls, 1);
}

} // namespace
