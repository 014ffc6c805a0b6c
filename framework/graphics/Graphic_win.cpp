#include "framework/graphics/Graphic_win.h"

#include <cstring>

#include "framework/core/Exceptions.h"
#include "framework/core/FileStream.h"
#include "framework/core/MemoryStream.h"

TGraphic::~TGraphic() = default;

void TGraphic::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    Changed(this);
}

void TGraphic::SetModified(bool modified) {
    if (modified) {
        Changed(this);
    } else {
        modified_ = false;
    }
}

void TGraphic::Changed(TObject*) {
    modified_ = true;
    if (OnChange) OnChange(this);
}

void TGraphic::Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                        const TRect& r, const std::string& msg) {
    if (OnProgress) OnProgress(sender, stage, percentDone, redrawNow, r, msg);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

void TGraphic::LoadFromClipboardFormat(std::uint32_t, HANDLE, HPALETTE) {
    throw EInvalidGraphic("Clipboard does not support " + ClassName());
}

void TGraphic::SaveToClipboardFormat(std::uint32_t&, HANDLE&, HPALETTE&) {
    throw EInvalidGraphic("Clipboard does not support " + ClassName());
}

bool TGraphic::Equals(TGraphic* other) {
    if (other == this) return true;
    if (other == nullptr || other->ClassType() != ClassType()) return false;
    if (Empty() || other->Empty()) return Empty() == other->Empty();
    TMemoryStream mine;
    TMemoryStream theirs;
    WriteData(mine);
    other->WriteData(theirs);
    return mine.Size() == theirs.Size() &&
           (mine.Size() == 0 || std::memcmp(mine.Memory(), theirs.Memory(), static_cast<std::size_t>(mine.Size())) == 0);
}
