// Draws the program icon (assets/halvern.ico, and PNGs of it at 48 to 256 px in assets/icons/,
// also gathered in assets/icons/halvern-large.ico, and at 192 and 512 px for the web page)
// and the logo (assets/logo.gif, and logo@2x.gif at twice the size for dense screens) from
// nothing but arithmetic, so that all can be written again byte for byte:
//   make-assets <output folder>
// Standard C++ only; no image library is involved in making the files the program ships.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    double r, g, b;
};

void putLe16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xffU));
    out.push_back(static_cast<std::uint8_t>((value >> 8U) & 0xffU));
}

void putLe32(Bytes& out, std::uint32_t value) {
    putLe16(out, value & 0xffffU);
    putLe16(out, value >> 16U);
}

// Where pixel (x, y) of an image `width` pixels wide sits in its row-major pixel list.
std::size_t pixelIndex(int x, int y, int width) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
}

// Coverage of a pixel by a shape, from a 4 x 4 grid of samples.
double coverage(int x, int y, const std::function<bool(double, double)>& inside) {
    int hits = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
            hits += inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0) ? 1 : 0;
    return hits / 16.0;
}

// ---------------------------------------------------------------------------------------------
// The icon: a white application window drawn at an angle, cyan title bar, grey shadow.

// The standard 16-colour VGA palette in the order Windows bitmaps use.
constexpr std::array<std::array<std::uint8_t, 3>, 16> vgaPalette{{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

enum VgaColour : std::uint8_t { black = 0, darkGrey = 8, cyan = 14, white = 15 };

// What lies under a point of the icon, in a 32-unit square; sizes scale it.
enum class Part { nothing, shadow, outline, titleBar, body };

Part iconPart(double x, double y) {
    // The window is a 25 x 19 rectangle turned by 12 degrees about the icon's centre.
    constexpr double angle = -12.0 * std::numbers::pi / 180.0;
    constexpr double width = 25.0, height = 19.0, titleHeight = 5.0, line = 1.3;
    const auto local = [&](double px, double py, double& u, double& v) {
        const double dx = px - 14.6, dy = py - 14.6;
        u = std::cos(angle) * dx + std::sin(angle) * dy + width / 2;
        v = -std::sin(angle) * dx + std::cos(angle) * dy + height / 2;
    };
    double u = 0, v = 0;
    local(x, y, u, v);
    if (u >= 0 && u <= width && v >= 0 && v <= height) {
        if (u < line || u > width - line || v < line || v > height - line)
            return Part::outline;
        if (v < titleHeight)
            return Part::titleBar;
        if (v < titleHeight + line * 0.8)
            return Part::outline;
        return Part::body;
    }
    local(x - 2.5, y - 2.5, u, v);
    if (u >= 0 && u <= width && v >= 0 && v <= height)
        return Part::shadow;
    return Part::nothing;
}

struct IconImage {
    int size;
    int bitsPerPixel;
    std::vector<std::uint8_t> colour; // palette index per pixel, top row first
    std::vector<bool> transparent;
};

IconImage drawIcon(int size, int bitsPerPixel) {
    IconImage image{size, bitsPerPixel, {}, {}};
    const double scale = 32.0 / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Part part = iconPart((x + 0.5) * scale, (y + 0.5) * scale);
            std::uint8_t index = black;
            if (bitsPerPixel == 1) {
                // Two colours: a white body on black lines, the shadow as a 50 % dither.
                index = part == Part::body ? 1 : 0;
                if (part == Part::shadow && (x + y) % 2 == 1)
                    index = 1;
            } else {
                switch (part) {
                case Part::nothing:
                case Part::outline:
                    index = black;
                    break;
                case Part::shadow:
                    index = darkGrey;
                    break;
                case Part::titleBar:
                    index = cyan;
                    break;
                case Part::body:
                    index = white;
                    break;
                }
            }
            image.colour.push_back(index);
            image.transparent.push_back(part == Part::nothing);
        }
    }
    return image;
}

