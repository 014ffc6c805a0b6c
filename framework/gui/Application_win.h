#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "framework/core/Component.h"
#include "framework/core/Events.h"
#include "framework/gui/Form_win.h"
#include "framework/gui/HintWindow_win.h"

using TExceptionEvent = TDelegate<void(TObject* Sender, const std::exception_ptr& E)>;
using TIdleEvent = TDelegate<void(TObject* Sender, bool& Done)>;
using TMessageEvent = TDelegate<void(MSG& Msg, bool& Handled)>;

// The application: the hidden application window that owns every form,
// the message loop and the exception handler. Made by Startup(); in library
// mode (a DLL) it has no window and runs no loop.
class TApplication : public TComponent {
    FW_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // COM (single-threaded apartment) and the common controls.
    void Initialize();

    // Creates a form owned by the application. Reference is valid before
    // OnCreate runs; the first form becomes MainForm once fully constructed.
    template <class T> void CreateForm(T*& Reference) {
        T* form = new T(this);
        Reference = form;
        try {
            CompleteConstruction(form);
        } catch (...) {
            Reference = nullptr;
            throw;
        }
        if (mainForm_ == nullptr)
            mainForm_ = form;
    }

    // Shows the main form when ShowMainForm is set, runs the loop until
    // WM_QUIT, then frees the forms last-created first.
    void Run();
    // Ends the loop after the current message (posts WM_QUIT).
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }
    // Handles every waiting message, then returns.
    void ProcessMessages();
    // Handles one message, or idles and waits for one.
    void HandleMessage();
    // The default handling of an exception that reached the library: OnException
    // when assigned; otherwise a message box with the message (OK, stop icon,
    // caption Title), nothing for EAbort, nothing ever in library mode.
    void HandleException(TObject* Sender);
    void HandleException(TObject* Sender, std::exception_ptr Error);
    void ShowException(const std::exception_ptr& E);

    // The help request: OnHelp first (CallHelp preset true), then the classic
    // engine with HelpFile while CallHelp stays true.
    bool HelpCommand(UINT Command, ULONG_PTR Data);

    HWND Handle() const noexcept { return handle_; }
    TCustomForm* MainForm() const noexcept { return mainForm_; }
    const std::string& Title() const noexcept { return title_; }
    void SetTitle(const std::string& Value);
    std::string ExeName() const;
    bool IsLibrary() const noexcept { return library_; }
    // The modal form on top, or nullptr.
    TCustomForm* ModalForm() const noexcept { return modalForm_; }

    bool ShowMainForm = true;
    std::string HelpFile;
    TColor HintColor = clInfoBk;
    int HintPause = 500;
    int HintHidePause = 2500;
    bool ShowHint = true;

    TExceptionEvent OnException;
    THelpEvent OnHelp;
    TIdleEvent OnIdle;
    TMessageEvent OnMessage;
    // Windows is ending the session (WM_ENDSESSION with TRUE): the last
    // chance to put things back before the process is ended.
    TNotifyEvent OnEndSession;

    // Internal: the modal stack and the last active form.
    void SetModalForm(TCustomForm* Form) noexcept { modalForm_ = Form; }
    void FormActivated(TCustomForm* Form) noexcept { lastActiveForm_ = Form; }
    void FormGone(TCustomForm* Form) noexcept;
    // Runs one message if there is one; false when the queue was empty.
    bool ProcessMessage();
    // The form that activation of the application window hands on to.
    TCustomForm* ActivationTarget() const;

    // Hints: the control under the mouse changed (from idle tracking).
    void HintMouseMoved(TControl* Control);
    // Hides the hint now.
    void CancelHint();
    // A control is going: forget it as the hint's control.
    void ControlGone(TControl* Control) noexcept;
    // The hint window, while a hint is shown or waiting (else nullptr).
    THintWindow* HintWindow() const noexcept { return hintWindow_; }
    TControl* HintControl() const noexcept { return hintControl_; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend LRESULT CALLBACK ApplicationWndProc(HWND, UINT, WPARAM, LPARAM);
    void CreateHandle();
    void Idle();
    bool IsKeyMsg(MSG& Msg);
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);
    void ActivateHint();

    HWND handle_ = nullptr;
    bool library_ = false;
    bool terminated_ = false;
    bool comInitialized_ = false;
    std::string title_;
    TCustomForm* mainForm_ = nullptr;
    TCustomForm* modalForm_ = nullptr;
    TCustomForm* lastActiveForm_ = nullptr;
    THintWindow* hintWindow_ = nullptr;
    TControl* hintControl_ = nullptr;
};

extern TApplication* Application;

// Start-up of the library, explicit (nothing runs in static constructors or
// DllMain): the application object with its window (none in library mode),
// the screen, then the registered start-up hooks in stage order. Shutdown()
// runs the hooks' shutdowns in reverse, frees the application and the
// screen, and in library mode unregisters the window classes.
enum class TStartupStage : std::uint8_t { Graphics, Toolkit, ImageFormats, Jpeg, Components, Last };
using TStartupProc = void (*)();
// Registers a pair of procedures for a stage; call before Startup().
void AddStartupHook(TStartupStage Stage, TStartupProc Start, TStartupProc Stop);
void Startup();
void Shutdown() noexcept;
bool IsStarted() noexcept;
