// The probe library: a form of the framework living in a DLL, as the desk
// band's window does. Start-up happens on the first call, never in DllMain.
#include <windows.h>

#include "framework/core/Exceptions.h"
#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Form_win.h"
#include "framework/gui/Timer_win.h"
#include "framework/gui/WindowPlumbing_win.h"
#include "tests/framework/gui/LibraryProbe_win.h"

namespace {

class TProbeForm : public TForm {
    FW_CLASS(TProbeForm, TForm)
public:
    explicit TProbeForm(TComponent* AOwner) : TForm(AOwner) {
        SetMessageHandler(kProbeThrowMessage, TMessageHandler(this, &TProbeForm::Throw));
        // A timer's utility window is one more class of the library.
        timer_ = new TTimer(this);
        CompleteConstruction(timer_);
        timer_->SetInterval(10);
        timer_->SetOnTimer(TNotifyEvent(this, &TProbeForm::Tick));
    }
    int Thrown = 0;
    int Ticks = 0;

private:
    void Tick(TObject*) { ++Ticks; }
    void Throw(TMessage&) {
        ++Thrown;
        throw EInvalidOperation("thrown inside the library's window procedure");
    }
    TTimer* timer_ = nullptr;
};

TProbeForm* gForm = nullptr;

} // namespace

extern "C" {

__declspec(dllexport) int ProbeIsStarted() {
    return IsStarted() ? 1 : 0;
}

__declspec(dllexport) HWND ProbeCreateForm(HWND Parent) {
    try {
        Startup();
        // The controls of a band draw themed: the theme services' window
        // belongs to the library as well.
        ThemeServices();
        gForm = TWinControl::CreateParented<TProbeForm>(Parent);
        gForm->SetBounds(0, 0, 60, 30);
        gForm->Show();
        return gForm->Handle();
    } catch (...) {
        return nullptr;
    }
}

__declspec(dllexport) int ProbeIsLibrary() {
    return Application != nullptr && Application->IsLibrary() ? 1 : 0;
}

__declspec(dllexport) HINSTANCE ProbeInstance() {
    return LibraryInstance();
}

__declspec(dllexport) HWND ProbeApplicationWindow() {
    return Application != nullptr ? Application->Handle() : nullptr;
}

__declspec(dllexport) int ProbeThrowCount() {
    return gForm != nullptr ? gForm->Thrown : -1;
}

__declspec(dllexport) int ProbeTicks() {
    return gForm != nullptr ? gForm->Ticks : -1;
}

__declspec(dllexport) void ProbeFinish() {
    FreeAndNil(gForm);
    Shutdown();
}

} // extern "C"
