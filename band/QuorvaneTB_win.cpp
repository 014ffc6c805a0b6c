#include "band/QuorvaneTB_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "framework/controls/PopupMenu_win.h"
#include "framework/core/Registry_win.h"
#include "framework/core/ResourceStream.h"
#include "framework/gui/WindowPlumbing_win.h"
#include "raster/Bitmap32.h"
#include "raster/Bitmap32List.h"
#include "raster/Image32_win.h"

namespace {

constexpr const char* kSettingsKey = "Software\\Quorvane";
constexpr DWORD kRebarTimeoutMs = 5000;
constexpr int kImageCount = 8;

} // namespace

band::TEdge ShellTaskbarEdge() noexcept {
    APPBARDATA data{};
    data.cbSize = sizeof data;
    data.hWnd = FindWindowA("Shell_TrayWnd", nullptr);
    if (SHAppBarMessage(ABM_GETTASKBARPOS, &data) == 0)
        return band::TEdge::Unknown;
    return data.uEdge <= ABE_BOTTOM ? static_cast<band::TEdge>(data.uEdge) : band::TEdge::Unknown;
}

TTaskbarEdgeQuery TQuorvaneTB::TaskbarEdge = &ShellTaskbarEdge;

TQuorvaneTB::TQuorvaneTB(TComponent* AOwner) : TForm(AOwner) {
    SetName("QuorvaneTB");
    SetBorderStyle(bsNone);
    SetBorderIcons({});
    SetClientSize(115, 28);
    SetColor(clBtnFace);
    TransparentColor = true;
    TransparentColorValue = clBtnFace;
    SetConstraints({33, 23, 123, 62});
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    OnCreate = TNotifyEvent(this, &TQuorvaneTB::FormCreate);
    OnDestroy = TNotifyEvent(this, &TQuorvaneTB::FormDestroy);
    OnResize = TNotifyEvent(this, &TQuorvaneTB::FormResize);
    for (UINT n = 0; n < 4; ++n)
        SetMessageHandler(band::kActiveDesk1 + n,
                          TMessageHandler(this, &TQuorvaneTB::WMActiveDesk));
    SetMessageHandler(band::kSetNumDesks, TMessageHandler(this, &TQuorvaneTB::WMSetNumDesks));
    SetMessageHandler(band::kHideBand, TMessageHandler(this, &TQuorvaneTB::WMHideBand));
    SetMessageHandler(band::kShowBand, TMessageHandler(this, &TQuorvaneTB::WMShowBand));
}

TQuorvaneTB::~TQuorvaneTB() {
    if (webBrowser_ != nullptr)
        webBrowser_->Release();
}

void TQuorvaneTB::CreateComponents() {
    PopupMenu1 = Create<TPopupMenu>(this);
    PopupMenu1->SetName("PopupMenu1");
    PopupMenu1->OnPopup = TNotifyEvent(this, &TQuorvaneTB::PopupMenu1Popup);

    Bitmap32List1 = Create<TBitmap32List>(this);
    Bitmap32List1->SetName("Bitmap32List1");

    const TNotifyEvent clicks[4] = {TNotifyEvent(this, &TQuorvaneTB::TBBtn1Click),
                                    TNotifyEvent(this, &TQuorvaneTB::TBBtn2Click),
                                    TNotifyEvent(this, &TQuorvaneTB::TBBtn3Click),
                                    TNotifyEvent(this, &TQuorvaneTB::TBBtn4Click)};
    TImage32** fields[4] = {&TBBtn1, &TBBtn2, &TBBtn3, &TBBtn4};
    for (int i = 0; i < 4; ++i) {
        auto* b = Create<TImage32>(this);
        b->SetName("TBBtn" + std::to_string(i + 1));
        b->SetPopupMenu(PopupMenu1);
        b->OnClick = clicks[i];
        b->OnMouseDown = TImgMouseEvent(this, &TQuorvaneTB::TBBtnMouseDown);
        b->Bitmap()->SetResamplerClassName("TNearestResampler");
        b->SetParent(this);
        *fields[i] = b;
    }
    LayoutButtons();
    LoadButtonImages();
    // Until the main program names the active desktop, the buttons show the looks stored with
    // the window: desktop 1 active.
    for (int n = 1; n <= 4; ++n)
        Button(n)->Bitmap()->Assign(Bitmap32List1->Bitmap(band::ButtonImage(n, 1)));
}

