#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "desktops/DesktopCount.h"
#include "desktops/DesktopEngine.h"
#include "desktops/DesktopView.h"
#include "desktops/HotKeys.h"
#include "desktops/Settings.h"
#include "desktops/Wallpaper.h"
#include "framework/gui/Form_win.h"
#include "manager_ui/MenuKinds_win.h"

class TAction;
class TActionList;
class TBevel;
class TButton;
class TImage32;
class TTkFilenameEdit;
class TTkPageControl;
class TTabSheet;
class TWinControl;
class TCheckBox;
class TComboBox;
class THotKey;
class TImageList;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TQxTrayIcon;
class THelpRouter;
class TTkNavBar;
class TActionManager;
class TActionMainMenuBar;
class TActionClientItem;
class TTkLinkLabel;
class TSplitter;
class TRadioGroup;
class TStatusBar;
class TTreeNode;
class TToolBar;
class TToolButton;
class TTreeView;
class TWin32WindowSystem;

// The band protocol's message numbers (posted; data in the first parameter only).
inline constexpr UINT WM_SWITCHDESK1 = WM_USER + 1;  // band -> manager, to WM_SWITCHDESK4
inline constexpr UINT WM_ACTIVEDESK1 = WM_USER + 1;  // manager -> band, to WM_ACTIVEDESK4
inline constexpr UINT WM_BANDHANDLE = WM_USER + 5;
inline constexpr UINT WM_SETNUMDESKS = WM_USER + 6;
inline constexpr UINT WM_HIDEBAND = WM_USER + 12;
inline constexpr UINT WM_SHOWBAND = WM_USER + 13;
inline constexpr UINT WM_DESKMENU1 = WM_USER + 8;  // band -> manager, to WM_DESKMENU4

// The band window's class: a handle is taken for the band's only while it names such a window.
inline constexpr const char* kBandWindowClass = "TQuorvaneTB";

