#include "ui/shared/ErrorReport.h"

#include "ui/shared/ControlTable.h"
#include "ui/shared/FieldEdits.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace halvern::ui {

namespace {

// NOLINTNEXTLINE(misc-misleading-bidirectional): every quote closes it with the isolate below.
constexpr std::string_view firstStrongIsolate = "\u2068";
constexpr std::string_view popDirectionalIsolate = "\u2069";
constexpr std::string_view ellipsis = "\u2026";

bool isBlankOnly(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

std::string conversionMessage(const ConversionError& error) {
    const std::string field = fieldRow(error.field()).inWords;
    if (isBlankOnly(error.text()))
        return "The " + field + " is empty.\n\nPlease type a number, for example 1250.50.";
    // A comma is what a person who groups digits, or writes decimals with one, most needs told.
    const bool comma = error.text().find(',') != std::string_view::npos;
    return "The " + field + " \"" + quoteFieldText(error.text()) +
           "\" is not a number.\n\nPlease type digits with a point for decimals" +
           (comma ? " and no commas" : "") + ", for example 1250.50.";
}

std::string floatingPointMessage(const FloatingPointError& error) {
    switch (error.kind()) {
    case FloatingPointError::Kind::zeroDivide:
        return "Division by zero: the gold price is 0.\n\nPlease type the gold price in dollars "
               "per troy ounce.";
    case FloatingPointError::Kind::invalidOperation:
        return "Invalid operation: the amount and the gold price are both 0.\n\nPlease type the "
               "gold price in dollars per troy ounce.";
    case FloatingPointError::Kind::overflow:
        return "Overflow: a number is too large to calculate with.\n\nPlease check the amount "
               "and the gold price.";
    }
    return {};
}

// Characters that would not show in a quote, or would show as something else: they are what a
// user most needs to see when a text that looks like a number is refused.
bool isHidden(char32_t c) {
    struct Range {
        char32_t first, last;
    };
    static constexpr std::array<Range, 23> hidden{{
        {0x0000, 0x001F}, // C0 controls, tab and line breaks among them
        {0x007F, 0x00A0}, // DEL, C1 controls, no-break space
        {0x00AD, 0x00AD}, // soft hyphen
        {0x034F, 0x034F}, // combining grapheme joiner
        {0x061C, 0x061C}, // Arabic letter mark
        {0x115F, 0x1160}, // Hangul fillers
        {0x1680, 0x1680}, // Ogham space
        {0x180B, 0x180F}, // Mongolian variation selectors and vowel separator
        {0x2000, 0x200F}, // typographic spaces, zero-width characters, direction marks
        {0x2028, 0x202F}, // line and paragraph separators, embeddings, overrides, narrow space
        {0x205F, 0x206F}, // medium space, word joiner, invisible operators, isolates
        {0x3000, 0x3000}, // ideographic space
        {0x3164, 0x3164}, // Hangul filler
        {0xFE00, 0xFE0F}, // variation selectors
        {0xFEFF, 0xFEFF}, // byte order mark
        {0xFFA0, 0xFFA0}, // half-width Hangul filler
        {0xFFF0, 0xFFFB}, // interlinear annotation
        {0x1BCA0, 0x1BCA3},   {0x1D173, 0x1D17A}, {0xE0000, 0xE007F}, // tags
        {0xE0100, 0xE01EF}, // variation selectors supplement
        {0xFFFE, 0xFFFF},   // noncharacters
        {0x10FFFE, 0x10FFFF},
    }};
    return std::any_of(hidden.begin(), hidden.end(),
                       [c](const Range& range) { return c >= range.first && c <= range.last; });
}

// "<U+200B>" for a hidden character, "<0xFF>" for a byte that is not UTF-8.
std::string spelledOut(char32_t c, bool isByte) {
    std::array<char, 16> buffer{};
    const unsigned value = c;
    const int length = isByte ? std::snprintf(buffer.data(), buffer.size(), "<0x%02X>", value)
                              : std::snprintf(buffer.data(), buffer.size(), "<U+%04X>", value);
    return {buffer.data(), static_cast<std::size_t>(length)};
}

// The next character of `text` from `at`, decoded strictly: overlong forms, surrogates and
// values past U+10FFFF are not UTF-8. Returns the byte count, 0 for a byte that starts nothing.
std::size_t decode(std::string_view text, std::size_t at, char32_t& c) {
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(text[i]);
    };
    const unsigned lead = byte(at);
    std::size_t length = 0;
    char32_t lowest = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, lowest = 0x80, c = lead & 0x1FU;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, lowest = 0x800, c = lead & 0x0FU;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, lowest = 0x10000, c = lead & 0x07U;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned next = byte(at + i);
        if ((next & 0xC0U) != 0x80)
            return 0;
        c = (c << 6U) | (next & 0x3FU);
    }
    if (c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

// 10000000 as "10,000,000": a count the user reads at a glance.
std::string grouped(std::size_t number) {
    std::string digits = std::to_string(number);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

} // namespace

std::string tooLongNote(std::size_t inserted, std::size_t lengthAfter) {
    // The text already there counts too: a paste shorter than the bound can still not fit.
    const std::string besides = lengthAfter > inserted
                                    ? " beside the " + grouped(lengthAfter - inserted) +
                                          " already there make " + grouped(lengthAfter) + ","
                                    : "";
    return "Not pasted: " + grouped(inserted) + " characters" +
           (besides.empty() ? " is" : besides) + " more than a field holds (" +
           grouped(maxFieldLength) + ").";
}

std::string fullFieldNote() {
    return "Not typed: a field holds at most " + grouped(maxFieldLength) + " characters.";
}

std::string quoteFieldText(std::string_view text, std::size_t limit) {
    std::string quoted(firstStrongIsolate);
    std::size_t shown = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (shown == limit) {
            quoted += ellipsis;
            break;
        }
        char32_t c = 0;
        const std::size_t length = decode(text, at, c);
        if (length == 0) {
            quoted += spelledOut(static_cast<unsigned char>(text[at]), true);
            ++at;
        } else {
            if (isHidden(c))
                quoted += spelledOut(c, false);
            else
                quoted += text.substr(at, length);
            at += length;
        }
        ++shown;
    }
    quoted += popDirectionalIsolate;
    return quoted;
}

ErrorReport describeError(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const ConversionError& e) {
        return {conversionMessage(e), e.field()};
    } catch (const FloatingPointError& e) {
        // A zero gold price is the gold price's mistake, whatever the amount; an overflow may be
        // either's.
        const bool goldPrice = e.kind() != FloatingPointError::Kind::overflow;
        return {floatingPointMessage(e), goldPrice ? std::optional(Field::gprice) : std::nullopt};
    } catch (const std::exception& e) {
        return {std::string("The fee could not be calculated: ") + e.what(), std::nullopt};
    } catch (...) {
        return {"The fee could not be calculated because of an unexpected error.", std::nullopt};
    }
}

} // namespace halvern::ui
