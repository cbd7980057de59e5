#pragma once

#include "TablesText.h"

#include <cstdint>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace halvern::testing {

// What a user sees in the calculator window, as reviewed in what-users-see.tsv: the one
// statement every window's tests check their live controls against.
struct SeenControl {
    std::string name;
    std::string kind; // window, field, button, label or picture
    int left = 0, top = 0, width = 0, height = 0;
    std::optional<std::uint32_t> background; // 0xRRGGBB where the window fixes it
    int tabPlace = 0;                        // from 1 on; 0 where Tab never stops
    std::string text;

    int red() const { return static_cast<int>((*background >> 16) & 0xFF); }
    int green() const { return static_cast<int>((*background >> 8) & 0xFF); }
    int blue() const { return static_cast<int>(*background & 0xFF); }
};

inline std::vector<SeenControl> whatUsersSee() {
    std::vector<SeenControl> seen;
    std::istringstream lines(whatUsersSeeText);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> cells;
        std::istringstream columns(line);
        for (std::string cell; std::getline(columns, cell, '\t');)
            cells.push_back(cell);
        if (line.back() == '\t')
            cells.emplace_back();
        if (cells.size() != 9)
            throw std::runtime_error("what-users-see.tsv: not nine columns in: " + line);
        SeenControl control{cells[0],
                            cells[1],
                            std::stoi(cells[2]),
                            std::stoi(cells[3]),
                            std::stoi(cells[4]),
                            std::stoi(cells[5]),
                            std::nullopt,
                            cells[7] == "-" ? 0 : std::stoi(cells[7]),
                            cells[8]};
        if (cells[6] != "theme")
            control.background =
                static_cast<std::uint32_t>(std::stoul(cells[6].substr(1), nullptr, 16));
        seen.push_back(control);
    }
    return seen;
}

} // namespace halvern::testing
