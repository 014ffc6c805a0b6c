// Writes the fuzz targets' seed corpora from the hand-made files of these
// tests. It runs only when asked:
//   QUORVANE_WRITE_GIF_CORPUS=fuzz/gif build/<dir>/tests/components/components_gif_tests
//       --gtest_filter=GifCorpus.*
// corpus/ (target gif): one settings byte (bit 0: keep damaged frames, bit 1:
// clipboard block), then the input. lzw-corpus/ (target lzw): minimum code
// size, bits per pixel, width, height, flags, then the sub-blocks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "tests/components/GifTestBuilder.h"

namespace {

Bytes Noise(std::size_t count, int bits, unsigned seed) {
    std::mt19937 random(seed);
    Bytes out(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = (i > 0 && random() % 3 == 0) ? out[i - 1] : std::uint8_t(random() % (1u << bits));
    }
    return out;
}

TEST(GifCorpus, WriteSeedCorpusWhenAsked) {
    const char* dir = std::getenv("QUORVANE_WRITE_GIF_CORPUS");
    if (!dir) {
        GTEST_SKIP() << "set QUORVANE_WRITE_GIF_CORPUS to a folder to write the seed corpus";
    }
    const std::filesystem::path gifDir = std::filesystem::path(dir) / "corpus";
    const std::filesystem::path lzwDir = std::filesystem::path(dir) / "lzw-corpus";
    std::filesystem::create_directories(gifDir);
    std::filesystem::create_directories(lzwDir);
    auto writeLzw = [&](const std::string& name, std::uint8_t minimum, std::uint8_t bits, std::uint8_t width,
                        std::uint8_t height, std::uint8_t flags, const Bytes& packed) {
        std::ofstream out(lzwDir / (name + ".lzw"), std::ios::binary);
        const Bytes data = ImageData(minimum, packed);
        out.put(char(minimum)).put(char(bits - 1)).put(char(width)).put(char(height)).put(char(flags));
        out.write(reinterpret_cast<const char*>(data.data() + 1), std::streamsize(data.size() - 1));
    };
    for (int bits = 1; bits <= 8; ++bits) {
        const int minimum = std::max(2, bits);
        writeLzw("depth" + std::to_string(bits), std::uint8_t(minimum), std::uint8_t(bits), 13, 9, 2,
                 LzwEncode(Noise(13 * 9, bits, unsigned(bits + 50)), minimum));
    }
    writeLzw("interlaced", 4, 4, 5, 10, 3, LzwEncode(Noise(50, 4, 60), 4));
    writeLzw("fulltable", 8, 8, 100, 100, 2, LzwEncode(Noise(10000, 8, 61), 8));
    writeLzw("strict-truncated", 8, 8, 100, 100, 0, [] {
        Bytes b = LzwEncode(Noise(10000, 8, 61), 8);
        b.resize(b.size() / 3);
        return b;
    }());
    writeLzw("cycle", 2, 2, 8, 1, 2, PackCodes({{4, 3}, {1, 3}, {7, 3}, {6, 3}, {7, 4}, {5, 4}}));
    writeLzw("shapes", 2, 2, 4, 1, 2, PackCodes({{4, 3}, {4, 3}, {3, 3}, {6, 3}, {4, 3}, {5, 3}}));
    auto write = [&](const std::string& name, std::uint8_t settings, const Bytes& body) {
        std::ofstream out(gifDir / (name + ".gif"), std::ios::binary);
        out.put(char(settings));
        out.write(reinterpret_cast<const char*>(body.data()), std::streamsize(body.size()));
    };
    for (int bits = 1; bits <= 8; ++bits) {
        const int minimum = std::max(2, bits);
        write("depth" + std::to_string(bits), 1,
              GifBuilder()
                  .Signature()
                  .Screen(9, 5, bits)
                  .Frame(9, 5, Noise(45, bits, unsigned(bits)), minimum)
                  .Trailer());
    }
    write("interlaced", 1,
          GifBuilder()
              .Signature("GIF87a")
              .Screen(4, 10, 4)
              .Frame(4, 10, Noise(40, 4, 20), 4, 0, true)
              .Trailer());
    write("animated", 1,
          GifBuilder()
              .Signature()
              .Screen(6, 6, 2, 1)
              .Loop(3)
              .GraphicControl(0x05, 10, 1)
              .Frame(6, 6, Noise(36, 2, 21), 2)
              .GraphicControl(0x08, 20, 0)
              .Comment({"frame two"})
              .Descriptor(2, 2, 3, 3, 3)
              .Raw(ImageData(3, LzwEncode(Noise(9, 3, 22), 3)))
              .Comment({"end", "lines"})
              .Trailer());
    write("plaintext", 1,
          GifBuilder()
              .Signature()
              .Screen(2, 2, 1)
              .GraphicControl(1, 1, 0)
              .PlainText({"text"})
              .Application("ANIMEXTS1.0", {std::string{1, 0, 0}})
              .Frame(2, 2, {0, 1, 1, 0}, 2)
              .Trailer());
    const Bytes big =
        GifBuilder().Signature().Screen(64, 64, 8).Frame(64, 64, Noise(4096, 8, 23), 8).Trailer();
    write("fulltable", 1, big);
    LzwOptions frozen;
    frozen.ClearWhenFull = false;
    write("frozentable", 1,
          GifBuilder()
              .Signature()
              .Screen(64, 64, 8)
              .Descriptor(0, 0, 64, 64)
              .Raw(ImageData(8, LzwEncode(Noise(4096, 8, 24), 8, frozen)))
              .Trailer());
    LzwOptions bare;
    bare.LeadingClear = false;
    bare.EndCode = false;
    write("noclear", 1,
          GifBuilder()
              .Signature()
              .Screen(5, 3, 3)
              .Descriptor(0, 0, 5, 3)
              .Raw(ImageData(3, LzwEncode(Noise(15, 3, 25), 3, bare)))
              .Trailer());
    write("truncated", 1, Bytes(big.begin(), big.begin() + std::ptrdiff_t(big.size() / 2)));
    write("truncated-strict", 0, Bytes(big.begin(), big.begin() + std::ptrdiff_t(big.size() / 2)));
    write("badcodesize", 1,
          GifBuilder()
              .Signature()
              .Screen(2, 1, 1)
              .Descriptor(0, 0, 2, 1)
              .Raw(ImageData(12, {0xFF, 0x0F}))
              .Trailer());
    write("nocolours", 1, GifBuilder().Signature().Screen(2, 1).Frame(2, 1, {0, 1}, 2).Trailer());
    write("zerosize", 1, GifBuilder().Signature().Screen(0, 0, 1).Frame(0, 0, {}, 2).Trailer());
    write("huge", 1,
          GifBuilder()
              .Signature()
              .Screen(0xFFFF, 0xFFFF, 1)
              .Descriptor(0, 0, 0, 0)
              .Raw(ImageData(2, {0x44, 0x01}))
              .Trailer());
    write("cycle", 1,
          GifBuilder()
              .Signature()
              .Screen(8, 1, 2)
              .Descriptor(0, 0, 8, 1)
              .Raw(ImageData(2, PackCodes({{4, 3}, {1, 3}, {7, 3}, {6, 3}, {7, 4}, {5, 4}})))
              .Trailer());
    Bytes clip = GifBuilder().Signature().Screen(2, 1, 1).Frame(2, 1, {1, 0}, 2).Trailer();
    const auto n = std::uint32_t(clip.size());
    clip.insert(clip.begin(), {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16),
                               std::uint8_t(n >> 24)});
    write("clipboard", 3, clip);
}

} // namespace
