// Fuzz target for the transfer: random source and destination sizes, rectangles and clips, each
// resampler with a kernel and access mode, every combine mode, self-transfers; then point samples
// (the unchecked access only inside the bitmap). Any input ends in a drawing or in the
// library's own exceptions, never in a read or write outside the pixels.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/core/Exceptions.h"
#include "raster/Bitmap32.h"
#include "raster/BitmapStorage.h"
#include "raster/Kernels.h"
#include "raster/Resamplers.h"
#include "raster/Startup.h"

namespace {

// Reads the input a value at a time; past its end every value is 0.
class TReader {
public:
    TReader(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
    std::uint32_t Byte() { return p_ < end_ ? *p_++ : 0; }
    std::int32_t Int(int lo, int hi) { // lo..hi; lo when the range is empty
        const std::uint32_t v = Byte() | Byte() << 8;
        if (hi <= lo)
            return lo;
        return lo + static_cast<std::int32_t>(v % static_cast<std::uint32_t>(hi - lo + 1));
    }
    bool Bit() { return (Byte() & 1) != 0; }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

const char* const kResamplers[] = {"TNearestResampler", "TLinearResampler", "TDraftResampler",
                                   "TKernelResampler"};
const char* const kKernels[] = {
    "TBoxKernel",      "TLinearKernel",  "TCosineKernel",   "TSplineKernel",   "TCubicKernel",
    "TMitchellKernel", "TLanczosKernel", "TGaussianKernel", "TBlackmanKernel", "THannKernel",
    "THammingKernel",  "TSinshKernel",   "THermiteKernel"};

void Combine(TColor32 f, TColor32& b, TColor32 m) {
    b = (f & 0xFF00FF00u) | (b & 0xFFu) | (m & 0xFF0000u);
}

void Fill(TBitmap32& b, TReader& in) {
    const std::uint32_t seed = in.Byte() * 0x9E3779B9u;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.SetPixel(x, y, seed ^ (std::uint32_t(x) * 0x01000193u) ^ (std::uint32_t(y) << 13));
}

TRect AnyRect(TReader& in, int extent) {
    const int l = in.Int(-extent, 2 * extent), t = in.Int(-extent, 2 * extent);
    return {l, t, l + in.Int(-4, 3 * extent), t + in.Int(-4, 3 * extent)};
}

void Sample(TBitmap32& b, TReader& in) {
    TCustomResampler* r = b.Resampler();
    auto* access = dynamic_cast<TBitmap32Resampler*>(r);
    if (access == nullptr || b.Empty())
        return;
    const auto mode = static_cast<TPixelAccessMode>(in.Byte() % 3);
    access->SetPixelAccessMode(mode);
    b.SetWrapMode(static_cast<TWrapMode>(in.Byte() % 3));
    r->PrepareSampling();
    for (int n = 0; n < 8; ++n) {
        double x, y;
        if (mode == pamUnsafe) { // unchecked by definition: only points whose footprint fits
            const int reach = static_cast<int>(r->Width()) + 2;
            if (b.Width() <= 2 * reach || b.Height() <= 2 * reach)
                break;
            x = reach + in.Int(0, (b.Width() - 2 * reach - 1) * 16) / 16.0;
            y = reach + in.Int(0, (b.Height() - 2 * reach - 1) * 16) / 16.0;
        } else {
            x = in.Int(-40000, 40000) / 16.0;
            y = in.Int(-40000, 40000) / 16.0;
            if (in.Byte() == 0xFF) {
                x = x * 1e7;
                y = -y * 1e7;
            }
        }
        r->GetSampleFloat(x, y);
        if (mode != pamUnsafe || dynamic_cast<TNearestResampler*>(r) != nullptr)
            r->GetSampleInt(static_cast<int>(std::clamp(x, -2e9, 2e9)),
                            static_cast<int>(std::clamp(y, -2e9, 2e9)));
    }
    r->FinalizeSampling();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 512)
        return 0;
    raster::Startup();
    TReader in(data, size);
    TBitmap32 src(new THeapStorage), dst(new THeapStorage);
    const bool wide = in.Bit(); // large reductions now and then
    src.SetSize(in.Int(0, wide ? 1200 : 48), in.Int(0, wide ? 40 : 48));
    dst.SetSize(in.Int(0, 48), in.Int(0, 48));
    Fill(src, in);
    Fill(dst, in);
    const bool self = in.Bit();
    TBitmap32* from = self ? &dst : &src;
    from->SetResamplerClassName(kResamplers[in.Byte() % 4]);
    if (auto* k = dynamic_cast<TKernelResampler*>(from->Resampler())) {
        k->SetKernelClassName(kKernels[in.Byte() % 13]);
        if (auto* sinc = dynamic_cast<TWindowedSincKernel*>(k->Kernel()))
            sinc->SetWidth(static_cast<float>(in.Int(1, 64)) / 8);
        k->SetKernelMode(static_cast<TKernelMode>(in.Byte() % 3));
        k->SetTableSize(in.Int(0, 300));
    }
    from->SetDrawMode(static_cast<TDrawMode>(in.Byte() % 4));
    from->SetCombineMode(static_cast<TCombineMode>(in.Byte() % 2));
    from->SetMasterAlpha(in.Byte());
    from->SetOuterColor(in.Byte() * 0x01010101u);
    if (from->DrawMode() == dmCustom && in.Bit())
        from->OnPixelCombine = TPixelCombineEvent(&Combine);
    const TRect dstRect = AnyRect(in, 48);
    const TRect clip = AnyRect(in, 48);
    TRect srcRect = AnyRect(in, 48);
    if (in.Bit()) // mostly inside, sometimes anywhere
        srcRect = TRect{in.Int(0, from->Width()), in.Int(0, from->Height()), 0, 0};
    if (srcRect.Right == 0 && srcRect.Bottom == 0)
        srcRect = TRect{srcRect.Left, srcRect.Top, in.Int(srcRect.Left, from->Width()),
                        in.Int(srcRect.Top, from->Height())};
    try {
        StretchTransfer(&dst, dstRect, clip, from, srcRect, from->Resampler(), from->DrawMode(),
                        from->OnPixelCombine);
    } catch (const Exception&) {
    }
    try {
        Sample(*from, in);
    } catch (const Exception&) {
    }
    return 0;
}
