#include "framework/controls/TreeView_win.h"

#include <algorithm>
#include <utility>

#include "framework/core/Exceptions.h"
#include "framework/gui/Messages.h"
#include "framework/gui/Screen_win.h"

namespace {

// The native value for a node's image: "none" (-1 here) cannot be stored
// as -1, which the native control reads as "ask the parent".
int NativeImage(int index) { return index >= 0 ? index : I_IMAGENONE; }

}  // namespace

// --- TTreeNode ---

void TTreeNode::UpdateItem(UINT Mask) {
    TTreeView* tree = owner_->owner_;
    if (item_ == nullptr || !tree->HandleAllocated())
        return;
    TVITEMA tv{};
    tv.mask = Mask | TVIF_HANDLE;
    tv.hItem = item_;
    tv.pszText = text_.data();
    tv.iImage = NativeImage(imageIndex_);
    tv.iSelectedImage = NativeImage(selectedIndex_);
    tv.stateMask = TVIS_STATEIMAGEMASK;
    tv.state = INDEXTOSTATEIMAGEMASK(stateIndex_ > 0 ? stateIndex_ : 0);
    SendMessageA(tree->Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

void TTreeNode::SetText(const std::string& Value) {
    text_ = Value;
    UpdateItem(TVIF_TEXT);
}

void TTreeNode::SetImageIndex(int Value) {
    imageIndex_ = Value;
    UpdateItem(TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(int Value) {
    selectedIndex_ = Value;
    UpdateItem(TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetStateIndex(int Value) {
    stateIndex_ = Value;
    UpdateItem(TVIF_STATE);
}

int TTreeNode::Level() const {
    int level = 0;
    for (const TTreeNode* p = parent_; p != nullptr; p = p->parent_)
        ++level;
    return level;
}

int TTreeNode::Index() const {
    const auto& siblings = parent_ != nullptr ? parent_->children_ : owner_->roots_;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

TTreeNode* TTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError::IndexOutOfBounds(Index);
    return children_[static_cast<size_t>(Index)];
}

void TTreeNode::SetExpanded(bool Value, bool Recursive) {
    TTreeView* tree = owner_->owner_;
    std::vector<TTreeNode*> pending{this};
    while (!pending.empty()) {
        TTreeNode* n = pending.back();
        pending.pop_back();
        n->expanded_ = Value;
        if (n->item_ != nullptr && tree->HandleAllocated())
            SendMessageA(tree->Handle(), TVM_EXPAND, Value ? TVE_EXPAND : TVE_COLLAPSE,
                         reinterpret_cast<LPARAM>(n->item_));
        if (Recursive)
            pending.insert(pending.end(), n->children_.begin(), n->children_.end());
    }
}

void TTreeNode::Expand(bool Recursive) {
    SetExpanded(true, Recursive);
}

void TTreeNode::Collapse(bool Recursive) {
    SetExpanded(false, Recursive);
}

bool TTreeNode::Expanded() const {
    TTreeView* tree = owner_->owner_;
    if (item_ == nullptr || !tree->HandleAllocated())
        return expanded_;
    const LRESULT state =
        SendMessageA(tree->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED);
    return (state & TVIS_EXPANDED) != 0;
}

void TTreeNode::DeleteChildren() {
    while (!children_.empty())
        owner_->Delete(children_.back());
}

void TTreeNode::Delete() { owner_->Delete(this); }

bool TTreeNode::Selected() const { return owner_->owner_->Selected() == this; }

void TTreeNode::SetSelected(bool Value) {
    if (Value)
        owner_->owner_->SetSelected(this);
    else if (Selected())
        owner_->owner_->SetSelected(nullptr);
}

// --- TTreeNodes ---

TTreeNodes::~TTreeNodes() { FreeAll(); }

std::vector<TTreeNode*> TTreeNodes::Flatten() const {
    std::vector<TTreeNode*> out;
    std::vector<TTreeNode*> pending(roots_.rbegin(), roots_.rend());
    while (!pending.empty()) {
        TTreeNode* n = pending.back();
        pending.pop_back();
        out.push_back(n);
        pending.insert(pending.end(), n->children_.rbegin(), n->children_.rend());
    }
    return out;
}

int TTreeNodes::Count() const { return static_cast<int>(Flatten().size()); }

TTreeNode* TTreeNodes::Item(int Index) const {
    const std::vector<TTreeNode*> all = Flatten();
    if (Index < 0 || Index >= static_cast<int>(all.size()))
        throw EListError::IndexOutOfBounds(Index);
    return all[static_cast<size_t>(Index)];
}

void TTreeNodes::InsertNative(TTreeNode* Node) {
    if (!owner_->HandleAllocated())
        return;
    TVINSERTSTRUCTA ins{};
    ins.hParent = Node->parent_ != nullptr ? Node->parent_->item_ : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = Node->text_.data();
    ins.item.iImage = NativeImage(Node->imageIndex_);
    ins.item.iSelectedImage = NativeImage(Node->selectedIndex_);
    ins.item.lParam = reinterpret_cast<LPARAM>(Node);
    Node->item_ = reinterpret_cast<HTREEITEM>(
        SendMessageA(owner_->Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    if (Node->item_ == nullptr)
        throw EInvalidOperation("Cannot add a tree node");
    // Some native versions drop a negative image given at insertion and
    // show image 0: set it again.
    Node->UpdateItem(TVIF_IMAGE | TVIF_SELECTEDIMAGE);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& Text) {
    auto* node = new TTreeNode(this, Parent);
    node->text_ = Text;
    auto& siblings = Parent != nullptr ? Parent->children_ : roots_;
    siblings.push_back(node);
    try {
        InsertNative(node);
    } catch (...) {
        siblings.pop_back();
        delete node;
        throw;
    }
    return node;
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (Node == nullptr)
        return;
    if (Node->item_ != nullptr && owner_->HandleAllocated()) {
        // TVN_DELETEITEM frees the node objects.
        SendMessageA(owner_->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Node->item_));
        return;
    }
    FreeSubtree(Node);
}

void TTreeNodes::Clear() {
    while (!roots_.empty())
        Delete(roots_.back());
}

void TTreeNodes::NodeDeleted(TTreeNode* Node) {
    if (owner_->selected_ == Node)
        owner_->selected_ = nullptr;
    auto& siblings = Node->parent_ != nullptr ? Node->parent_->children_ : roots_;
    std::erase(siblings, Node);
    // Children still listed get their own notification; until then they
    // are roots of nothing.
    for (TTreeNode* child : Node->children_)
        child->parent_ = nullptr;
    delete Node;
}

void TTreeNodes::FreeSubtree(TTreeNode* Node) noexcept {
    auto& siblings = Node->parent_ != nullptr ? Node->parent_->children_ : roots_;
    std::erase(siblings, Node);
    std::vector<TTreeNode*> pending{Node};
    while (!pending.empty()) {
        TTreeNode* n = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), n->children_.begin(), n->children_.end());
        if (owner_->selected_ == n)
            owner_->selected_ = nullptr;
        delete n;
    }
}

void TTreeNodes::FreeAll() noexcept {
    while (!roots_.empty())
        FreeSubtree(roots_.back());
}

// --- TTreeView ---

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner), items_(this) {
    ControlStyle.Exclude(csClickEvents).Exclude(csCaptureMouse).Exclude(csSetCaption);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
    imageLink_.OnChange = TNotifyEvent(this, &TTreeView::ImagesChanged);
}

TTreeView::~TTreeView() {
    if (images_ != nullptr)
        images_->UnRegisterChanges(&imageLink_);
    items_.FreeAll();
}

void TTreeView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.WinClassName = WC_TREEVIEWA;
    Params.Style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT;
    if (!readOnly_)
        Params.Style |= TVS_EDITLABELS;
    if (!hideSelection_)
        Params.Style |= TVS_SHOWSELALWAYS;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.Caption.clear();
}

void TTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    HWND h = Handle();
    SendMessageA(h, TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
    if (images_ != nullptr)
        SendMessageA(h, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_->Handle()));
    // Nodes kept over a destroyed window (or added before it existed):
    // parents come before their children in this order.
    const std::vector<TTreeNode*> nodes = items_.Flatten();
    for (TTreeNode* n : nodes)
        items_.InsertNative(n);
    // A node expands only once its children are in.
    for (TTreeNode* n : nodes)
        if (n->expanded_)
            SendMessageA(h, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(n->item_));
    TTreeNode* selected = std::exchange(selected_, nullptr);
    if (selected != nullptr)
        SendMessageA(h, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected->item_));
}

void TTreeView::DestroyWnd() {
    // What the user made of the window outlives it.
    const std::vector<TTreeNode*> nodes = items_.Flatten();
    for (TTreeNode* n : nodes)
        n->expanded_ = n->Expanded();
    TTreeNode* selected = Selected();
    keepNodes_ = true;
    try {
        TWinControl::DestroyWnd();
    } catch (...) {
        keepNodes_ = false;
        throw;
    }
    keepNodes_ = false;
    for (TTreeNode* n : nodes)
        n->item_ = nullptr;
    selected_ = selected;
}

void TTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        if (HandleAllocated())
            SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    }
    TWinControl::Notification(AComponent, Operation);
}

