#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/graphics/Graphic_win.h"

class TBitmap;
class TIcon;

// A holder of one graphic of any registered class. The graphic is owned;
// setting one stores a copy. Files are read by extension through the
// picture-format registry (built in: "bmp" → TBitmap, "ico" → TIcon).
class TPicture : public TPersistent {
    FW_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;

    TGraphic* Graphic() const noexcept { return graphic_; }
    // Stores a copy of graphic (an instance of its class, assigned from it);
    // nullptr empties the picture.
    void SetGraphic(TGraphic* graphic);
    // The graphic as a TBitmap / TIcon, replacing any other graphic by an
    // empty one of that class.
    TBitmap* Bitmap();
    TIcon* Icon();
    int Width() const { return graphic_ != nullptr ? graphic_->Width() : 0; }
    int Height() const { return graphic_ != nullptr ? graphic_->Height() : 0; }

    // Reads fileName with the class registered for its extension. Unknown
    // extension: EInvalidGraphic ("Unknown picture file extension (.xyz)").
    // On any failure the picture keeps its graphic and the temporary object
    // is freed.
    void LoadFromFile(const std::string& fileName);
    // Writes the graphic to fileName (nothing when empty).
    void SaveToFile(const std::string& fileName);
    // Reads clipboard data with the class registered for format
    // (EInvalidGraphic "Unsupported clipboard format" otherwise).
    void LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE palette);
    void SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette);
    static bool SupportsClipboardFormat(std::uint32_t format);

    // A TPicture or TGraphic: SetGraphic. nullptr: empty. Anything else
    // (the clipboard included) asks the source.
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

    // The registry. Extensions compare without case; a later registration
    // of an extension wins.
    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   TGraphicClass graphicClass);
    static void RegisterClipboardFormat(std::uint32_t format, TGraphicClass graphicClass);
    static void UnregisterGraphicClass(TGraphicClass graphicClass);
    // The class for an extension ("jpg" or ".jpg"), nullptr when none.
    static TGraphicClass FindFileFormat(const std::string& extension);
    // The filter of the picture-file dialogs.
    static std::string GraphicFilter(TGraphicClass graphicClass = nullptr);

protected:
    void AssignTo(TPersistent* Dest) override;
    virtual void Changed(TObject* sender);

private:
    void Adopt(TGraphic* graphic);
    void GraphicChanged(TObject* sender);
    void GraphicProgress(TObject* sender, TProgressStage stage, std::uint8_t percent, bool redraw, const TRect& r,
                         const std::string& msg);

    TGraphic* graphic_ = nullptr;
};
