#include "controls/DialogCodes.h"

namespace {

struct TCodeFlag {
    TTkDialogCode Code;
    std::uint32_t Flag;
};

constexpr TCodeFlag kTable[] = {
    {dcWantAllKeys, 0x0004}, {dcWantArrows, 0x0001}, {dcWantChars, 0x0080},
    {dcButton, 0x2000},      {dcHasSetSel, 0x0008},  {dcWantTab, 0x0002},
};

} // namespace

TTkDialogCodes DialogCodesFromFlags(std::uint32_t flags) noexcept {
    TTkDialogCodes codes;
    for (const TCodeFlag& e : kTable)
        if ((flags & e.Flag) != 0)
            codes.Include(e.Code);
    return codes;
}

std::uint32_t FlagsFromDialogCodes(TTkDialogCodes codes) noexcept {
    std::uint32_t flags = 0;
    for (const TCodeFlag& e : kTable)
        if (codes.Contains(e.Code))
            flags |= e.Flag;
    return flags;
}
