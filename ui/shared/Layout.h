#pragma once

#include "ui/shared/ControlTable.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace halvern::ui {

// How every window reads the control table: where a control stands at a density, which
// controls take the focus and in which order, and what colour a background is fixed to. A
// window maps these onto its toolkit and decides none of them.

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Twips to pixels at a density in dots per inch, to the nearest pixel: 15 twips make a pixel
// at 96. Positions and sizes are each rounded on their own, not as the edges they make.
constexpr int twipsToPixels(int twips, int dpi = 96) {
    return (twips * dpi + 720) / 1440;
}

constexpr PixelRect pixelRect(const ControlRow& row, int dpi = 96) {
    return {twipsToPixels(row.left, dpi), twipsToPixels(row.top, dpi),
            twipsToPixels(row.width, dpi), twipsToPixels(row.height, dpi)};
}

// The client area: 312 x 213 pixels at 96 dots per inch.
constexpr PixelRect clientRect(int dpi = 96) {
    return {0, 0, twipsToPixels(formWidth, dpi), twipsToPixels(formHeight, dpi)};
}

// Only the fields and the button take the focus; the labels' tab indexes only complete the
// numbering, and the picture has none.
constexpr bool takesFocus(const ControlRow& row) {
    return row.tabIndex != noTabStop &&
           (row.kind == ControlKind::textField || row.kind == ControlKind::pushButton);
}

constexpr std::size_t countFocusable() {
    std::size_t count = 0;
    for (const ControlRow& row : controlTable) {
        if (takesFocus(row))
            ++count;
    }
    return count;
}

inline constexpr std::size_t focusableCount = countFocusable();

constexpr std::array<std::size_t, focusableCount> makeTabChain() {
    std::array<std::size_t, focusableCount> chain{};
    std::size_t filled = 0;
    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        if (!takesFocus(controlTable.at(i)))
            continue;
        std::size_t at = filled++;
        for (; at > 0 && controlTable.at(chain.at(at - 1)).tabIndex > controlTable.at(i).tabIndex;
             --at)
            chain.at(at) = chain.at(at - 1);
        chain.at(at) = i;
    }
    return chain;
}

// The rows of the controls that take the focus, in ascending tab index: the order of Tab, which
// wraps from the last back to the first. The first takes the focus when the window opens.
inline constexpr std::array<std::size_t, focusableCount> tabChain = makeTabChain();

// The row Tab (or Shift+Tab) takes the focus to from the control of a row, for a toolkit whose own
// navigation would follow another order: round the tab chain, and from outside it to its start.
constexpr std::size_t nextInTabChain(std::size_t row, bool back) {
    for (std::size_t i = 0; i < tabChain.size(); ++i) {
        if (tabChain.at(i) == row)
            return tabChain.at((i + (back ? tabChain.size() - 1 : 1)) % tabChain.size());
    }
    return tabChain.front();
}

// The colour a control's background is fixed to, as 0x00BBGGRR, with textOnFixedColour on it;
// none where the toolkit's theme paints it.
constexpr std::optional<std::uint32_t> fixedBackground(const ControlRow& row) {
    switch (row.background) {
    case Background::toolkit:
        return std::nullopt;
    case Background::window:
        return windowColour;
    case Background::lightGrey:
        return lightGrey;
    }
    return std::nullopt;
}

// The rows in the order a person reads the window: line by line from the top, left to right,
// each field's caption on its field's line, just before it. Where a toolkit reads its controls
// in the order they stand in a document, this is that order.
inline std::array<std::size_t, controlTable.size()> readingOrder() {
    const auto line = [](const ControlRow& row) {
        for (const FieldRow& field : fieldTable) {
            if (std::string_view(field.caption) == row.name)
                return controlTable.at(rowOf(field.field)).top;
        }
        return row.top;
    };
    std::array<std::size_t, controlTable.size()> order{};
    for (std::size_t i = 0; i < order.size(); ++i)
        order.at(i) = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const ControlRow& first = controlTable.at(a);
        const ControlRow& second = controlTable.at(b);
        return std::pair{line(first), first.left} < std::pair{line(second), second.left};
    });
    return order;
}

} // namespace halvern::ui
