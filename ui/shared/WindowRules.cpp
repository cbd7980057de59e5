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

void refuseLongText(WindowPort& window, Field field, std::size_t length) {
    window.alert();
    window.showMessage(WindowPort::Severity::warning, tooLongNote(length));
    window.focusField(field, false);
}

} // namespace halvern::ui