void TQuorvaneTB::LoadButtonImages() {
    // Eight bitmap data streams in a row: the active and the normal look of each button.
    TResourceStream stream(reinterpret_cast<TInstanceHandle>(LibraryInstance()), "BANDBUTTONS",
                           kResourceTypeRcData);
    for (int i = 0; i < kImageCount; ++i) {
        TBitmap32Item* item = Bitmap32List1->Bitmaps()->Add();
        item->Bitmap()->SetResamplerClassName("TNearestResampler");
        item->Bitmap()->ReadDataStream(stream);
    }
}

TImage32* TQuorvaneTB::Button(int n) const noexcept {
    switch (n) {
    case 1:
        return TBBtn1;
    case 2:
        return TBBtn2;
    case 3:
        return TBBtn3;
    case 4:
        return TBBtn4;
    default:
        return nullptr;
    }
}

void TQuorvaneTB::LayoutButtons() {
    for (int n = 1; n <= 4; ++n) {
        const band::TPoint2 at = band::ButtonOrigin(n, vertical_);
        Button(n)->SetBounds(at.X, at.Y, band::kButtonSize, band::kButtonSize);
    }
}

int StoredNumDesks() noexcept {
    try {
        TRegistry reg(KEY_READ);
        if (reg.OpenKeyReadOnly(kSettingsKey))
            return band::ParseNumDesks(reg.ReadString("NumDesks"));
    } catch (...) {
        // A value of another type reads as the default.
    }
    return 4;
}

void TQuorvaneTB::FormCreate(TObject*) {
    ChangeDesktopNum(StoredNumDesks());
    RebuildWindowRgn();
    SetTBHandle(Handle());
}

void TQuorvaneTB::FormDestroy(TObject*) {
    if (webBrowser_ != nullptr) {
        webBrowser_->Release();
        webBrowser_ = nullptr;
    }
    AnnounceGone();
}

void TQuorvaneTB::AnnounceGone() {
    if (announcedGone_)
        return;
    announcedGone_ = true;
    SetTBHandle(nullptr);
}

void TQuorvaneTB::WndProc(TMessage& Message) {
    if (Message.Msg == WM_DESTROY) {
        try {
            AnnounceGone();
        } catch (...) {
            // The window goes all the same.
        }
    }
    TForm::WndProc(Message);
}

void TQuorvaneTB::FormResize(TObject*) {
    if (!HandleAllocated())
        return;
    RebuildWindowRgn();
    SetTBHandle(Handle());
}

void TQuorvaneTB::RebuildWindowRgn() {
    HWND wnd = Handle();
    RECT wr{}, cr{};
    GetWindowRect(wnd, &wr);
    GetClientRect(wnd, &cr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const int b = (w - cr.right) / 2;
    const int t = h - cr.bottom - b;
    HRGN region = CreateRectRgn(0, 0, w, h);
    HRGN client = CreateRectRgn(b, t, b + cr.right, t + cr.bottom);
    CombineRgn(region, region, client, RGN_DIFF);
    DeleteObject(client);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible())
            continue;
        const TRect r = c->BoundsRect();
        HRGN part = CreateRectRgn(r.Left + b, r.Top + t, r.Right + b, r.Bottom + t);
        CombineRgn(region, region, part, RGN_OR);
        DeleteObject(part);
    }
    // The window owns the region from here on.
    if (SetWindowRgn(wnd, region, TRUE) == 0)
        DeleteObject(region);
}

void TQuorvaneTB::ButtonClick(int n) {
    SetActiveBtn(n);
    SetDesktop(n);
}

void TQuorvaneTB::TBBtnMouseDown(TObject* Sender, TMouseButton, TShiftState, int, int,
                                 TCustomLayer*) {
    for (int n = 1; n <= 4; ++n)
        if (Sender == Button(n))
            lastButton_ = n;
}

void TQuorvaneTB::PopupMenu1Popup(TObject*) {
    if (FindMainWnd())
        SetForegroundWindow(mainWnd_);
    ShowDesktopMenu(lastButton_);
    if (mainWnd_ != nullptr)
        PostMessageA(mainWnd_, WM_NULL, 0, 0);
}

bool TQuorvaneTB::FindMainWnd() {
    mainWnd_ = FindWindowA("TForm1", "Quorvane");
    return mainWnd_ != nullptr;
}

void TQuorvaneTB::PostToMain(UINT Msg, WPARAM WParam) {
    if (Msg != 0 && FindMainWnd())
        PostMessageA(mainWnd_, Msg, WParam, 0);
}

