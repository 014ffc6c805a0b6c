#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/core/Events.h"
#include "framework/core/Persistent.h"
#include "framework/core/Types.h"

class TCanvas;
class TStream;

// The abstract picture: something with a size that draws itself on a canvas
// and reads and writes itself from streams, files and the clipboard. Concrete
// classes are made through their class reference (TGraphicClass), which is
// how TPicture turns a file extension into an object.
class TGraphic : public TPersistent {
    FW_CLASS(TGraphic, TPersistent)
public:
    TGraphic() = default;
    ~TGraphic() override;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    // Whether drawing leaves transparent parts alone; the default only stores it.
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool transparent);
    // The picture's palette (0 for none); the default has none.
    virtual HPALETTE Palette() { return nullptr; }
    virtual void SetPalette(HPALETTE) {}
    bool PaletteModified() const noexcept { return paletteModified_; }
    void SetPaletteModified(bool modified) noexcept { paletteModified_ = modified; }
    bool Modified() const noexcept { return modified_; }
    void SetModified(bool modified);

    // Draws the picture into rect of canvas (stretched). Called by
    // TCanvas::Draw and StretchDraw, which skip empty graphics.
    virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;

    // Reads the picture from stream at its position; a failure raises
    // (EInvalidGraphic for bad data, EReadError for a short stream).
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // Through a TFileStream (EFOpenError, EFCreateError).
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    // The clipboard forms. The defaults raise EInvalidGraphic
    // ("Clipboard does not support <class>").
    virtual void LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE palette);
    virtual void SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette);

    // The stored form inside a form description; the defaults read and write
    // the stream form.
    virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
    virtual void WriteData(TStream& stream) { SaveToStream(stream); }

    // Same class and the same stream bytes (two empty graphics are equal).
    virtual bool Equals(TGraphic* other);

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

    // Sets Modified and fires OnChange.
    virtual void Changed(TObject* sender);
    // Fires OnProgress when assigned.
    void Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                  const TRect& r, const std::string& msg);

private:
    bool transparent_ = false;
    bool paletteModified_ = false;
    bool modified_ = false;
};

using TGraphicClass = TClassOf<TGraphic>;
