#include "calc/NumberText.h"

#include "calc/Errors.h"

#include <array>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using halvern::ConversionError;
using halvern::Field;
using halvern::FloatingPointError;
using halvern::numberToText;
using halvern::textToNumber;
using Limits = std::numeric_limits<double>;

TEST(NumberToText, WritesFifteenSignificantDigitsAtMost) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.21500000000000002, "0.215"},
        {0.17683841206182247, "0.176838412061822"},
        {100.005, "100.005"},
        {-1.5, "-1.5"},
        {0.0, "0"},
        {-0.0, "0"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1e+15"},
        {1e18, "1e+18"},
        {123456789012345678.0, "1.23456789012346e+17"},
        {Limits::denorm_min(), "4.94065645841247e-324"},
        {Limits::max(), "1.79769313486231e+308"},
        {-Limits::max(), "-1.79769313486231e+308"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numberToText(c.value), c.text);
    }
}

// Reads `text` as the amount: its value, or nothing where it is refused as not a number.
std::optional<double> readAmount(const std::string& text) {
    try {
        return textToNumber(text, Field::amount);
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.text(), text);
        return std::nullopt;
    }
}

std::string printable(const std::string& text) {
    return testing::PrintToString(text.size() > 60 ? text.substr(0, 60) + "..." : text);
}

// Every byte value in every place a character can stand next to a number. The characters each
// place accepts are written out below, with the number each makes; every other byte (NUL, CR,
// LF, the neighbours of each accepted character, the bytes of UTF-8 sequences) is refused there.
TEST(TextToNumber, AcceptsOnlyItsOwnCharacters) {
    struct Place {
        const char* before; // the text before the byte,
        const char* after;  // and after it
        std::vector<std::pair<char, double>> accepted;
    };
    // clang-format off
    const Place places[] = {
        {"", "1", {{' ', 1}, {'\t', 1}, {'+', 1}, {'-', -1}, {'.', 0.1},
                   {'0', 1}, {'1', 11}, {'2', 21}, {'3', 31}, {'4', 41},
                   {'5', 51}, {'6', 61}, {'7', 71}, {'8', 81}, {'9', 91}}},
        {"1", "", {{' ', 1}, {'\t', 1}, {'.', 1},
                   {'0', 10}, {'1', 11}, {'2', 12}, {'3', 13}, {'4', 14},
                   {'5', 15}, {'6', 16}, {'7', 17}, {'8', 18}, {'9', 19}}},
        {"1", "5", {{'.', 1.5}, {'e', 1e5}, {'E', 1e5},
                    {'0', 105}, {'1', 115}, {'2', 125}, {'3', 135}, {'4', 145},
                    {'5', 155}, {'6', 165}, {'7', 175}, {'8', 185}, {'9', 195}}},
        // As literals, so the compiler rounds them exactly; a library's pow need not.
        {"1e", "2", {{'+', 1e2}, {'-', 1e-2},
                     {'0', 1e2}, {'1', 1e12}, {'2', 1e22}, {'3', 1e32}, {'4', 1e42},
                     {'5', 1e52}, {'6', 1e62}, {'7', 1e72}, {'8', 1e82}, {'9', 1e92}}},
    };
    // clang-format on
    for (const Place& place : places) {
        for (int byte = 0; byte < 256; ++byte) {
            const std::string text =
                place.before + std::string(1, static_cast<char>(byte)) + place.after;
            SCOPED_TRACE(testing::Message()
                         << place.before << "<byte " << byte << ">" << place.after);
            std::optional<double> expected;
            for (const auto& [accepted, value] : place.accepted) {
                if (static_cast<unsigned char>(accepted) == byte)
                    expected = value;
            }
            EXPECT_EQ(readAmount(text), expected);
        }
    }
}