void TTreeView::SetImages(TCustomImageList* Value) {
    if (images_ == Value)
        return;
    if (images_ != nullptr)
        images_->UnRegisterChanges(&imageLink_);
    images_ = Value;
    if (Value != nullptr) {
        Value->RegisterChanges(&imageLink_);
        Value->FreeNotification(this);
    }
    if (HandleAllocated())
        SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                     reinterpret_cast<LPARAM>(Value != nullptr ? Value->Handle() : nullptr));
}

void TTreeView::ImagesChanged(TObject*) {
    if (HandleAllocated() && images_ != nullptr)
        SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_->Handle()));
}

void TTreeView::SetReadOnly(bool Value) {
    if (readOnly_ == Value)
        return;
    readOnly_ = Value;
    if (HandleAllocated()) {
        const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
        SetWindowLongA(Handle(), GWL_STYLE, Value ? (style & ~TVS_EDITLABELS) : (style | TVS_EDITLABELS));
    }
}

void TTreeView::SetHideSelection(bool Value) {
    if (hideSelection_ == Value)
        return;
    hideSelection_ = Value;
    if (HandleAllocated()) {
        const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
        SetWindowLongA(Handle(), GWL_STYLE, Value ? (style & ~TVS_SHOWSELALWAYS) : (style | TVS_SHOWSELALWAYS));
        Invalidate();
    }
}

