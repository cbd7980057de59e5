#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace halvern::win32 {

// The first frame of a GIF as straight RGBA pixels, rows from the top, its transparent palette
// entry (if its graphic control extension names one) with an alpha of 0: what a window needs to
// draw the logo without an image library. Reads GIF87a and GIF89a, interlaced or not, with a
// global or a local palette; none where the bytes are no such GIF or are cut short.
struct RgbaImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels; // 4 bytes a pixel: red, green, blue, alpha
};

std::optional<RgbaImage> decodeGif(std::span<const std::uint8_t> bytes);

} // namespace halvern::win32
