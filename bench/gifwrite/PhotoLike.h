#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

// A synthetic photograph: smooth gradients and soft shapes with sensor-like
// noise, as B, G, R rows padded to 4 bytes (bottom-up, as a DIB).
inline std::vector<std::uint8_t> PhotoLike(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 4.0);
    const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    std::vector<std::uint8_t> rows(stride * std::size_t(height));
    auto clamp = [](double v) { return std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            const double sky = 1.0 - v;
            const double hill = 0.5 + 0.5 * std::sin(u * 9.0 + std::cos(v * 5.0) * 2.0);
            const double sun = std::exp(-((u - 0.7) * (u - 0.7) + (v - 0.25) * (v - 0.25)) * 40.0);
            double r = 60 + 120 * sky * 0.6 + 90 * hill * v + 160 * sun;
            double g = 80 + 100 * sky * 0.7 + 120 * hill * v + 120 * sun;
            double b = 120 + 130 * sky - 60 * hill * v + 40 * sun;
            std::uint8_t* p = &rows[std::size_t(y) * stride + 3 * std::size_t(x)];
            p[0] = clamp(b + noise(random));
            p[1] = clamp(g + noise(random));
            p[2] = clamp(r + noise(random));
        }
    }
    return rows;
}