void TTreeView::SetIndent(int Value) {
    indent_ = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), TVM_SETINDENT, static_cast<WPARAM>(Value), 0);
}

TTreeNode* TTreeView::Selected() {
    if (!HandleAllocated())
        return selected_;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr)
        return nullptr;
    TVITEMA tv{};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return NodeOf(tv.lParam);
}

void TTreeView::SetSelected(TTreeNode* Value) {
    if (!HandleAllocated()) {
        selected_ = Value;
        return;
    }
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(Value != nullptr ? Value->item_ : nullptr));
}

TTreeNode* TTreeView::GetNodeAt(int X, int Y) {
    if (!HandleAllocated())
        return nullptr;
    TVHITTESTINFO hit{};
    hit.pt = POINT{X, Y};
    SendMessageA(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.hItem == nullptr || (hit.flags & TVHT_ONITEM) == 0)
        return nullptr;
    TVITEMA tv{};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = hit.hItem;
    SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return NodeOf(tv.lParam);
}

void TTreeView::HandleNotify(TMessage& Message) {
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    // The W forms share the layout of every field read here (the tree may
    // ask in either form).
    switch (hdr->code) {
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(Message.LParam);
        TTreeNode* node = NodeOf(nm->itemOld.lParam);
        if (node == nullptr)
            return;
        if (keepNodes_)
            node->item_ = nullptr;
        else
            items_.NodeDeleted(node);
        return;
    }
    case TVN_GETDISPINFOA:
    case TVN_GETDISPINFOW: {
        auto* di = reinterpret_cast<NMTVDISPINFOA*>(Message.LParam);
        TTreeNode* node = NodeOf(di->item.lParam);
        if (node == nullptr)
            return;
        if (di->item.mask & TVIF_IMAGE)
            di->item.iImage = node->imageIndex_;
        if (di->item.mask & TVIF_SELECTEDIMAGE)
            di->item.iSelectedImage = node->selectedIndex_;
        return;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(Message.LParam);
        if (OnChange)
            OnChange(this, NodeOf(nm->itemNew.lParam));
        return;
    }
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW: {
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(Message.LParam);
        TTreeNode* node = NodeOf(nm->itemNew.lParam);
        if (DragMode == dmAutomatic && node != nullptr && !dragging_)
            RunDrag(node);
        return;
    }
    case TVN_BEGINLABELEDITA:
        Message.Result = readOnly_ ? TRUE : FALSE;
        return;
    case TVN_ENDLABELEDITA: {
        auto* di = reinterpret_cast<NMTVDISPINFOA*>(Message.LParam);
        if (di->item.pszText != nullptr && !readOnly_) {
            if (TTreeNode* node = NodeOf(di->item.lParam))
                node->text_ = di->item.pszText;
            Message.Result = TRUE;
        }
        return;
    }
    default:
        return;
    }
}

