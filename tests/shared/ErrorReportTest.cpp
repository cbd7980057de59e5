#include "ui/shared/ErrorReport.h"

#include "calc/Errors.h"

#include <array>
#include <cstdio>
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

std::string utf8(char32_t c) {
    if (c < 0x80)
        return {static_cast<char>(c)};
    if (c < 0x800)
        return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    if (c < 0x10000)
        return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F))};
    return {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
            static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
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

// Each run of characters that would not show, at both its ends, and the characters just outside
// it, which do: Unicode's controls, default-ignorable code points, spaces other than the plain
// one, Hangul fillers and noncharacters.
TEST(ErrorReport, HiddenCharactersEndWhereUnicodeEndsThem) {
    const char32_t hidden[] = {
        0x0001,  0x001F,  0x007F,  0x00A0,  0x00AD,  0x034F,  0x061C,  0x115F, 0x1160,  0x1680,
        0x180B,  0x180F,  0x2000,  0x200F,  0x2028,  0x202F,  0x205F,  0x206F, 0x3000,  0x3164,
        0xFE00,  0xFE0F,  0xFEFF,  0xFFA0,  0xFFF0,  0xFFFB,  0xFFFE,  0xFFFF, 0x1BCA0, 0x1BCA3,
        0x1D173, 0x1D17A, 0xE0000, 0xE007F, 0xE0100, 0xE01EF, 0x10FFFE};
    const char32_t shown[] = {0x0020,  0x007E,  0x00A1,  0x00AC,  0x00AE,  0x034E,  0x0350,
                              0x061B,  0x061D,  0x115E,  0x1161,  0x167F,  0x1681,  0x180A,
                              0x1810,  0x1FFF,  0x2010,  0x2027,  0x2030,  0x205E,  0x2070,
                              0x2FFF,  0x3001,  0x3163,  0x3165,  0xFDFF,  0xFE10,  0xFEFE,
                              0xFF00,  0xFF9F,  0xFFA1,  0xFFEF,  0xFFFC,  0xFFFD,  0x1BC9F,
                              0x1BCA4, 0x1D172, 0x1D17B, 0xE0080, 0xE00FF, 0xE01F0, 0x10FFFD};
    for (const char32_t c : hidden) {
        std::array<char, 16> spelled{};
        std::snprintf(spelled.data(), spelled.size(), "<U+%04X>", static_cast<unsigned>(c));
        EXPECT_EQ(quoteFieldText(utf8(c)), fsi + std::string(spelled.data()).append(pdi))
            << std::hex << static_cast<unsigned>(c);
    }
    for (const char32_t c : shown)
        EXPECT_EQ(quoteFieldText(utf8(c)), fsi + utf8(c).append(pdi))
            << std::hex << static_cast<unsigned>(c);
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
