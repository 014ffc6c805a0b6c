#pragma once

#include "framework/gui/Form_win.h"

class TBitmap32;
class TButton;
class TCheckBox;
class TImage32;
class TStaticText;

// The dialog that tells how to turn the desk band on ("Enabling Quorvane Deskband"), shown at
// start while no band is known, and from the notification menu without its reminder box.
class TDeskBandHelpDlg : public TForm {
    FW_CLASS(TDeskBandHelpDlg, TForm)
public:
    explicit TDeskBandHelpDlg(TComponent* AOwner);

    TStaticText* DeskBandHelpTxt = nullptr;
    TButton* OKBtn = nullptr;
    TImage32* DeskBandHelpImg = nullptr;
    TCheckBox* DeskBandHelpRemind = nullptr;

    // The explanation, lines joined by CR LF.
    static std::string HelpText();

    // The picture of the steps, read from the module's resources (empty when it has none).
    static void LoadPicture(TBitmap32* Into);

protected:
    void CreateComponents() override;
};
