#include "ui/CalculatorWindow.h"

#include "calc/FeeCalculation.h"
#include "ui/CaptionFont.h"
#include "ui/ControlTable.h"
#include "window/ErrorReport.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <limits>
#include <map>

namespace halvern::ui {

namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("form1", text);
}

void paintBackground(QWidget* widget, QPalette::ColorRole role, QRgb colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, QColor::fromRgb(colour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(role == QPalette::Window);
}

QWidget* createControl(const ControlSpec& spec, QWidget* parent) {
    switch (spec.kind) {
    case ControlKind::textField: {
        auto* field = new QLineEdit(QString::fromUtf8(spec.text), parent);
        // Qt cuts a paste at 32767 characters by default, and a cut text can read as a number
        // the user never typed ("12", then blanks, then a letter past the cut). Keep it whole.
        field->setMaxLength(std::numeric_limits<int>::max());
        return field;
    }
    case ControlKind::pushButton: {
        auto* button = new QPushButton(translated(spec.text), parent);
        // Enter on the focused button presses it; outside a dialog this makes it no default.
        button->setAutoDefault(true);
        return button;
    }
    case ControlKind::label:
        return new QLabel(translated(spec.text), parent);
    case ControlKind::picture: {
        auto* picture = new QLabel(parent);
        picture->setPixmap(QPixmap(QString::fromUtf8(spec.text)));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setAccessibleName(translated("Halvern logo"));
        return picture;
    }
    }
    return nullptr;
}

} // namespace

CalculatorWindow::CalculatorWindow(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QString::fromUtf8(formName));
    setWindowTitle(translated(formCaption));
    setWindowIcon(QIcon(QString::fromUtf8(formIcon)));
    paintBackground(this, QPalette::Window, windowColour);
    // Nothing in the window can grow, so neither can the window.
    setFixedSize(windowPixelSize());

    // The font first, so that the controls lay out their texts once, at the size they keep.
    fitFont();
    buildControls();
}

void CalculatorWindow::buildControls() {
    std::map<int, QWidget*> focusChain;
    for (const ControlSpec& spec : controlTable) {
        QWidget* control = createControl(spec, this);
        control->setObjectName(QString::fromUtf8(spec.name));
        control->setGeometry(pixelRect(spec));
        switch (spec.background) {
        case Background::toolkit:
            break;
        case Background::window:
            paintBackground(control, QPalette::Window, windowColour);
            break;
        case Background::lightGrey:
            paintBackground(control, QPalette::Base, lightGrey);
            break;
        }
        if (spec.kind == ControlKind::textField || spec.kind == ControlKind::pushButton)
            focusChain.emplace(spec.tabIndex, control);
    }

    m_amount = findChild<QLineEdit*>(QStringLiteral("amount"));
    m_gprice = findChild<QLineEdit*>(QStringLiteral("gprice"));
    m_fee = findChild<QLineEdit*>(QStringLiteral("fee"));
    // A screen reader announces each field by the caption beside it.
    m_amount->setAccessibleName(findChild<QLabel*>(QStringLiteral("Label1"))->text());
    m_gprice->setAccessibleName(findChild<QLabel*>(QStringLiteral("Label2"))->text());
    m_fee->setAccessibleName(findChild<QLabel*>(QStringLiteral("Label3"))->text());

    QWidget* previous = nullptr;
    for (const auto& [index, control] : focusChain) {
        if (previous != nullptr)
            setTabOrder(previous, control);
        previous = control;
    }
    m_amount->setFocus();

    connect(findChild<QPushButton*>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &CalculatorWindow::Command1_Click);
}

void CalculatorWindow::fitFont() {
    const int buttonPadding = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin) +
                                   style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    const int framePadding = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    std::vector<Caption> captions;
    for (const ControlSpec& spec : controlTable) {
        const QSize box = pixelRect(spec).size();
        switch (spec.kind) {
        case ControlKind::label:
            captions.push_back({translated(spec.text), box});
            break;
        case ControlKind::pushButton:
            captions.push_back({translated(spec.text), box - QSize(buttonPadding, framePadding)});
            break;
        case ControlKind::textField:
            // What the user types must be one line high inside the frame.
            captions.push_back({QString(), box - QSize(framePadding, framePadding)});
            break;
        case ControlKind::picture:
            break;
        }
    }
    setFont(fitCaptionFont(QApplication::font(this), captions));
}

std::string CalculatorWindow::amount() const {
    return m_amount->text().toStdString();
}

std::string CalculatorWindow::gprice() const {
    return m_gprice->text().toStdString();
}

std::string CalculatorWindow::fee() const {
    return m_fee->text().toStdString();
}

void CalculatorWindow::setFee(const std::string& text) {
    m_fee->setText(QString::fromStdString(text));
}

void CalculatorWindow::Command1_Click() {
    // No exception may cross into Qt's event handling: every error ends here, in front of the
    // user, and the window goes on waiting.
    try {
        halvern::Command1_Click(*this);
    } catch (...) {
        reportError(std::current_exception());
    }
}

void CalculatorWindow::reportError(const std::exception_ptr& error) {
    const window::ErrorReport report = window::describeError(error);
    QMessageBox box(QMessageBox::Critical, windowTitle(), QString::fromStdString(report.text),
                    QMessageBox::Ok, this);
    // The message quotes what the user typed; it must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
    // Back where the mistake is, its text selected, ready to be typed over.
    if (report.field) {
        QLineEdit* field = lineEdit(*report.field);
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }
}

QLineEdit* CalculatorWindow::lineEdit(Field field) const {
    switch (field) {
    case Field::amount:
        return m_amount;
    case Field::gprice:
        return m_gprice;
    case Field::fee:
        return m_fee;
    }
    return nullptr;
}

} // namespace halvern::ui
