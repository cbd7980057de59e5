#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace halvern::testing {

// One control as a window shows it, in the columns of what-users-see.tsv. A window's tests print
// every control's row in the order a screen reader reads them; tables.py compare-seen, the one
// comparator of every window, checks the rows against the table.
struct SeenRow {
    std::string name;
    std::string kind; // window, field, button, label or picture, by what the control is
    int left = 0, top = 0, width = 0, height = 0;
    std::string background = "theme"; // "#rrggbb" where the window fixes it, with black text
    int tabPlace = 0;                 // from 1 on; 0 where Tab never stops
    std::string label;                // a field's name for screen readers
    std::string text;
};

// "#rrggbb", and where the text on it is not black, which colour it is.
inline std::string fixedColour(int red, int green, int blue, bool blackText) {
    std::array<char, 8> colour{};
    std::snprintf(colour.data(), colour.size(), "#%02x%02x%02x", red, green, blue);
    return std::string(colour.data()) + (blackText ? "" : " with text not black");
}

// Prints a row as a line "seen <scale>\t<columns...>" of the tests' output, its boxes in
// pixels at `scale` times 96 dpi.
inline void printSeen(int scale, const SeenRow& row) {
    const auto cell = [](const std::string& text) {
        std::string written;
        for (const char c : text)
            written += c == '\t'   ? "\\t"
                       : c == '\n' ? "\\n"
                       : c == '\r' ? "\\r"
                                   : std::string(1, c);
        return written;
    };
    std::printf("seen %d\t%s\t%s\t%d\t%d\t%d\t%d\t%s\t%s\t%s\t%s\n", scale, cell(row.name).c_str(),
                row.kind.c_str(), row.left, row.top, row.width, row.height, row.background.c_str(),
                row.tabPlace == 0 ? "-" : std::to_string(row.tabPlace).c_str(),
                row.label.empty() ? "-" : cell(row.label).c_str(), cell(row.text).c_str());
    std::fflush(stdout);
}

} // namespace halvern::testing
