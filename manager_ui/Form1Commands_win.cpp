// The window commands of the manager window: its actions, the tool bar of the Desktops page with
// its drop-down menus, and their handlers.
#include <windows.h>

#include <shellapi.h>

#include "desktops/WindowCommands.h"
#include "framework/controls/Action.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/controls/Panel_win.h"
#include "framework/controls/Splitter_win.h"
#include "framework/controls/ToolBar_win.h"
#include "framework/controls/TreeView_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Brush_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Icon_win.h"
#include "framework/graphics/Pen_win.h"
#include "framework/gui/Application_win.h"
#include "manager_ui/Form1_win.h"
#include "manager_ui/ProgramIcons_win.h"

namespace {

const char* const kWebPage = "https://quorvane.example.org/";
const char* const kMailAddress = "quorvane@example.org";

// The tool bar's pictures (24 x 24): refresh, desktops 1 to 4, move, add, remove, close, add to
// all, in this order.
enum TToolImage { tiRefresh, tiDesk1, tiMove = 5, tiCopy, tiRemove, tiClose, tiFavor };

constexpr TColor kMask = 0x00FF00FF;
constexpr TColor kInk = 0x00704010;

TPoint P(int x, int y) {
    return TPoint{x, y};
}

// One simple glyph, drawn so that the bar needs no picture files.
void DrawGlyph(TCanvas* c, TToolImage image) {
    c->Brush()->SetColor(kInk);
    c->Pen()->SetColor(kInk);
    c->Pen()->SetWidth(3);
    switch (image) {
    case tiRefresh: // a circle with an arrow head
        c->Brush()->SetColor(kMask);
        c->Ellipse(4, 4, 20, 20);
        c->Brush()->SetColor(kInk);
        c->Pen()->SetWidth(1);
        c->Polygon({P(14, 1), P(22, 6), P(14, 10)});
        break;
    case tiMove: // an arrow to the right
        c->Pen()->SetWidth(1);
        c->Polygon({P(2, 9), P(12, 9), P(12, 3), P(22, 12), P(12, 21), P(12, 15), P(2, 15)});
        break;
    case tiCopy: // a plus
        c->Pen()->SetWidth(1);
        c->FillRect(TRect{9, 3, 15, 21});
        c->FillRect(TRect{3, 9, 21, 15});
        break;
    case tiRemove: // a minus
        c->FillRect(TRect{3, 9, 21, 15});
        break;
    case tiClose: // a cross
        c->MoveTo(5, 5);
        c->LineTo(19, 19);
        c->MoveTo(19, 5);
        c->LineTo(5, 19);
        break;
    case tiFavor: // a star
        c->Pen()->SetWidth(1);
        c->Polygon({P(12, 1), P(15, 9), P(23, 9), P(17, 14), P(19, 22), P(12, 17), P(5, 22),
                    P(7, 14), P(1, 9), P(9, 9)});
        break;
    default:
        break;
    }
}

void AddGlyph(TCustomImageList* list, TToolImage image) {
    AddDrawnImage(list, kMask, [image](TCanvas* c) { DrawGlyph(c, image); });
}

} // namespace

