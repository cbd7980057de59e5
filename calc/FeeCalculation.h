#pragma once

#include "calc/Form.h"

namespace halvern {

// The "Calculate fee" press: reads the amount and gold-price texts from a form, works the fee out
// through the gold-priced schedule, rounds it to whole cents with a one-cent minimum and leaves
// its text in the form's fee field. It keeps nothing between presses, catches none of the errors
// it raises, and knows nothing of how the form shows its fields.

inline constexpr double GRAMS_PER_TROY_OUNCE = 31.1034768;

// Runs one press against the form: it reads the amount and the gold price, and sets the fee two
// or three times. Each stage after the schedule writes its result into the fee field and the
// next stage reads that text back, so the digits written decide the cents.
//
// Throws ConversionError or FloatingPointError; fee then keeps the last text this press set in
// it, or its old text if the error came before the first set. Fee never holds "inf" or "nan".
void Command1_Click(Form& form1);

// Rounds a number of cents to the nearest whole cent from 1 to 10000, but only where it lies
// strictly between two halves: exact half cents, 0.5 and below, and 10000.5 and above are
// returned as they are.
double roundToWholeCents(double cents);

} // namespace halvern
