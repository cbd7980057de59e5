#include "calc/NumberText.h"

#include "calc/Errors.h"

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

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
        {0.5, "0.5"},
        {1.0, "1"},
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

TEST(TextToNumber, ReadsPlainDecimalNumbers) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"100", 100.0},
        {" 100 ", 100.0},
        {"\t-3\t", -3.0},
        {"+7.25", 7.25},
        {"5.", 5.0},
        {".5", 0.5},
        {"007", 7.0},
        {"1e3", 1000.0},
        {"1E-2", 0.01},
        {"2.5e+2", 250.0},
        {"-0", 0.0},
        {"0.1", 0.1},
        {"1e-400", 0.0},
        {"-1e-400", 0.0},
        {"0.0e999999", 0.0},
        {"1e-320", 1e-320},
        {"1.79769313486231e+308", 1.79769313486231e308},
        {"000000000000000000000000000000000000000001.5", 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(textToNumber(c.text, Field::amount), c.value);
    }
}

TEST(TextToNumber, RejectsEverythingElse) {
    const char* const texts[] = {
        "",
        " ",
        "\t",
        "abc",
        "1,000",
        "1,5",
        "0x10",
        "inf",
        "-inf",
        "nan",
        "NaN",
        "1 000",
        "1..2",
        "1.2.3",
        "12abc",
        "e5",
        ".",
        "+",
        "-",
        "1e",
        "1e+",
        "1e1.5",
        "--1",
        "+-1",
        "- 1",
        "1\n",
        "\n1",
        "$100",
        "100$",
        "1_000",
        "\xef\xbc\x91", // a full-width digit one
        "\xd9\xa1",     // an Arabic-Indic digit one
        "1\xc2\xa0",    // a no-break space after the number
        "\xff\xfe",     // not UTF-8 at all
    };
    for (const char* text : texts) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        try {
            textToNumber(text, Field::gprice);
            ADD_FAILURE() << "read as a number";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.field(), Field::gprice);
            EXPECT_EQ(error.text(), text);
        }
    }
}

TEST(TextToNumber, NumbersBeyondTheDoublesOverflow) {
    const std::string texts[] = {"1e400", "-1e400", "1.8e308", "1" + std::string(400, '0'),
                                 "1e99999999999999999999999"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        try {
            textToNumber(text, Field::amount);
            ADD_FAILURE() << "read as a number";
        } catch (const FloatingPointError& error) {
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
        const auto value = std::bit_cast<double>(random());
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

TEST(NumberText, IgnoresTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    const std::string written = numberToText(1234.5);
    const double read = textToNumber("0.5", Field::amount);
    EXPECT_THROW(textToNumber("0,5", Field::amount), ConversionError);
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_EQ(written, "1234.5");
    EXPECT_EQ(read, 0.5);
}

} // namespace
