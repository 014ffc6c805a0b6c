// The Desktops page's tree: the desktops with their windows and icons, its popup menu, and its
// drag and drop.
#include "desktops/Win32WindowSystem_win.h"
#include "desktops/WindowCommands.h"
#include "framework/controls/Action.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/controls/PageControl_win.h"
#include "framework/controls/Panel_win.h"
#include "framework/controls/TreeView_win.h"
#include "framework/graphics/Icon_win.h"
#include "manager_ui/Form1_win.h"
#include "manager_ui/ProgramIcons_win.h"
#include "manager_ui/WindowIcons_win.h"

namespace {

// Images 0 to 4 of the tree: the root and desktops 1 to 4.
constexpr int kFixedTreeImages = 5;

TWindowHandle NodeWindow(const TTreeNode* node) {
    return static_cast<TWindowHandle>(reinterpret_cast<std::uintptr_t>(node->Data));
}

TTreeLevel LevelOf(const TTreeNode* node) {
    if (node == nullptr)
        return TTreeLevel::None;
    switch (node->Level()) {
    case 0:
        return TTreeLevel::Root;
    case 1:
        return TTreeLevel::Desk;
    case 2:
        return TTreeLevel::Window;
    default:
        return TTreeLevel::None;
    }
}

} // namespace

void TForm1::SetUpTree() {
    TreeViewImg = Create<TTreeImageList>(this);
    TreeViewImg->SetName("TreeViewImg");
    TIcon icon;
    for (const char* name : {"MAINICON", "DESK1", "DESK2", "DESK3", "DESK4"}) {
        // A missing picture keeps its place, so the desktops keep their image numbers.
        if (LoadProgramIcon(&icon, name) && TreeViewImg->AddIcon(&icon) >= 0)
            continue;
        AddBorrowedIcon(TreeViewImg, LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
    }
    TreeView1->SetImages(TreeViewImg);
    TreeView1->SetIndent(35);
    TreeView1->DragMode = dmAutomatic;
    TreeView1->OnMouseDown = TMouseEvent(this, &TForm1::TreeView1MouseDown);
    TreeView1->OnMouseUp = TMouseEvent(this, &TForm1::TreeView1MouseUp);
    TreeView1->OnDragOver = TDragOverEvent(this, &TForm1::TreeView1DragOver);
    TreeView1->OnDragDrop = TDragDropEvent(this, &TForm1::TreeView1DragDrop);
    if (TTreeNode* root = RootNode()) {
        root->SetImageIndex(0);
        root->SetSelectedIndex(0);
    }
    CreateToolBar(this);
}

void TForm1::CreateTreeMenus() {
    TreePopupMenu = Create<TTreePopup>(this);
    TreePopupMenu->SetName("TreePopupMenu");
    // Opened by the tree's right-button release handler only, after it is prepared.
    TreePopupMenu->AutoPopup = false;
    auto add = [&](TMenuItem* parent, TAction* action) {
        auto* item = Create<TMenuItem>(this);
        if (action != nullptr)
            item->SetAction(action);
        else
            item->SetCaption("-");
        parent->Add(item);
        return item;
    };
    TMenuItem* move = add(TreePopupMenu->Items(), MoveAct);
    for (TAction* a : MoveToAct)
        add(move, a);
    TMenuItem* copy = add(TreePopupMenu->Items(), CopyAct);
    for (TAction* a : CopyToAct)
        add(copy, a);
    add(TreePopupMenu->Items(), nullptr);
    add(TreePopupMenu->Items(), RemoveAct);
    add(TreePopupMenu->Items(), nullptr);
    add(TreePopupMenu->Items(), CloseWinAct);
}

TTreeNode* TForm1::DeskNode(int desk) {
    TTreeNode* root = RootNode();
    return root != nullptr && desk >= 0 && desk < root->Count() ? root->Item(desk) : nullptr;
}

bool TForm1::SelectedWindowNode(TWindowHandle& window, int& desk) {
    TTreeNode* node = TreeView1->Selected();
    if (node == nullptr || node->Level() != 2)
        return false;
    window = NodeWindow(node);
    desk = node->Parent()->Index();
    return true;
}

int TForm1::WinIconToBMP(TWindowHandle window) {
    return AddBorrowedIcon(TreeViewImg, GetAppIcon(TWin32WindowSystem::ToHwnd(window)));
}

void TForm1::RefreshTree() {
    TTreeNode* root = RootNode();
    if (root == nullptr)
        return;
    TWindowHandle keptWindow = 0;
    int keptDesk = -1;
    SelectedWindowNode(keptWindow, keptDesk);
    // Windows opened since the last switch belong in the active desktop's list first.
    engine_->RefreshListWins();
    const int count = std::min(root->Count(), std::min(engine_->NumDesks, 4));
    // Every image added or removed would hand the list to the tree again: it is lent back once,
    // when the rebuild is done.
    TreeView1->SetImages(nullptr);
    struct TImagesBack {
        TTreeView* tree;
        TCustomImageList* images;
        ~TImagesBack() { tree->SetImages(images); }
    } imagesBack{TreeView1, TreeViewImg};
    for (int desk = 0; desk < count; ++desk)
        root->Item(desk)->DeleteChildren();
    for (int i = TreeViewImg->Count() - 1; i >= kFixedTreeImages; --i)
        TreeViewImg->Delete(i);
    TTreeNode* select = nullptr;
    for (int desk = 0; desk < count; ++desk) {
        TTreeNode* deskNode = root->Item(desk);
        const TStringList& list = engine_->DeskWins[static_cast<std::size_t>(desk)];
        for (TWindowHandle window : TopWindowsOf(list, *windowSystem_)) {
            const std::string title = WindowTitle(TWin32WindowSystem::ToHwnd(window));
            if (title.empty())
                continue;
            TTreeNode* node = TreeView1->Items()->AddChild(deskNode, title);
            node->Data = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window));
            const int image = WinIconToBMP(window);
            if (image >= 0) {
                node->SetImageIndex(image);
                node->SetSelectedIndex(image);
            }
            if (desk == keptDesk && window == keptWindow)
                select = node;
        }
        deskNode->Expand(false);
    }
    root->Expand(false);
    if (select != nullptr)
        TreeView1->SetSelected(select);
}

