#include "framework/graphics/PictureFormats.h"

#include <algorithm>

namespace {

std::string Normalise(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    std::string out(extension);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace

void TPictureFormatTable::AddFileFormat(std::string_view extension, std::string_view description,
                                        TClass graphicClass) {
    files_.insert(files_.begin(), TFileFormat{Normalise(extension), std::string(description), graphicClass});
}

TClass TPictureFormatTable::FindExtension(std::string_view extension) const {
    const std::string key = Normalise(extension);
    for (const TFileFormat& f : files_)
        if (f.Extension == key) return f.GraphicClass;
    return nullptr;
}

std::string TPictureFormatTable::DescriptionOf(std::string_view extension) const {
    const std::string key = Normalise(extension);
    for (const TFileFormat& f : files_)
        if (f.Extension == key) return f.Description;
    return {};
}

void TPictureFormatTable::AddClipboardFormat(std::uint32_t format, TClass graphicClass) {
    clipboard_.insert(clipboard_.begin(), TClipboardFormat{format, graphicClass});
}

TClass TPictureFormatTable::FindClipboardFormat(std::uint32_t format) const {
    for (const TClipboardFormat& f : clipboard_)
        if (f.Format == format) return f.GraphicClass;
    return nullptr;
}

void TPictureFormatTable::Remove(TClass graphicClass) {
    std::erase_if(files_, [&](const TFileFormat& f) { return f.GraphicClass == graphicClass; });
    std::erase_if(clipboard_, [&](const TClipboardFormat& f) { return f.GraphicClass == graphicClass; });
}

std::string TPictureFormatTable::Filter(TClass graphicClass) const {
    std::vector<const TFileFormat*> chosen;
    std::vector<std::string> seen;
    for (const TFileFormat& f : files_) {
        if (graphicClass != nullptr && (f.GraphicClass == nullptr || !f.GraphicClass->InheritsFrom(graphicClass)))
            continue;
        if (std::find(seen.begin(), seen.end(), f.Extension) != seen.end()) continue;
        seen.push_back(f.Extension);
        chosen.push_back(&f);
    }
    std::string all;
    for (const TFileFormat* f : chosen) all += (all.empty() ? "*." : ";*.") + f->Extension;
    std::string out = "All (" + all + ")|" + all;
    for (const TFileFormat* f : chosen)
        out += "|" + f->Description + " (*." + f->Extension + ")|*." + f->Extension;
    return out;
}

TPictureFormatTable& PictureFormats() {
    static TPictureFormatTable table;
    return table;
}
