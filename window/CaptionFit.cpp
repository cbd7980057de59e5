#include "window/CaptionFit.h"

#include <algorithm>
#include <cmath>

namespace halvern::window {

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

} // namespace halvern::window