TEST(TextToNumber, ReadsPlainDecimalNumbers) {
    struct Case {
        std::string text;
        double value;
    };
    const Case cases[] = {
        {"   \t\t 100 \t  \t", 100.0},
        {std::string(1000, ' ') + "-7.25" + std::string(1000, '\t'), -7.25},
        {"1E-2", 0.01},
        {"2.5e+2", 250.0},
        {"-0", 0.0},
        {"0.1", 0.1},
        {"1e-320", 1e-320},
        {"000000000000000000000000000000000000000001.5", 1.5},
        {"1" + std::string(400, '0') + "e-400", 1.0},
        {"0." + std::string(400, '0') + "1e401", 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(printable(c.text));
        EXPECT_EQ(readAmount(c.text), c.value);
    }
}

// What the byte-by-byte test cannot build: blanks alone, names of numbers, signs and points
// that stand wrong, and characters of more than one byte.
TEST(TextToNumber, RejectsEverythingElse) {
    const std::string texts[] = {
        "",         " ",    "\t\t",  std::string(100000, ' '),
        "inf",      "-inf", "nan",   "1. 5",
        "- 1",      "1..2", "1.2.3", ".",
        "+",        "-",    "1e",    "1e+",
        "1e1.5",    "--1",  "+-1",
        "\uff11",   // a full-width digit one
        "\u0661",   // an Arabic-Indic digit one
        "\u00a01",  // a no-break space before the number
        "1\u3000",  // an ideographic space after it
        "\u200b1",  // a zero-width space before it
        "\xff\xfe", // not UTF-8 at all
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(printable(text));
        EXPECT_EQ(readAmount(text), std::nullopt);
    }
}

// Numbers past either end of the doubles, in short and in long written forms. Past the top the
// press stops with an overflow; past the bottom the number is read as zero, however many digits
// or zeros say so.
TEST(TextToNumber, OverflowsAboveTheDoublesAndReadsZeroBelow) {
    const std::string largest = "17976931348623157" + std::string(292, '0');
    const std::string zeros(400, '0');
    struct Case {
        std::string text;
        std::optional<double> value; // nothing: overflow
    };
    const Case cases[] = {
        {"1.7976931348623157e308", Limits::max()},
        {largest, Limits::max()},
        {"-" + largest + ".000", -Limits::max()},
        {"1.7976931348623159e308", std::nullopt},
        {"17976931348623159" + std::string(292, '0'), std::nullopt},
        {"1e400", std::nullopt},
        {"-1e400", std::nullopt},
        {"1" + zeros, std::nullopt},
        {zeros + "1" + zeros, std::nullopt},
        {"1" + zeros + "e-50", std::nullopt},
        {"0." + zeros + "1e800", std::nullopt},
        {"0.0001e99999999999999999999", std::nullopt},
        {"0." + std::string(1500, '0') + "1e2000",
         std::nullopt}, // more zeros than a short exponent
        {"4.9406564584124654e-324", Limits::denorm_min()},
        {"0." + std::string(323, '0') + "494065645841246544", Limits::denorm_min()},
        {"2e-324", 0.0},
        {"-2e-324", 0.0},
        {"1e-400", 0.0},
        {"0." + zeros + "1", 0.0},
        {"0." + zeros + "1e50", 0.0},
        {zeros + "1e-400", 0.0},
        {"1" + zeros + "e-800", 0.0},
        {"123456e-99999999999999999999", 0.0},
        {"1" + std::string(1500, '0') + "e-2000", 0.0},
        {"0.0e999999", 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(printable(c.text));
        try {
            const double value = textToNumber(c.text, Field::amount);
            ASSERT_TRUE(c.value.has_value()) << "read as " << value;
            EXPECT_EQ(value, *c.value);
        } catch (const FloatingPointError& error) {
            EXPECT_FALSE(c.value.has_value());
            EXPECT_EQ(error.kind(), FloatingPointError::Kind::overflow);
        }
    }
}

// Whatever the writer produces, the reader takes back: the same text again, and the value to
// the fifteen digits the text carries. Random bit patterns cover subnormals, both extremes and
// negative values in proportion to how many doubles there are of each.
TEST(NumberText, EveryWrittenTextReadsBack) {
    std::mt19937_64 random(0x5eed);
    std::vector<double> values = {Limits::max(),
                                  -Limits::max(),
                                  Limits::min(),
                                  Limits::denorm_min(),
                                  -0.0,
                                  0.1,
                                  std::nextafter(Limits::max(), 0.0)};
    while (values.size() < 300000) {
        const std::uint64_t bits = random();
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value); // std::bit_cast, where the library has it
        if (std::isfinite(value))
            values.push_back(value);
    }
    for (double value : values) {
        const std::string text = numberToText(value);
        double back = 0.0;
        ASSERT_NO_THROW(back = textToNumber(text, Field::fee)) << text;
        ASSERT_EQ(numberToText(back), text);
        // Subnormals carry fewer digits, so reading may move them by a step of their own.
        ASSERT_LE(std::fabs(back - value), 1e-14 * std::fabs(value) + Limits::denorm_min()) << text;
    }
}

// A decimal comma, and a decimal mark of two bytes (U+066B in Pashto).
class ProcessLocale : public ::testing::TestWithParam<const char*> {};

TEST_P(ProcessLocale, ChangesNothing) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, GetParam()) == nullptr)
        GTEST_SKIP() << "the " << GetParam() << " locale is not installed";
    const std::string written = numberToText(1234.5);
    const double read = textToNumber("0.5", Field::amount);
    EXPECT_THROW(textToNumber("0,5", Field::amount), ConversionError);
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_EQ(written, "1234.5");
    EXPECT_EQ(read, 0.5);
}

INSTANTIATE_TEST_SUITE_P(NumberText, ProcessLocale, ::testing::Values("de_DE.UTF-8", "ps_AF.UTF-8"),
                         [](const auto& locale) { return std::string(locale.param, 5); });

} // namespace
