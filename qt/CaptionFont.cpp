#include "qt/CaptionFont.h"

#include "window/CaptionFit.h"

#include <QFontMetrics>
#include <cmath>
#include <optional>

namespace halvern::qt {

namespace {

int pixelSizeOf(const QFont& font) {
    if (font.pixelSize() > 0)
        return font.pixelSize();
    // Point sizes are read at 96 DPI, the density the boxes were laid out for.
    return static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
}

} // namespace

QFont fitCaptionFont(const QFont& base, const std::vector<Caption>& captions) {
    std::vector<window::Extent> rooms;
    rooms.reserve(captions.size());
    for (const Caption& caption : captions)
        rooms.push_back({caption.room.width(), caption.room.height()});

    QFont font = base;
    std::optional<QFontMetrics> metrics; // one per size: loading a font engine is the cost here
    int measuredSize = 0;
    const int size = window::fitPixelSize(pixelSizeOf(base), rooms, [&](int pixels, std::size_t i) {
        if (!metrics || measuredSize != pixels) {
            font.setPixelSize(pixels);
            metrics.emplace(font);
            measuredSize = pixels;
        }
        return window::Extent{metrics->horizontalAdvance(captions[i].text), metrics->height()};
    });
    font.setPixelSize(size);
    return font;
}

} // namespace halvern::qt
