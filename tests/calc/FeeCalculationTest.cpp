#include "calc/FeeCalculation.h"

#include "calc/Errors.h"
#include "calc/FeeSchedule.h"
#include "calc/TextForm.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

using halvern::Command1_Click;
using halvern::ConversionError;
using halvern::TextForm;

struct Example {
    const char* amount;
    const char* gprice;
    const char* fee;
};

// The fees a user sees for typical and awkward inputs, gold at 550 unless said otherwise.
const Example workedExamples[] = {
    {"100", "550", "1"},      // 1 % of about 5.66 g
    {"10", "550", "0.18"},    // the flat 0.01 g, worth about 17.7 cents
    {"1", "550", "0.05"},     // the small-transfer row
    {"5", "550", "0.13"},     // the middle row
    {"50", "550", "0.5"},     // no trailing zero
    {"20.5", "550", "0.205"}, // exactly half a cent stays as it is
    {"21.5", "550", "0.215"}, // 0.21500000000000002 is written with 15 digits
    {"28.5", "550", "0.28"},  // 0.285 * 100 is just below the half
    {"10000.49", "550", "100"},
    {"10000.5", "550", "100.005"},     // the top of the rounding range stays unrounded
    {"12345.678", "550", "123.45678"}, // and so does everything above it
    {"123456789.012345", "550", "1234567.89012345"}, // 15 digits: the fee's text whole
    {"0.01", "550", "0.01"}, // 0.4 cents: below the rounding range, then the minimum
    {"0", "550", "0.01"},    // no schedule row applies: the minimum
    {"-100", "550", "0.01"},
    {"100", "-550", "0.01"},  // a negative price is no zero: negative grams, then the minimum
    {"-100", "-550", "0.01"}, // the grams turn positive, the dollars back negative: the minimum
    {"1", "1", "0.01"},       // 31.1 g at a gold price of 1: exactly one cent
    {" 100 ", "+550.0", "1"}, // blanks and a sign are part of the number's text
};

// Gold prices users meet today, with amounts in each row of the schedule, worked out by hand.
const Example acrossGoldPrices[] = {
    {"250", "300", "2.5"},              // row 4: 1 % of 250
    {"0.5", "300", "0.03"},             // row 1
    {"40", "1234.56", "0.4"},           // row 4, just above 1 g (1.0078 g)
    {"12", "1234.56", "0.3"},           // row 2
    {"4", "1234.56", "0.2"},            // row 2, just above 0.1 g
    {"40", "1999.99", "0.64"},          // row 3
    {"100", "5000", "1.61"},            // row 3
    {"80", "5000", "1.6"},              // row 2
    {"2", "5000", "0.13"},              // row 1
    {"123456.78", "4321", "1234.5678"}, // row 4, 888.7 g: above the rounding range
    {"1e15", "550", "10000000000000"},  // 5.7e13 grams
    {"1e299", "1", "1e+297"},           // 3.1e300 g: the top row has no upper bound
};

// Where the schedule steps (0.0004 g and 0.1 g), at a gold price of 100 K dollars, so that
// 0.1 g is bought with 10 dollars and 0.0004 g with 4 cents. The amounts lie half a billionth
// above and below each bound: a grams-per-ounce figure off in its ninth digit, or a bound
// compared the wrong way, moves one of them to the other side.
const Example atTheSteps[] = {
    {"0.03999999998", "3110.34768", "0.01"}, // below 0.0004 g: no fee, the minimum
    {"0.04", "3110.34768", "0.02"},          // exactly 0.0004 g: 0.00022 g = 0.022 dollars
    {"0.04000000002", "3110.34768", "0.02"},
    {"9.999999995", "3110.34768", "0.52"}, // row 1 just below 0.1 g: 0.0052 g = 0.52 dollars
    {"10", "3110.34768", "0.5"},           // exactly 0.1 g, row 2: 0.005 g
    {"10.000000005", "3110.34768", "0.5"},
};

TEST(FeeCalculation, WorkedExamplesAcrossGoldPricesAndSizes) {
    for (const auto table :
         {std::span<const Example>(workedExamples), std::span<const Example>(acrossGoldPrices),
          std::span<const Example>(atTheSteps)}) {
        for (const Example& example : table) {
            SCOPED_TRACE(std::string("amount ") + example.amount + ", gold price " +
                         example.gprice);
            TextForm form(example.amount, example.gprice, "typed by the user");
            Command1_Click(form);
            EXPECT_EQ(form.feeText, example.fee);
        }
    }
}

// The rounding as a literal reading of its rule: 10000 passes, each free to set the cents.
double roundByEveryPass(double cents) {
    for (int i = 1; i <= 10000; ++i) {
        if (cents > i - 0.5 && cents < i + 0.5)
            cents = i;
    }
    return cents;
}

TEST(Rounding, AgreesWithTheTenThousandPasses) {
    // Every whole and half cent from below the range to above it, each with its two
    // neighbouring doubles: all the boundaries, 0.5 and 10000.5 among them.
    std::vector<double> sweep;
    for (int half = -4; half <= 2 * 10002; ++half) {
        const double cents = half / 2.0;
        sweep.insert(sweep.end(), {std::nextafter(cents, -1e9), cents, std::nextafter(cents, 1e9)});
    }
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> anywhere(-10.0, 10010.0);
    for (int i = 0; i < 5000; ++i)
        sweep.push_back(anywhere(random));
    sweep.insert(sweep.end(), {0.0, -0.0, 1e300, -1e300, 2.5e15});

    for (double cents : sweep) {
        const double expected = roundByEveryPass(cents);
        const double rounded = halvern::roundToWholeCents(cents);
        ASSERT_EQ(rounded, expected) << "cents " << cents;
    }
}

// What stopped a press: the field and its text, or the floating-point exception as a log shows it.
std::string whatStopped(const halvern::Error& e) {
    if (const auto* error = dynamic_cast<const ConversionError*>(&e))
        return std::string(halvern::fieldName(error->field())) + " \"" + error->text() + "\"";
    return e.what();
}

TEST(FeeCalculation, ErrorsStopThePressAndKeepTheFee) {
    // All of these stop before the first write: the fee keeps the user's text.
    struct Case {
        const char *amount, *gprice, *stopped;
    };
    const Case cases[] = {
        {"", "550", "amount \"\""},
        {"12abc", "550", "amount \"12abc\""},
        {"x", "y", "amount \"x\""}, // the amount is read before the gold price
        {"100", "  ", "gprice \"  \""},
        {"100", "0", "floating-point error: division by zero"},
        {"0", "-0", "floating-point error: invalid operation"}, // nothing at no price
        {"1e400", "550", "floating-point error: overflow"},
        {"100", "1e-400", "floating-point error: division by zero"}, // too small a price to hold
        {"1e300", "1e-10", "floating-point error: overflow"},        // ounces beyond the doubles
        {"1e308", "1", "floating-point error: overflow"},            // grams beyond the doubles
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("amount ") + c.amount + ", gold price " + c.gprice);
        TextForm form(c.amount, c.gprice, "old");
        try {
            Command1_Click(form);
            ADD_FAILURE() << "no error";
        } catch (const halvern::Error& e) {
            EXPECT_EQ(whatStopped(e), c.stopped);
        }
        EXPECT_EQ(form.feeText, "old");
    }
}

} // namespace
