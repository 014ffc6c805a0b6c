#include "framework/graphics/Clipboard_win.h"

#include "framework/core/Exceptions.h"
#include "framework/graphics/Graphic_win.h"
#include "framework/graphics/Picture_win.h"
#include "framework/graphics/PictureFormats.h"

TClipboard::~TClipboard() {
    if (openCount_ > 0) CloseClipboard();
}

void TClipboard::Open() {
    if (openCount_ == 0) {
        if (!OpenClipboard(nullptr)) throw EInvalidOperation("Cannot open clipboard");
        emptied_ = false;
    }
    ++openCount_;
}

void TClipboard::Close() {
    if (openCount_ == 0) return;
    if (--openCount_ == 0) CloseClipboard();
}

void TClipboard::Clear() {
    Open();
    EmptyClipboard();
    emptied_ = true;
    Close();
}

bool TClipboard::HasFormat(std::uint32_t format) const { return IsClipboardFormatAvailable(format) != 0; }

HANDLE TClipboard::GetAsHandle(std::uint32_t format) {
    Open();
    HANDLE data = GetClipboardData(format);
    Close();
    return data;
}

void TClipboard::SetAsHandle(std::uint32_t format, HANDLE data) {
    Open();
    if (!emptied_) {
        EmptyClipboard();
        emptied_ = true;
    }
    SetClipboardData(format, data);
    Close();
}

void TClipboard::Assign(TPersistent* Source) {
    TGraphic* graphic = dynamic_cast<TGraphic*>(Source);
    if (auto* picture = dynamic_cast<TPicture*>(Source)) graphic = picture->Graphic();
    if (graphic == nullptr && dynamic_cast<TPicture*>(Source) == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    Open();
    try {
        EmptyClipboard();
        emptied_ = true;
        if (graphic != nullptr && !graphic->Empty()) {
            std::uint32_t format = 0;
            HANDLE data = nullptr;
            HPALETTE palette = nullptr;
            graphic->SaveToClipboardFormat(format, data, palette);
            if (data != nullptr) SetClipboardData(format, data);
            if (palette != nullptr) SetClipboardData(CF_PALETTE, palette);
        }
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

void TClipboard::AssignTo(TPersistent* Dest) {
    auto* picture = dynamic_cast<TPicture*>(Dest);
    auto* graphic = dynamic_cast<TGraphic*>(Dest);
    if (picture == nullptr && graphic == nullptr) {
        TPersistent::AssignTo(Dest);
        return;
    }
    (void)TPicture::SupportsClipboardFormat(0);  // makes sure the built-in formats are registered
    Open();
    try {
        HPALETTE palette = static_cast<HPALETTE>(GetClipboardData(CF_PALETTE));
        bool done = false;
        for (const auto& f : PictureFormats().ClipboardFormats()) {
            if (!IsClipboardFormatAvailable(f.Format)) continue;
            if (graphic != nullptr && !graphic->InheritsFrom(f.GraphicClass)) continue;
            HANDLE data = GetClipboardData(f.Format);
            if (picture != nullptr) {
                picture->LoadFromClipboardFormat(f.Format, data, palette);
            } else {
                graphic->LoadFromClipboardFormat(f.Format, data, palette);
            }
            done = true;
            break;
        }
        if (!done) throw EInvalidGraphic("Unsupported clipboard format");
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}
