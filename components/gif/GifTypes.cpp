#include "components/gif/GifTypes.h"

#include <cstring>

bool GifColorTable::operator==(const GifColorTable& other) const {
    return Count == other.Count && std::memcmp(Entries, other.Entries, sizeof(Entries)) == 0;
}

int GifBitsForColorCount(std::int32_t count) {
    for (int bits = 1; bits <= 8; ++bits) {
        if (count == (1 << bits)) {
            return bits;
        }
    }
    return 0;
}

const GifColorTable& GifItem::ColorTable() const {
    static const GifColorTable kEmpty;
    return Colors ? *Colors : kEmpty;
}

const std::vector<std::string>* GifFrameInfo::Comment() const {
    for (auto it = Extensions.rbegin(); it != Extensions.rend(); ++it) {
        if (it->Kind == GifExtensionKind::ekComment) {
            return &it->Data;
        }
    }
    return nullptr;
}

void GifImageState::Reset() {
    Data = std::make_shared<GifData>();
    Version = 0;
    Frames.clear();
    FrameIndex = -1;
    BackgroundColor = kGifNoColor;
    Looping = false;
    Corrupted = false;
    RepeatCount = 1;
}
