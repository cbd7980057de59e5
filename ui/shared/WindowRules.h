#pragma once

#include "calc/Errors.h"
#include "calc/Form.h"

#include <cstddef>
#include <optional>
#include <string>

namespace halvern::ui {

// What happens in every window when the user presses "Calculate fee" or an edit is refused,
// written once. A window offers these few operations in its toolkit's terms and calls the
// functions below; it decides nothing about wording, order or focus itself.
class WindowPort : public Form {
public:
    enum class Severity { error, warning };

    // The calculation's form, on the window's fields.
    std::string amount() const final { return text(Field::amount); }
    std::string gprice() const final { return text(Field::gprice); }
    std::string fee() const final { return text(Field::fee); }
    void setFee(const std::string& newText) final { setText(Field::fee, newText); }

    // A field's whole text as UTF-8; setting it replaces it, and the field shows it from its
    // start.
    virtual std::string text(Field field) const = 0;
    virtual void setText(Field field, const std::string& text) = 0;

    // What the user is told when a press fails or an edit is refused, and what follows it.
    struct Report {
        Severity severity = Severity::error;
        std::string words;
        bool alert = false;         // the desktop's short alert sound first
        std::optional<Field> field; // the field to put right, if one is to blame
        bool selectField = false;   // its whole text selected, or its cursor where it was
    };
    // Tells the user in the window's idiom: the alert where asked, the words in a modal box
    // titled with the window's caption (plain text, one OK button), and once the user has closed
    // the box, the keyboard focus in the report's field.
    virtual void report(const Report& report) = 0;

protected:
    WindowPort() = default;
};

// One press of "Calculate fee": the calculation on the window's three fields, then, for an
// error it raised, the report in a box and the focus on the field to put right, its text
// selected, ready to be typed over. Nothing escapes into the toolkit's event handling.
void pressButton(WindowPort& window);

// A paste or drop of `inserted` characters refused because the field's text would have grown to
// `lengthAfter` characters: an alert, a note in a box, then the focus back in the field, its text
// and cursor as they were.
void refuseLongText(WindowPort& window, Field field, std::size_t inserted, std::size_t lengthAfter);

// A character typed into a field that holds all it may: the same, with a note that says so.
void refuseTyping(WindowPort& window, Field field);

} // namespace halvern::ui
