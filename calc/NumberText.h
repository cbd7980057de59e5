#pragma once

#include "calc/Errors.h"

#include <string>
#include <string_view>

namespace halvern {

// The conversions between field texts and doubles, and the product of a number and a text that
// the press takes: no rounding of money, no digit grouping, no locale. Both directions agree:
// every text the writer produces is read back by the reader without error, as the number written
// to the fifteen digits it carries.

// Reads a plain decimal number: optional blanks (spaces, tabs) around it, an optional sign,
// digits with an optional point ("5", "5.", ".5"), an optional exponent ("1e3", "1E-2").
// Throws ConversionError naming `field` for anything else, and FloatingPointError (overflow) for a
// number beyond the double range. A number too small to represent reads as zero.
double textToNumber(std::string_view text, Field field);

// Writes a finite double as C's "%.15g" does, always with a point and never with grouping:
// 0.215, 100.005, 1e+18. Negative zero is written "0". Of the few doubles within a hair of the
// largest one, whose 15-digit form would read back as an overflow, the largest 15-digit text that
// does not is written instead.
std::string numberToText(double value);

// The product of a number and a text taken as the number it spells.
double multiplyByText(double value, std::string_view text, Field field);

} // namespace halvern
