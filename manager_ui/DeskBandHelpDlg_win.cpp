#include "manager_ui/DeskBandHelpDlg_win.h"

#include "framework/controls/Button_win.h"
#include "framework/controls/CheckBox_win.h"
#include "framework/controls/StaticText_win.h"
#include "manager_ui/ProgramIcons_win.h"

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

    // The picture of the steps (302 x 201 at 248, 8) joins with the image control.

    DeskBandHelpRemind = Create<TCheckBox>(this);
    DeskBandHelpRemind->SetName("DeskBandHelpRemind");
    DeskBandHelpRemind->SetBounds(11, 200, 150, 17);
    DeskBandHelpRemind->SetCaption("Never show this hint again");
    DeskBandHelpRemind->SetParent(this);
}
