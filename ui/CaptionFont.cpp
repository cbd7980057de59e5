#include "ui/CaptionFont.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace halvern::ui {

namespace {

// Below this, captions stop being readable; the boxes are never that small.
constexpr int smallestPixelSize = 7;

int pixelSizeOf(const QFont& font) {
    if (font.pixelSize() > 0)
        return font.pixelSize();
    // Point sizes are read at 96 DPI, the density the boxes were laid out for.
    return static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
}

bool fits(const QFont& font, const std::vector<Caption>& captions) {
    const QFontMetrics metrics(font);
    return std::all_of(captions.begin(), captions.end(), [&](const Caption& caption) {
        return metrics.horizontalAdvance(caption.text) <= caption.room.width() &&
               metrics.height() <= caption.room.height();
    });
}

} // namespace

QFont fitCaptionFont(const QFont& base, const std::vector<Caption>& captions) {
    // Each size tried loads a font engine, which is most of the cost here. Widths scale almost
    // linearly with the size, so one measurement at the base size tells where to start looking.
    const int baseSize = std::max(pixelSizeOf(base), smallestPixelSize);
    QFont font = base;
    font.setPixelSize(baseSize);
    const QFontMetrics metrics(font);
    double scale = 1.0;
    for (const Caption& caption : captions) {
        const int width = metrics.horizontalAdvance(caption.text);
        if (width > 0)
            scale = std::min(scale, static_cast<double>(caption.room.width()) / width);
        scale = std::min(scale, static_cast<double>(caption.room.height()) / metrics.height());
    }
    const int estimate = static_cast<int>(std::floor(baseSize * scale));
    for (int size = std::clamp(estimate + 1, smallestPixelSize, baseSize);
         size >= smallestPixelSize; --size) {
        font.setPixelSize(size);
        if (fits(font, captions))
            return font;
    }
    return font;
}

} // namespace halvern::ui