void TForm1::BuildPopupMenu(int desk, TWindowHandle window) {
    CopyAct->SetEnabled(true);
    MoveAct->SetEnabled(true);
    SelDesk = desk;
    // Only desktops that exist, and not the window's own.
    const std::array<bool, 4> visible = TargetItemsVisible(engine_->NumDesks, desk);
    TMenuItem* move = TreePopupMenu->Items()->Items(0);
    TMenuItem* copy = TreePopupMenu->Items()->Items(1);
    for (int d = 0; d < 4; ++d) {
        move->Items(d)->SetVisible(visible[static_cast<std::size_t>(d)]);
        copy->Items(d)->SetVisible(visible[static_cast<std::size_t>(d)]);
    }
    RemoveAct->SetEnabled(CanRemove(engine_->DeskWins, desk, window));
}

void TForm1::TreeView1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    TreeView1->SetSelected(TreeView1->GetNodeAt(X, Y));
}

void TForm1::TreeView1MouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    // The menu opens on the release, once the native tree has ended its own handling of the
    // press: opened from the press, its modal loop takes the release that the tree's drag-detect
    // loop (holding the mouse) waits for, and that loop then never ends.
    if (Button != mbRight)
        return;
    TTreeNode* node = TreeView1->GetNodeAt(X, Y);
    if (node == nullptr || node != TreeView1->Selected())
        return;
    TWindowHandle window = 0;
    int desk = 0;
    if (!SelectedWindowNode(window, desk))
        return;
    BuildPopupMenu(desk, window);
    const TPoint origin = TreeView1->ClientOrigin();
    TreePopupMenu->Popup(origin.X + X, origin.Y + Y);
}

void TForm1::RemoveMenuItemClick(TObject*) {
    TWindowHandle window = 0;
    int desk = 0;
    if (!SelectedWindowNode(window, desk))
        return;
    // Never off its last desktop, even if the item was reached while it should be disabled.
    RemoveFromDesktop(*engine_, SelDesk, window);
    RefreshTree();
}

void TForm1::CloseWinMenuItemClick(TObject*) {
    TWindowHandle window = 0;
    int desk = 0;
    if (!SelectedWindowNode(window, desk))
        return;
    PostMessageA(TWin32WindowSystem::ToHwnd(window), WM_SYSCOMMAND, SC_CLOSE, 0);
    // The program has this long to close its window before the tree is built again.
    Sleep(1000);
    RefreshTree();
}

void TForm1::TreeView1DragOver(TObject*, TObject*, int X, int Y, TDragState, bool& Accept) {
    Accept = AcceptDrop(LevelOf(TreeView1->Selected()), LevelOf(TreeView1->GetNodeAt(X, Y)));
}

void TForm1::TreeView1DragDrop(TObject*, TObject*, int X, int Y) {
    TTreeNode* dragged = TreeView1->Selected();
    TTreeNode* target = TreeView1->GetNodeAt(X, Y);
    if (!AcceptDrop(LevelOf(dragged), LevelOf(target)))
        return;
    const TWindowHandle window = NodeWindow(dragged);
    const int from = dragged->Parent()->Index();
    TDropResult result;
    if (target->Level() == 1) {
        result = DropOnDesk(*engine_, from, target->Index(), window);
    } else {
        // A move to another desktop inserts at the target's place in the tree, which counts only
        // the windows the tree shows: with owned or untitled entries listed, the window may land
        // before the drop point, but always within the list.
        result = DropOnWindow(*engine_, from, target->Parent()->Index(), window, NodeWindow(target),
                              target->Index());
    }
    if (result == TDropResult::None)
        return;
    // Nodes are gone from here on.
    RefreshTree();
    if (result == TDropResult::Changed)
        BringApplicationToFront();
}