Bytes iconImageBytes(const IconImage& image) {
    const int size = image.size;
    const int bpp = image.bitsPerPixel;
    const int colours = 1 << bpp;
    const auto rowBytes = [](int bits) {
        return ((bits + 31) / 32) * 4;
    };
    const int xorRow = rowBytes(size * bpp), andRow = rowBytes(size);

    Bytes out;
    putLe32(out, 40);                                   // header size
    putLe32(out, static_cast<std::uint32_t>(size));     // width
    putLe32(out, static_cast<std::uint32_t>(size * 2)); // height: colour and mask together
    putLe16(out, 1);                                    // planes
    putLe16(out, static_cast<unsigned>(bpp));           // bits per pixel
    putLe32(out, 0);                                    // no compression
    putLe32(out, static_cast<std::uint32_t>((xorRow + andRow) * size));
    putLe32(out, 0);
    putLe32(out, 0);
    putLe32(out, 0);
    putLe32(out, 0);
    for (int i = 0; i < colours; ++i) {
        const auto& rgb =
            bpp == 1 ? vgaPalette[i == 0 ? black : white] : vgaPalette[static_cast<std::size_t>(i)];
        out.insert(out.end(), {rgb[2], rgb[1], rgb[0], 0});
    }
    // Rows run bottom-up; pixels pack from the high bits.
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(xorRow), 0);
        for (int x = 0; x < size; ++x) {
            const unsigned index = image.colour[pixelIndex(x, y, size)];
            const int bit = x * bpp;
            const int shift = 8 - bpp - bit % 8;
            row[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(index << shift);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(andRow), 0);
        for (int x = 0; x < size; ++x) {
            if (image.transparent[pixelIndex(x, y, size)])
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80U >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes makeIcon() {
    const std::array<IconImage, 3> images{drawIcon(32, 1), drawIcon(32, 4), drawIcon(16, 4)};
    std::array<Bytes, images.size()> bodies;
    for (std::size_t i = 0; i < images.size(); ++i)
        bodies.at(i) = iconImageBytes(images.at(i));

    Bytes out;
    putLe16(out, 0); // reserved
    putLe16(out, 1); // type: icon
    putLe16(out, static_cast<unsigned>(images.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        out.push_back(static_cast<std::uint8_t>(image.size));
        out.push_back(static_cast<std::uint8_t>(image.size));
        out.push_back(static_cast<std::uint8_t>(1U << image.bitsPerPixel)); // colour count
        out.push_back(0);
        putLe16(out, 1);
        putLe16(out, static_cast<unsigned>(image.bitsPerPixel));
        putLe32(out, static_cast<std::uint32_t>(bodies[i].size()));
        putLe32(out, offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const Bytes& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

// ---------------------------------------------------------------------------------------------
// The icon at larger sizes, for docks, task switchers, software centres and dense screens: the
// same window drawn in true colour with smooth edges, as PNG.

struct Rgba {
    std::uint8_t r, g, b, a;
};

std::vector<Rgba> drawSmoothIcon(int size) {
    std::vector<Rgba> pixels;
    const double scale = 32.0 / size;
    constexpr int samples = 4;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const Part part = iconPart((x + (sx + 0.5) / samples) * scale,
                                               (y + (sy + 0.5) / samples) * scale);
                    VgaColour colour = black;
                    switch (part) {
                    case Part::nothing:
                        continue;
                    case Part::outline:
                        colour = black;
                        break;
                    case Part::shadow:
                        colour = darkGrey;
                        break;
                    case Part::titleBar:
                        colour = cyan;
                        break;
                    case Part::body:
                        colour = white;
                        break;
                    }
                    const auto& rgb = vgaPalette.at(colour);
                    r += rgb[0], g += rgb[1], b += rgb[2], a += 1;
                }
            }
            // Colours are averaged over the covered samples only, so edges keep their colour
            // and fade by their alpha.
            const auto channel = [](double value) {
                return static_cast<std::uint8_t>(std::lround(value));
            };
            if (a == 0)
                pixels.push_back({0, 0, 0, 0});
            else
                pixels.push_back({channel(r / a), channel(g / a), channel(b / a),
                                  channel(255.0 * a / (samples * samples))});
        }
    }
    return pixels;
}

void putBe32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>((value >> static_cast<unsigned>(shift)) & 0xffU));
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t length) {
    std::uint32_t crc = 0xffffffffU;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1U) ^ (0xedb88320U & (0U - (crc & 1U)));
    }
    return ~crc;
}