void TForm1::CreateWindowActions() {
    auto action = [&](const std::string& name, const std::string& caption, TNotifyEvent onExecute) {
        auto* a = Create<TAction>(this);
        a->SetName(name);
        a->SetCaption(caption);
        a->SetActionList(ActMan);
        a->OnExecute = onExecute;
        return a;
    };
    RefreshAct = action("RefreshAct", "&Refresh", TNotifyEvent(this, &TForm1::RefreshActExecute));
    RefreshAct->SetHint("Refresh Desktop");
    RefreshAct->SetShortCut(TextToShortCut("Ctrl+R"));
    WebPageAct = action("WebPageAct", "&Web Page", TNotifyEvent(this, &TForm1::WebPageActExecute));
    WebPageAct->SetShortCut(TextToShortCut("Ctrl+W"));
    AboutAct = action("AboutAct", "About Quorvane", TNotifyEvent(this, &TForm1::AboutActExecute));
    // The parents of the submenus: their work is in the submenu items.
    MoveAct = action("MoveAct", "Move To", nullptr);
    CopyAct = action("CopyAct", "Add To", nullptr);
    RemoveAct = action("RemoveAct", "Remove", TNotifyEvent(this, &TForm1::RemoveMenuItemClick));
    CloseWinAct = action("CloseWinAct", "Close Application",
                         TNotifyEvent(this, &TForm1::CloseWinMenuItemClick));
    for (int desk = 0; desk < 4; ++desk) {
        const std::string n = std::to_string(desk + 1);
        MoveToAct[desk] = action("MoveTo" + n + "Act", "Desktop " + n,
                                 TNotifyEvent(this, &TForm1::MoveToActExecute));
        MoveToAct[desk]->SetTag(desk);
        CopyToAct[desk] = action("CopyTo" + n + "Act", "Desktop " + n,
                                 TNotifyEvent(this, &TForm1::CopyToActExecute));
        CopyToAct[desk]->SetTag(desk);
    }
    MoveTo3Act = MoveToAct[2];
    MoveTo4Act = MoveToAct[3];
    CopyTo3Act = CopyToAct[2];
    CopyTo4Act = CopyToAct[3];

    // The drop-down menus of the tool bar: the four desktops and a fifth item for no selection.
    auto dropDown = [&](const std::string& name, const std::array<TAction*, 4>& actions) {
        auto* menu = Create<TTreePopup>(this);
        menu->SetName(name);
        for (TAction* a : actions) {
            auto* item = Create<TMenuItem>(this);
            item->SetAction(a);
            menu->Items()->Add(item);
        }
        auto* none = Create<TMenuItem>(this);
        none->SetCaption("<Please select an application>");
        menu->Items()->Add(none);
        menu->OnPopup = TNotifyEvent(this, &TForm1::MoveToPopupMenuPopup);
        return menu;
    };
    MoveToPopupMenu = dropDown("MoveToPopupMenu", MoveToAct);
    CopyToPopupMenu = dropDown("CopyToPopupMenu", CopyToAct);
}

void TForm1::CreateToolBar(TWinControl* page) {
    ToolBarImages = TTreeImageList::CreateWithSize<TTreeImageList>(this, 24, 24);
    ToolBarImages->SetName("ToolBarImages");
    AddGlyph(ToolBarImages, tiRefresh);
    for (int desk = 1; desk <= 4; ++desk) {
        TIcon icon;
        if (!LoadProgramIcon(&icon, "DESK" + std::to_string(desk)) ||
            ToolBarImages->AddIcon(&icon) < 0)
            AddGlyph(ToolBarImages, tiRemove);
    }
    for (TToolImage image : {tiMove, tiCopy, tiRemove, tiClose, tiFavor})
        AddGlyph(ToolBarImages, image);

    ToolBar1 = Create<TToolBar>(this);
    ToolBar1->SetName("ToolBar1");
    ToolBar1->SetFlat(true);
    ToolBar1->SetButtonSize(31, 31);
    ToolBar1->SetImages(ToolBarImages);
    ToolBar1->SetHeight(33);
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetParent(page);
    // A line under the tool bar, across the window.
    Splitter2 = Create<TSplitter>(this);
    Splitter2->SetName("Splitter2");
    Splitter2->Movable = false;
    Splitter2->SetBounds(0, ToolBar1->Top() + ToolBar1->Height(), page->ClientWidth(), 1);
    Splitter2->SetAlign(alTop);
    Splitter2->SetParent(page);
    auto button = [&](const std::string& name, TToolButtonStyle style, int image) {
        auto* b = Create<TToolButton>(this);
        if (!name.empty())
            b->SetName(name);
        b->SetStyle(style);
        b->SetImageIndex(image);
        b->SetToolBar(ToolBar1);
        return b;
    };
    auto separator = [&] { button("", tbsSeparator, -1); };
    TB_Refresh = button("ToolButton1", tbsButton, tiRefresh);
    TB_Refresh->SetAction(RefreshAct);
    // The action's picture is the menus' (MMenuImgList); the bar keeps its own.
    TB_Refresh->SetImageIndex(tiRefresh);
    separator();
    for (int desk = 0; desk < 4; ++desk) {
        DeskButton[desk] =
            button("ToolButton" + std::to_string(desk + 4), tbsCheck, tiDesk1 + desk);
        DeskButton[desk]->SetAction(DeskAct[desk]);
    }
    separator();
    TB_MoveTo = button("TB_MoveTo", tbsDropDown, tiMove);
    TB_MoveTo->SetCaption("Move To");
    TB_MoveTo->SetHint("Move selected application to");
    TB_MoveTo->SetDropdownMenu(MoveToPopupMenu);
    TB_MoveTo->OnClick = TNotifyEvent(this, &TForm1::TB_MoveToClick);
    separator();
    TB_CopyTo = button("TB_CopyTo", tbsDropDown, tiCopy);
    TB_CopyTo->SetHint("Add selected application to");
    TB_CopyTo->SetDropdownMenu(CopyToPopupMenu);
    TB_CopyTo->OnClick = TNotifyEvent(this, &TForm1::TB_CopyToClick);
    TB_Remove = button("TB_Remove", tbsButton, tiRemove);
    TB_Remove->SetHint("Remove selected application from desktop");
    TB_Remove->OnClick = TNotifyEvent(this, &TForm1::TB_RemoveClick);
    TB_CloseApp = button("TB_CloseApp", tbsButton, tiClose);
    TB_CloseApp->SetHint("Close selected application");
    TB_CloseApp->SetVisible(false);
    separator();
    TB_Favor = button("TB_Favor", tbsButton, tiFavor);
    TB_Favor->SetHint("Add selected application to all desktops");
    TB_Favor->OnClick = TNotifyEvent(this, &TForm1::TB_FavorClick);
}

