#pragma once

// The small picture files under data/ beside this header, found through the
// source path, which native runs and Wine (drive Z:) both resolve.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

inline std::string GraphicsFixturePath(const std::string& name) {
#ifdef QUORVANE_GRAPHICS_DATA_DIR
    // Given by the build: __FILE__ is relative when a compiler cache rewrites the source paths.
    std::string path = std::string(QUORVANE_GRAPHICS_DATA_DIR) + name;
#else
    std::string here = __FILE__;
    const auto slash = here.find_last_of("/\\");
    std::string path = here.substr(0, slash + 1) + "data/" + name;
#endif
#ifdef _WIN32
    // Under Wine the Unix root is drive Z:.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
    return path;
}

inline std::vector<std::uint8_t> ReadGraphicsFixture(const std::string& name) {
    std::ifstream in(GraphicsFixturePath(name), std::ios::binary);
    if (!in) throw std::runtime_error("missing fixture " + name);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
