#include "framework/graphics/Picture_win.h"

#include "framework/core/Exceptions.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Icon_win.h"
#include "framework/graphics/PictureFormats.h"

namespace {

// The built-in formats join the table before anything else, so that every
// later registration of the same extension wins over them.
TPictureFormatTable& Formats() {
    static bool builtIn = false;
    TPictureFormatTable& table = PictureFormats();
    if (!builtIn) {
        builtIn = true;
        table.AddFileFormat("ico", "Icons", TIcon::StaticClass());
        table.AddFileFormat("bmp", "Bitmaps", TBitmap::StaticClass());
        table.AddClipboardFormat(CF_BITMAP, TBitmap::StaticClass());
        table.AddClipboardFormat(CF_DIB, TBitmap::StaticClass());
    }
    return table;
}

std::string ExtensionOf(const std::string& fileName) {
    const auto dot = fileName.find_last_of('.');
    const auto sep = fileName.find_last_of("\\/:");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
    return fileName.substr(dot + 1);
}

TGraphic* NewGraphic(TClass cls) {
    if (cls == nullptr) return nullptr;
    return TGraphicClass(cls).Create();
}

}  // namespace

TPicture::TPicture() = default;

TPicture::~TPicture() {
    TGraphic* g = graphic_;
    graphic_ = nullptr;
    if (g != nullptr) g->Free();
}

void TPicture::Adopt(TGraphic* graphic) {
    TGraphic* old = graphic_;
    graphic_ = graphic;
    if (graphic_ != nullptr) {
        graphic_->OnChange = TNotifyEvent(this, &TPicture::GraphicChanged);
        graphic_->OnProgress = TProgressEvent(this, &TPicture::GraphicProgress);
    }
    if (old != nullptr) old->Free();
    Changed(this);
}

void TPicture::SetGraphic(TGraphic* graphic) {
    if (graphic == graphic_) return;
    if (graphic == nullptr) {
        Adopt(nullptr);
        return;
    }
    TGraphic* copy = NewGraphic(graphic->ClassType());
    try {
        copy->Assign(graphic);
    } catch (...) {
        copy->Free();
        throw;
    }
    Adopt(copy);
}

TBitmap* TPicture::Bitmap() {
    if (auto* b = dynamic_cast<TBitmap*>(graphic_); b != nullptr && b->ClassType() == TBitmap::StaticClass()) return b;
    Adopt(Create<TBitmap>());
    return static_cast<TBitmap*>(graphic_);
}

TIcon* TPicture::Icon() {
    if (auto* i = dynamic_cast<TIcon*>(graphic_)) return i;
    Adopt(Create<TIcon>());
    return static_cast<TIcon*>(graphic_);
}

void TPicture::LoadFromFile(const std::string& fileName) {
    const std::string ext = ExtensionOf(fileName);
    TClass cls = Formats().FindExtension(ext);
    if (cls == nullptr) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    TGraphic* fresh = NewGraphic(cls);
    try {
        fresh->OnProgress = TProgressEvent(this, &TPicture::GraphicProgress);
        fresh->LoadFromFile(fileName);
    } catch (...) {
        fresh->Free();
        throw;
    }
    Adopt(fresh);
}

void TPicture::SaveToFile(const std::string& fileName) {
    if (graphic_ != nullptr) graphic_->SaveToFile(fileName);
}

void TPicture::LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE palette) {
    TClass cls = Formats().FindClipboardFormat(format);
    if (cls == nullptr) throw EInvalidGraphic("Unsupported clipboard format");
    TGraphic* fresh = NewGraphic(cls);
    try {
        fresh->LoadFromClipboardFormat(format, data, palette);
    } catch (...) {
        fresh->Free();
        throw;
    }
    Adopt(fresh);
}

void TPicture::SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette) {
    format = 0;
    data = nullptr;
    palette = nullptr;
    if (graphic_ != nullptr) graphic_->SaveToClipboardFormat(format, data, palette);
}

bool TPicture::SupportsClipboardFormat(std::uint32_t format) { return Formats().FindClipboardFormat(format) != nullptr; }

void TPicture::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        SetGraphic(nullptr);
    } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
        if (p != this) SetGraphic(p->graphic_);
    } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
    } else {
        TPersistent::Assign(Source);
    }
}

void TPicture::AssignTo(TPersistent* Dest) {
    if (auto* g = dynamic_cast<TGraphic*>(Dest); g != nullptr && graphic_ != nullptr) {
        g->Assign(graphic_);
        return;
    }
    TPersistent::AssignTo(Dest);
}

void TPicture::Changed(TObject*) {
    if (OnChange) OnChange(this);
}

void TPicture::GraphicChanged(TObject* sender) { Changed(sender); }

void TPicture::GraphicProgress(TObject* sender, TProgressStage stage, std::uint8_t percent, bool redraw,
                               const TRect& r, const std::string& msg) {
    if (OnProgress) OnProgress(sender, stage, percent, redraw, r, msg);
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicClass graphicClass) {
    Formats().AddFileFormat(extension, description, graphicClass);
}

void TPicture::RegisterClipboardFormat(std::uint32_t format, TGraphicClass graphicClass) {
    Formats().AddClipboardFormat(format, graphicClass);
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass) { Formats().Remove(graphicClass); }

TGraphicClass TPicture::FindFileFormat(const std::string& extension) {
    return TGraphicClass(Formats().FindExtension(extension));
}

std::string TPicture::GraphicFilter(TGraphicClass graphicClass) { return Formats().Filter(graphicClass); }
