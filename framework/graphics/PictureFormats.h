#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Object.h"

// The picture-format registry without the platform: which graphic class reads
// files of an extension, and which one reads a clipboard format. TPicture's
// RegisterFileFormat, RegisterClipboardFormat and UnregisterGraphicClass work
// on the process-wide table (PictureFormats()); tests build their own.
class TPictureFormatTable {
public:
    struct TFileFormat {
        std::string Extension;  // lower case, without the dot
        std::string Description;
        TClass GraphicClass = nullptr;
    };
    struct TClipboardFormat {
        std::uint32_t Format = 0;
        TClass GraphicClass = nullptr;
    };

    // Registers extension (a leading dot is dropped; compared without regard
    // to ASCII case). A later registration of the same extension wins; the
    // earlier one comes back when the later class is unregistered.
    void AddFileFormat(std::string_view extension, std::string_view description, TClass graphicClass);
    // The class registered last for extension ("jpg", ".JPG"), nullptr when none.
    TClass FindExtension(std::string_view extension) const;
    // The description of the entry FindExtension answers, "" when none.
    std::string DescriptionOf(std::string_view extension) const;

    void AddClipboardFormat(std::uint32_t format, TClass graphicClass);
    // The class registered last for format, nullptr when none.
    TClass FindClipboardFormat(std::uint32_t format) const;

    // Removes every file and clipboard entry of graphicClass.
    void Remove(TClass graphicClass);

    // Newest first, which is also the order of the file-dialog filter.
    const std::vector<TFileFormat>& FileFormats() const { return files_; }
    const std::vector<TClipboardFormat>& ClipboardFormats() const { return clipboard_; }

    // A file-dialog filter: "All (*.jpg;*.bmp)|*.jpg;*.bmp|JPEG Image File (*.jpg)|*.jpg|...",
    // each extension once. Only entries of graphicClass and its descendants
    // when it is not nullptr.
    std::string Filter(TClass graphicClass = nullptr) const;

private:
    std::vector<TFileFormat> files_;
    std::vector<TClipboardFormat> clipboard_;
};

// The process-wide table, made on first use with nothing in it; TPicture
// adds the built-in "bmp" entry the first time it consults the table.
TPictureFormatTable& PictureFormats();
