#pragma once

#include "calc/Errors.h"
#include "ui/shared/WindowRules.h"

#include <QFont>
#include <QWidget>
#include <array>

class QLineEdit;

namespace halvern::qt {

// The program's one window: the controls of the control table, built once and never moved, and
// the three text fields offered to the calculation as its form. Presses and refused edits go
// through the rules every window shares; the window computes, words and decides nothing itself.
class CalculatorWindow final : public QWidget, public ui::WindowPort {
    Q_OBJECT

public:
    explicit CalculatorWindow(QWidget* parent = nullptr);

    std::string text(Field field) const override;
    void setText(Field field, const std::string& text) override;
    void report(const Report& report) override;

protected:
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;

signals:
    void longTextRefused(int field, qsizetype inserted, qsizetype lengthAfter);

private slots:
    void Command1_Click();
    void tellLongTextRefused(int field, qsizetype inserted, qsizetype lengthAfter);

private:
    void buildControls();
    void fitFonts();
    void applyFittedFonts();
    void refuseLongText(Field field, qsizetype inserted, qsizetype lengthAfter);
    QLineEdit* lineEdit(Field field) const;

    std::array<QLineEdit*, 3> m_fields{}; // by Field
    QFont m_fieldFont;
    QFont m_buttonFont;
};

} // namespace halvern::qt
