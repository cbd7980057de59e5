#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace halvern {

// Every error a press can raise. The calculation throws these and never catches them; the window
// turns them into words for the user. A fault in the program itself is an assertion, not one of
// these.

// The field whose text was being read when a conversion failed.
enum class Field { amount, gprice, fee };

// The field's name, which is also the name of the window's control that holds it.
constexpr std::string_view fieldName(Field field) {
    switch (field) {
    case Field::amount:
        return "amount";
    case Field::gprice:
        return "gprice";
    case Field::fee:
        return "fee";
    }
    return "field";
}

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised when a field's text does not spell a number: empty or blank text, letters, digit
// grouping, hexadecimal, "inf" or "nan", a second point, anything after the number.
class ConversionError : public Error {
public:
    ConversionError(Field field, std::string text);

    Field field() const noexcept { return m_field; }
    const std::string& text() const noexcept { return m_text; }

private:
    Field m_field;
    std::string m_text;
};

// Raised when an arithmetic result leaves the finite doubles: a zero gold price (zero-divide, or
// invalid operation when the amount is zero too), or a number or result beyond the double range
// (overflow). Underflow and inexact results are not errors.
class FloatingPointError : public Error {
public:
    enum class Kind { zeroDivide, invalidOperation, overflow };

    explicit FloatingPointError(Kind kind);

    Kind kind() const noexcept { return m_kind; }

private:
    Kind m_kind;
};

} // namespace halvern
