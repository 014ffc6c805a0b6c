#include "manager_ui/DeskBandHelpDlg_win.h"

#include "framework/controls/Button_win.h"
#include "framework/controls/CheckBox_win.h"
#include "framework/controls/StaticText_win.h"
#include "framework/core/ResourceStream.h"
#include "framework/gui/WindowPlumbing_win.h"
#include "manager_ui/ProgramIcons_win.h"
#include "raster/Image32_win.h"

TDeskBandHelpDlg::TDeskBandHelpDlg(TComponent* AOwner) : TForm(AOwner) {
    SetName("DeskBandHelpDlg");
    SetCaption("Enabling Quorvane Deskband");
    SetBorderStyle(bsDialog);
    SetBorderIcons({biSystemMenu});
    SetBorderWidth(4);
    SetClientSize(556, 262);
    SetColor(clBtnFace);
    SetFormStyle(fsStayOnTop);
    Position = poScreenCenter;
}

std::string TDeskBandHelpDlg::HelpText() {
    return "Quorvane deskband is a toolbar on the Windows taskbar.\r\n"
           "\r\n"
           "To enable Quorvane deskband, \r\n"
           "you will have to perform the following steps:\r\n"
           "\r\n"
           "1. Right-click on the Windows taskbar.\r\n"
           "2. Go to the Toolbars menu.\r\n"
           "3. Select the Quorvane item.\r\n"
           "\r\n"
           "The Quorvane deskband should appear shortly.";
}

void TDeskBandHelpDlg::CreateComponents() {
    LoadProgramIcon(Icon(), "MAINICON");
    DeskBandHelpTxt = Create<TStaticText>(this);
    DeskBandHelpTxt->SetName("DeskBandHelpTxt");
    DeskBandHelpTxt->SetBounds(8, 16, 217, 169);
    DeskBandHelpTxt->SetShowAccelChar(false);
    DeskBandHelpTxt->SetCaption(HelpText());
    DeskBandHelpTxt->SetParent(this);

    OKBtn = Create<TButton>(this);
    OKBtn->SetName("OKBtn");
    OKBtn->SetBounds(463, 228, 75, 25);
    OKBtn->SetCaption("OK");
    OKBtn->SetDefault(true);
    OKBtn->ModalResult = mrOk;
    OKBtn->SetParent(this);

    DeskBandHelpImg = Create<TImage32>(this);
    DeskBandHelpImg->SetName("DeskBandHelpImg");
    DeskBandHelpImg->SetBounds(248, 8, 302, 201);
    DeskBandHelpImg->SetScaleMode(smNormal);
    DeskBandHelpImg->SetBitmapAlign(baTopLeft);
    DeskBandHelpImg->Bitmap()->SetResamplerClassName("TNearestResampler");
    LoadPicture(DeskBandHelpImg->Bitmap());
    DeskBandHelpImg->SetParent(this);

    DeskBandHelpRemind = Create<TCheckBox>(this);
    DeskBandHelpRemind->SetName("DeskBandHelpRemind");
    DeskBandHelpRemind->SetBounds(11, 200, 150, 17);
    DeskBandHelpRemind->SetCaption("Never show this hint again");
    DeskBandHelpRemind->SetParent(this);
}

void TDeskBandHelpDlg::LoadPicture(TBitmap32* Into) {
    // The illustration of the steps, stored with the program as a bitmap data stream; a module
    // without it shows the dialog without its picture.
    try {
        TResourceStream stream(reinterpret_cast<TInstanceHandle>(LibraryInstance()),
                               "DESKBANDHELPIMG", kResourceTypeRcData);
        Into->ReadDataStream(stream);
    } catch (...) {
        Into->Delete();
    }
}
