#pragma once

#include <windows.h>

#include "band/BandProtocol.h"
#include "framework/gui/Form_win.h"

class TCustomLayer;
class TImage32;
class TBitmap32List;
class TPopupMenu;

// Where the taskbar stands, asked of the shell; a seam so that tests can stand it on its side.
using TTaskbarEdgeQuery = band::TEdge (*)();
band::TEdge ShellTaskbarEdge() noexcept;
// The stored "NumDesks", or 4 when the key or value is missing or unreadable.
int StoredNumDesks() noexcept;

// The band window in the taskbar: two to four desktop buttons, the active desktop's drawn in
// its active look. It asks the main window (class "TForm1", title "Quorvane") to switch
// desktops and to show a desktop's window list, follows what the main program reports, and
// announces its own handle in "TBHandle" and by message.
class TQuorvaneTB : public TForm {
    FW_CLASS(TQuorvaneTB, TForm)
public:
    explicit TQuorvaneTB(TComponent* AOwner);
    ~TQuorvaneTB() override;

    TImage32* TBBtn1 = nullptr;
    TImage32* TBBtn2 = nullptr;
    TImage32* TBBtn3 = nullptr;
    TImage32* TBBtn4 = nullptr;
    TBitmap32List* Bitmap32List1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;

    TImage32* Button(int n) const noexcept;

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void FormResize(TObject* Sender);
    // Shapes the window to its visible buttons.
    void RebuildWindowRgn();
    void TBBtn1Click(TObject*) { ButtonClick(1); }
    void TBBtn2Click(TObject*) { ButtonClick(2); }
    void TBBtn3Click(TObject*) { ButtonClick(3); }
    void TBBtn4Click(TObject*) { ButtonClick(4); }
    void TBBtnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y,
                        TCustomLayer* Layer);
    void PopupMenu1Popup(TObject* Sender);
    void SetDesktop(int n);
    void ShowDesktopMenu(int n);
    // Button n takes its active look, the others their normal one; n outside 1..4 changes
    // nothing.
    void SetActiveBtn(int n);
    // "TBHandle" = h and WM_BANDHANDLE h to the main window.
    void SetTBHandle(HWND h);
    void ChangeDesktopNum(int count);
    static HWND getRebarHWND() noexcept;
    // "ResizeBand", "HideBand" or "ShowBand" on this window's band in the taskbar's rebar.
    void DeskBandAct(const char* command);

    // The site's browser, held for the window's life and released with it.
    void SetWebBrowser(IUnknown* Browser);

    int LastButton() const noexcept { return lastButton_; }
    int BandWidth() const noexcept { return buttons_.Width; }
    int ActiveButton() const noexcept { return activeButton_; }
    bool Vertical() const noexcept { return vertical_; }
    HWND MainWnd() const noexcept { return mainWnd_; }

    // Where the taskbar edge comes from (the shell unless a test says otherwise).
    static TTaskbarEdgeQuery TaskbarEdge;

protected:
    void CreateComponents() override;
    // A window destroyed from outside (with the taskbar that holds it) is announced gone at
    // once; the form itself may live on until the band object frees it.
    void WndProc(TMessage& Message) override;

private:
    void ButtonClick(int n);
    // Finds the main window and keeps it in MainWnd; false when none is running.
    bool FindMainWnd();
    void PostToMain(UINT Msg, WPARAM WParam);
    void LayoutButtons();
    void LoadButtonImages();
    void WMActiveDesk(TMessage& Message);
    void WMSetNumDesks(TMessage& Message);
    void WMHideBand(TMessage& Message);
    void WMShowBand(TMessage& Message);
    // "TBHandle" = "0" and WM_BANDHANDLE 0, once.
    void AnnounceGone();

    HWND mainWnd_ = nullptr;
    int lastButton_ = 1;
    int activeButton_ = 0;
    bool vertical_ = false;
    band::TButtonSet buttons_{true, true, 67};
    IUnknown* webBrowser_ = nullptr;
    bool announcedGone_ = false;
};
