#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/gui/Application_win.h"
#include "framework/gui/Screen_win.h"

namespace {

std::vector<std::string> gOrder;

void GifStart() {
    gOrder.push_back("gif+");
}
void GifStop() {
    gOrder.push_back("gif-");
}
void GraphicsStart() {
    // The application window and the screen exist before any hook runs.
    gOrder.push_back(Application != nullptr && IsWindow(Application->Handle()) && Screen != nullptr
                         ? "gfx+"
                         : "gfx?");
}
void GraphicsStop() {
    gOrder.push_back("gfx-");
}
void JpegStart() {
    gOrder.push_back("jpeg+");
}

TEST(Startup, HooksRunInStageOrderAndStopInReverse) {
    AddStartupHook(TStartupStage::ImageFormats, &GifStart, &GifStop);
    AddStartupHook(TStartupStage::Jpeg, &JpegStart, nullptr);
    AddStartupHook(TStartupStage::Graphics, &GraphicsStart, &GraphicsStop);
    Startup();
    EXPECT_TRUE(IsStarted());
    Startup(); // a second call does nothing
    EXPECT_EQ(gOrder, (std::vector<std::string>{"gfx+", "gif+", "jpeg+"}));
    HWND app = Application->Handle();
    EXPECT_FALSE(Application->IsLibrary());
    Shutdown();
    EXPECT_EQ(gOrder, (std::vector<std::string>{"gfx+", "gif+", "jpeg+", "gif-", "gfx-"}));
    EXPECT_EQ(Application, nullptr);
    EXPECT_EQ(Screen, nullptr);
    EXPECT_FALSE(IsWindow(app));
    // Start-up can run again (a library loaded a second time).
    gOrder.clear();
    Startup();
    EXPECT_EQ(gOrder.size(), 3u);
    Shutdown();
}

} // namespace
