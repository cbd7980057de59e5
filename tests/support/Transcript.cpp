// Writes what the calculation makes of a fixed, generated set of texts: each read as a number
// (its bits, or the error), the number written back, and a press with the text as the amount and
// as the gold price (the fee, or the report's words). Built natively and as WebAssembly, the two
// transcripts must be the same byte for byte.
//   transcript [count, default 100000]
#include "FakeForm.h"
#include "calc/FeeCalculation.h"
#include "calc/NumberText.h"
#include "ui/shared/ErrorReport.h"

#include <array>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <random>
#include <string>

namespace {

using halvern::Field;

// Only the engine's own numbers: distributions differ between standard libraries.
std::mt19937_64 random(20261207);

std::size_t below(std::size_t bound) {
    return static_cast<std::size_t>(random() % bound);
}

std::string digits(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += static_cast<char>('0' + below(10));
    return text;
}

// %.<digits>g, or %.<digits>e with `exponent`.
std::string formatted(int digits, double value, bool exponent = false) {
    std::array<char, 64> buffer{};
    const int length = exponent
                           ? std::snprintf(buffer.data(), buffer.size(), "%.*e", digits, value)
                           : std::snprintf(buffer.data(), buffer.size(), "%.*g", digits, value);
    return {buffer.data(), static_cast<std::size_t>(length)};
}

double randomDouble() {
    for (;;) {
        const std::uint64_t bits = random();
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value))
            return value;
    }
}

// One text of each kind in turn: what users type, what the reader's edges are made of. Each draw
// is its own statement: compilers order the operands of one expression differently.
std::string generate(std::size_t index) {
    using Limits = std::numeric_limits<double>;
    static const std::array<const char*, 6> blanks{"", " ", "\t", "  ", " \t ", "\t\t"};
    const std::string before = blanks.at(below(blanks.size()));
    const std::string after = blanks.at(below(blanks.size()));
    const bool minus = below(3) == 0;
    const bool plus = below(5) == 0;
    const std::string sign = minus ? "-" : (plus ? "+" : "");
    const bool either = below(2) != 0;
    const bool other = below(2) != 0;
    switch (index % 10) {
    case 0: { // money as people type it
        const std::string whole = digits(1 + below(7));
        const std::string cents = digits(below(3));
        return before + whole + "." + cents + after;
    }
    case 1: { // exponent forms, some far beyond the doubles' range either way
        const std::string mantissa = digits(1 + below(4));
        const std::string exponent = std::to_string(below(700));
        return sign + mantissa + (either ? "e" : "E") + (other ? "-" : "") + exponent;
    }
    case 2: { // long runs of digits
        const std::string whole = digits(1 + below(400));
        const std::string fraction = digits(below(400));
        return sign + whole + (either ? "." + fraction : "");
    }
    case 3: // any double, at the precisions that round-trip or nearly
        return formatted(either ? 17 : 16, randomDouble());
    case 4: // any double as the fee field would hold it
        return halvern::numberToText(randomDouble());
    case 5: { // exactly halfway between two doubles: odd integers between 2^53 and 2^54
        const std::uint64_t odd = (std::uint64_t{1} << 53U) + 2 * (random() >> 13U) + 1;
        const std::string exponent = std::to_string(below(40));
        return sign + std::to_string(odd) + (either ? "e" + exponent : "");
    }
    case 6: { // halfway between two 15-digit texts, and between two cents
        const std::string lead = std::to_string(1 + below(9));
        const std::string tail = digits(13);
        const std::string dollars = digits(1 + below(3));
        const std::string cents = digits(2);
        return either ? lead + "." + tail + "5" : dollars + "." + cents + "5";
    }
    case 7: { // the ends of the range
        static const std::array<double, 6> ends{Limits::max(),          Limits::min(),
                                                Limits::denorm_min(),   Limits::epsilon(),
                                                1.7976931348623157e308, 2.2250738585072009e-308};
        const double end = ends.at(below(ends.size()));
        return sign + (either ? formatted(17, end) : formatted(25, end, true));
    }
    case 8: { // what is not a number
        static const std::array<const char*, 12> refused{
            "", " ", "1,5", "1.2.3", "inf", "nan", "0x10", "1e", ".", "e5", "1 000", "12abc"};
        return refused.at(below(refused.size()));
    }
    default: // small amounts near the schedule's steps
        return formatted(9, static_cast<double>(below(200000)) / 1e5);
    }
}

std::string read(const std::string& text, std::string& written) {
    try {
        const double value = halvern::textToNumber(text, Field::amount);
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        written = halvern::numberToText(value);
        std::array<char, 24> buffer{};
        std::snprintf(buffer.data(), buffer.size(), "%016" PRIx64, bits);
        return buffer.data();
    } catch (...) {
        written = "-";
        return halvern::ui::describeError(std::current_exception()).text;
    }
}

std::string press(const std::string& amount, const std::string& gprice) {
    halvern::testing::FakeForm form(amount, gprice, "before");
    try {
        halvern::Command1_Click(form);
        return form.feeText;
    } catch (...) {
        return halvern::ui::describeError(std::current_exception()).text + " / " + form.feeText;
    }
}

// Line breaks and tabs in the texts and reports would break the transcript's lines.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n')
            c = '|';
        else if (c == '\t')
            c = '~';
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const auto count =
        static_cast<std::size_t>(argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000UL);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string text = generate(i);
        std::string written;
        const std::string bits = read(text, written);
        std::printf("%s\t%s\t%s\t%s\t%s\n", oneLine(text).c_str(), oneLine(bits).c_str(),
                    written.c_str(), oneLine(press(text, "550")).c_str(),
                    oneLine(press("100", text)).c_str());
    }
    return 0;
}
