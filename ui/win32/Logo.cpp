#include "ui/win32/Logo.h"

#include "ui/win32/Resources.h"

#include <cstdint>
#include <span>
#include <vector>

namespace halvern::win32 {

namespace {

std::optional<RgbaImage> loadGif(HINSTANCE instance, int id) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (found == nullptr)
        return std::nullopt;
    const auto* bytes =
        static_cast<const std::uint8_t*>(LockResource(LoadResource(instance, found)));
    return decodeGif({bytes, SizeofResource(instance, found)});
}

// The image at the box's size as premultiplied BGRA rows from the top, as AlphaBlend takes them:
// each target pixel the average of the source pixels it covers (a box filter), so the doubled
// logo shrinks smoothly at 150 % and stays pixel for pixel at its own size.
std::vector<std::uint32_t> premultiplied(const RgbaImage& image, int width, int height) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) *
                                   static_cast<std::size_t>(height));
    const double sx = static_cast<double>(image.width) / width;
    const double sy = static_cast<double>(image.height) / height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum[4] = {0, 0, 0, 0};
            double area = 0;
            for (int v = static_cast<int>(y * sy); v < image.height && v < (y + 1) * sy; ++v) {
                const double h =
                    std::min<double>(v + 1, (y + 1) * sy) - std::max<double>(v, y * sy);
                for (int u = static_cast<int>(x * sx); u < image.width && u < (x + 1) * sx; ++u) {
                    const double w =
                        (std::min<double>(u + 1, (x + 1) * sx) - std::max<double>(u, x * sx)) * h;
                    const std::uint8_t* p =
                        &image.pixels[4 * (static_cast<std::size_t>(v) *
                                               static_cast<std::size_t>(image.width) +
                                           static_cast<std::size_t>(u))];
                    const double alpha = p[3] / 255.0;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p[c] * alpha * w;
                    sum[3] += p[3] * w;
                    area += w;
                }
            }
            const auto channel = [&](int c) {
                return static_cast<std::uint32_t>(area > 0 ? sum[c] / area + 0.5 : 0) & 0xFFU;
            };
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)] =
                (channel(3) << 24U) | (channel(0) << 16U) | (channel(1) << 8U) | channel(2);
        }
    }
    return out;
}

} // namespace

Logo::Logo(HINSTANCE instance)
    : m_own(loadGif(instance, logoResource))
    , m_doubled(loadGif(instance, doubledLogoResource)) {}

void Logo::draw(HDC dc, const RECT& box, UINT dpi) const {
    const std::optional<RgbaImage>& chosen = dpi > 96 && m_doubled ? m_doubled : m_own;
    const int width = static_cast<int>(box.right - box.left);
    const int height = static_cast<int>(box.bottom - box.top);
    if (!chosen || width <= 0 || height <= 0)
        return;
    const std::vector<std::uint32_t> pixels = premultiplied(*chosen, width, height);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr)
        return;
    std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
    HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(source, bitmap);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, box.left, box.top, width, height, source, 0, 0, width, height, blend);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
}

} // namespace halvern::win32
