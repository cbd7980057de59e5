#pragma once

#include <QString>
#include <exception>

namespace halvern::ui {

// Turns an error raised by a press into the words the user reads: which field could not be read
// and what it held, or what went wrong in the arithmetic. The one place where errors become user
// text; it shows nothing itself.
QString errorMessage(const std::exception_ptr& error);

// A field's text as it may appear in a message: at most `limit` characters, control characters
// and broken UTF-8 made visible, an ellipsis where it was cut.
QString quotedFieldText(const std::string& text, qsizetype limit = 40);

} // namespace halvern::ui
