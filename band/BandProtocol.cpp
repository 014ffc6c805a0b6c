#include "band/BandProtocol.h"

#include "framework/core/SysUtils.h"

namespace band {

int ParseNumDesks(const std::string& text) {
    int value = 0;
    return TryStrToInt(text, value) ? value : 4;
}

TButtonSet ButtonsFor(int count, const TButtonSet& Current) {
    switch (count) {
    case 2:
        return {false, false, 33};
    case 3:
        return {true, false, 50};
    case 4:
        return {true, true, 67};
    default:
        return Current;
    }
}

int BandInfoWidth(bool thirdVisible, bool fourthVisible, TEdge edge) {
    if (IsVertical(edge))
        return kVerticalWidth;
    if (thirdVisible && fourthVisible)
        return 67;
    if (thirdVisible)
        return 50;
    return 33;
}

} // namespace band
