#include "ui/win32/GifImage.h"

#include <array>
#include <cstddef>

namespace halvern::win32 {

namespace {

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes) {}

    bool has(std::size_t count) const { return m_at + count <= m_bytes.size(); }
    std::uint8_t byte() {
        if (has(1))
            return m_bytes[m_at++];
        m_failed = true;
        return 0;
    }
    unsigned le16() {
        const unsigned low = byte();
        return low | (static_cast<unsigned>(byte()) << 8U);
    }
    std::span<const std::uint8_t> take(std::size_t count) {
        if (!has(count)) {
            m_failed = true;
            return {};
        }
        m_at += count;
        return m_bytes.subspan(m_at - count, count);
    }
    // The data sub-blocks up to their terminator, joined.
    std::vector<std::uint8_t> blocks() {
        std::vector<std::uint8_t> data;
        for (std::uint8_t size = byte(); size != 0 && !m_failed; size = byte()) {
            const auto block = take(size);
            data.insert(data.end(), block.begin(), block.end());
        }
        return data;
    }
    bool failed() const { return m_failed; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_failed = false;
};

// LZW with variable-width codes, as GIF packs them: least significant bit first.
std::optional<std::vector<std::uint8_t>>
decompress(const std::vector<std::uint8_t>& data, unsigned minimumCodeSize, std::size_t expected) {
    if (minimumCodeSize < 2 || minimumCodeSize > 11)
        return std::nullopt;
    const unsigned clear = 1U << minimumCodeSize, end = clear + 1;
    std::vector<std::uint16_t> prefix(4096);
    std::vector<std::uint8_t> suffix(4096), first(4096);
    for (unsigned i = 0; i < clear; ++i)
        suffix[i] = first[i] = static_cast<std::uint8_t>(i);
    unsigned width = minimumCodeSize + 1, next = clear + 2;
    int previous = -1;
    std::vector<std::uint8_t> out, string;
    out.reserve(expected);
    std::uint32_t bits = 0;
    unsigned count = 0;
    for (std::size_t at = 0; out.size() < expected;) {
        while (count < width) {
            if (at == data.size())
                return std::nullopt;
            bits |= static_cast<std::uint32_t>(data[at++]) << count;
            count += 8;
        }
        const unsigned code = bits & ((1U << width) - 1);
        bits >>= width;
        count -= width;
        if (code == clear) {
            width = minimumCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            break;
        if (code > next || (previous < 0 && code >= clear))
            return std::nullopt;
        // Each code after the first defines the next one: the previous string and the first
        // character of this code's (of its own, for the code being defined).
        if (previous >= 0 && next < 4096) {
            const auto before = static_cast<unsigned>(previous);
            prefix[next] = static_cast<std::uint16_t>(before);
            suffix[next] = code < next ? first[code] : first[before];
            first[next] = first[before];
            ++next;
            if (next == (1U << width) && width < 12)
                ++width;
        }
        string.clear();
        unsigned walk = code;
        while (walk >= clear) {
            string.push_back(suffix[walk]);
            walk = prefix[walk];
        }
        string.push_back(suffix[walk]);
        out.insert(out.end(), string.rbegin(), string.rend());
        previous = static_cast<int>(code);
    }
    if (out.size() < expected)
        return std::nullopt;
    out.resize(expected);
    return out;
}

} // namespace

std::optional<RgbaImage> decodeGif(std::span<const std::uint8_t> bytes) {
    Reader reader(bytes);
    const auto signature = reader.take(6);
    if (reader.failed() || signature[0] != 'G' || signature[1] != 'I' || signature[2] != 'F')
        return std::nullopt;
    reader.le16(); // the logical screen: the frame says where it stands in it
    reader.le16();
    const std::uint8_t flags = reader.byte();
    reader.byte(); // background colour index
    reader.byte(); // aspect ratio
    std::span<const std::uint8_t> palette;
    if ((flags & 0x80U) != 0)
        palette = reader.take(3 * (std::size_t{2} << (flags & 7U)));
    int transparent = -1;
    while (!reader.failed()) {
        const std::uint8_t introducer = reader.byte();
        if (introducer == 0x21) { // an extension
            const std::uint8_t label = reader.byte();
            const std::vector<std::uint8_t> data = reader.blocks();
            if (label == 0xF9 && data.size() >= 4 && (data[0] & 1U) != 0)
                transparent = data[3];
            continue;
        }
        if (introducer != 0x2C) // the trailer, or no GIF at all, before any frame
            return std::nullopt;
        reader.le16(); // where the frame stands: the first frame is the picture
        reader.le16();
        RgbaImage image;
        image.width = static_cast<int>(reader.le16());
        image.height = static_cast<int>(reader.le16());
        const std::uint8_t frameFlags = reader.byte();
        if ((frameFlags & 0x80U) != 0)
            palette = reader.take(3 * (std::size_t{2} << (frameFlags & 7U)));
        const unsigned minimumCodeSize = reader.byte();
        const std::vector<std::uint8_t> data = reader.blocks();
        const auto pixelCount =
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
        if (reader.failed() || pixelCount == 0 || palette.empty())
            return std::nullopt;
        const auto indices = decompress(data, minimumCodeSize, pixelCount);
        if (!indices)
            return std::nullopt;
        // Interlaced rows come in four passes: every 8th from 0, every 8th from 4, every 4th
        // from 2, every 2nd from 1.
        std::vector<int> rows;
        if ((frameFlags & 0x40U) != 0) {
            for (const auto [start, step] :
                 std::array<std::array<int, 2>, 4>{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}}) {
                for (int row = start; row < image.height; row += step)
                    rows.push_back(row);
            }
        } else {
            for (int row = 0; row < image.height; ++row)
                rows.push_back(row);
        }
        image.pixels.resize(pixelCount * 4);
        const auto width = static_cast<std::size_t>(image.width);
        for (std::size_t i = 0; i < pixelCount; ++i) {
            const std::size_t index = (*indices)[i];
            const std::size_t target =
                (static_cast<std::size_t>(rows[i / width]) * width + i % width) * 4;
            if (3 * index + 2 >= palette.size())
                return std::nullopt;
            image.pixels[target] = palette[3 * index];
            image.pixels[target + 1] = palette[3 * index + 1];
            image.pixels[target + 2] = palette[3 * index + 2];
            image.pixels[target + 3] = static_cast<int>(index) == transparent ? 0 : 255;
        }
        return image;
    }
    return std::nullopt;
}

} // namespace halvern::win32
