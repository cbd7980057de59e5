#pragma once

#include <cstddef>
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

// How much of a pasted text goes into a field: all of it but its trailing line breaks, which a
// cell copied from a spreadsheet or a line from a terminal brings along. A break inside the text
// stays, for the report to show.
constexpr std::size_t pastedLength(std::u16string_view text) {
    std::size_t length = text.size();
    while (length > 0 && (text[length - 1] == u'\n' || text[length - 1] == u'\r'))
        --length;
    return length;
}

} // namespace halvern::ui
