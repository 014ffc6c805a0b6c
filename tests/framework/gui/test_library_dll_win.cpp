// Library mode in a real DLL (library_probe.dll, framework code linked into
// a shared library): the library starts on first use, registers its window
// classes with its own instance, shows no message box for an exception and
// leaves no class or window behind when it is unloaded, so loading it again
// works with fresh classes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/framework/gui/LibraryProbe_win.h"

namespace {

constexpr const char* kHostClass = "ProbeHostWindow";

std::string ProbePath() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n);
    return exe.substr(0, exe.find_last_of("\\/") + 1) + "library_probe.dll";
}

template <class F> F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct Probe {
    TProbeIsStarted IsStarted;
    TProbeCreateForm CreateForm;
    TProbeIsLibrary IsLibrary;
    TProbeInstance Instance;
    TProbeApplicationWindow ApplicationWindow;
    TProbeThrowCount ThrowCount;
    TProbeTicks Ticks;
    TProbeFinish Finish;

    explicit Probe(HMODULE m)
        : IsStarted(Export<TProbeIsStarted>(m, "ProbeIsStarted")),
          CreateForm(Export<TProbeCreateForm>(m, "ProbeCreateForm")),
          IsLibrary(Export<TProbeIsLibrary>(m, "ProbeIsLibrary")),
          Instance(Export<TProbeInstance>(m, "ProbeInstance")),
          ApplicationWindow(Export<TProbeApplicationWindow>(m, "ProbeApplicationWindow")),
          ThrowCount(Export<TProbeThrowCount>(m, "ProbeThrowCount")),
          Ticks(Export<TProbeTicks>(m, "ProbeTicks")),
          Finish(Export<TProbeFinish>(m, "ProbeFinish")) {}
    bool Complete() const {
        return IsStarted && CreateForm && IsLibrary && Instance && ApplicationWindow &&
               ThrowCount && Ticks && Finish;
    }
};

// Dialog windows (message boxes) this thread tried to create; the hook
// refuses them, so a message box would return at once instead of waiting.
int gDialogs = 0;

LRESULT CALLBACK RefuseDialogs(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        const char* cls = create->lpcs->lpszClass;
        const bool dialog = IS_INTRESOURCE(cls) ? reinterpret_cast<ULONG_PTR>(cls) == 32770
                                                : lstrcmpiA(cls, "#32770") == 0;
        if (dialog) {
            ++gDialogs;
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool InsideModule(HMODULE module, ULONG_PTR address) {
    const auto base = reinterpret_cast<ULONG_PTR>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return address >= base && address - base < nt->OptionalHeader.SizeOfImage;
}

class LibraryDll : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kHostClass;
        RegisterClassA(&wc);
        host = CreateWindowExA(0, kHostClass, "host", WS_OVERLAPPEDWINDOW, 40, 40, 200, 100,
                               nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(host, nullptr);
        hook = SetWindowsHookExA(WH_CBT, &RefuseDialogs, nullptr, GetCurrentThreadId());
        gDialogs = 0;
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook);
        DestroyWindow(host);
        UnregisterClassA(kHostClass, GetModuleHandleA(nullptr));
    }
    HWND host = nullptr;
    HHOOK hook = nullptr;
};

TEST_F(LibraryDll, LoadUseUnloadTwiceWithFreshClasses) {
    const std::vector<HWND> before = ThreadWindows();
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("load " + std::to_string(round));
        HMODULE dll = LoadLibraryA(ProbePath().c_str());
        ASSERT_NE(dll, nullptr) << ProbePath();
        Probe probe(dll);
        ASSERT_TRUE(probe.Complete());
        EXPECT_EQ(probe.IsStarted(), 0) << "loading started nothing";

        HWND form = probe.CreateForm(host);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(probe.IsStarted(), 1);
        EXPECT_EQ(probe.IsLibrary(), 1);
        EXPECT_EQ(probe.Instance(), dll);
        EXPECT_EQ(probe.ApplicationWindow(), nullptr) << "no application window in a library";
        EXPECT_EQ(GetParent(form), host);
        char cls[64] = {};
        GetClassNameA(form, cls, sizeof cls);
        EXPECT_STREQ(cls, kProbeFormClass);
        // The class belongs to this load of the library, procedure included.
        EXPECT_EQ(reinterpret_cast<HMODULE>(GetClassLongPtrA(form, GCLP_HMODULE)), dll);
        EXPECT_TRUE(InsideModule(dll, GetClassLongPtrA(form, GCLP_WNDPROC)));

        SendMessageA(form, kProbeThrowMessage, 0, 0);
        EXPECT_EQ(probe.ThrowCount(), 1) << "the handler ran and its exception stayed inside";
        EXPECT_EQ(gDialogs, 0) << "no message box in a library";

        // No loop of its own: the host's loop runs the library's timer.
        const DWORD start = GetTickCount();
        while (probe.Ticks() < 1 && GetTickCount() - start < 3000) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(1);
        }
        EXPECT_GE(probe.Ticks(), 1);

        probe.Finish();
        EXPECT_FALSE(IsWindow(form));
        WNDCLASSA wc{};
        for (const char* name : {kProbeFormClass, "TThemeServicesWindow", "TQuorvaneUtilWindow"})
            EXPECT_FALSE(GetClassInfoA(dll, name, &wc)) << name << " outlives the library";
        EXPECT_EQ(ThreadWindows(), before) << "a window of the library is left";
        EXPECT_TRUE(FreeLibrary(dll));
        EXPECT_EQ(GetModuleHandleA("library_probe.dll"), nullptr) << "the library stays loaded";
    }
}

} // namespace
