#pragma once

#include <cstddef>
#include <functional>
#include <span>

namespace halvern::window {

// The rule every window sizes its texts by: the boxes were laid out for a narrow 8-point face,
// and a desktop's face at its own size is often wider. It decides a size from measurements the
// toolkit makes; it measures and draws nothing itself.

struct Extent {
    int width = 0, height = 0; // pixels
};

// Below this, text stops being readable; the boxes are never that small.
inline constexpr int smallestPixelSize = 7;

// The largest whole pixel size, from `largest` down to the smallest readable one, at which every
// text fits its room on one line: `measure(size, i)` gives text i's extent at that size. The
// smallest size where none fits. An empty text still needs a line's height.
int fitPixelSize(int largest, std::span<const Extent> rooms,
                 const std::function<Extent(int size, std::size_t text)>& measure);

} // namespace halvern::window
