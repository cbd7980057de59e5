#include "ui/shared/ErrorReport.h"

#include "calc/Errors.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

using halvern::ConversionError;
using halvern::Field;
using halvern::FloatingPointError;
using halvern::ui::describeError;
using halvern::ui::quoteFieldText;
using Kind = FloatingPointError::Kind;

// What the user reads: a quote sits between a first-strong isolate and its closing mark.
// NOLINTNEXTLINE(misc-misleading-bidirectional): an isolate opened here is closed by pdi.
const std::string fsi = "\u2068", pdi = "\u2069";

constexpr const char* pleaseTypeDigits =
    "\n\nPlease type digits with a point for decimals, for example 1250.50.";
constexpr const char* pleaseTypeNumber = "\n\nPlease type a number, for example 1250.50.";

TEST(ErrorReport, EveryErrorInTheUsersWords) {
    struct Case {
        const char* name;
        std::exception_ptr error;
        std::string text;
        std::optional<Field> field;
    };
    const auto conversion = [](Field field, const char* text) {
        return std::make_exception_ptr(ConversionError(field, text));
    };
    const auto floating = [](Kind kind) {
        return std::make_exception_ptr(FloatingPointError(kind));
    };
    const Case cases[] = {
        {"amount not a number", conversion(Field::amount, "12abc"),
         "The amount \"" + fsi + "12abc" + pdi + "\" is not a number." + pleaseTypeDigits,
         Field::amount},
        {"gold price not a number", conversion(Field::gprice, "1,5"),
         "The gold price \"" + fsi + "1,5" + pdi + "\" is not a number." + pleaseTypeDigits,
         Field::gprice},
        {"fee not a number", conversion(Field::fee, "x"),
         "The fee \"" + fsi + "x" + pdi + "\" is not a number." + pleaseTypeDigits, Field::fee},
        {"empty amount", conversion(Field::amount, ""),
         "The amount is empty." + std::string(pleaseTypeNumber), Field::amount},
        {"blank gold price", conversion(Field::gprice, " \t "),
         "The gold price is empty." + std::string(pleaseTypeNumber), Field::gprice},
        {"empty fee", conversion(Field::fee, ""),
         "The fee is empty." + std::string(pleaseTypeNumber), Field::fee},
        {"a no-break space is not blank", conversion(Field::amount, "\u00a0"),
         "The amount \"" + fsi + "<U+00A0>" + pdi + "\" is not a number." + pleaseTypeDigits,
         Field::amount},
        {"zero gold price", floating(Kind::zeroDivide),
         "Division by zero: the gold price is 0.\n\nPlease type the gold price in dollars per "
         "troy ounce.",
         Field::gprice},
        {"nothing at no price", floating(Kind::invalidOperation),
         "Invalid operation: the amount and the gold price are both 0.\n\nPlease type the gold "
         "price in dollars per troy ounce.",
         Field::gprice},
        {"too large", floating(Kind::overflow),
         "Overflow: a number is too large to calculate with.\n\nPlease check the amount and the "
         "gold price.",
         std::nullopt},
        {"a fault of the program", std::make_exception_ptr(std::logic_error("broken")),
         "The fee could not be calculated: broken", std::nullopt},
        {"not even an exception", std::make_exception_ptr(42),
         "The fee could not be calculated because of an unexpected error.", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto report = describeError(c.error);
        EXPECT_EQ(report.text, c.text);
        EXPECT_EQ(report.field, c.field);
    }
}

// Texts that would hide from the user why they are not numbers, or turn the sentence around.
TEST(ErrorReport, QuotesShowEveryCharacterThatMatters) {
    struct Case {
        const char* name;
        std::string text;
        std::string shown; // between the isolates
    };
    const Case cases[] = {
        {"plain", "12abc", "12abc"},
        {"letters of other scripts", "\u0661\u0662 \u05d0", "\u0661\u0662 \u05d0"},
        // NOLINTNEXTLINE(misc-misleading-bidirectional): the very text this test is about.
        {"right-to-left override", "100\u202eabc", "100<U+202E>abc"},
        {"direction marks", "\u200e100\u200f", "<U+200E>100<U+200F>"},
        {"isolates of its own", "\u2066100\u2069", "<U+2066>100<U+2069>"},
        {"zero-width space", "1\u200b00", "1<U+200B>00"},
        {"word joiner and byte order mark", "\ufeff1\u2060", "<U+FEFF>1<U+2060>"},
        {"no-break and other spaces", "1\u00a0000\u202f0\u3000", "1<U+00A0>000<U+202F>0<U+3000>"},
        {"soft hyphen", "10\u00ad0", "10<U+00AD>0"},
        {"controls",
         std::string("1\0"
                     "2\r\n\t\x7f",
                     7),
         "1<U+0000>2<U+000D><U+000A><U+0009><U+007F>"},
        {"C1 control", "1\u0085", "1<U+0085>"},
        {"line separator", "1\u20282", "1<U+2028>2"},
        {"variation selector", "1\ufe0f", "1<U+FE0F>"},
        {"tag character", "1\U000E0041", "1<U+E0041>"},
        {"markup stays text", "<b>1</b>", "<b>1</b>"},
        {"characters beyond the first plane", "\U0001F4B0", "\U0001F4B0"},
        {"a stray byte", "1\xff", "1<0xFF>"},
        {"a cut sequence", "1\xe2\x80", "1<0xE2><0x80>"},
        {"an overlong slash", "\xc0\xaf", "<0xC0><0xAF>"},
        {"an encoded surrogate", "\xed\xa0\x80", "<0xED><0xA0><0x80>"},
        {"past U+10FFFF", "\xf4\x90\x80\x80", "<0xF4><0x90><0x80><0x80>"},
        {"forty characters", std::string(40, '7'), std::string(40, '7')},
        {"forty-one", std::string(41, '7'), std::string(40, '7') + "\u2026"},
        {"a huge paste", "12" + std::string(99997, ' ') + "x",
         "12" + std::string(38, ' ') + "\u2026"},
        {"escapes count as one", std::string(50, '\t'),
         [] {
             std::string s;
             for (int i = 0; i < 40; ++i)
                 s += "<U+0009>";
             return s + "\u2026";
         }()},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(quoteFieldText(c.text), fsi + c.shown.append(pdi));
    }
}

} // namespace
