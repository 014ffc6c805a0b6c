#include "framework/actionbars/ActionMainMenuBar_win.h"

#include "framework/gui/Form_win.h"

TActionMainMenuBar::TActionMainMenuBar(TComponent* AOwner) : TCustomActionBar(AOwner) {
    Orientation = boLeftToRight;
    AnimationStyle = asNone;
    Shadow = false;
    EdgeBorders = TEdgeBorders{ebLeft, ebTop, ebRight, ebBottom};
}

TActionMainMenuBar::~TActionMainMenuBar() {
    Detach();
}

void TActionMainMenuBar::BeforeDestruction() {
    Detach();
    TCustomActionBar::BeforeDestruction();
}

void TActionMainMenuBar::SetForm(TCustomForm* Form) {
    if (Form == form_)
        return;
    Detach();
    if (Form == nullptr)
        return;
    form_ = Form;
    previous_ = Form->WindowProc;
    Form->WindowProc = TWndMethod(this, &TActionMainMenuBar::FormProc);
    Form->FreeNotification(this);
    RecreateControls();
}

void TActionMainMenuBar::Detach() noexcept {
    active_.reset();
    if (form_ == nullptr)
        return;
    TCustomForm* form = form_;
    form_ = nullptr;
    // Only our own hook is taken out; one installed after it stays.
    if (form->WindowProc == TWndMethod(this, &TActionMainMenuBar::FormProc))
        form->WindowProc = previous_;
    if (form->HandleAllocated() && handle_ != nullptr)
        SetMenu(form->Handle(), nullptr);
    if (menu_ != nullptr)
        menu_->Clear();
    handle_ = nullptr;
    previous_ = nullptr;
    RemoveFreeNotification(form);
}

void TActionMainMenuBar::RecreateControls() {
    if (form_ == nullptr)
        return;
    HWND window = form_->Handle();
    auto menu = std::make_unique<TNativeActionMenu>(*this);
    menu->RebuildOnOpen = true;
    menu->OnOpen = [this](TActionClientItem* Client) {
        if (OnPopup)
            OnPopup(Client);
    };
    TActionBarItem empty;
    HMENU handle = menu->BuildBar(ActionClient() != nullptr ? ActionClient() : &empty, Color);
    SetMenu(window, handle);
    // The old bar went with SetMenu's switch; destroy it now.
    if (menu_ != nullptr)
        menu_->Clear();
    menu_ = std::move(menu);
    handle_ = handle;
    DrawMenuBar(window);
}

void TActionMainMenuBar::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == form_) {
        // The window and its menu go with the form.
        if (menu_ != nullptr)
            menu_->Release();
        form_ = nullptr;
        handle_ = nullptr;
        previous_ = nullptr;
        active_.reset();
    }
    TCustomActionBar::Notification(AComponent, Operation);
}

void TActionMainMenuBar::FormProc(TMessage& Message) {
    if (menu_ != nullptr && menu_->Handle(Message))
        return;
    switch (Message.Msg) {
    case WM_ENTERMENULOOP:
        if (Message.WParam == FALSE)
            active_ = std::make_unique<TPopupMenu::TActiveScope>();
        break;
    case WM_EXITMENULOOP:
        active_.reset();
        break;
    case WM_COMMAND:
        if (HIWORD(Message.WParam) == 0 && Message.LParam == 0 && menu_ != nullptr)
            if (TActionClientItem* chosen = menu_->ClientOf(LOWORD(Message.WParam))) {
                if (chosen->Action() != nullptr && chosen->Enabled())
                    chosen->Action()->Execute();
                Message.Result = 0;
                return;
            }
        break;
    default:
        break;
    }
    if (previous_)
        previous_(Message);
}