// Deflate with the fixed Huffman codes and one kind of match: a run of the byte just written
// (distance 1). With each row stored as its difference from the row above, the icon's flat
// areas become such runs. Bits go out least significant first; Huffman codes most significant
// first, as deflate wants.
class FixedDeflate {
public:
    Bytes finish(const Bytes& input) {
        putBits(1, 1); // the last block
        putBits(1, 2); // fixed codes
        for (std::size_t i = 0; i < input.size();) {
            literal(input[i]);
            std::size_t run = 0;
            while (run < 258 && i + 1 + run < input.size() && input[i + 1 + run] == input[i])
                ++run;
            if (run >= 3) {
                match(static_cast<unsigned>(run));
                i += 1 + run;
            } else {
                ++i;
            }
        }
        code(256); // end of block
        if (m_filled > 0)
            m_out.push_back(static_cast<std::uint8_t>(m_buffer));
        return m_out;
    }

private:
    void putBits(unsigned value, unsigned count) {
        m_buffer |= value << m_filled;
        m_filled += count;
        while (m_filled >= 8) {
            m_out.push_back(static_cast<std::uint8_t>(m_buffer & 0xffU));
            m_buffer >>= 8U;
            m_filled -= 8;
        }
    }
    void putCode(unsigned value, unsigned count) {
        for (unsigned bit = count; bit-- > 0;)
            putBits((value >> bit) & 1U, 1);
    }
    void code(unsigned symbol) {
        if (symbol < 144)
            putCode(0x30 + symbol, 8);
        else if (symbol < 256)
            putCode(0x190 + symbol - 144, 9);
        else if (symbol < 280)
            putCode(symbol - 256, 7);
        else
            putCode(0xc0 + symbol - 280, 8);
    }
    void literal(std::uint8_t byte) { code(byte); }
    void match(unsigned length) {
        static constexpr std::array<unsigned, 29> base{3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr std::array<unsigned, 29> extra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                        2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        std::size_t i = base.size() - 1;
        while (base.at(i) > length)
            --i;
        code(257 + static_cast<unsigned>(i));
        putBits(length - base.at(i), extra.at(i));
        putCode(0, 5); // distance code 0: one byte back
    }

    Bytes m_out;
    std::uint32_t m_buffer = 0;
    unsigned m_filled = 0;
};

Bytes makePng(int size, const std::vector<Rgba>& pixels) {
    const auto chunk = [](Bytes& out, const char* type, const Bytes& data) {
        putBe32(out, static_cast<std::uint32_t>(data.size()));
        const std::size_t start = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        putBe32(out, crc32(&out[start], out.size() - start));
    };
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes header;
    putBe32(header, static_cast<std::uint32_t>(size));
    putBe32(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, adaptive, progressive
    chunk(out, "IHDR", header);

    // Each row as its difference from the row above (filter 2), then zlib around deflate.
    Bytes raw;
    const auto rowBytes = static_cast<std::size_t>(size) * 4;
    Bytes previous(rowBytes, 0);
    for (int y = 0; y < size; ++y) {
        Bytes row;
        for (int x = 0; x < size; ++x) {
            const Rgba& p = pixels[pixelIndex(x, y, size)];
            row.insert(row.end(), {p.r, p.g, p.b, p.a});
        }
        raw.push_back(2);
        for (std::size_t i = 0; i < rowBytes; ++i)
            raw.push_back(static_cast<std::uint8_t>(row[i] - previous[i]));
        previous = row;
    }
    Bytes zlib{0x78, 0x01};
    const Bytes deflated = FixedDeflate().finish(raw);
    zlib.insert(zlib.end(), deflated.begin(), deflated.end());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521U;
        b = (b + a) % 65521U;
    }
    putBe32(zlib, (b << 16U) | a);
    chunk(out, "IDAT", zlib);
    chunk(out, "IEND", {});
    return out;
}

// ---------------------------------------------------------------------------------------------
// The logo: a charcoal plate with a gold coin and the word HALVERN in gold capitals.

constexpr int logoWidth = 105, logoHeight = 45;
constexpr Rgb transparentColour{239, 238, 238};

// Index 0 is the transparent near-white; then fifteen greys and sixteen golds.
std::array<Rgb, 32> logoPalette() {
    std::array<Rgb, 32> palette{};
    palette[0] = transparentColour;
    for (int i = 0; i < 15; ++i) {
        const double level = 18.0 + i * 15.0;
        palette.at(static_cast<std::size_t>(i) + 1) = {level, level, level + 2.0};
    }
    const Rgb darkGold{92, 62, 8}, midGold{212, 160, 40}, lightGold{255, 236, 160};
    for (int i = 0; i < 16; ++i) {
        const double t = i / 15.0;
        const Rgb& from = t < 0.6 ? darkGold : midGold;
        const Rgb& to = t < 0.6 ? midGold : lightGold;
        const double s = t < 0.6 ? t / 0.6 : (t - 0.6) / 0.4;
        palette.at(static_cast<std::size_t>(i) + 16) = {from.r + (to.r - from.r) * s,
                                                        from.g + (to.g - from.g) * s,
                                                        from.b + (to.b - from.b) * s};
    }
    return palette;
}

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double segmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

struct Stroke {
    double ax, ay, bx, by;
};

// Capitals as strokes on a 6 x 12 grid; the R's bowl is a run of short strokes.
std::vector<Stroke> letterStrokes(char letter) {
    switch (letter) {
    case 'H':
        return {{0, 0, 0, 12}, {6, 0, 6, 12}, {0, 6, 6, 6}};
    case 'A':
        return {{0, 12, 3, 0}, {3, 0, 6, 12}, {1.2, 7.5, 4.8, 7.5}};
    case 'L':
        return {{0, 0, 0, 12}, {0, 12, 5.5, 12}};
    case 'V':
        return {{0, 0, 3, 12}, {3, 12, 6, 0}};
    case 'E':
        return {{0, 0, 0, 12}, {0, 0, 5.5, 0}, {0, 6, 4.5, 6}, {0, 12, 5.5, 12}};
    case 'N':
        return {{0, 0, 0, 12}, {0, 0, 6, 12}, {6, 0, 6, 12}};
    case 'R': {
        std::vector<Stroke> strokes{
            {0, 0, 0, 12}, {0, 0, 3, 0}, {0, 6.5, 3, 6.5}, {2.8, 6.5, 6, 12}};
        const double cx = 3.0, cy = 3.25, r = 3.25;
        for (int i = 0; i < 8; ++i) {
            const double a0 = -std::numbers::pi / 2 + i * std::numbers::pi / 8;
            const double a1 = a0 + std::numbers::pi / 8;
            strokes.push_back({cx + r * std::cos(a0), cy + r * std::sin(a0), cx + r * std::cos(a1),
                               cy + r * std::sin(a1)});
        }
        return strokes;
    }
    default:
        return {};
    }
}

// Draws the logo `scale` times its size. Shapes are stated in the logo's own 105 x 45 units and
// sampled at the pixels of the larger canvas, so the doubled logo is the same picture, sharper.
std::vector<Rgb> drawLogo(int scale) {
    const int width = logoWidth * scale, height = logoHeight * scale;
    std::vector<Rgb> pixels(pixelIndex(0, height, width), transparentColour);
    const auto at = [&](int x, int y) -> Rgb& {
        return pixels[pixelIndex(x, y, width)];
    };
    // Coverage of pixel (x, y) of the canvas by a shape given in logo units.
    const auto covered = [&](int x, int y, const std::function<bool(double, double)>& inside) {
        return coverage(x, y, [&](double px, double py) { return inside(px / scale, py / scale); });
    };

    // The plate: a rounded rectangle, charcoal darkening downwards, with a thin gold rim.
    constexpr double radius = 7.0;
    const auto inPlate = [&](double x, double y, double inset) {
        const double left = inset, top = inset, right = logoWidth - inset,
                     bottom = logoHeight - inset;
        if (x < left || x > right || y < top || y > bottom)
            return false;
        const double r = radius - inset;
        const double cx = std::clamp(x, left + r, right - r),
                     cy = std::clamp(y, top + r, bottom - r);
        return std::hypot(x - cx, y - cy) <= r;
    };
    const Rgb rim{200, 150, 40};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double outer =
                covered(x, y, [&](double px, double py) { return inPlate(px, py, 0.0); });
            if (outer < 0.5)
                continue; // a hard edge: the window colour shows through cleanly
            const double inner =
                covered(x, y, [&](double px, double py) { return inPlate(px, py, 1.2); });
            const double row = (y + 0.5) / scale - 0.5; // the logo row this pixel's centre is on
            const Rgb plate = mix(Rgb{62, 62, 66}, Rgb{26, 26, 28}, row / double(logoHeight - 1));
            at(x, y) = mix(rim, plate, inner);
        }
    }

    // The coin: a radial gold gradient, a darker ring inside its edge, lit from the top left.
    constexpr double coinX = 22.5, coinY = 22.5, coinR = 16.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double c = covered(x, y, [&](double px, double py) {
                return std::hypot(px - coinX, py - coinY) <= coinR;
            });
            if (c == 0.0)
                continue;
            const double px = (x + 0.5) / scale, py = (y + 0.5) / scale;
            const double d = std::hypot(px - coinX, py - coinY) / coinR;
            const double light = std::clamp(
                0.75 - 0.45 * ((px - coinX) + (py - coinY)) / (2 * coinR) - 0.2 * d, 0.0, 1.0);
            Rgb gold = mix(Rgb{150, 100, 15}, Rgb{255, 225, 120}, light);
            const double ring = std::abs(d - 0.8);
            if (ring < 0.05)
                gold = mix(gold, Rgb{120, 80, 10}, 1.0 - ring / 0.05);
            at(x, y) = mix(at(x, y), gold, c);
        }
    }

    // An H struck into the coin, and the wordmark beside it.
    // Letters are placed by their own widths, with a little kerning where a diagonal meets an
    // open side.
    const auto drawText = [&](const std::string& text, double left, double top, double size,
                              double gap, double thickness, const Rgb& colour) {
        std::vector<Stroke> strokes;
        double dx = left;
        for (std::size_t i = 0; i < text.size(); ++i) {
            double right = 0.0;
            for (Stroke s : letterStrokes(text[i])) {
                right = std::max({right, s.ax, s.bx});
                strokes.push_back(
                    {dx + s.ax * size, top + s.ay * size, dx + s.bx * size, top + s.by * size});
            }
            const bool kern = i + 1 < text.size() && text[i] == 'L' && text[i + 1] == 'V';
            dx += (right + (kern ? gap * 0.2 : gap)) * size;
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double c = covered(x, y, [&](double px, double py) {
                    return std::any_of(strokes.begin(), strokes.end(), [&](const Stroke& s) {
                        return segmentDistance(px, py, s.ax, s.ay, s.bx, s.by) <= thickness / 2;
                    });
                });
                if (c > 0.0)
                    at(x, y) = mix(at(x, y), colour, c);
            }
        }
    };
    drawText("H", 19.4, 15.5, 1.2, 0.0, 2.2, Rgb{110, 72, 8});
    drawText("HALVERN", 44.0, 13.0, 1.0, 2.9, 1.9, Rgb{246, 200, 80});
    // A fine gold rule under the word.
    for (int y = 30 * scale; y < 31 * scale; ++y) {
        for (int x = 44 * scale; x < 99 * scale; ++x)
            at(x, y) = mix(at(x, y), Rgb{190, 140, 35}, 0.9);
    }
    return pixels;
}

