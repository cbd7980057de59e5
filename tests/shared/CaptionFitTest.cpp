#include "ui/shared/CaptionFit.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

using halvern::ui::Extent;

// Texts whose extents grow with the size as a font's do: width per pixel of size plus a fixed
// part (negative for a face whose side bearings shrink at small sizes), rounded up to a whole
// pixel as hinting does, and a line a fifth taller than the size.
struct Text {
    double widthPerPixel;
    int fixed = 0;
};

Extent extentOf(const Text& text, int size) {
    return {static_cast<int>(std::ceil(text.widthPerPixel * size)) + text.fixed,
            size + (size + 4) / 5};
}

TEST(CaptionFit, LargestSizeAtWhichEveryTextFitsFromFewMeasurements) {
    struct Case {
        const char* name;
        int largest, size;
        std::vector<Text> texts;
        std::vector<Extent> rooms;
    };
    const Case cases[] = {
        {"everything fits at the desktop size", 12, 12, {{4.0}}, {{100, 20}}},
        {"the widest text decides", 12, 9, {{4.0}, {10.0}}, {{100, 20}, {95, 20}}},
        {"a line's height decides", 16, 12, {{0.0}}, {{100, 15}}},
        {"the width just fits", 12, 11, {{10.0}}, {{110, 20}}},
        {"one pixel short", 12, 10, {{10.0}}, {{109, 20}}},
        // Measured at 20 the text is 150 wide, which puts the estimate at 13; 14 fits too.
        {"one above the estimate is tried first", 20, 14, {{10.0, -50}}, {{100, 30}}},
        // At 20 it is 160 wide in a room of 120: the estimate is 15, and 16 fits exactly.
        {"the text fits just one above the estimate", 20, 16, {{10.0, -40}}, {{120, 30}}},
        {"the smallest readable size but one", 12, 8, {{10.0}}, {{80, 20}}},
        {"nothing fits: the smallest readable size", 12, 7, {{50.0}}, {{100, 20}}},
        {"never above the largest", 9, 9, {{1.0}}, {{500, 500}}},
        {"a largest below readable is raised", 5, 7, {{1.0}}, {{500, 500}}},
        {"no texts", 12, 12, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::set<int> measured;
        const int size =
            halvern::ui::fitPixelSize(c.largest, c.rooms, [&](int pixels, std::size_t i) {
                measured.insert(pixels);
                return extentOf(c.texts.at(i), pixels);
            });
        EXPECT_EQ(size, c.size);
        // A toolkit loads a font for each size measured: the largest, then from the estimate,
        // and never one too small to read.
        EXPECT_LE(measured.size(), 3U);
        if (!measured.empty()) {
            EXPECT_GE(*measured.begin(), halvern::ui::smallestPixelSize);
        }
    }
}

} // namespace
