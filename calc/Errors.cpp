#include "calc/Errors.h"

#include <utility>

namespace halvern {

namespace {

const char* kindName(FloatingPointError::Kind kind) {
    switch (kind) {
    case FloatingPointError::Kind::zeroDivide:
        return "floating-point error: division by zero";
    case FloatingPointError::Kind::invalidOperation:
        return "floating-point error: invalid operation";
    case FloatingPointError::Kind::overflow:
        return "floating-point error: overflow";
    }
    return "floating-point error";
}

} // namespace

// what() is for developers and logs; it deliberately leaves the text out, which may be huge.
ConversionError::ConversionError(Field field, std::string text)
    : Error("conversion error: the " + std::string(fieldName(field)) + " text is not a number")
    , m_field(field)
    , m_text(std::move(text)) {}

FloatingPointError::FloatingPointError(Kind kind)
    : Error(kindName(kind))
    , m_kind(kind) {}

} // namespace halvern