// The manager window: the program's one window, hidden at start and without a taskbar button.
// It owns the desktop engine and is its view; it holds the settings, the hot keys, the
// notification icon with its menu, the desktop tree and the status bar.
class TForm1 : public TForm,
               public TDesktopView,
               public TDesktopCountSteps,
               public TSettingsApplier,
               public THotKeyRegistrar {
    FW_CLASS(TForm1, TForm)
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;

    // ---- Components ----
    TActionManager* ActMan = nullptr;
    TActionMainMenuBar* ActionMainMenuBar1 = nullptr;
    TAction* HelpContents1 = nullptr;
    std::array<TAction*, 4> DeskAct{};  // Desk1Act ... Desk4Act
    TAction* CopyTo3Act = nullptr;
    TAction* CopyTo4Act = nullptr;
    TAction* MoveTo3Act = nullptr;
    TAction* MoveTo4Act = nullptr;
    TAction* ExitAct = nullptr;
    TAction* RefreshAct = nullptr;
    TAction* WebPageAct = nullptr;
    TAction* AboutAct = nullptr;
    TAction* MoveAct = nullptr;
    TAction* CopyAct = nullptr;
    TAction* RemoveAct = nullptr;
    TAction* CloseWinAct = nullptr;
    std::array<TAction*, 4> MoveToAct{};  // MoveTo1Act ... MoveTo4Act
    std::array<TAction*, 4> CopyToAct{};  // CopyTo1Act ... CopyTo4Act
    // The tree: images 0 to 4 (root, desktops 1 to 4) stay; window icons follow at each rebuild.
    TTreeImageList* TreeViewImg = nullptr;
    TTreePopup* TreePopupMenu = nullptr;
    TTreePopup* MoveToPopupMenu = nullptr;
    TTreePopup* CopyToPopupMenu = nullptr;
    // The band's window list and its icons, refilled for each list shown.
    TTreePopup* TBPopupMenu = nullptr;
    TTreeImageList* TBImg = nullptr;
    TToolBar* ToolBar1 = nullptr;
    TTreeImageList* ToolBarImages = nullptr;
    TToolButton* TB_Refresh = nullptr;
    std::array<TToolButton*, 4> DeskButton{};  // ToolButton4 ... ToolButton7
    TToolButton* TB_MoveTo = nullptr;
    TToolButton* TB_CopyTo = nullptr;
    TToolButton* TB_Remove = nullptr;
    TToolButton* TB_CloseApp = nullptr;
    TToolButton* TB_Favor = nullptr;
    // The desktop of the window node the tree popup, the drop-downs and Remove and add-to-all
    // work on (0 to 3).
    int SelDesk = 0;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* Desktops1 = nullptr;
    TMenuItem* Preferences1 = nullptr;
    TMenuItem* Wallpapers1 = nullptr;
    std::array<TMenuItem*, 4> TI_Desktop{};  // TI_Desktop1 ... TI_Desktop4
    TMenuItem* DeskbandMenu = nullptr;
    TMenuItem* Help1 = nullptr;
    TMenuItem* About1 = nullptr;
    TMenuItem* Exit1 = nullptr;
    TQxTrayIcon* QxTrayIcon1 = nullptr;
    THelpRouter* HelpRouter1 = nullptr;
    TTkNavBar* TkNavBar1 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TSplitter* Splitter2 = nullptr;
    TImageList* TBLargeImageList = nullptr;
    TImageList* MMenuImgList = nullptr;
    TImageList* ImageList1 = nullptr;
    TTreeView* TreeView1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    // The pages, switched by code (their tabs hidden, no border): Desktops, Settings, Wallpaper,
    // About.
    TTkPageControl* PageControl1 = nullptr;
    std::array<TTabSheet*, 4> Pages{};
    TComboBox* CB_NumDesks = nullptr;
    TCheckBox* StartWithWin = nullptr;
    TComboBox* Combo_SwitchKey = nullptr;
    THotKey* ShowHideKey = nullptr;
    TRadioGroup* RightClickAct = nullptr;
    TButton* BtnOK = nullptr;
    TButton* BtnCancel = nullptr;
    TButton* BtnOKWP = nullptr;
    TButton* BtnCancelWP = nullptr;
    // The Wallpaper page.
    std::array<TImage32*, 4> WPPreview{}; // WP1Preview ... WP4Preview
    std::array<TBevel*, 4> WPBevel{};     // Bevel1 ... Bevel4
    TComboBox* WPType = nullptr;
    TButton* BrowseWP = nullptr;
    TCheckBox* BgWP = nullptr;
    TTkFilenameEdit* WPFileSelect = nullptr;
    // The page's state (made on first use).
    TWallpaperPage& WallpaperPageState();

    // ---- State ----
    TDesktopEngine& Engine() { return *engine_; }
    const TSettingsValues& Settings() const { return settings_; }
    TWindowHandle TBHandle() const { return settings_.TBHandle; }
    int ActivePage() const { return activePage_; }

    // ---- Operations ----
    void FormCreate(TObject* Sender);
    // The exit routine: hot keys off, every hidden window back, the band told; then the loop ends.
    // Harmless when repeated.
    void ActionExit();
    // The window steps of the exit routine without ending the loop, for the ways the program can
    // end other than Exit (the session ending, an unhandled fault). Runs once; never raises.
    void RestoreOnAbnormalEnd() noexcept;
    void LoadSettings();
    void SetHotKeys();
    void RestoreSettings();
    void ActionCancel();
    // Shows the manager window on `page`, with the settings restored and the tree rebuilt.
    void ShowOnPage(int page);
    void SetActivePage(int page);
    void AddDeskNode(int k) override;
    void DeleteDeskNode(int i) override;
    void WndProc(TMessage& Message) override;

    // ---- The tree (its handlers, for the tests too) ----
    // The window's small icon added to TreeViewImg: its index, or -1 when it has none.
    int WinIconToBMP(TWindowHandle window);
    void BuildPopupMenu(int desk, TWindowHandle window);
    void TreeView1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void TreeView1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void TreeView1DragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State,
                           bool& Accept);
    void TreeView1DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void RemoveMenuItemClick(TObject* Sender);
    void CloseWinMenuItemClick(TObject* Sender);
    // The desktop node of desktop `desk`, nullptr when the tree has none.
    TTreeNode* DeskNode(int desk);

    // ---- The window commands ----
    void RefreshActExecute(TObject* Sender);
    void MoveToActExecute(TObject* Sender);
    void CopyToActExecute(TObject* Sender);
    void MoveToPopupMenuPopup(TObject* Sender);
    void TB_MoveToClick(TObject* Sender);
    void TB_CopyToClick(TObject* Sender);
    void TB_RemoveClick(TObject* Sender);
    void TB_FavorClick(TObject* Sender);
    void WebPageActExecute(TObject* Sender);
    void AboutActExecute(TObject* Sender);

    // ---- The band's window list ----
    // Fills TBPopupMenu with the windows of desktop n (1 to 4).
    void CreateTBPopupMenu(int n);
    void TBPopupMenuClick(TObject* Sender);

    // ---- TDesktopView ----
    TWindowHandle ManagerWindow() override;
    TWindowHandle ApplicationWindow() override;
    void SetDeskChecked(int desk, bool checked) override;
    void SetTrayHint(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void SetTrayIcon(int desk) override;
    void ApplyWallpaper(int desk) override;
    void PostActiveDesk(int desk) override;
    bool IsManagerVisible() override;
    void BringApplicationToFront() override;
    TWindowHandle SelectedWindow() override;
    void RefreshTree() override;

    // ---- TDesktopCountSteps ----
    void SetCopyMoveVisible(int desk, bool visible) override;
    void SetDeskActionAvailable(int desk, bool available) override;
    void SetTrayItemVisible(int desk, bool visible) override;
    void MainProc(int desk) override;
    void MoveAllWins(int from, int to) override;
    int ActiveDesk() override;

    // ---- TSettingsApplier ----
    void SetTrayPopupMenu(bool on) override;
    void ChangeDesktopNum(int oldCount, int newCount) override;
    void PostSetNumDesks(int count) override;

    // ---- THotKeyRegistrar ----
    bool Register(int id, unsigned modifiers, unsigned key) override;
    void Unregister(int id) override;

    // The About page's links (the product's mail address and web page).
    TTkLinkLabel* TkLinkLabel2 = nullptr;
    TTkLinkLabel* TkLinkLabel3 = nullptr;
    void TkLinkLabel2Click(TObject* Sender);
    void TkLinkLabel3Click(TObject* Sender);

protected:
    void CreateComponents() override;
    void CreateWnd() override;
    // Opens a link with the shell, shown normally (a browser started hidden would never be
    // seen); a failure is ignored.
    void OpenLink(const std::string& Target);
    // The shell's "open" of Target, parented to the application window.
    virtual void ShellOpen(const std::string& Target, int ShowCommand);

private:
    void SetupWindowStyle();
    void CreateActions();
    void CreateTrayMenu();
    void CreateTray();
    void CreateHelp();
    void CreateSideBar();
    void CreateMenuBar();
    void ActionMainMenuBar1Popup(TActionClientItem* Client);
    void CreatePages();
    void CreateSettingsPage(TWinControl* page);
    void CreateAboutPage(TWinControl* page);
    void CreateWallpaperPage(TWinControl* page);
    // The page's controls from its state (their events do not run meanwhile).
    void SyncWallpaperPage();
    void LoadWallpaper();
    void SaveWallpaper();
    void WPPreviewClick(TObject* Sender);
    void BrowseWPClick(TObject* Sender);
    void SelectWPFile(TObject* Sender);
    void SelectWPStyle(TObject* Sender);
    void BgWPClick(TObject* Sender);
    void WPFileSelectAfterDialog(TObject* Sender, std::string& Name, bool& Action);
    void CreateButtonPair(TWinControl* page, TButton*& ok, TButton*& cancel);
    void CreateWindowActions();
    void CreateTreeMenus();
    void CreateToolBar(TWinControl* page);
    void SetUpTree();
    void BindBandMenuMessages();
    void WMDeskMenu(TMessage& Message);
    // The selected window node's window and desktop; false when no window node is selected.
    bool SelectedWindowNode(TWindowHandle& window, int& desk);
    void BindMessages();

    // Handlers.
    void DeskActExecute(TObject* Sender);
    void Exit1Click(TObject* Sender);
    void Desktops1Click(TObject* Sender);
    void Preferences1Click(TObject* Sender);
    void Wallpapers1Click(TObject* Sender);
    void About1Click(TObject* Sender);
    void Help1Click(TObject* Sender);
    void DeskbandMenuClick(TObject* Sender);
    void TrayIconClick(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void TkNavBar1Pages0Buttons0Click(TObject* Sender);
    void TkNavBar1Pages0Buttons1Click(TObject* Sender);
    void TkNavBar1Pages0Buttons2Click(TObject* Sender);
    void TkNavBar1Pages0Buttons3Click(TObject* Sender);
    void BtnOKClick(TObject* Sender);
    void BtnCancelClick(TObject* Sender);
    void PrefsChanged(TObject* Sender);
    void RightClickActClick(TObject* Sender);
    void WMHotKey(TMessage& Message);
    void WMSwitchDesk(TMessage& Message);
    void WMBandHandle(TMessage& Message);
    void EndSession(TObject* Sender);

    // Steps 1 to 4 of the exit routine: hot keys off, windows back, the band told.
    void ExitSteps();
    void SetOKButtonsEnabled(bool enabled);
    TSettingsControls ReadControls() const;
    void ShowBandHelp(bool withReminder);
    // Whether a band is known; a stored handle that no longer names a band window is dropped.
    bool BandKnown();
    void PostToBand(UINT message, WPARAM wParam);
    TTreeNode* RootNode();

    std::unique_ptr<TWin32WindowSystem> windowSystem_;
    std::unique_ptr<TDesktopEngine> engine_;
    TSettingsValues settings_;
    IUnknown* shellActiveDesktop_ = nullptr;
    std::unique_ptr<TPreviewPictures> previewPictures_;
    std::unique_ptr<TWallpaperPage> wallpaperPage_;
    bool syncingWallpaper_ = false;
    int activePage_ = 0;
    bool abnormalEndDone_ = false;
};

// The manager window while the program runs (the unhandled-fault filter reaches it here).
extern TForm1* Form1;

// Accepts `handle` as the band's only while it names a live window of the band's class; else 0.
TWindowHandle ValidBandHandle(TWindowHandle handle);
