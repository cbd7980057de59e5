#include "ui/win32/Logo.h"

#include "ui/win32/Resources.h"

// Windows headers depend on their order.
// clang-format off
#include <objidl.h>
#include <shlwapi.h>
#include <gdiplus.h>
// clang-format on

#include <algorithm>
#include <optional>
#include <utility>

namespace halvern::win32 {

namespace {

// The colour a GIF marks transparent: its graphic control extension names a palette index.
// GDI+ on Windows keeps that index transparent, but not every implementation of it does, so the
// logo is drawn with that colour keyed out as well.
std::optional<COLORREF> transparentColour(const BYTE* gif, std::size_t size) {
    if (size < 13 || (gif[10] & 0x80U) == 0)
        return std::nullopt;
    const std::size_t palette = 13;
    const std::size_t entries = std::size_t{2} << (gif[10] & 7U);
    for (std::size_t at = palette + 3 * entries; at + 7 < size && gif[at] == 0x21;) {
        if (gif[at + 1] == 0xf9 && (gif[at + 3] & 1U) != 0) {
            const std::size_t entry = palette + 3 * std::size_t{gif[at + 6]};
            if (entry + 2 >= size)
                return std::nullopt;
            return RGB(gif[entry], gif[entry + 1], gif[entry + 2]);
        }
        at += 2; // an extension of another kind: skip its sub-blocks
        while (at < size && gif[at] != 0)
            at += gif[at] + 1U;
        ++at;
    }
    return std::nullopt;
}

Logo::Image loadGif(HINSTANCE instance, int id) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (found == nullptr)
        return {};
    HGLOBAL loaded = LoadResource(instance, found);
    const auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
    const DWORD size = SizeofResource(instance, found);
    IStream* stream = SHCreateMemStream(bytes, size);
    if (stream == nullptr)
        return {};
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
    stream->Release();
    if (bitmap && bitmap->GetLastStatus() != Gdiplus::Ok)
        bitmap.reset();
    return {std::move(bitmap), transparentColour(bytes, size)};
}

} // namespace

Logo::Logo(HINSTANCE instance)
    : m_own(loadGif(instance, logoResource))
    , m_doubled(loadGif(instance, doubledLogoResource)) {}

Logo::~Logo() = default;

bool Logo::loaded() const {
    return m_own.bitmap != nullptr && m_doubled.bitmap != nullptr;
}

void Logo::draw(HDC dc, const RECT& box, UINT dpi) const {
    const Image& chosen = dpi > 96 && m_doubled.bitmap ? m_doubled : m_own;
    Gdiplus::Bitmap* image = chosen.bitmap.get();
    if (image == nullptr)
        return;
    Gdiplus::ImageAttributes attributes;
    if (chosen.transparent) {
        const Gdiplus::Color key(GetRValue(*chosen.transparent), GetGValue(*chosen.transparent),
                                 GetBValue(*chosen.transparent));
        attributes.SetColorKey(key, key);
    }
    Gdiplus::Graphics graphics(dc);
    const int width = static_cast<int>(box.right - box.left);
    const int height = static_cast<int>(box.bottom - box.top);
    // Drawn pixel for pixel where the box matches the image; smoothly scaled in between.
    const bool exact = static_cast<int>(image->GetWidth()) == width &&
                       static_cast<int>(image->GetHeight()) == height;
    graphics.SetInterpolationMode(exact ? Gdiplus::InterpolationModeNearestNeighbor
                                        : Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const Gdiplus::Rect target(static_cast<INT>(box.left), static_cast<INT>(box.top), width,
                               height);
    graphics.DrawImage(image, target, 0, 0, static_cast<INT>(image->GetWidth()),
                       static_cast<INT>(image->GetHeight()), Gdiplus::UnitPixel, &attributes);
}

} // namespace halvern::win32
