#include "ui/shared/CaptionFit.h"

#include "ui/shared/Layout.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace halvern::ui {

int fitPixelSize(int largest, std::span<const Extent> rooms,
                 const std::function<Extent(int size, std::size_t text)>& measure) {
    largest = std::max(largest, smallestPixelSize);
    const auto fitsAt = [&](int size) {
        for (std::size_t i = 0; i < rooms.size(); ++i) {
            const Extent text = measure(size, i);
            if (text.width > rooms[i].width || text.height > rooms[i].height)
                return false;
        }
        return true;
    };
    // Each size a toolkit measures costs it a font to load. Extents grow almost linearly with
    // the size, so one measurement at the largest size tells where to start looking.
    double scale = 1.0;
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        const Extent text = measure(largest, i);
        if (text.width > 0)
            scale = std::min(scale, static_cast<double>(rooms[i].width) / text.width);
        if (text.height > 0)
            scale = std::min(scale, static_cast<double>(rooms[i].height) / text.height);
    }
    const int estimate = static_cast<int>(std::floor(largest * scale));
    for (int size = std::clamp(estimate + 1, smallestPixelSize, largest); size > smallestPixelSize;
         --size) {
        if (fitsAt(size))
            return size;
    }
    return smallestPixelSize;
}

std::string_view fittedText(const ControlRow& row) {
    return row.kind == ControlKind::textField ? std::string_view() : std::string_view(row.text);
}

FontSizes fitFontSizes(
    int desktopPixels, int dpi, const Frames& frames,
    const std::function<Extent(FontGroup group, int size, std::string_view text)>& measure) {
    FontSizes sizes;
    for (const FontGroup group : {FontGroup::captions, FontGroup::fields, FontGroup::button}) {
        std::vector<Extent> rooms;
        std::vector<std::string_view> texts;
        for (const ControlRow& row : controlTable) {
            if (fontGroupOf(row.kind) != group)
                continue;
            const PixelRect box = pixelRect(row, dpi);
            Extent room{box.width, box.height};
            if (group == FontGroup::fields)
                room = {box.width - frames.field, box.height - frames.field};
            else if (group == FontGroup::button)
                room = {box.width - frames.buttonAcross, box.height - frames.buttonDown};
            rooms.push_back(room);
            texts.push_back(fittedText(row));
        }
        const int size = fitPixelSize(desktopPixels, rooms, [&](int pixels, std::size_t i) {
            return measure(group, pixels, texts[i]);
        });
        (group == FontGroup::captions ? sizes.captions
         : group == FontGroup::fields ? sizes.fields
                                      : sizes.button) = size;
    }
    return sizes;
}

} // namespace halvern::ui
