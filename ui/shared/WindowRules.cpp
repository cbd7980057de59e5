#include "ui/shared/WindowRules.h"

#include "calc/FeeCalculation.h"
#include "ui/shared/ErrorReport.h"

#include <exception>

namespace halvern::ui {

void pressButton(WindowPort& window) {
    ErrorReport error;
    try {
        Command1_Click(window);
        return;
    } catch (...) {
        error = describeError(std::current_exception());
    }
    window.report({WindowPort::Severity::error, error.text, false, error.field, true});
}

namespace {

void refuse(WindowPort& window, Field field, const std::string& note) {
    window.report({WindowPort::Severity::warning, note, true, field, false});
}

} // namespace

void refuseLongText(WindowPort& window, Field field, std::size_t inserted,
                    std::size_t lengthAfter) {
    refuse(window, field, tooLongNote(inserted, lengthAfter));
}

void refuseTyping(WindowPort& window, Field field) {
    refuse(window, field, fullFieldNote());
}

} // namespace halvern::ui
