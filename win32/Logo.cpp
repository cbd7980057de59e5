#include "win32/Logo.h"

#include "win32/Resources.h"

#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
#include <gdiplus.h>

namespace halvern::win32 {

namespace {

std::unique_ptr<Gdiplus::Bitmap> loadGif(HINSTANCE instance, int id) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (found == nullptr)
        return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    const auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
    const DWORD size = SizeofResource(instance, found);
    IStream* stream = SHCreateMemStream(bytes, size);
    if (stream == nullptr)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
    stream->Release();
    if (bitmap && bitmap->GetLastStatus() != Gdiplus::Ok)
        bitmap.reset();
    return bitmap;
}

} // namespace

Logo::Logo(HINSTANCE instance)
    : m_own(loadGif(instance, logoResource))
    , m_doubled(loadGif(instance, doubledLogoResource)) {}

Logo::~Logo() = default;

bool Logo::loaded() const {
    return m_own != nullptr && m_doubled != nullptr;
}

void Logo::draw(HDC dc, const RECT& box, UINT dpi) const {
    Gdiplus::Bitmap* image = dpi > 96 && m_doubled ? m_doubled.get() : m_own.get();
    if (image == nullptr)
        return;
    Gdiplus::Graphics graphics(dc);
    const int width = static_cast<int>(box.right - box.left);
    const int height = static_cast<int>(box.bottom - box.top);
    // Drawn pixel for pixel where the box matches the image; smoothly scaled in between.
    const bool exact = static_cast<int>(image->GetWidth()) == width &&
                       static_cast<int>(image->GetHeight()) == height;
    graphics.SetInterpolationMode(exact ? Gdiplus::InterpolationModeNearestNeighbor
                                        : Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.DrawImage(image, static_cast<INT>(box.left), static_cast<INT>(box.top), width,
                       height);
}

} // namespace halvern::win32
