// The engine's native tests stand on the fake window system; these pin the behaviours of the real
// one that the fake must share for those tests to mean anything.
#include <gtest/gtest.h>

#include "tests/desktops/FakeWindowSystem.h"

namespace {

using Kind = TFakeWindowSystem::CallKind;

TEST(FakeWindowSystem, ParentIsTheOwnerOnlyForPopups) {
    TFakeWindowSystem screen;
    const TProcessId p = screen.StartProcess(1);
    const TWindowHandle main = screen.CreateWindow(p, "main");
    const TWindowHandle popup = screen.CreateWindow(p, "dialog", main, true);
    const TWindowHandle overlapped = screen.CreateWindow(p, "palette", main, false);
    EXPECT_EQ(screen.Parent(popup), main);
    EXPECT_EQ(screen.Owner(popup), main);
    EXPECT_EQ(screen.Parent(overlapped), 0u);
    EXPECT_EQ(screen.Owner(overlapped), main);
    EXPECT_EQ(screen.Parent(main), 0u);
    EXPECT_EQ(screen.Owner(main), 0u);
}

TEST(FakeWindowSystem, ShownWindowsRiseWithTheirOwnedWindowsAboveThem) {
    TFakeWindowSystem screen;
    const TProcessId p = screen.StartProcess(1);
    const TWindowHandle owner = screen.CreateWindow(p, "owner");
    const TWindowHandle dialog = screen.CreateWindow(p, "dialog", owner, true);
    const TWindowHandle other = screen.CreateWindow(p, "other");
    screen.Hide(owner);
    EXPECT_TRUE(screen.IsAbove(other, owner));
    EXPECT_TRUE(screen.Show(dialog)); // still visible: nothing moves
    EXPECT_FALSE(screen.Show(owner)); // was hidden
    EXPECT_EQ(screen.Stack()[0], dialog);
    EXPECT_EQ(screen.Stack()[1], owner);
    EXPECT_TRUE(screen.IsAbove(owner, other));
    EXPECT_EQ(screen.Stack().back(), screen.ShellWindow());
}

TEST(FakeWindowSystem, AHungProgramTakesAsyncRequestsWhenItPumpsAgain) {
    TFakeWindowSystem screen;
    const TProcessId p = screen.StartProcess(1);
    const TWindowHandle w = screen.CreateWindow(p, "w");
    screen.SetHung(p, true);
    EXPECT_TRUE(screen.IsHung(w));
    EXPECT_TRUE(screen.HideAsync(w));
    EXPECT_TRUE(screen.IsVisible(w));
    EXPECT_EQ(screen.BlockingCalls(), 0);
    screen.SetHung(p, false);
    EXPECT_FALSE(screen.IsVisible(w));
    EXPECT_TRUE(screen.Find(w)->hiddenByEngine);
    screen.SetHung(p, true);
    screen.Show(w);
    EXPECT_EQ(screen.BlockingCalls(), 1);
}

TEST(FakeWindowSystem, EndedProcessesTakeTheirWindowsAndTimes) {
    TFakeWindowSystem screen;
    const TProcessId p = screen.StartProcess(42);
    const TWindowHandle owner = screen.CreateWindow(p, "owner");
    const TWindowHandle dialog = screen.CreateWindow(screen.StartProcess(7), "d", owner, true);
    EXPECT_EQ(screen.ProcessCreationTime(p), 42u);
    screen.EndProcess(p);
    EXPECT_FALSE(screen.Exists(owner));
    EXPECT_FALSE(screen.Exists(dialog)); // owned windows go with their owner
    EXPECT_EQ(screen.ProcessCreationTime(p), std::nullopt);
    EXPECT_EQ(screen.ProcessOf(owner), 0u);
}

TEST(FakeWindowSystem, ShellRestartGivesANewDesktopWindow) {
    TFakeWindowSystem screen;
    const TWindowHandle first = screen.ShellDesktopWindow();
    const TWindowHandle second = screen.RestartShell();
    EXPECT_NE(first, second);
    EXPECT_FALSE(screen.Exists(first));
    EXPECT_EQ(screen.ShellDesktopWindow(), second);
}

} // namespace
