// The toolkit's layer over the framework's speed button under the real mouse: entering and
// leaving reach the layer's events and the button's own hot state; a parent's colour change
// reaches the layer's event.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/TkExButtons_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

struct Recorder : TObject {
    std::vector<std::string> log;
    void Enter(TObject*) { log.push_back("enter"); }
    void Leave(TObject*) { log.push_back("leave"); }
    void ParentColour(TObject*) { log.push_back("parent colour"); }
    void Click(TObject*) { log.push_back("click"); }
};

class ExSpeedButtonTest : public ControlsTest {};

TEST_F(ExSpeedButtonTest, TheLayersEventsComeWithTheMouseAndTheParentsColour) {
    auto* b = Create<TTkExSpeedButton>(form);
    b->SetBounds(30, 30, 40, 25);
    b->SetFlat(true);
    b->SetParent(form);
    Recorder recorder;
    b->OnMouseEnter = TNotifyEvent(&recorder, &Recorder::Enter);
    b->OnMouseLeave = TNotifyEvent(&recorder, &Recorder::Leave);
    b->OnParentColorChange = TNotifyEvent(&recorder, &Recorder::ParentColour);
    b->OnClick = TNotifyEvent(&recorder, &Recorder::Click);
    ShowForm();
    const TPoint outside = form->ClientToScreen(Point(200, 150));
    ASSERT_TRUE(mouse_input::MoveTo({outside.X, outside.Y}));
    PumpFor(100);
    recorder.log.clear();

    const TPoint on = b->ClientToScreen(Point(20, 12));
    ASSERT_TRUE(mouse_input::MoveTo({on.X, on.Y}));
    ASSERT_TRUE(RunUntil([&] { return b->MouseOver(); }));
    EXPECT_TRUE(b->MouseInControl()) << "the framework's button heard it too";
    ASSERT_TRUE(mouse_input::Click({on.X, on.Y}));
    RunUntil([&] { return recorder.log.size() >= 2; });
    ASSERT_TRUE(mouse_input::MoveTo({outside.X, outside.Y}));
    ASSERT_TRUE(RunUntil([&] { return !b->MouseOver(); }));
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(recorder.log, (std::vector<std::string>{"enter", "click", "leave"}));

    recorder.log.clear();
    form->SetColor(clTeal);
    PumpFor(50);
    EXPECT_EQ(recorder.log, (std::vector<std::string>{"parent colour"}));
}

} // namespace