void TTreeView::HandleButtonDown(TMessage& Message, TMouseButton Button) {
    const int x = static_cast<short>(LOWORD(Message.LParam));
    const int y = static_cast<short>(HIWORD(Message.LParam));
    if (Button == mbRight && RightClickSelect)
        if (TTreeNode* node = GetNodeAt(x, y))
            SetSelected(node);
    // OnMouseDown first, then the native procedure with its drag-detect
    // loop, which may swallow the release (or start a drag, whose release
    // is the drop's).
    dragged_ = false;
    TWinControl::WndProc(Message);
    const int vk = Button == mbLeft ? VK_LBUTTON : VK_RBUTTON;
    if (!dragged_ && GetKeyState(vk) >= 0 && HandleAllocated()) {
        POINT p{};
        const DWORD pos = GetMessagePos();
        p.x = static_cast<short>(LOWORD(pos));
        p.y = static_cast<short>(HIWORD(pos));
        ::ScreenToClient(Handle(), &p);
        TShiftState shift;
        if (GetKeyState(VK_SHIFT) < 0)
            shift.Include(ssShift);
        if (GetKeyState(VK_CONTROL) < 0)
            shift.Include(ssCtrl);
        MouseUp(Button, shift, p.x, p.y);
    }
}

void TTreeView::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_NOTIFY:
        HandleNotify(Message);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        HandleButtonDown(Message, mbLeft);
        return;
    case WM_RBUTTONDOWN:
        HandleButtonDown(Message, mbRight);
        return;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

// --- Drag and drop ---

namespace {

// Ends a drag however the loop is left: the capture and the drag cursor go, the source stops
// dragging.
class TDragScope {
public:
    TDragScope(bool& Dragging, HWND Window) : dragging_(Dragging), window_(Window) {
        dragging_ = true;
    }
    ~TDragScope() {
        dragging_ = false;
        if (GetCapture() == window_)
            ReleaseCapture();
        if (Screen != nullptr)
            Screen->SetCursor(crDefault);
    }
    TDragScope(const TDragScope&) = delete;
    TDragScope& operator=(const TDragScope&) = delete;

private:
    bool& dragging_;
    HWND window_;
};

POINT MessagePoint(const MSG& Msg) {
    POINT p{static_cast<short>(LOWORD(Msg.lParam)), static_cast<short>(HIWORD(Msg.lParam))};
    ClientToScreen(Msg.hwnd, &p);
    return p;
}

}  // namespace

TTreeView* TTreeView::DragTargetAt(POINT P) {
    for (HWND h = WindowFromPoint(P); h != nullptr; h = GetParent(h))
        if (TWinControl* control = TWinControl::FindControl(h))
            return dynamic_cast<TTreeView*>(control);
    return nullptr;
}

bool TTreeView::AskDragOver(TTreeView* Target, POINT P, TDragState State) {
    if (Target == nullptr || !Target->OnDragOver)
        return false;
    ::ScreenToClient(Target->Handle(), &P);
    bool accept = true;
    Target->OnDragOver(Target, this, P.x, P.y, State, accept);
    return accept;
}

