#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/core/Persistent.h"

// The system clipboard, minimal: open and close (nested), formats, raw
// handles, and pictures in and out through the picture-format registry.
class TClipboard : public TPersistent {
    FW_CLASS(TClipboard, TPersistent)
public:
    TClipboard() = default;
    ~TClipboard() override;

    // Nested: only the outermost Open opens the clipboard. Raises
    // EInvalidOperation ("Cannot open clipboard") when another program holds it.
    void Open();
    void Close();
    void Clear();
    bool HasFormat(std::uint32_t format) const;
    // The data of format, owned by the clipboard (0 when absent).
    HANDLE GetAsHandle(std::uint32_t format);
    // Hands data (a global memory block or GDI object) to the clipboard.
    void SetAsHandle(std::uint32_t format, HANDLE data);

    // A TPicture or TGraphic: clears the clipboard and puts the graphic on it
    // in its own format. Otherwise the default.
    void Assign(TPersistent* Source) override;

protected:
    // A TPicture or TGraphic: loaded from the first clipboard format the
    // registry knows (a graphic from its own format). Otherwise the default.
    void AssignTo(TPersistent* Dest) override;

private:
    int openCount_ = 0;
    bool emptied_ = false;
};

// The process's clipboard object, made on first use.
TClipboard* Clipboard();
