#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics/Graphic_win.h"

// An icon on an HICON. Icon files are read through the portable directory
// check (IconFile.h): a bad directory raises EInvalidGraphic ("Icon image is
// not valid"). An icon read from a stream writes back the same bytes; one made
// from a handle writes a single 32-bit image.
//
// Ownership: SetHandle copies the icon it is given and never destroys it (the
// handle may belong to another window, WM_GETICON answers); AdoptHandle takes
// ownership of an icon the caller made.
class TIcon : public TGraphic {
    FW_CLASS(TIcon, TGraphic)
public:
    TIcon() = default;
    ~TIcon() override;

    bool Empty() const override { return handle_ == nullptr; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Raise EInvalidGraphicOperation ("Cannot change the size of an icon").
    void SetWidth(int) override;
    void SetHeight(int) override;
    // Icons always draw with their mask.
    bool Transparent() const override { return true; }

    HICON Handle() const noexcept { return handle_; }
    void SetHandle(HICON icon);
    void AdoptHandle(HICON icon);
    // Gives the HICON to the caller; the icon is empty afterwards.
    HICON ReleaseHandle();

    // An RT_GROUP_ICON resource, at the system's icon size (SM_CXICON). Raises
    // EResNotFound when it is missing.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // In the clipboard format registered for TIcon (the icon file bytes in
    // global memory).
    void LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette) override;

    // A TIcon: a copy of its icon. nullptr: empty. Otherwise the default.
    void Assign(TPersistent* Source) override;
    void Draw(TCanvas* canvas, const TRect& rect) override;

    // Reads an icon file image (the whole of data).
    void LoadFromIconFile(const std::uint8_t* data, std::size_t size);

private:
    void Replace(HICON icon, std::vector<std::uint8_t> file);
    std::vector<std::uint8_t> BuildFile() const;

    HICON handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> file_;
};