void TTreeView::RunDrag(TTreeNode* Node) {
    dragged_ = true;
    TDragScope scope(dragging_, Handle());
    SetSelected(Node);
    if (OnStartDrag)
        OnStartDrag(this);
    SetCapture(Handle());
    TTreeView* target = nullptr;
    bool accept = false;
    // The target under P hears of the move (enter, move, or leave for the one left behind).
    // The node a drop would land on is highlighted in its tree while the target accepts.
    auto highlight = [](TTreeView* tree, POINT p, bool on) {
        if (tree == nullptr || !tree->HandleAllocated())
            return;
        HTREEITEM item = nullptr;
        if (on) {
            ::ScreenToClient(tree->Handle(), &p);
            if (TTreeNode* node = tree->GetNodeAt(p.x, p.y))
                item = node->ItemId();
        }
        SendMessageA(tree->Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(item));
    };
    auto moveTo = [&](POINT p) {
        TTreeView* now = DragTargetAt(p);
        if (now != target && target != nullptr) {
            highlight(target, p, false);
            AskDragOver(target, p, dsDragLeave);
        }
        const TDragState state = now != target ? dsDragEnter : dsDragMove;
        target = now;
        accept = AskDragOver(target, p, state);
        highlight(target, p, accept);
        if (Screen != nullptr)
            Screen->SetCursor(accept ? DragCursor : crNoDrop);
    };
    POINT at{};
    bool dropped = false;
    // Runs until the release, a cancel or the mouse taken away; `at` follows the pointer.
    auto runLoop = [&] {
        for (bool running = true; running;) {
            if (GetCapture() != Handle())
                break; // someone took the mouse: cancelled
            MSG msg;
            const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got <= 0) {
                if (got == 0)
                    PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            switch (msg.message) {
            case WM_MOUSEMOVE:
                at = MessagePoint(msg);
                moveTo(at);
                break;
            case WM_LBUTTONUP:
                at = MessagePoint(msg);
                moveTo(at);
                dropped = accept && target != nullptr;
                running = false;
                break;
            case WM_RBUTTONDOWN:
            case WM_CANCELMODE:
                running = false;
                break;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                if (msg.wParam == VK_ESCAPE)
                    running = false;
                break;
            case WM_KEYUP:
            case WM_SYSKEYUP:
            case WM_CHAR:
            case WM_LBUTTONDOWN:
            case WM_RBUTTONUP:
                break; // the drag has the mouse and the keyboard to itself
            default:
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                break;
            }
        }
    };
    // Whatever raises in a handler, the highlight goes and the source hears once that the drag
    // ended (with no target); the error then goes on to the caller.
    auto abandon = [&] {
        highlight(target, at, false);
        if (GetCapture() == Handle())
            ReleaseCapture();
        POINT local = at;
        ::ScreenToClient(Handle(), &local);
        if (OnEndDrag)
            OnEndDrag(this, nullptr, local.x, local.y);
    };
    try {
        GetCursorPos(&at);
        moveTo(at);
        runLoop();
    } catch (...) {
        abandon();
        throw;
    }
    highlight(target, at, false);
    if (!dropped && target != nullptr) {
        TTreeView* left = std::exchange(target, nullptr);
        try {
            AskDragOver(left, at, dsDragLeave);
        } catch (...) {
            abandon();
            throw;
        }
    }
    // The mouse is given back before the handlers run: a drop handler may open windows or menus.
    if (GetCapture() == Handle())
        ReleaseCapture();
    if (Screen != nullptr)
        Screen->SetCursor(crDefault);
    POINT local = at;
    TTreeView* endTarget = dropped ? target : nullptr;
    ::ScreenToClient(endTarget != nullptr ? endTarget->Handle() : Handle(), &local);
    if (dropped && target->OnDragDrop) {
        try {
            target->OnDragDrop(target, this, local.x, local.y);
        } catch (...) {
            if (OnEndDrag)
                OnEndDrag(this, endTarget, local.x, local.y);
            throw;
        }
    }
    if (OnEndDrag)
        OnEndDrag(this, endTarget, local.x, local.y);
}
