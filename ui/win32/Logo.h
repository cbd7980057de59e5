#pragma once

#include "ui/win32/GifImage.h"

#include <optional>
#include <windows.h>

namespace halvern::win32 {

// The logo picture: the 105 x 45 GIF and the one drawn at twice its size, read from the
// program's resources by the windows' own decoder, its transparent colour transparent. It draws
// into a box with AlphaBlend; laying the box out is the window's business. No image library: a
// start-up that loads GDI+ for one small picture is a start-up that waits for it.
class Logo {
public:
    explicit Logo(HINSTANCE instance);

    // Draws over whatever the box already holds, from the image that suits `dpi`, scaled to the
    // box by averaging where it is not the image's own size.
    void draw(HDC dc, const RECT& box, UINT dpi) const;

private:
    std::optional<RgbaImage> m_own;
    std::optional<RgbaImage> m_doubled;
};

} // namespace halvern::win32
