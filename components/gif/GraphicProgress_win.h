#pragma once

#include <cstdint>
#include <string>

#include "components/gif/GifTypes.h"
#include "framework/graphics/Graphic_win.h"

// Hands the GIF coder's progress, reading or writing, to the picture's progress event.
class GraphicProgress : public GifProgress {
public:
    explicit GraphicProgress(TGraphic* graphic) : graphic_(graphic) {}
    void Progress(GifProgressStage stage, int percent, const std::string& message) override {
        graphic_->Progress(graphic_, TProgressStage(stage), std::uint8_t(percent), false, TRect{},
                           message);
    }

private:
    TGraphic* graphic_;
};
