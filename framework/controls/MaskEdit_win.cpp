#include "framework/controls/MaskEdit_win.h"

#include <windows.h>

void TCustomMaskEdit::ValidateError() {
    MessageBeep(0);
}