// ---- Handlers ----

void TForm1::RefreshActExecute(TObject*) {
    RefreshTree();
    SetActivePage(0);
}

void TForm1::MoveToActExecute(TObject* Sender) {
    const int target = static_cast<int>(static_cast<TComponent*>(Sender)->Tag());
    if (target != SelDesk)
        engine_->MoveAppWin(SelDesk, target);
}

void TForm1::CopyToActExecute(TObject* Sender) {
    const int target = static_cast<int>(static_cast<TComponent*>(Sender)->Tag());
    if (target != SelDesk)
        engine_->CopyAppWin(SelDesk, target);
}

void TForm1::MoveToPopupMenuPopup(TObject* Sender) {
    auto* menu = dynamic_cast<TPopupMenu*>(Sender);
    if (menu == nullptr || menu->Items()->Count() < 5)
        return;
    TWindowHandle window = 0;
    int desk = 0;
    const bool selected = activePage_ == 0 && SelectedWindowNode(window, desk);
    std::array<bool, 4> visible{};
    if (selected) {
        SelDesk = desk;
        visible = TargetItemsVisible(engine_->NumDesks, desk);
    }
    for (int d = 0; d < 4; ++d)
        menu->Items()->Items(d)->SetVisible(visible[static_cast<std::size_t>(d)]);
    menu->Items()->Items(4)->SetVisible(!selected);
}

void TForm1::TB_MoveToClick(TObject*) {
    TB_MoveTo->CheckMenuDropdown();
}

void TForm1::TB_CopyToClick(TObject*) {
    TB_CopyTo->CheckMenuDropdown();
}

void TForm1::TB_RemoveClick(TObject*) {
    TWindowHandle window = 0;
    int desk = 0;
    if (activePage_ != 0 || !SelectedWindowNode(window, desk))
        return;
    SelDesk = desk;
    if (RemoveFromDesktop(*engine_, desk, window))
        RefreshTree();
}

void TForm1::TB_FavorClick(TObject*) {
    TWindowHandle window = 0;
    int desk = 0;
    if (activePage_ != 0 || !SelectedWindowNode(window, desk))
        return;
    SelDesk = desk;
    AddToAllDesktops(*engine_, desk, window);
    RefreshTree();
    BringApplicationToFront();
}

void TForm1::WebPageActExecute(TObject*) {
    OpenLink(kWebPage);
}

void TForm1::OpenLink(const std::string& Target) {
    ShellOpen(Target, SW_SHOWNORMAL);
}

void TForm1::ShellOpen(const std::string& Target, int ShowCommand) {
    ShellExecuteA(Application->Handle(), "open", Target.c_str(), nullptr, nullptr, ShowCommand);
}

void TForm1::TkLinkLabel2Click(TObject*) {
    OpenLink(std::string("mailto:") + kMailAddress);
}

void TForm1::TkLinkLabel3Click(TObject*) {
    OpenLink(kWebPage);
}

void TForm1::AboutActExecute(TObject*) {
    About1Click(this);
}
