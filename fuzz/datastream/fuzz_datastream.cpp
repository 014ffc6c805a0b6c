// Feeds a bitmap's "Data" reader with arbitrary bytes, both as a whole stream and framed inside
// a larger one as the form reader frames it. A read either raises EReadError with the bitmap
// unchanged, or succeeds and writes back exactly the bytes it took.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/core/BoundedStream.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "raster/Bitmap32.h"
#include "raster/Startup.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void ReadOnce(TStream& stream, const std::uint8_t* data, std::size_t size) {
    TBitmap32* bitmap = Create<TBitmap32>();
    bitmap->SetSize(1, 1);
    bitmap->SetPixel(0, 0, 0x12345678);
    try {
        bitmap->ReadDataStream(stream);
        const std::size_t taken = 8 + static_cast<std::size_t>(bitmap->Width()) *
                                          static_cast<std::size_t>(bitmap->Height()) * 4;
        Check(taken <= size);
        TMemoryStream out;
        bitmap->WriteDataStream(out);
        Check(static_cast<std::size_t>(out.Size()) == taken);
        // A bitmap with a zero side writes no pixels, and its header keeps the other side.
        if (!bitmap->Empty())
            Check(std::memcmp(out.Memory(), data, taken) == 0);
    } catch (const EReadError&) {
        Check(bitmap->Width() == 1 && bitmap->Height() == 1 && bitmap->Pixel(0, 0) == 0x12345678);
    }
    bitmap->Free();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20))
        return 0;
    raster::Startup();
    TMemoryStream whole;
    if (size > 0)
        whole.WriteBuffer(data, size);
    whole.SetPosition(0);
    ReadOnce(whole, data, size);

    // The same blob between other bytes, seen through a frame of its length.
    TMemoryStream outer;
    const std::uint8_t pad[4] = {0xFF, 0xFF, 0xFF, 0x7F};
    outer.WriteBuffer(pad, sizeof pad);
    if (size > 0)
        outer.WriteBuffer(data, size);
    outer.WriteBuffer(pad, sizeof pad);
    TBoundedStream frame(outer, sizeof pad, static_cast<std::int64_t>(size));
    ReadOnce(frame, data, size);
    return 0;
}
