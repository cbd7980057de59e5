#pragma once

#include <string>

namespace halvern {

// The calculation's whole view of the window: the texts of three fields, read and written as
// plain UTF-8 strings. It says nothing about how the fields are shown or edited, and it holds no
// numbers; turning texts into numbers is the calculation's business, not the form's.
class Form {
public:
    virtual ~Form() = default;

    virtual std::string amount() const = 0;
    virtual std::string gprice() const = 0;
    virtual std::string fee() const = 0;
    virtual void setFee(const std::string& text) = 0;

protected:
    Form() = default;
    Form(const Form&) = default;
    Form(Form&&) = default;
    Form& operator=(const Form&) = default;
    Form& operator=(Form&&) = default;
};

} // namespace halvern
