#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace halvern::ui {

// What a field takes from the user's edits, in every window. Lengths count UTF-16 code units, as
// every toolkit here counts its text.

// A field refuses, whole, any edit that would make its text longer than this: far beyond any
// number a person types or pastes, short enough that every toolkit's single-line field handles
// it without a pause. Wine's edit control, the slowest here, takes time that grows with the
// square of the length: about 40 ms a key at 4,000 characters, 260 ms at 10,000.
inline constexpr std::size_t maxFieldLength = 4'000;

// Whether a field whose text is `length` long may take an edit that replaces `replaced` of it
// with `inserted` new characters.
constexpr bool fitsField(std::size_t length, std::size_t replaced, std::size_t inserted) {
    const std::size_t kept = length - (replaced < length ? replaced : length);
    return inserted <= maxFieldLength && kept <= maxFieldLength - inserted;
}

// How long a field's text of `length` is once an edit has replaced `replaced` of it with
// `inserted` new characters.
constexpr std::size_t lengthAfter(std::size_t length, std::size_t replaced, std::size_t inserted) {
    return length - (replaced < length ? replaced : length) + inserted;
}

// How long a pasted text is once it has left its trailing line breaks behind, which a cell
// copied from a spreadsheet or a line from a terminal brings along: what the field's bound
// weighs, without copying a text that may be huge.
constexpr std::size_t pastedLength(std::u16string_view text) {
    std::size_t length = text.size();
    while (length > 0 && (text[length - 1] == u'\n' || text[length - 1] == u'\r'))
        --length;
    return length;
}

// The text a paste puts into a field, in every window: the first pastedLength units, each break
// inside them (CR LF, CR or LF) as one line separator (U+2028), which every toolkit's
// single-line field holds and shows, for the report to quote: "1", a break, "2" must never read
// as 12.
inline std::u16string pastedText(std::u16string_view text) {
    text = text.substr(0, pastedLength(text));
    std::u16string kept;
    kept.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') {
            kept += text[i];
            continue;
        }
        kept += u'\u2028';
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    return kept;
}

// What a typed character puts into a field, in every window, given the text the edit leaves
// around it. A comma is the decimal point only where it is the person's decimal mark: a phone's
// decimal keypad, and a desktop keypad's decimal key, offer only a comma where decimals are
// written with one. So while the field holds no point, the keypad's decimal key gives the point
// whatever character the keyboard layout gives it, and so does a comma typed by a person whose
// locale writes decimals with a comma; the field then shows the point that is read. Anywhere
// else a comma stays a comma and is reported: "1,000" typed where a point is the decimal mark
// means a thousand, and must never read as one. A pasted comma always stays.
struct TypedKey {
    char16_t character;    // what the keyboard layout gives
    bool keypadDecimalKey; // the numeric keypad's decimal key
    char16_t decimalMark;  // the decimal mark of the person's locale, 0 if not one unit
};

constexpr char16_t typedCharacter(TypedKey key, std::u16string_view kept) {
    if (kept.find(u'.') != std::u16string_view::npos)
        return key.character;
    if (key.keypadDecimalKey || (key.character == u',' && key.decimalMark == u','))
        return u'.';
    return key.character;
}

} // namespace halvern::ui
