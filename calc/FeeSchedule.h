#pragma once

#include <optional>

namespace halvern {

// The service's fee schedule, stated in grams of gold: the fee in grams for a transfer of a given
// number of grams, or no value where no row applies (below 0.0004 g, zero and negative amounts
// included). It knows nothing of dollars, gold prices or rounding.
std::optional<double> FeeSchedule(double grams);

} // namespace halvern
