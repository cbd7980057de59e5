#include "ui/shared/CaptionFit.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

using halvern::ui::Extent;
using halvern::ui::fitPixelSize;

// Texts whose extents grow with the size as a font's do: width per pixel of size, plus hinting
// that rounds each extent up to a whole pixel, and a line a fifth taller than the size.
struct Text {
    double widthPerPixel;
};

Extent extentOf(const Text& text, int size) {
    return {static_cast<int>(std::ceil(text.widthPerPixel * size)), size + (size + 4) / 5};
}

TEST(CaptionFit, LargestSizeAtWhichEveryTextFits) {
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
        {"nothing fits: the smallest readable size", 12, 7, {{50.0}}, {{100, 20}}},
        {"never above the largest", 9, 9, {{1.0}}, {{500, 500}}},
        {"a largest below readable is raised", 5, 7, {{1.0}}, {{500, 500}}},
        {"no texts", 12, 12, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int size = fitPixelSize(c.largest, c.rooms, [&](int pixels, std::size_t i) {
            return extentOf(c.texts.at(i), pixels);
        });
        EXPECT_EQ(size, c.size);
    }
}

} // namespace
