#pragma once

#include <cstdint>
#include <optional>
#include <string>
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

// The rows of what-users-see.tsv, as tables.py reads them.
inline const std::vector<SeenControl>& whatUsersSee() {
    static const std::vector<SeenControl> seen{
#include "what-users-see.inc"
    };
    return seen;
}

} // namespace halvern::testing
