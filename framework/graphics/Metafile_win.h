#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/graphics/Graphic_win.h"

// An enhanced metafile as a graphic: drawn by playing it into the target rectangle, stored as
// the metafile's own bytes, exchanged with the clipboard as CF_ENHMETAFILE. Its size is the
// picture frame of the metafile's header in pixels of the reference device, unless set.
class TMetafile : public TGraphic {
    FW_CLASS(TMetafile, TGraphic)
public:
    TMetafile() = default;
    ~TMetafile() override;

    HENHMETAFILE Handle() const noexcept { return handle_; }
    // Takes ownership of handle (nullptr empties); the size follows the new header.
    void SetHandle(HENHMETAFILE handle);

    bool Empty() const override { return handle_ == nullptr; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int width) override;
    void SetHeight(int height) override;

    void Draw(TCanvas* canvas, const TRect& rect) override;
    // The rest of the stream is the metafile's bytes; bytes the system does not take as an
    // enhanced metafile raise EInvalidGraphic ("Metafile is not valid").
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette) override;

    // A TMetafile: a copy of its metafile and size. Otherwise the default.
    void Assign(TPersistent* Source) override;

private:
    void Replace(HENHMETAFILE handle, int width, int height);

    HENHMETAFILE handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
