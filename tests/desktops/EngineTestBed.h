#pragma once

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktops/DesktopEngine.h"
#include "tests/desktops/FakeWindowSystem.h"

// The manager window's side of the engine as a log. A step named in `failing` raises instead.
class TRecordingView : public TDesktopView {
public:
    explicit TRecordingView(TFakeWindowSystem& system) : system_(system) {}

    TWindowHandle manager = 0;
    TWindowHandle application = 0;
    bool managerVisible = false;
    TWindowHandle selected = 0;
    std::set<std::string> failing;
    std::vector<std::string> log;
    int treeRefreshes = 0;

    TWindowHandle ManagerWindow() override { return manager; }
    TWindowHandle ApplicationWindow() override { return application; }
    void SetDeskChecked(int desk, bool checked) override {
        Step("check", std::to_string(desk) + (checked ? " on" : " off"));
    }
    void SetTrayHint(const std::string& text) override { Step("hint", text); }
    void SetStatusText(const std::string& text) override { Step("status", text); }
    void SetTrayIcon(int desk) override { Step("icon", std::to_string(desk)); }
    void ApplyWallpaper(int desk) override { Step("wallpaper", std::to_string(desk)); }
    void PostActiveDesk(int desk) override { Step("band", std::to_string(desk)); }
    bool IsManagerVisible() override { return managerVisible; }
    void BringApplicationToFront() override {
        Step("front", "");
        // Activating the application window brings its visible manager window forward.
        if (managerVisible && manager != 0) {
            system_.SetForeground(manager);
        }
    }
    TWindowHandle SelectedWindow() override { return selected; }
    void RefreshTree() override {
        Step("tree", "");
        ++treeRefreshes;
    }

    // The log entries of one step kind, e.g. Of("band").
    std::vector<std::string> Of(const std::string& name) const {
        std::vector<std::string> out;
        for (const auto& line : log) {
            if (line.rfind(name, 0) == 0) {
                out.push_back(line);
            }
        }
        return out;
    }

private:
    void Step(const std::string& name, const std::string& detail) {
        if (failing.count(name) != 0) {
            throw std::runtime_error(name + " failed");
        }
        log.push_back(detail.empty() ? name : name + " " + detail);
    }

    TFakeWindowSystem& system_;
};

// A fake screen, a recording manager window and an engine over both, started as the program
// starts: every window on the screen belongs to desktop 0.
struct TEngineBed {
    TFakeWindowSystem screen;
    TRecordingView view{screen};
    TDesktopEngine engine{screen, view};

    // A process with one visible titled window, started at `hour`:00, or (by default) a minute
    // after the previous one, as programs started one after the other.
    TWindowHandle App(const std::string& title, int hour = -1) {
        const std::uint64_t start = hour < 0 ? Hour(0) + Minute(++started_) : Hour(hour);
        return screen.CreateWindow(screen.StartProcess(start), title);
    }
    static std::uint64_t Minute(int minute) {
        return static_cast<std::uint64_t>(minute) * 600'000'000ull;
    }
    static std::uint64_t Hour(int hour) {
        return static_cast<std::uint64_t>(hour) * 36'000'000'000ull;
    }

    void Start() {
        engine.RefreshListWins();
        engine.SwitchAllowed = true;
    }

    static std::vector<TWindowHandle> Entries(const TStringList& list) {
        std::vector<TWindowHandle> out;
        for (int i = 0; i < list.Count(); ++i) {
            out.push_back(ParseHandle(list.Strings(i)));
        }
        return out;
    }
    std::vector<TWindowHandle> Desk(int desk) const { return Entries(engine.DeskWins[desk]); }
    std::vector<TWindowHandle> Children(int desk) const {
        return Entries(engine.DeskChildWins[desk]);
    }
    bool Visible(TWindowHandle window) { return screen.IsVisible(window); }

private:
    int started_ = 0;

public:
    // Index of the first call of this kind on this window in the fake's log, or -1.
    int CallIndex(TFakeWindowSystem::CallKind kind, TWindowHandle window) const {
        const auto& calls = screen.Calls();
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].kind == kind && calls[i].window == window) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
};
