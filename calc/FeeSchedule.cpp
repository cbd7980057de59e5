#include "calc/FeeSchedule.h"

#include <array>
#include <limits>

namespace halvern {

namespace {

struct Row {
    double from;  // grams >= from
    double below; // grams < below
    double rate;  // fee = grams * rate + base
    double base;
};

constexpr double unbounded = std::numeric_limits<double>::infinity();

constexpr std::array<Row, 4> rows{{
    {0.0004, 0.1, 0.05, 0.0002},
    {0.1, 0.5, 0.0125, 0.00375},
    {0.5, 1.0, 0.0, 0.01},
    {1.0, unbounded, 0.01, 0.0},
}};

} // namespace

std::optional<double> FeeSchedule(double grams) {
    // Every row is tested on its own, as the schedule is written; the bounds do not overlap,
    // so at most one of them sets the fee.
    std::optional<double> fee;
    for (const Row& row : rows) {
        if (grams >= row.from && grams < row.below)
            fee = grams * row.rate + row.base;
    }
    return fee;
}

} // namespace halvern
