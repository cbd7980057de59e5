#include "calc/NumberText.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

namespace halvern {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The parts of a number that passed the grammar, pointing into the caller's text.
struct Number {
    bool negative = false;
    std::string_view body;     // without the sign: what std::from_chars reads
    std::string_view integer;  // digits before the point
    std::string_view fraction; // digits after the point
    std::string_view exponent; // digits of the exponent, without its sign
    bool negativeExponent = false;
};

// std::from_chars alone would also take "inf", "nan" and a leading "-" only, so the grammar is
// checked here first and from_chars only does the rounding it is good at.
bool parse(std::string_view text, Number& number) {
    std::size_t i = 0;
    const auto digitsFrom = [&](std::size_t start) {
        while (i < text.size() && isDigit(text[i]))
            ++i;
        return text.substr(start, i - start);
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    number.body = text.substr(i);
    number.integer = digitsFrom(i);
    if (i < text.size() && text[i] == '.') {
        ++i;
        number.fraction = digitsFrom(i);
    }
    if (number.integer.empty() && number.fraction.empty())
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            number.negativeExponent = text[i] == '-';
            ++i;
        }
        number.exponent = digitsFrom(i);
        if (number.exponent.empty())
            return false;
    }
    return i == text.size();
}

// Decimal exponent of the leading significant digit (1234.5 -> 3, 0.0012 -> -3); only called for
// numbers that from_chars found out of range, which therefore have a non-zero digit. Saturates,
// since an exponent may have any number of digits.
long long decimalMagnitude(const Number& number) {
    constexpr long long saturation = 1'000'000'000;
    long long exponent = 0;
    for (char c : number.exponent)
        exponent = std::min(saturation, exponent * 10 + (c - '0'));
    if (number.negativeExponent)
        exponent = -exponent;

    const auto firstNonZero = number.integer.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos)
        return exponent + static_cast<long long>(number.integer.size() - firstNonZero) - 1;
    const auto leadingZeros = number.fraction.find_first_not_of('0');
    return exponent - static_cast<long long>(leadingZeros) - 1;
}

// Where the standard library has floating-point to_chars and from_chars, they read and write
// numbers; elsewhere (libc++ before 17, as in emscripten) the C library does. The native tests
// build the second way too (HALVERN_NUMBERS_BY_C_LIBRARY), so both are tested on every machine.

// The text a number's body spells, rounded to the nearest double, and where the reading stopped.
// Out of range means too large for a double, or too small for anything but 0. Without
// from_chars, strtod does the same correctly rounded reading: only for a body the grammar has
// passed, which holds nothing a locale could read otherwise.
struct Reading {
    double value = 0.0;
    std::size_t length = 0;
    bool outOfRange = false;
};

#if !defined(__cpp_lib_to_chars) || defined(HALVERN_NUMBERS_BY_C_LIBRARY)
std::string_view decimalMark() {
    return std::localeconv()->decimal_point;
}
#endif

Reading readBody(std::string_view body) {
    Reading reading;
#if defined(__cpp_lib_to_chars) && !defined(HALVERN_NUMBERS_BY_C_LIBRARY)
    const auto [stop, status] = std::from_chars(body.data(), body.data() + body.size(),
                                                reading.value, std::chars_format::general);
    reading.length =
        status == std::errc::invalid_argument ? 0 : static_cast<std::size_t>(stop - body.data());
    reading.outOfRange = status == std::errc::result_out_of_range;
#else
    // strtod reads the process locale's decimal mark, which may be a comma or longer than one
    // byte: the point is spelled that way for it, and the whole copy must be read.
    std::string copy(body);
    if (const auto point = copy.find('.'); point != std::string::npos)
        copy.replace(point, 1, decimalMark());
    char* stop = nullptr;
    errno = 0;
    reading.value = std::strtod(copy.c_str(), &stop);
    reading.length = stop == copy.c_str() + copy.size() ? body.size() : 0;
    // strtod also reports a subnormal result as out of range, which from_chars reads as it is.
    reading.outOfRange = errno == ERANGE && (std::isinf(reading.value) || reading.value == 0.0);
#endif
    return reading;
}

// %.15g in the C locale: the shortest of fixed and exponent form, trailing zeros dropped.
std::string writeFifteenDigits(double value) {
    std::array<char, 32> buffer{};
#if defined(__cpp_lib_to_chars) && !defined(HALVERN_NUMBERS_BY_C_LIBRARY)
    const auto [end, status] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                             std::chars_format::general, 15);
    assert(status == std::errc{});
    return {buffer.data(), end};
#else
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.15g", value);
    std::string text(buffer.data(), static_cast<std::size_t>(length));
    // snprintf writes the process locale's decimal mark: written here as the point.
    const std::string_view mark = decimalMark();
    if (const auto at = text.find(mark); at != std::string::npos)
        text.replace(at, mark.size(), ".");
    return text;
#endif
}

} // namespace

double textToNumber(std::string_view text, Field field) {
    Number number;
    if (!parse(trimBlanks(text), number))
        throw ConversionError(field, std::string(text));

    const Reading reading = readBody(number.body);
    double value = reading.value;
    // The grammar above and the converter must agree on where the number ends. Should they ever
    // part, reading only a prefix would give a number the user never typed, so this is a
    // refusal in every build, not an assertion.
    if (reading.length != number.body.size())
        throw ConversionError(field, std::string(text));
    if (reading.outOfRange) {
        if (decimalMagnitude(number) >= 0)
            throw FloatingPointError(FloatingPointError::Kind::overflow);
        value = 0.0;
    }
    return number.negative ? -value : value;
}

std::string numberToText(double value) {
    assert(std::isfinite(value));
    if (value == 0.0)
        return "0";
    // %.15g of the largest doubles rounds up to 1.79769313486232e+308, which is past the
    // largest double by more than half a step and so would read back as an overflow.
    constexpr double largestWritable = 1.79769313486231e308;
    if (std::fabs(value) > largestWritable)
        value = std::copysign(largestWritable, value);

    return writeFifteenDigits(value);
}

double multiplyByText(double value, std::string_view text, Field field) {
    return value * textToNumber(text, field);
}

} // namespace halvern
