#pragma once

#include <memory>
#include <optional>
#include <windows.h>

namespace Gdiplus {
class Bitmap;
}

namespace halvern::win32 {

// The logo picture: the 105 x 45 GIF and the one drawn at twice its size, read from the
// program's resources with GDI+, which keeps the GIF's transparent colour transparent. It draws
// into a box; laying the box out is the window's business. Needs GDI+ started.
class Logo {
public:
    explicit Logo(HINSTANCE instance);
    ~Logo();
    Logo(const Logo&) = delete;
    Logo& operator=(const Logo&) = delete;
    Logo(Logo&&) = delete;
    Logo& operator=(Logo&&) = delete;

    // Draws over whatever the box already holds, from the image that suits `dpi`.
    void draw(HDC dc, const RECT& box, UINT dpi) const;
    bool loaded() const;

    struct Image {
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        std::optional<COLORREF> transparent;
    };

private:
    Image m_own;
    Image m_doubled;
};

} // namespace halvern::win32
