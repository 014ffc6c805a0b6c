#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "framework/graphics/Icon_win.h"
#include "framework/gui/WinControl_win.h"

enum TFormBorderStyle : std::uint8_t {
    bsNone,
    bsSingle,
    bsSizeable,
    bsDialog,
    bsToolWindow,
    bsSizeToolWin
};
enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition : std::uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter
};
enum TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum TFormStateFlag : std::uint8_t {
    fsCreating,
    fsVisible,
    fsShowing,
    fsModal,
    fsCreatedMDIChild,
    fsActivated
};
using TFormState = TSet<TFormStateFlag>;

using TCloseEvent = TDelegate<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TDelegate<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = TDelegate<void(TMessage& Message, bool& Handled)>;
// A handler of one message number in a form's message map.
using TMessageHandler = TDelegate<void(TMessage& Message)>;

// Disables the thread's enabled windows and every other form (the surroundings of a modal
// loop or a system dialog) and enables them again at the end, or at Restore.
class TDisabledTaskWindows {
public:
    explicit TDisabledTaskWindows(HWND Except);
    ~TDisabledTaskWindows() { Restore(); }
    TDisabledTaskWindows(const TDisabledTaskWindows&) = delete;
    TDisabledTaskWindows& operator=(const TDisabledTaskWindows&) = delete;
    void Restore() noexcept;

private:
    std::vector<HWND> disabled_;
};

// A top-level window (WS_POPUP owned by the application window, no taskbar
// button) or, with ParentWindow, a child of a foreign window. Its window
// class name is its class name ("TForm1"), its title its Caption. The
// handle stays the same for the form's life: style changes are applied to
// the live window.
class TCustomForm : public TWinControl {
    FW_CLASS(TCustomForm, TWinControl)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    // Builds the children (CreateComponents), runs Loaded on every owned
    // component, then fires OnCreate: all after the most-derived constructor.
    void AfterConstruction() override;
    // Fires OnDestroy while the window still exists, then frees the owned
    // components and destroys the window. Nothing here re-creates a window.
    void BeforeDestruction() override;

    // Message map: Handler receives message Msg before the class's own
    // handling; messages without a handler fall through.
    void SetMessageHandler(UINT Msg, TMessageHandler Handler);
    void RemoveMessageHandler(UINT Msg);

    // Shows the form and brings it forward.
    void Show();
    // Closes: OnCloseQuery, OnClose; the main form ends the application, a
    // modal form ends its modal loop (mrCancel unless ModalResult is set).
    void Close();
    virtual bool CloseQuery();
    // Runs a modal loop until ModalResult is set; the other forms are
    // disabled meanwhile. Works before Application->Run.
    virtual TModalResult ShowModal();
    TModalResult ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(TModalResult Value) { modalResult_ = Value; }

    TWinControl* ActiveControl() const noexcept { return activeControl_; }
    // Focuses Control when the form is active, else remembers it for the
    // next activation.
    void SetActiveControl(TWinControl* Control);
    bool Active() const noexcept { return active_; }
    TFormState FormState;

    TFormBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const noexcept { return borderIcons_; }
    void SetBorderIcons(TBorderIcons Value);
    TFormStyle FormStyle() const noexcept { return formStyle_; }
    void SetFormStyle(TFormStyle Value);
    // The window's icon (large and small), owned by the form. Every change
    // of it (SetIcon, loading, a new handle) reaches the live window at
    // once; an empty icon takes the window's icon away again.
    TIcon* Icon() const noexcept { return icon_; }
    // Copies Value (nullptr empties the icon).
    void SetIcon(TIcon* Value);
    TPosition Position = poDesigned;
    bool KeyPreview = false;
    bool Scaled = true; // forms are not scaled; kept for form descriptions
    std::string HelpFile;
    bool TransparentColor = false;
    TColor TransparentColorValue = clNone;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;

    // Key preprocessing of a key-down (CN_KEYDOWN, CN_SYSKEYDOWN) in the
    // form: OnShortCut first; unless it handled the key, the chord goes to
    // the owned components that take shortcuts (action lists, menus), in
    // the order they were made, until one runs a command. True when the key
    // was used up.
    virtual bool IsShortCut(TMessage& Message);
    // Restores the focus after activation.
    void SetFocusOnActivation();
    void CancelFormModes() {}

    void WndProc(TMessage& Message) override;
    TRect ClientRect() const override;
    void SetClientSize(int AWidth, int AHeight) override;
    bool Showing() const override;
    void SetFocus() override;
    // The form's own key handling (OnKeyDown, OnKeyPress), for controls that hand a key on.
    void FormKeyDown(std::uint16_t& Key, TShiftState Shift) { KeyDown(Key, Shift); }
    void FormKeyPress(char& Key) { KeyPress(Key); }

    // Called by the controls: focus moved to Control / Control is leaving.
    void FocusedControlChanged(TWinControl* Control);
    void ControlRemoved(TWinControl* Control);

protected:
    // Builds the form's components; runs inside AfterConstruction, before
    // Loaded and OnCreate. The default does nothing.
    virtual void CreateComponents() {}
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    void VisibleChanging() override;

private:
    void ApplyStyles();
    void ShowWindowNow(bool Visible);
    void HandleDialogKey(TMessage& Message);
    void GetBorderStyles(DWORD& Style, DWORD& ExStyle) const;
    void IconChanged(TObject* Sender);
    void ApplyIcon();

    std::map<UINT, TMessageHandler> messageHandlers_;
    TModalResult modalResult_ = mrNone;
    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    bool active_ = false;
    bool shownOnce_ = false;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = {biSystemMenu, biMinimize, biMaximize};
    TFormStyle formStyle_ = fsNormal;
    TIcon* icon_ = nullptr;
};

// The form class applications derive from.
class TForm : public TCustomForm {
    FW_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};