std::uint8_t nearestIndex(const std::array<Rgb, 32>& palette, const Rgb& colour) {
    std::size_t best = 1;
    double bestDistance = 1e300;
    for (std::size_t i = 1; i < palette.size(); ++i) { // index 0 is only for the transparent pixels
        const double dr = palette[i].r - colour.r, dg = palette[i].g - colour.g,
                     db = palette[i].b - colour.b;
        const double distance = 0.3 * dr * dr + 0.59 * dg * dg + 0.11 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// LZW data for 5-bit pixels that never grows the code table: a clear code goes out before the
// table would need wider codes, so every code is 6 bits. Larger than real compression, but the
// simplest stream every decoder reads.
Bytes lzwUncompressed(const std::vector<std::uint8_t>& indices) {
    constexpr unsigned minimumCodeSize = 5, codeBits = 6, clearCode = 32, endCode = 33;
    constexpr int literalsPerClear = (1 << codeBits) - 2 - int(endCode); // before a wider code
    Bytes data;
    std::uint32_t buffer = 0;
    unsigned filled = 0;
    const auto emitCode = [&](unsigned code) {
        buffer |= code << filled;
        filled += codeBits;
        while (filled >= 8) {
            data.push_back(static_cast<std::uint8_t>(buffer & 0xffU));
            buffer >>= 8U;
            filled -= 8;
        }
    };
    int sinceClear = literalsPerClear;
    for (std::uint8_t index : indices) {
        if (sinceClear == literalsPerClear) {
            emitCode(clearCode);
            sinceClear = 0;
        }
        emitCode(index);
        ++sinceClear;
    }
    emitCode(endCode);
    if (filled > 0)
        data.push_back(static_cast<std::uint8_t>(buffer & 0xffU));

    Bytes out{static_cast<std::uint8_t>(minimumCodeSize)};
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                   data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    out.push_back(0);
    return out;
}

Bytes makeLogo(int scale) {
    const std::array<Rgb, 32> palette = logoPalette();
    const std::vector<Rgb> pixels = drawLogo(scale);
    const auto width = static_cast<unsigned>(logoWidth * scale);
    const auto height = static_cast<unsigned>(logoHeight * scale);
    std::vector<std::uint8_t> indices;
    for (const Rgb& p : pixels) {
        const bool clear =
            p.r == transparentColour.r && p.g == transparentColour.g && p.b == transparentColour.b;
        indices.push_back(clear ? 0 : nearestIndex(palette, p));
    }

    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    putLe16(out, width);
    putLe16(out, height);
    out.push_back(0xf4); // global palette, 8-bit sources, unsorted, 2^(4+1) = 32 entries
    out.push_back(0);    // background colour index
    out.push_back(0);    // no aspect ratio
    for (const Rgb& c : palette)
        out.insert(out.end(), {static_cast<std::uint8_t>(std::lround(c.r)),
                               static_cast<std::uint8_t>(std::lround(c.g)),
                               static_cast<std::uint8_t>(std::lround(c.b))});
    // Graphic control: no disposal, no delay, index 0 transparent.
    out.insert(out.end(), {0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00});
    out.push_back(0x2c); // image descriptor: whole canvas, no local palette, not interlaced
    putLe16(out, 0);
    putLe16(out, 0);
    putLe16(out, width);
    putLe16(out, height);
    out.push_back(0);
    const Bytes data = lzwUncompressed(indices);
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(0x3b); // trailer
    return out;
}

// The larger icon images as one icon file with PNG entries (as Windows reads them since Vista),
// for the Windows window's big icon on dense screens; the program file keeps its three images.
Bytes makeLargeIcon(const std::vector<std::pair<int, Bytes>>& pngs) {
    Bytes out;
    putLe16(out, 0);
    putLe16(out, 1); // an icon
    putLe16(out, static_cast<unsigned>(pngs.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(pngs.size());
    for (const auto& [size, png] : pngs) {
        out.push_back(static_cast<std::uint8_t>(size % 256)); // 0 stands for 256
        out.push_back(static_cast<std::uint8_t>(size % 256));
        out.push_back(0); // no palette
        out.push_back(0);
        putLe16(out, 1);  // planes
        putLe16(out, 32); // bits per pixel
        putLe32(out, static_cast<std::uint32_t>(png.size()));
        putLe32(out, offset);
        offset += static_cast<std::uint32_t>(png.size());
    }
    for (const auto& entry : pngs)
        out.insert(out.end(), entry.second.begin(), entry.second.end());
    return out;
}

bool write(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-assets <output folder>\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder / "icons", error);
    bool written = write(folder / "halvern.ico", makeIcon()) &&
                   write(folder / "logo.gif", makeLogo(1)) &&
                   write(folder / "logo@2x.gif", makeLogo(2));
    std::vector<std::pair<int, Bytes>> pngs;
    for (const int size : {48, 64, 128, 256}) {
        pngs.emplace_back(size, makePng(size, drawSmoothIcon(size)));
        written = written && write(folder / "icons" / ("halvern-" + std::to_string(size) + ".png"),
                                   pngs.back().second);
    }
    written = written && write(folder / "icons" / "halvern-large.ico", makeLargeIcon(pngs));
    // For the web page, installed as an app.
    for (const int size : {192, 512}) {
        written = written && write(folder / "icons" / ("halvern-" + std::to_string(size) + ".png"),
                                   makePng(size, drawSmoothIcon(size)));
    }
    if (!written) {
        std::cerr << "make-assets: cannot write into " << folder << '\n';
        return 1;
    }
    return 0;
}
