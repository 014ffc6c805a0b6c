#include "framework/gui/MessageRules.h"

#include "framework/gui/Messages.h"

bool IsForeignMessageAllowed(std::uint32_t msg) noexcept {
    if (msg < CM_BASE || msg > CM_PRIVATE_LAST)
        return true;
    return msg == CM_SELFPOSTED_RESERVED;
}

TShiftState KeysToShiftState(std::uint32_t keys, bool altDown) noexcept {
    TShiftState shift;
    if (keys & 0x01)
        shift.Include(ssLeft);
    if (keys & 0x02)
        shift.Include(ssRight);
    if (keys & 0x04)
        shift.Include(ssShift);
    if (keys & 0x08)
        shift.Include(ssCtrl);
    if (keys & 0x10)
        shift.Include(ssMiddle);
    if (altDown)
        shift.Include(ssAlt);
    return shift;
}

TShiftState KeyDataToShiftState(std::uint32_t keyData, bool shiftDown, bool ctrlDown) noexcept {
    TShiftState shift;
    if (shiftDown)
        shift.Include(ssShift);
    if (ctrlDown)
        shift.Include(ssCtrl);
    if (keyData & 0x20000000u)
        shift.Include(ssAlt);
    return shift;
}

std::uint32_t ShiftStateToKeyData(TShiftState shift) noexcept {
    std::uint32_t data = 0;
    if (shift.Contains(ssAlt))
        data |= 0x20000000u;
    if (shift.Contains(ssCtrl))
        data |= 0x10000000u;
    if (shift.Contains(ssShift))
        data |= 0x08000000u;
    return data;
}
