#pragma once

#include "calc/Errors.h"

#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace halvern::ui {

// Turns an error raised by a press into what every window shows the user: the words of the
// report and the field to put right, if one is to blame. The one place where errors become user
// text; it knows no toolkit and shows nothing itself.

struct ErrorReport {
    std::string text;           // UTF-8, plain text: never to be read as markup
    std::optional<Field> field; // the field to blame: the focus goes there once it is closed
};

ErrorReport describeError(const std::exception_ptr& error);

// The note shown when a field refused an edit of `inserted` characters, since its text would have
// been `lengthAfter` characters long: more than a field holds.
std::string tooLongNote(std::size_t inserted, std::size_t lengthAfter);

// The note shown when a field that holds all it may refused a typed character.
std::string fullFieldNote();

// A field's text as a report quotes it, without the quotation marks: isolated from the
// direction of the sentence around it; controls, format characters, blanks other than the plain
// space and bytes that are not UTF-8 spelled out visibly ("<U+200B>", "<0xFF>"); at most `limit`
// characters, with an ellipsis where it was cut.
std::string quoteFieldText(std::string_view text, std::size_t limit = 40);

} // namespace halvern::ui
