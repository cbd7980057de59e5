#pragma once

#include "ui/shared/ControlTable.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace halvern::ui {

// The rule every window sizes its texts by: the boxes were laid out for a narrow 8-point face,
// and a desktop's face at its own size is often wider. It decides sizes from measurements the
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

// The controls whose texts share one size. The captions share theirs so the window reads as one
// piece; the fields and the button each take the desktop's own size where their boxes allow
// it, as the texts a user types and reads matter most.
enum class FontGroup { captions, fields, button };

constexpr std::optional<FontGroup> fontGroupOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::label:
        return FontGroup::captions;
    case ControlKind::textField:
        return FontGroup::fields;
    case ControlKind::pushButton:
        return FontGroup::button;
    case ControlKind::picture:
        return std::nullopt;
    }
    return std::nullopt;
}

// What a toolkit draws around the text of a field and of a button, in pixels at the density the
// fonts are fitted for: a field's frame on both sides together, and a button's margins across
// and down.
struct Frames {
    int field = 0;
    int buttonAcross = 0, buttonDown = 0;
};

struct FontSizes {
    int captions = 0, fields = 0, button = 0; // pixels
};

// The text a control's size is fitted to: its caption, or for a field one line of whatever the
// user types.
std::string_view fittedText(const ControlRow& row);

// Each group's size, no larger than the desktop's, at which all of its texts fit their rooms at
// this density: `measure(group, size, text)` gives the extent of a UTF-8 text in the desktop's
// face at that pixel size. Each group is measured through, one size after another, so a toolkit
// need keep only one font at a time.
FontSizes fitFontSizes(
    int desktopPixels, int dpi, const Frames& frames,
    const std::function<Extent(FontGroup group, int size, std::string_view text)>& measure);

} // namespace halvern::ui
