#include "components/trayicon/TrayCallback.h"

namespace {

constexpr std::uint32_t kMouseMove = 0x200;
constexpr std::uint32_t kLButtonDown = 0x201;
constexpr std::uint32_t kLButtonUp = 0x202;
constexpr std::uint32_t kLButtonDblClk = 0x203;
constexpr std::uint32_t kRButtonDown = 0x204;
constexpr std::uint32_t kRButtonUp = 0x205;
constexpr std::uint32_t kRButtonDblClk = 0x206;
constexpr std::uint32_t kMButtonDown = 0x207;
constexpr std::uint32_t kMButtonUp = 0x208;
constexpr std::uint32_t kMButtonDblClk = 0x209;

TTrayOp Mouse(TTrayOpKind kind, TMouseButton button, TShiftState shift) {
    TTrayOp op;
    op.Kind = kind;
    op.Button = button;
    op.Shift = shift;
    return op;
}

TTrayOp FlagStep(TTrayOpKind kind, TTrayClickFlag flag) {
    TTrayOp op;
    op.Kind = kind;
    op.Flag = flag;
    return op;
}

// Press: MouseDown, then the button counts as pressed on the icon.
void Press(std::vector<TTrayOp>& ops, TMouseButton button, TShiftState shift, TTrayClickFlag flag) {
    ops.push_back(Mouse(TTrayOpKind::MouseDown, button, shift));
    ops.push_back(FlagStep(TTrayOpKind::SetClickFlag, flag));
}

// Release: a Click only when the press happened on the icon; MouseUp always.
void Release(std::vector<TTrayOp>& ops, TMouseButton button, TShiftState shift, TTrayClickFlag flag,
             TTrayClickFlags flags) {
    if (flags.Contains(flag)) {
        ops.push_back(FlagStep(TTrayOpKind::ClearClickFlag, flag));
        ops.push_back(Mouse(TTrayOpKind::Click, button, shift));
    }
    ops.push_back(Mouse(TTrayOpKind::MouseUp, button, shift));
}

} // namespace

std::vector<TTrayOp> DecodeTrayCallback(std::uint32_t mouseMessage, TShiftState keys,
                                        TTrayClickFlags flags) {
    // Only the keyboard part of keys counts; the button part comes from the message.
    keys &= TShiftState{ssShift, ssCtrl, ssAlt};
    std::vector<TTrayOp> ops;
    switch (mouseMessage) {
    case kMouseMove:
        ops.push_back(Mouse(TTrayOpKind::MouseMove, mbLeft, keys));
        break;
    case kLButtonDown:
        Press(ops, mbLeft, keys | ssLeft, cfLeft);
        break;
    case kLButtonUp:
        Release(ops, mbLeft, keys | ssLeft, cfLeft, flags);
        break;
    case kLButtonDblClk:
        ops.push_back(Mouse(TTrayOpKind::DblClick, mbLeft, keys));
        ops.push_back(Mouse(TTrayOpKind::MouseDown, mbLeft, keys | ssDouble));
        break;
    case kRButtonDown:
        Press(ops, mbRight, keys | ssRight, cfRight);
        break;
    case kRButtonUp:
        Release(ops, mbRight, keys | ssRight, cfRight, flags);
        break;
    case kRButtonDblClk:
        ops.push_back(Mouse(TTrayOpKind::MouseDown, mbRight, keys | ssDouble));
        break;
    case kMButtonDown:
        ops.push_back(Mouse(TTrayOpKind::MouseDown, mbMiddle, keys | ssMiddle));
        break;
    case kMButtonUp:
        ops.push_back(Mouse(TTrayOpKind::MouseUp, mbMiddle, keys | ssMiddle));
        break;
    case kMButtonDblClk:
        ops.push_back(Mouse(TTrayOpKind::MouseDown, mbMiddle, keys | ssDouble));
        break;
    default:
        break;
    }
    return ops;
}

void ApplyTrayOp(const TTrayOp& op, TTrayClickFlags& flags) noexcept {
    if (op.Kind == TTrayOpKind::SetClickFlag)
        flags.Include(op.Flag);
    else if (op.Kind == TTrayOpKind::ClearClickFlag)
        flags.Exclude(op.Flag);
}
