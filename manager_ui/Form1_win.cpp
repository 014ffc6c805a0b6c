#include "manager_ui/Form1_win.h"

#include "components/helprouter/HelpRouter_win.h"
#include "components/trayicon/TrayIcon_win.h"
#include "controls/TkComCtrls_win.h"
#include "controls/TkFileEdit_win.h"
#include "controls/TkLinkLabel_win.h"
#include "controls/TkNavBar_win.h"
#include "desktops/Win32WindowSystem_win.h"
#include "framework/actionbars/ActionMainMenuBar_win.h"
#include "framework/actionbars/ActionManager.h"
#include "framework/controls/Action.h"
#include "framework/controls/Bevel_win.h"
#include "framework/controls/Button_win.h"
#include "framework/controls/CheckBox_win.h"
#include "framework/controls/ComboBox_win.h"
#include "framework/controls/GroupBox_win.h"
#include "framework/controls/HotKey_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/controls/Label_win.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/controls/Panel_win.h"
#include "framework/controls/PopupMenu_win.h"
#include "framework/controls/RadioGroup_win.h"
#include "framework/controls/Splitter_win.h"
#include "framework/controls/StaticText_win.h"
#include "framework/controls/StatusBar_win.h"
#include "framework/controls/ToolBar_win.h"
#include "framework/controls/TreeView_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Icon_win.h"
#include "framework/gui/Application_win.h"
#include "manager_ui/ProgramIcons_win.h"
#include "raster/Image32_win.h"

TForm1* Form1 = nullptr;

namespace {

template <class T> T* Place(TWinControl* parent, int x, int y, int w, int h) {
    T* c = Create<T>(parent->Owner() != nullptr ? parent->Owner() : parent);
    c->SetBounds(x, y, w, h);
    c->SetParent(parent);
    return c;
}

TMenuItem* AddItem(TPopupMenu* menu, const std::string& caption, TNotifyEvent onClick) {
    auto* item = Create<TMenuItem>(menu->Owner());
    item->SetCaption(caption);
    item->OnClick = onClick;
    menu->Items()->Add(item);
    return item;
}

const char* const kPageNames[4] = {"Desktops", "Settings", "Wallpapers", "About"};
const char* const kPageCaptions[4] = {"Desktops", "Settings", "Wallpaper", "About"};

}  // namespace

TWindowHandle ValidBandHandle(TWindowHandle handle) {
    if (handle == 0)
        return 0;
    HWND window = TWin32WindowSystem::ToHwnd(handle);
    char name[64] = {};
    if (!IsWindow(window) || GetClassNameA(window, name, sizeof name) == 0)
        return 0;
    return lstrcmpA(name, kBandWindowClass) == 0 ? handle : 0;
}

TForm1::TForm1(TComponent* AOwner)
    : TForm(AOwner), windowSystem_(std::make_unique<TWin32WindowSystem>()),
      engine_(std::make_unique<TDesktopEngine>(*windowSystem_, *this)) {
    Form1 = this;
    SetName("Form1");
    SetCaption("Quorvane");
    SetBorderWidth(1);
    SetClientSize(585, 424);
    TSizeConstraints limits = Constraints();
    limits.MinWidth = 595;
    limits.MinHeight = 460;
    SetConstraints(limits);
    Position = poScreenCenter;
    Scaled = false;
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    OnCreate = TNotifyEvent(this, &TForm1::FormCreate);
    OnDestroy = TNotifyEvent(this, &TForm1::Exit1Click);
}

