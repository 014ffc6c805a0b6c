#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/controls/ImageList_win.h"
#include "framework/gui/WinControl_win.h"

class TTreeView;
class TTreeNodes;

// One node of a tree view. The object rides in the native item's lParam
// and is freed when the native item is deleted (TVN_DELETEITEM).
class TTreeNode : public TObject {
    FW_CLASS(TTreeNode, TObject)
public:
    const std::string& Text() const noexcept { return text_; }
    void SetText(const std::string& Value);
    void* Data = nullptr;
    // -1: no image (a new node has none).
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int Value);
    int SelectedIndex() const noexcept { return selectedIndex_; }
    void SetSelectedIndex(int Value);
    int StateIndex() const noexcept { return stateIndex_; }
    void SetStateIndex(int Value);

    TTreeNode* Parent() const noexcept { return parent_; }
    // 0 for a root node.
    int Level() const;
    // The position among its siblings.
    int Index() const;
    int Count() const noexcept { return static_cast<int>(children_.size()); }
    TTreeNode* Item(int Index) const;
    // Also before the tree has a window: the window shows the state it is
    // given when it is made (and again when it is made anew).
    void Expand(bool Recursive);
    void Collapse(bool Recursive);
    bool Expanded() const;
    void DeleteChildren();
    void Delete();
    bool Selected() const;
    void SetSelected(bool Value);
    HTREEITEM ItemId() const noexcept { return item_; }
    TTreeNodes* Owner() const noexcept { return owner_; }

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNode(TTreeNodes* Owner, TTreeNode* Parent) : owner_(Owner), parent_(Parent) {}
    ~TTreeNode() override = default;
    void UpdateItem(UINT Mask);
    void SetExpanded(bool Value, bool Recursive);

    TTreeNodes* owner_;
    TTreeNode* parent_;
    std::vector<TTreeNode*> children_;
    HTREEITEM item_ = nullptr;
    std::string text_;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    int stateIndex_ = -1;
    bool expanded_ = false; // what the window shows, kept while there is none
};

// The nodes of a tree view. Item(i) counts every node in display order
// (depth first): Item(0) is the first root.
class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView* Owner) : owner_(Owner) {}
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    int Count() const;
    TTreeNode* Item(int Index) const;
    // Adds a node after Parent's last child (nullptr: a new root).
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& Text);
    // Deletes the node with its children.
    void Delete(TTreeNode* Node);
    void Clear();
    TTreeView* Owner() const noexcept { return owner_; }
    // The root nodes.
    int RootCount() const noexcept { return static_cast<int>(roots_.size()); }

private:
    friend class TTreeNode;
    friend class TTreeView;
    std::vector<TTreeNode*> Flatten() const;
    void NodeDeleted(TTreeNode* Node);
    void FreeSubtree(TTreeNode* Node) noexcept;
    void FreeAll() noexcept;
    void InsertNative(TTreeNode* Node);

    TTreeView* owner_;
    std::vector<TTreeNode*> roots_;
};

using TTVChangedEvent = TDelegate<void(TObject* Sender, TTreeNode* Node)>;

enum TDragMode : std::uint8_t { dmManual, dmAutomatic };
// A drag begins (the dragged node is selected by then).
using TStartDragEvent = TDelegate<void(TObject* Sender)>;
// A drag ended: Target is the control that took the drop, nullptr when it was cancelled or
// refused; (X, Y) are Target's client coordinates (the source's when there is no target).
using TEndDragEvent = TDelegate<void(TObject* Sender, TObject* Target, int X, int Y)>;

// A tree of text nodes with images (native SysTreeView32). A button press
// fires OnMouseDown before the native control runs its own drag-detect
// loop, and the release that loop swallows is reported afterwards;
// RightClickSelect selects the node under a right press.
//
// Drag and drop (DragMode dmAutomatic): the native begin-drag notification selects the dragged
// node, fires OnStartDrag and takes the mouse. While the button is held, every move asks the tree
// view under the pointer (this one or another of the process) through its OnDragOver, which
// starts with Accept true; a control without that handler, or no tree view, refuses. The cursor
// shows DragCursor over an accepting target and crNoDrop elsewhere. The release over an
// accepting target fires its OnDragDrop with this tree as Source. Escape, a right press or the
// loss of the capture cancel. OnEndDrag comes last either way. However a drag ends (a handler
// may raise), the capture and the drag cursor go with it.
class TTreeView : public TWinControl {
    FW_CLASS(TTreeView, TWinControl)
public:
    explicit TTreeView(TComponent* AOwner);
    ~TTreeView() override;

    TTreeNodes* Items() noexcept { return &items_; }
    // Also before the tree has a window: the node is selected when the
    // window is made.
    TTreeNode* Selected();
    void SetSelected(TTreeNode* Value);
    // The node at client point (X, Y), nullptr when there is none.
    TTreeNode* GetNodeAt(int X, int Y);
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool Value);
    bool RightClickSelect = false;
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool Value);
    int Indent() const noexcept { return indent_; }
    void SetIndent(int Value);
    TCustomImageList* Images() const noexcept { return images_; }
    void SetImages(TCustomImageList* Value);
    TTVChangedEvent OnChange;

    TDragMode DragMode = dmManual;
    TCursor DragCursor = crDrag;
    // True while a drag of this tree runs.
    bool Dragging() const noexcept { return dragging_; }
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TTreeNodes;
    friend class TTreeNode;
    void ImagesChanged(TObject* Sender);
    void HandleNotify(TMessage& Message);
    void HandleButtonDown(TMessage& Message, TMouseButton Button);
    static TTreeNode* NodeOf(LPARAM Param) { return reinterpret_cast<TTreeNode*>(Param); }
    // The drag loop: runs until the drop or the cancel.
    void RunDrag(TTreeNode* Node);
    // The tree view under screen point P that takes part in drags, or nullptr.
    static TTreeView* DragTargetAt(POINT P);
    // Asks Target about a drag at screen point P in State; false without a handler.
    bool AskDragOver(TTreeView* Target, POINT P, TDragState State);

    TTreeNodes items_;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    int indent_ = 19;
    TCustomImageList* images_ = nullptr;
    TChangeLink imageLink_;
    bool keepNodes_ = false;  // native items go, the nodes stay (window destroyed)
    TTreeNode* selected_ = nullptr; // the selection while there is no window
    bool dragging_ = false;
    bool dragged_ = false; // a drag ran inside the latest button press
};
