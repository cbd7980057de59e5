#include "ui/shared/WindowRules.h"

#include "calc/FeeCalculation.h"
#include "ui/shared/ErrorReport.h"

#include <exception>

namespace halvern::ui {

void pressButton(WindowPort& window) {
    ErrorReport report;
    try {
        Command1_Click(window);
        return;
    } catch (...) {
        report = describeError(std::current_exception());
    }
    window.showMessage(WindowPort::Severity::error, report.text);
    if (report.field)
        window.focusField(*report.field, true);
}

namespace {

void refuse(WindowPort& window, Field field, const std::string& note) {
    window.alert();
    window.showMessage(WindowPort::Severity::warning, note);
    window.focusField(field, false);
}

} // namespace

void refuseLongText(WindowPort& window, Field field, std::size_t length) {
    refuse(window, field, tooLongNote(length));
}

void refuseTyping(WindowPort& window, Field field) {
    refuse(window, field, fullFieldNote());
}

} // namespace halvern::ui