TForm1::~TForm1() {
    // The application outlives this window and may still see the session end.
    if (Application != nullptr &&
        Application->OnEndSession == TNotifyEvent(this, &TForm1::EndSession))
        Application->OnEndSession = nullptr;
    if (shellActiveDesktop_ != nullptr)
        shellActiveDesktop_->Release();
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::CreateComponents() {
    LoadProgramIcon(Icon(), "MAINICON");
    CreateActions();
    CreateWindowActions();
    CreateTrayMenu();
    CreateTreeMenus();
    ImageList1 = Create<TImageList>(this);
    ImageList1->SetName("ImageList1");
    for (int desk = 1; desk <= 4; ++desk) {
        TIcon icon;
        if (LoadProgramIcon(&icon, "DESK" + std::to_string(desk)))
            ImageList1->AddIcon(&icon);
    }
    CreateTray();
    CreateHelp();
    StatusBar1 = Create<TStatusBar>(this);
    StatusBar1->SetName("StatusBar1");
    StatusBar1->SetSimplePanel(true);
    StatusBar1->SetSimpleText(TDesktopEngine::ActiveDesktopStatus(0));
    StatusBar1->SetParent(this);
    CreatePages();
    SetUpTree();
    CreateMenuBar();
    BindMessages();
    BindBandMenuMessages();
}

void TForm1::CreateActions() {
    ActMan = Create<TActionManager>(this);
    ActMan->SetName("ActMan");
    auto action = [&](const std::string& name, const std::string& caption) {
        auto* a = Create<TAction>(this);
        a->SetName(name);
        a->SetCaption(caption);
        a->SetActionList(ActMan);
        return a;
    };
    for (int desk = 0; desk < 4; ++desk) {
        const std::string n = std::to_string(desk + 1);
        DeskAct[desk] = action("Desk" + n + "Act", "Desktop &" + n);
        DeskAct[desk]->SetHint("Desktop " + n);
        DeskAct[desk]->SetTag(desk);
        DeskAct[desk]->SetShortCut(TextToShortCut("Alt+" + n));
        DeskAct[desk]->OnExecute = TNotifyEvent(this, &TForm1::DeskActExecute);
    }
    DeskAct[0]->SetChecked(true);
    ExitAct = action("ExitAct", "&Exit");
    ExitAct->OnExecute = TNotifyEvent(this, &TForm1::Exit1Click);
}

void TForm1::CreateTrayMenu() {
    PopupMenu1 = Create<TPopupMenu>(this);
    PopupMenu1->SetName("PopupMenu1");
    auto line = [&] { AddItem(PopupMenu1, "-", nullptr); };
    Desktops1 = AddItem(PopupMenu1, "Desktops", TNotifyEvent(this, &TForm1::Desktops1Click));
    Preferences1 = AddItem(PopupMenu1, "Settings", TNotifyEvent(this, &TForm1::Preferences1Click));
    Wallpapers1 = AddItem(PopupMenu1, "Wallpapers", TNotifyEvent(this, &TForm1::Wallpapers1Click));
    line();
    for (int desk = 0; desk < 4; ++desk) {
        TI_Desktop[desk] = AddItem(PopupMenu1, "Desktop " + std::to_string(desk + 1),
                                   TNotifyEvent(this, &TForm1::DeskActExecute));
        TI_Desktop[desk]->SetName("TI_Desktop" + std::to_string(desk + 1));
        TI_Desktop[desk]->SetTag(desk);
    }
    TI_Desktop[0]->SetChecked(true);
    line();
    DeskbandMenu =
        AddItem(PopupMenu1, "Quorvane Deskband", TNotifyEvent(this, &TForm1::DeskbandMenuClick));
    line();
    Help1 = AddItem(PopupMenu1, "Help", TNotifyEvent(this, &TForm1::Help1Click));
    About1 = AddItem(PopupMenu1, "About Quorvane", TNotifyEvent(this, &TForm1::About1Click));
    line();
    Exit1 = AddItem(PopupMenu1, "Exit", TNotifyEvent(this, &TForm1::Exit1Click));
    Exit1->SetName("Exit1");
}

void TForm1::CreateHelp() {
    HelpRouter1 = Create<THelpRouter>(this);
    HelpRouter1->SetName("HelpRouter1");
    HelpRouter1->HelpType = htHTMLhelp;
    HelpRouter1->Helpfile = "quorvane.chm";
    HelpRouter1->CHMPopupTopics = "CSHelp.txt";
    HelpRouter1->ValidateID = false;
}

void TForm1::Help1Click(TObject*) {
    HelpRouter1->ShowHelpContents();
}

namespace {

constexpr TColor kLargeMask = 0x00FF00FF;

// The side bar's pictures (48 x 48), drawn so that the window needs no picture files:
// desktops, settings, wallpapers, about.
void DrawLargeImage(TCanvas* c, int image) {
    c->Pen()->SetColor(0x00503010);
    switch (image) {
    case 0: { // four screens
        const TColor colours[4] = {0x00D06F2F, 0x004F9E2E, 0x001E7AD0, 0x00C23F9B};
        for (int i = 0; i < 4; ++i) {
            const int x = 4 + (i % 2) * 21, y = 5 + (i / 2) * 20;
            c->Brush()->SetColor(0x00503010);
            c->FillRect(TRect{x, y, x + 19, y + 16});
            c->Brush()->SetColor(colours[i]);
            c->FillRect(TRect{x + 2, y + 2, x + 17, y + 14});
        }
        break;
    }
    case 1: // three sliders
        for (int i = 0; i < 3; ++i) {
            const int y = 10 + i * 14;
            c->Brush()->SetColor(0x00707070);
            c->FillRect(TRect{6, y, 42, y + 3});
            const int knob = 12 + ((i * 11) % 24);
            c->Brush()->SetColor(0x00D06F2F);
            c->FillRect(TRect{knob, y - 5, knob + 7, y + 8});
        }
        break;
    case 2: // a framed landscape with a sun
        c->Brush()->SetColor(0x00503010);
        c->FillRect(TRect{3, 7, 45, 41});
        c->Brush()->SetColor(0x00F0C890);
        c->FillRect(TRect{6, 10, 42, 38});
        c->Brush()->SetColor(0x0030C0F0);
        c->Pen()->SetColor(0x0030C0F0);
        c->Ellipse(30, 13, 38, 21);
        c->Brush()->SetColor(0x00408030);
        c->Pen()->SetColor(0x00408030);
        c->Polygon({TPoint{6, 38}, TPoint{18, 20}, TPoint{28, 32}, TPoint{34, 26}, TPoint{42, 38}});
        break;
    default: // a round "i"
        c->Brush()->SetColor(0x00C06020);
        c->Pen()->SetColor(0x00C06020);
        c->Ellipse(4, 4, 44, 44);
        c->Brush()->SetColor(0x00FFFFFF);
        c->FillRect(TRect{21, 12, 27, 18});
        c->FillRect(TRect{21, 21, 27, 37});
        break;
    }
}

} // namespace

namespace {

constexpr TColor kMenuMask = 0x00FF00FF;

// The menus' pictures (16 x 16): help contents, web page, refresh, exit, about.
void DrawMenuImage(TCanvas* c, int image) {
    const TColor ink = 0x00803010;
    c->Brush()->SetColor(ink);
    c->Pen()->SetColor(ink);
    switch (image) {
    case 0: // a book
        c->FillRect(TRect{3, 2, 13, 14});
        c->Brush()->SetColor(0x00FFFFFF);
        c->FillRect(TRect{5, 4, 11, 6});
        break;
    case 1: // a globe
        c->Brush()->SetColor(0x00D08030);
        c->Ellipse(1, 1, 15, 15);
        c->Pen()->SetColor(0x00FFFFFF);
        c->MoveTo(1, 8);
        c->LineTo(15, 8);
        c->MoveTo(8, 1);
        c->LineTo(8, 15);
        break;
    case 2: // a ring with an arrow head
        c->Brush()->SetColor(kMenuMask);
        c->Pen()->SetWidth(2);
        c->Ellipse(3, 3, 13, 13);
        c->Pen()->SetWidth(1);
        c->Brush()->SetColor(ink);
        c->Polygon({TPoint{9, 0}, TPoint{15, 4}, TPoint{9, 7}});
        break;
    case 3: // a door with an arrow
        c->FillRect(TRect{2, 1, 9, 15});
        c->Polygon({TPoint{9, 5}, TPoint{15, 8}, TPoint{9, 11}});
        break;
    default: // a round "i"
        c->Ellipse(1, 1, 15, 15);
        c->Brush()->SetColor(0x00FFFFFF);
        c->FillRect(TRect{7, 4, 9, 6});
        c->FillRect(TRect{7, 7, 9, 12});
        break;
    }
}

} // namespace

void TForm1::CreateMenuBar() {
    MMenuImgList = TCustomImageList::CreateWithSize<TImageList>(this, 16, 16);
    MMenuImgList->SetName("MMenuImgList");
    for (int image = 0; image < 5; ++image)
        AddDrawnImage(MMenuImgList, kMenuMask, [image](TCanvas* c) { DrawMenuImage(c, image); });
    ActMan->Images = MMenuImgList;
    RefreshAct->SetImageIndex(2);
    ExitAct->SetImageIndex(3);
    WebPageAct->SetImageIndex(1);
    AboutAct->SetImageIndex(4);

    // The framework's help-contents action, stored disabled: F1 and Help > Contents stay dead,
    // and the notification menu's Help is the way to the help.
    HelpContents1 = Create<TAction>(this);
    HelpContents1->SetName("HelpContents1");
    HelpContents1->SetCaption("&Contents");
    HelpContents1->SetHint("Help Contents");
    HelpContents1->SetShortCut(TextToShortCut("F1"));
    HelpContents1->SetImageIndex(0);
    HelpContents1->SetEnabled(false);
    HelpContents1->SetActionList(ActMan);

    ActionMainMenuBar1 = Create<TActionMainMenuBar>(this);
    ActionMainMenuBar1->SetName("ActionMainMenuBar1");
    ActionMainMenuBar1->Color = static_cast<TColor>(0x00EEF6F7);
    TActionBarItem* bar = ActMan->AddActionBar(ActionMainMenuBar1);
    auto menu = [&](const std::string& caption, std::initializer_list<TAction*> actions) {
        TActionClientItem* top = bar->Add();
        top->SetCaption(caption);
        for (TAction* action : actions) {
            TActionClientItem* item = top->Add();
            if (action == nullptr) {
                item->SetCaption("-");
                continue;
            }
            item->SetAction(action);
        }
        ActionMainMenuBar1Popup(top);
    };
    menu("Desktop",
         {RefreshAct, nullptr, DeskAct[0], DeskAct[1], DeskAct[2], DeskAct[3], nullptr, ExitAct});
    AboutAct->SetCaption("&About Quorvane");
    menu("Help", {HelpContents1, WebPageAct, nullptr, AboutAct});
    ActionMainMenuBar1->OnPopup = TActionClientEvent(this, &TForm1::ActionMainMenuBar1Popup);
    ActionMainMenuBar1->SetForm(this);
}

void TForm1::ActionMainMenuBar1Popup(TActionClientItem* Client) {
    // The items show their actions as they are now (the hot-key scheme changes the desktops'
    // shortcuts).
    for (int i = 0; i < Client->Count(); ++i) {
        TActionClientItem* item = Client->Items(i);
        auto* action = dynamic_cast<TCustomAction*>(item->Action());
        if (action == nullptr)
            continue;
        item->SetCaption(action->Caption());
        item->SetShortCut(action->ShortCut());
        item->SetImageIndex(action->ImageIndex());
    }
}

void TForm1::CreateSideBar() {
    TBLargeImageList = TCustomImageList::CreateWithSize<TImageList>(this, 48, 48);
    TBLargeImageList->SetName("TBLargeImageList");
    for (int image = 0; image < 4; ++image)
        AddDrawnImage(TBLargeImageList, kLargeMask,
                      [image](TCanvas* c) { DrawLargeImage(c, image); });
    TkNavBar1 = Create<TTkNavBar>(this);
    TkNavBar1->SetName("TkNavBar1");
    TkNavBar1->SetAlign(alLeft);
    TkNavBar1->SetWidth(122);
    TSizeConstraints limits = TkNavBar1->Constraints();
    limits.MinWidth = 122;
    TkNavBar1->SetConstraints(limits);
    TkNavBar1->SetPageButtonHeight(0);
    TkNavBar1->SetLargeImages(TBLargeImageList);
    TTkNavBarPage* page = TkNavBar1->Pages()->Add();
    const TNotifyEvent clicks[4] = {TNotifyEvent(this, &TForm1::TkNavBar1Pages0Buttons0Click),
                                    TNotifyEvent(this, &TForm1::TkNavBar1Pages0Buttons1Click),
                                    TNotifyEvent(this, &TForm1::TkNavBar1Pages0Buttons2Click),
                                    TNotifyEvent(this, &TForm1::TkNavBar1Pages0Buttons3Click)};
    for (int i = 0; i < 4; ++i) {
        TTkNavBarButton* button = page->Buttons()->Add();
        button->SetCaption(kPageNames[i]);
        button->SetImageIndex(i);
        button->OnClick = clicks[i];
    }
    TkNavBar1->SetParent(this);
    Splitter1 = Create<TSplitter>(this);
    Splitter1->SetName("Splitter1");
    Splitter1->SetAlign(alLeft);
    Splitter1->SetWidth(4);
    Splitter1->SetLeft(TkNavBar1->Left() + TkNavBar1->Width());
    Splitter1->SetParent(this);
}

void TForm1::CreateTray() {
    QxTrayIcon1 = Create<TQxTrayIcon>(this);
    QxTrayIcon1->SetName("QxTrayIcon1");
    QxTrayIcon1->SetHint(TDesktopEngine::DesktopHint(0));
    if (ImageList1->Count() > 0)
        ImageList1->GetIcon(0, QxTrayIcon1->Icon());
    QxTrayIcon1->SetPopupMenu(PopupMenu1);
    QxTrayIcon1->OnClick = TMouseEvent(this, &TForm1::TrayIconClick);
}

void TForm1::CreatePages() {
    CreateSideBar();
    PageControl1 = Create<TTkPageControl>(this);
    PageControl1->SetName("PageControl1");
    PageControl1->SetAlign(alClient);
    PageControl1->SetTabStop(false);
    PageControl1->SetParent(this);
    for (int page = 0; page < 4; ++page) {
        Pages[page] = Create<TTabSheet>(this);
        Pages[page]->SetName(std::string("Page") + kPageNames[page]);
        Pages[page]->SetText(kPageCaptions[page]);
        Pages[page]->SetPageControl(PageControl1);
    }
    PageControl1->SetHideAllTabs(true);
    PageControl1->SetClientBorderWidth(0);
    PageControl1->SetActivePageIndex(0);
    TreeView1 = Create<TTreeView>(this);
    TreeView1->SetName("TreeView1");
    TreeView1->SetAlign(alClient);
    TreeView1->SetReadOnly(true);
    TreeView1->SetHideSelection(false);
    TreeView1->RightClickSelect = true;
    TreeView1->SetParent(Pages[0]);
    TTreeNode* root = TreeView1->Items()->AddChild(nullptr, "Desktops");
    for (int desk = 1; desk <= 4; ++desk) {
        TTreeNode* node = TreeView1->Items()->AddChild(root, DeskNodeCaption(0, desk));
        node->SetImageIndex(desk);
        node->SetSelectedIndex(desk);
        node->SetStateIndex(desk);
    }
    CreateSettingsPage(Pages[1]);
    TButton* ok = nullptr;
    TButton* cancel = nullptr;
    CreateWallpaperPage(Pages[2]);
    CreateButtonPair(Pages[2], ok, cancel);
    BtnOKWP = ok;
    BtnOKWP->SetName("BtnOKWP");
    BtnCancelWP = cancel;
    BtnCancelWP->SetName("BtnCancelWP");
    CreateAboutPage(Pages[3]);
}

void TForm1::CreateButtonPair(TWinControl* page, TButton*& ok, TButton*& cancel) {
    ok = Place<TButton>(page, 262, 282, 75, 25);
    ok->SetCaption("OK");
    ok->SetEnabled(false);
    ok->OnClick = TNotifyEvent(this, &TForm1::BtnOKClick);
    cancel = Place<TButton>(page, 350, 282, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->OnClick = TNotifyEvent(this, &TForm1::BtnCancelClick);
}

void TForm1::CreateSettingsPage(TWinControl* page) {
    page->SetBorderWidth(10);
    auto* general = Place<TGroupBox>(page, 10, 10, 437, 85);
    general->SetCaption(" General Settings ");
    Place<TLabel>(general, 20, 24, 120, 13)->SetCaption("Number of desktops:");
    CB_NumDesks = Place<TComboBox>(general, 142, 22, 99, 21);
    CB_NumDesks->SetName("CB_NumDesks");
    for (const char* item : {"2 Desktops", "3 Desktops", "4 Desktops"})
        CB_NumDesks->Items()->Add(item);
    CB_NumDesks->OnChange = TNotifyEvent(this, &TForm1::PrefsChanged);
    StartWithWin = Place<TCheckBox>(general, 19, 56, 200, 17);
    StartWithWin->SetName("StartWithWin");
    StartWithWin->SetCaption("Run on Windows Startup");
    StartWithWin->OnClick = TNotifyEvent(this, &TForm1::PrefsChanged);

    auto* keys = Place<TGroupBox>(page, 10, 105, 437, 80);
    keys->SetCaption(" Hot Keys ");
    Place<TLabel>(keys, 20, 25, 138, 13)->SetCaption("Desktop switch hotkeys:");
    Combo_SwitchKey = Place<TComboBox>(keys, 161, 23, 160, 21);
    Combo_SwitchKey->SetName("Combo_SwitchKey");
    for (const auto& item : SwitchSchemeItems())
        Combo_SwitchKey->Items()->Add(item);
    Combo_SwitchKey->OnChange = TNotifyEvent(this, &TForm1::PrefsChanged);
    Place<TLabel>(keys, 20, 52, 138, 13)->SetCaption("Show/Hide Quorvane:");
    ShowHideKey = Place<THotKey>(keys, 161, 50, 121, 19);
    ShowHideKey->SetName("ShowHideKey");
    ShowHideKey->OnChange = TNotifyEvent(this, &TForm1::PrefsChanged);

    RightClickAct = Place<TRadioGroup>(page, 10, 195, 437, 73);
    RightClickAct->SetName("RightClickAct");
    RightClickAct->SetCaption(" Right-click action for taskbar icon ");
    RightClickAct->Items()->Add("Open window to manage desktops");
    RightClickAct->Items()->Add("Show popup menu");
    RightClickAct->OnClick = TNotifyEvent(this, &TForm1::RightClickActClick);

    CreateButtonPair(page, BtnOK, BtnCancel);
    BtnOK->SetName("BtnOK");
    BtnCancel->SetName("BtnCancel");
}

void TForm1::CreateWallpaperPage(TWinControl* page) {
    page->SetBorderWidth(10);
    auto* box = Place<TGroupBox>(page, 10, 10, 437, 262);
    box->SetCaption(" Wallpapers ");
    for (int n = 0; n < 4; ++n) {
        const int x = 14 + n * 104;
        WPBevel[n] = Place<TBevel>(box, x - 3, 19, 102, 78);
        WPBevel[n]->SetName("Bevel" + std::to_string(n + 1));
        WPBevel[n]->SetStyle(n == 0 ? bsLowered : bsRaised);
        WPPreview[n] = Place<TImage32>(box, x, 22, 96, 72);
        WPPreview[n]->SetName("WP" + std::to_string(n + 1) + "Preview");
        WPPreview[n]->SetTag(n + 1);
        WPPreview[n]->SetScaleMode(smStretch);
        WPPreview[n]->SetBitmapAlign(baTopLeft);
        WPPreview[n]->Bitmap()->SetResamplerClassName("TNearestResampler");
        WPPreview[n]->SetParentColor(false);
        WPPreview[n]->SetColor(clBackground);
        WPPreview[n]->SetShowHint(true);
        WPPreview[n]->OnClick = TNotifyEvent(this, &TForm1::WPPreviewClick);
        auto* label = Place<TLabel>(box, x, 102, 96, 13);
        label->SetCaption("Desktop " + std::to_string(n + 1));
        label->SetAlignment(taCenter);
    }
    auto* help = Place<TLabel>(box, 14, 130, 190, 70);
    help->SetCaption(
        "Select a desktop, and\r\nclick 'Browse' button\r\nto search for image file\r\n"
        "you would like to use\r\nas its background.");
    Place<TLabel>(box, 230, 133, 50, 13)->SetCaption("Position:");
    WPType = Place<TComboBox>(box, 290, 130, 120, 21);
    WPType->SetName("WPType");
    for (const char* item : {"Center", "Tile", "Stretch"})
        WPType->Items()->Add(item);
    WPType->SetItemIndex(2);
    WPType->OnChange = TNotifyEvent(this, &TForm1::SelectWPStyle);
    BrowseWP = Place<TButton>(box, 230, 165, 75, 25);
    BrowseWP->SetName("BrowseWP");
    BrowseWP->SetCaption("Browse");
    BrowseWP->OnClick = TNotifyEvent(this, &TForm1::BrowseWPClick);
    BgWP = Place<TCheckBox>(box, 230, 202, 17, 17);
    BgWP->SetName("BgWP");
    BgWP->OnClick = TNotifyEvent(this, &TForm1::BgWPClick);
    Place<TLabel>(box, 250, 204, 120, 13)->SetCaption("None background.");
    WPFileSelect = Create<TTkFilenameEdit>(this);
    WPFileSelect->SetName("WPFileSelect");
    WPFileSelect->AddQuotes = false;
    WPFileSelect->SetDialogKind(dkOpenPicture);
    WPFileSelect->SetFilter("Pictures|*.bmp;*.gif;*.jpg");
    WPFileSelect->SetDialogOptions(
        {ofHideReadOnly, ofFileMustExist, ofNoNetworkButton, ofDontAddToRecent});
    WPFileSelect->SetDirectInput(false);
    WPFileSelect->SetButtonWidth(25);
    WPFileSelect->SetTabStop(false);
    WPFileSelect->SetVisible(false);
    WPFileSelect->SetBounds(14, 228, 200, 21);
    WPFileSelect->OnAfterDialog = TExecOpenDialogEvent(this, &TForm1::WPFileSelectAfterDialog);
    WPFileSelect->OnChange = TNotifyEvent(this, &TForm1::SelectWPFile);
    WPFileSelect->SetParent(box);
}

void TForm1::CreateAboutPage(TWinControl* page) {
    auto* panel = Place<TPanel>(page, 60, 90, 340, 150);
    panel->SetName("AboutPanel");
    panel->SetBevelOuter(bvNone);
    auto* title = Place<TStaticText>(panel, 0, 20, 340, 24);
    title->SetCaption("Quorvane 1.5");
    title->SetAlignment(taCenter);
    title->Font()->SetSize(14);
    auto* subtitle = Place<TStaticText>(panel, 0, 50, 340, 18);
    subtitle->SetCaption("Virtual Desktop Manager");
    subtitle->SetAlignment(taCenter);
    auto link = [&](const char* name, int top, const std::string& text, TNotifyEvent onClick) {
        auto* label = Create<TTkLinkLabel>(this);
        label->SetName(name);
        label->SetBounds(110, top, 120, 17);
        label->SetParent(panel);
        label->SetCaption("<LINK>" + text + "</LINK>");
        label->OnClick = onClick;
        return label;
    };
    TkLinkLabel2 = link("TkLinkLabel2", 90, "quorvane@example.org",
                        TNotifyEvent(this, &TForm1::TkLinkLabel2Click));
    TkLinkLabel3 = link("TkLinkLabel3", 112, "quorvane.example.org",
                        TNotifyEvent(this, &TForm1::TkLinkLabel3Click));
}

// ---- The desktop engine's view ----

TWindowHandle TForm1::ManagerWindow() {
    return HandleAllocated() ? TWin32WindowSystem::FromHwnd(Handle()) : 0;
}

TWindowHandle TForm1::ApplicationWindow() {
    return TWin32WindowSystem::FromHwnd(Application->Handle());
}

void TForm1::SetDeskChecked(int desk, bool checked) {
    if (desk < 0 || desk > 3)
        return;
    DeskAct[desk]->SetChecked(checked);
    TI_Desktop[desk]->SetChecked(checked);
}

void TForm1::SetTrayHint(const std::string& text) {
    QxTrayIcon1->SetHint(text);
}

void TForm1::SetStatusText(const std::string& text) {
    StatusBar1->SetSimpleText(text);
}

void TForm1::SetTrayIcon(int desk) {
    if (desk >= 0 && desk < ImageList1->Count())
        ImageList1->GetIcon(desk, QxTrayIcon1->Icon());
}

void TForm1::PostActiveDesk(int desk) {
    if (desk >= 0 && desk < 4)
        PostToBand(WM_ACTIVEDESK1 + static_cast<UINT>(desk), 0);
}

bool TForm1::IsManagerVisible() {
    return Visible();
}

void TForm1::BringApplicationToFront() {
    SetForegroundWindow(Application->Handle());
}

TWindowHandle TForm1::SelectedWindow() {
    TTreeNode* node = TreeView1->Selected();
    if (node == nullptr || node->Level() != 2)
        return 0;
    return static_cast<TWindowHandle>(reinterpret_cast<std::uintptr_t>(node->Data));
}

TTreeNode* TForm1::RootNode() {
    return TreeView1->Items()->Count() > 0 ? TreeView1->Items()->Item(0) : nullptr;
}

// ---- The desktop count ----

void TForm1::SetCopyMoveVisible(int desk, bool visible) {
    if (desk == 2) {
        CopyTo3Act->SetVisible(visible);
        MoveTo3Act->SetVisible(visible);
    } else if (desk == 3) {
        CopyTo4Act->SetVisible(visible);
        MoveTo4Act->SetVisible(visible);
    }
}

void TForm1::SetDeskActionAvailable(int desk, bool available) {
    if (desk < 0 || desk > 3)
        return;
    DeskAct[desk]->SetEnabled(available);
    DeskAct[desk]->SetVisible(available);
}

void TForm1::SetTrayItemVisible(int desk, bool visible) {
    if (desk >= 0 && desk < 4)
        TI_Desktop[desk]->SetVisible(visible);
}

void TForm1::AddDeskNode(int k) {
    TTreeNode* root = RootNode();
    if (root == nullptr || (k != 2 && k != 3))
        return;
    const int desk = k + 1;
    TTreeNode* node = TreeView1->Items()->AddChild(
        root, "Desktop " + std::to_string(desk) + " (" + getDeskHotKeyStr(settings_.SwitchHotKey, desk) + ")");
    node->SetImageIndex(desk);
    node->SetSelectedIndex(desk);
    node->SetStateIndex(desk);
}

void TForm1::DeleteDeskNode(int i) {
    TTreeNode* root = RootNode();
    if (root != nullptr && i >= 0 && i < root->Count())
        root->Item(i)->Delete();
}

void TForm1::MainProc(int desk) {
    engine_->MainProc(desk);
}

void TForm1::MoveAllWins(int from, int to) {
    engine_->MoveAllWins(from, to);
}

int TForm1::ActiveDesk() {
    return engine_->ActiveDesk;
}

void TForm1::ChangeDesktopNum(int oldCount, int newCount) {
    ::ChangeDesktopNum(*this, oldCount, newCount);
}

// ---- Pages ----

void TForm1::SetActivePage(int page) {
    if (page < 0 || page > 3)
        return;
    activePage_ = page;
    PageControl1->SetActivePageIndex(page);
}

void TForm1::ShowOnPage(int page) {
    Show();
    RestoreSettings();
    SetActivePage(page);
    RefreshTree();
    BringApplicationToFront();
}

void TForm1::TkNavBar1Pages0Buttons0Click(TObject*) {
    SetActivePage(0);
}

void TForm1::TkNavBar1Pages0Buttons1Click(TObject*) {
    SetActivePage(1);
}

void TForm1::TkNavBar1Pages0Buttons2Click(TObject*) {
    SetActivePage(2);
}

void TForm1::TkNavBar1Pages0Buttons3Click(TObject*) {
    SetActivePage(3);
}

void TForm1::Desktops1Click(TObject*) {
    ShowOnPage(0);
}

void TForm1::Preferences1Click(TObject*) {
    ShowOnPage(1);
}

void TForm1::Wallpapers1Click(TObject*) {
    ShowOnPage(2);
}

void TForm1::About1Click(TObject*) {
    Show();
    RestoreSettings();
    SetActivePage(3);
}

void TForm1::TrayIconClick(TObject*, TMouseButton Button, TShiftState, int, int) {
    if (Button == mbLeft) {
        if (engine_->SwitchAllowed)
            engine_->MainProc(-1);
    } else if (Button == mbRight && settings_.ShowTreeOnRightClick) {
        // Forward first, then the tree: the window is in front while the tree is rebuilt.
        Show();
        RestoreSettings();
        SetActivePage(0);
        BringApplicationToFront();
        RefreshTree();
    }
}

void TForm1::DeskActExecute(TObject* Sender) {
    const int desk = static_cast<int>(static_cast<TComponent*>(Sender)->Tag());
    if (desk == engine_->ActiveDesk) {
        // A click on the active desktop's check button lifted it: it stays down.
        if (desk >= 0 && desk < 4 && DeskButton[desk] != nullptr)
            DeskButton[desk]->SetDown(true);
    } else if (engine_->SwitchAllowed) {
        engine_->MainProc(desk);
    }
}
