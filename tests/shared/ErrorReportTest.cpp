#include "ui/shared/ErrorReport.h"

#include "calc/Errors.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

using halvern::ConversionError;
using halvern::Field;
using halvern::ui::describeError;
using halvern::ui::quoteFieldText;

// What the user reads: a quote sits between a first-strong isolate and its closing mark.
// NOLINTNEXTLINE(misc-misleading-bidirectional): an isolate opened here is closed by pdi.
const std::string fsi = "\u2068", pdi = "\u2069";

constexpr const char* pleaseTypeDigits =
    "\n\nPlease type digits with a point for decimals, for example 1250.50.";
constexpr const char* pleaseTypeNumber = "\n\nPlease type a number, for example 1250.50.";

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// The words of the errors a user can meet in the window are in scenarios.tsv, where every window
// shows them; here those no scenario reaches.
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
    const Case cases[] = {
        {"fee not a number", conversion(Field::fee, "x"),
         "The fee \"" + fsi + "x" + pdi + "\" is not a number." + pleaseTypeDigits, Field::fee},
        {"blank gold price", conversion(Field::gprice, " \t "),
         "The gold price is empty." + std::string(pleaseTypeNumber), Field::gprice},
        {"empty fee", conversion(Field::fee, ""),
         "The fee is empty." + std::string(pleaseTypeNumber), Field::fee},
        {"a no-break space is not blank", conversion(Field::amount, "\u00a0"),
         "The amount \"" + fsi + "<U+00A0>" + pdi + "\" is not a number." + pleaseTypeDigits,
         Field::amount},
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

// Texts that would hide from the user why they are not numbers, or turn the sentence around:
// invisible and control characters, several in a row, bytes that are no UTF-8, and the limit of
// forty; visible characters beside the invisible ones show as they are.
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
        {"controls", std::string("1\0002\r\n\t\177", 7),
         "1<U+0000>2<U+000D><U+000A><U+0009><U+007F>"},
        {"invisible spaces and marks", "1\u00a0\u00ad\u061c\u200b\u2028\u2060\ufeff\U000e0041",
         "1<U+00A0><U+00AD><U+061C><U+200B><U+2028><U+2060><U+FEFF><U+E0041>"},
        {"visible neighbours", "1\u00a1\u00ae\u2010\u2070\ufe10",
         "1\u00a1\u00ae\u2010\u2070\ufe10"},
        {"the last code points", "1\U0010fffd\U0010ffff", "1\U0010fffd<U+10FFFF>"},
        {"markup stays text", "<b>1</b>", "<b>1</b>"},
        {"characters beyond the first plane", "\U0001F4B0", "\U0001F4B0"},
        {"a stray byte", "1\xff", "1<0xFF>"},
        {"a cut sequence", "1\xe2\x80", "1<0xE2><0x80>"},
        {"an encoded surrogate", "\xed\xa0\x80", "<0xED><0xA0><0x80>"},
        {"past U+10FFFF", "\xf4\x90\x80\x80", "<0xF4><0x90><0x80><0x80>"},
        {"forty characters", std::string(40, '7'), std::string(40, '7')},
        {"forty-one", std::string(41, '7'), std::string(40, '7') + "\u2026"},
        {"a huge paste", "12" + std::string(99997, ' ') + "x",
         "12" + std::string(38, ' ') + "\u2026"},
        {"escapes count as one", std::string(50, '\t'), repeated("<U+0009>", 40) + "\u2026"},
        // UTF-8 read strictly at its edges: either side of the surrogates, overlong forms,
        // bytes that start nothing; the limit counts characters, not bytes.
        {"an overlong three-byte form", "\xe0\x9f\xbf", "<0xE0><0x9F><0xBF>"},
        {"the last character before the surrogates", "\xed\x9f\xbf", "\ud7ff"},
        {"the first after them", "\xee\x80\x80", "\ue000"},
        {"an overlong four-byte form", "\xf0\x8f\xbf\xbf", "<0xF0><0x8F><0xBF><0xBF>"},
        {"a lead byte that is never one", "\xc1\xbf", "<0xC1><0xBF>"},
        {"past the last lead byte", "\xf5\x80\x80\x80", "<0xF5><0x80><0x80><0x80>"},
        {"a lead byte where a continuation belongs", "\xc3\xc3\xa9", "<0xC3>\u00e9"},
        {"a continuation alone", "\2001", "<0x80>1"}, // \200: the byte 0x80
        {"forty two-byte characters", repeated("\u00e9", 40), repeated("\u00e9", 40)},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(quoteFieldText(c.text), fsi + c.shown.append(pdi));
    }
}

} // namespace