void TQuorvaneTB::SetDesktop(int n) {
    PostToMain(band::SwitchMessage(n), 0);
}

void TQuorvaneTB::ShowDesktopMenu(int n) {
    PostToMain(band::DeskMenuMessage(n), 0);
}

void TQuorvaneTB::SetActiveBtn(int n) {
    if (n < 1 || n > 4)
        return;
    activeButton_ = n;
    for (int k = 1; k <= 4; ++k)
        Button(k)->Bitmap()->Assign(Bitmap32List1->Bitmap(band::ButtonImage(k, n)));
}

void TQuorvaneTB::SetTBHandle(HWND h) {
    // Handles are 32-bit values, written unsigned so that the main program reads them back.
    const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h));
    try {
        TRegistry reg;
        reg.SetLazyWrite(false);
        if (reg.OpenKey(kSettingsKey, true)) {
            reg.WriteString("TBHandle", std::to_string(value));
            reg.CloseKey();
        }
    } catch (...) {
        // Announced by message all the same.
    }
    PostToMain(band::kBandHandle, static_cast<WPARAM>(value));
}

void TQuorvaneTB::ChangeDesktopNum(int count) {
    if (count >= 2 && count <= 4) {
        buttons_ = band::ButtonsFor(count, buttons_);
        TBBtn3->SetVisible(buttons_.ThirdVisible);
        TBBtn4->SetVisible(buttons_.FourthVisible);
    }
    const band::TEdge edge = TaskbarEdge != nullptr ? TaskbarEdge() : band::TEdge::Unknown;
    const bool vertical = band::IsVertical(edge);
    if (vertical)
        buttons_.Width = band::kVerticalWidth;
    if (vertical != vertical_) {
        vertical_ = vertical;
        LayoutButtons();
    }
}

HWND TQuorvaneTB::getRebarHWND() noexcept {
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    if (tray == nullptr)
        return nullptr;
    return FindWindowExA(tray, nullptr, "ReBarWindow32", nullptr);
}

void TQuorvaneTB::DeskBandAct(const char* command) {
    const std::string what = command != nullptr ? command : "";
    HWND rebar = getRebarHWND();
    if (rebar == nullptr)
        return;
    DWORD_PTR count = 0;
    if (SendMessageTimeoutA(rebar, RB_GETBANDCOUNT, 0, 0, SMTO_NORMAL, kRebarTimeoutMs, &count) ==
        0)
        return;
    HWND self = Handle();
    for (DWORD_PTR i = 0; i < count; ++i) {
        REBARBANDINFOA info{};
        info.cbSize = REBARBANDINFOA_V6_SIZE;
        info.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
        DWORD_PTR ok = 0;
        if (SendMessageTimeoutA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info),
                                SMTO_NORMAL, kRebarTimeoutMs, &ok) == 0 ||
            info.hwndChild != self)
            continue;
        if (what == "ResizeBand") {
            info.cxMinChild = static_cast<UINT>(buttons_.Width);
            info.cx = static_cast<UINT>(buttons_.Width);
            info.cxIdeal = static_cast<UINT>(buttons_.Width);
            // A send: the rebar has read the record before it goes out of scope.
            SendMessageTimeoutA(rebar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&info),
                                SMTO_NORMAL, kRebarTimeoutMs, &ok);
        } else if (what == "HideBand") {
            PostMessageA(rebar, RB_SHOWBAND, i, 0);
        } else if (what == "ShowBand") {
            PostMessageA(rebar, RB_SHOWBAND, i, 1);
        }
    }
}

void TQuorvaneTB::SetWebBrowser(IUnknown* Browser) {
    if (Browser != nullptr)
        Browser->AddRef();
    if (webBrowser_ != nullptr)
        webBrowser_->Release();
    webBrowser_ = Browser;
}

void TQuorvaneTB::WMActiveDesk(TMessage& Message) {
    SetActiveBtn(static_cast<int>(Message.Msg - band::kActiveDesk1) + 1);
}

void TQuorvaneTB::WMSetNumDesks(TMessage& Message) {
    // Any process can post this: only the counts the band knows change anything.
    const WPARAM count = Message.WParam;
    if (count < 2 || count > 4)
        return;
    ChangeDesktopNum(static_cast<int>(count));
    RebuildWindowRgn();
    DeskBandAct("ResizeBand");
}

void TQuorvaneTB::WMHideBand(TMessage&) {
    DeskBandAct("HideBand");
}

void TQuorvaneTB::WMShowBand(TMessage&) {
    DeskBandAct("ShowBand");
}
