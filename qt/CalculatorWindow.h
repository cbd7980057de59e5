#pragma once

#include "calc/Errors.h"
#include "calc/Form.h"
#include "window/ErrorReport.h"

#include <QFont>
#include <QWidget>

class QLineEdit;

namespace halvern::qt {

// The program's one window: the controls of the control table, built once and never moved, and
// the three text fields offered to the calculation as its form. A press hands the form to the
// calculation and shows any error it raises; the window computes and formats nothing itself.
class CalculatorWindow final : public QWidget, public Form {
    Q_OBJECT

public:
    explicit CalculatorWindow(QWidget* parent = nullptr);

    std::string amount() const override;
    std::string gprice() const override;
    std::string fee() const override;
    void setFee(const std::string& text) override;

signals:
    void longTextRefused(QLineEdit* field, qsizetype length);

private slots:
    void Command1_Click();
    void tellLongTextRefused(QLineEdit* field, qsizetype length);

private:
    void buildControls();
    void fitFonts();
    void reportError(const window::ErrorReport& report);
    void refuseLongText(QLineEdit* field, qsizetype length);
    QLineEdit* lineEdit(Field field) const;

    QLineEdit* m_amount = nullptr;
    QLineEdit* m_gprice = nullptr;
    QLineEdit* m_fee = nullptr;
    QFont m_fieldFont;
    QFont m_buttonFont;
};

} // namespace halvern::qt
