#include "ui/CalculatorWindow.h"

#include "calc/FeeCalculation.h"
#include "ui/CaptionFont.h"
#include "window/ControlTable.h"
#include "window/ErrorReport.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QToolTip>
#include <QValidator>
#include <limits>
#include <map>

namespace halvern::ui {

namespace {

using namespace halvern::window;

QString translated(const char* text) {
    return QCoreApplication::translate("form1", text);
}

QColor fromBgr(std::uint32_t bgr) {
    return QColor::fromRgb(static_cast<int>(bgr & 0xffU), static_cast<int>((bgr >> 8U) & 0xffU),
                           static_cast<int>((bgr >> 16U) & 0xffU));
}

// Logical pixels: Qt scales them on denser screens.
QRect pixelRect(const ControlSpec& spec) {
    return {twipsToPixels(spec.left), twipsToPixels(spec.top), twipsToPixels(spec.width),
            twipsToPixels(spec.height)};
}

// A fixed background with the text colour fixed with it, in every state the widget can be
// drawn in, so a dark or high-contrast theme cannot put light text on it.
void fixColours(QWidget* widget, QPalette::ColorRole background, QPalette::ColorRole text,
                std::uint32_t colour) {
    QPalette palette = widget->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, background, fromBgr(colour));
        palette.setColor(group, text, fromBgr(textOnFixedColour));
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(background == QPalette::Window);
}

// Refuses, whole, an edit that would make a field's text longer than the bound. A cut would
// leave a text the user never typed; this leaves the field as it was.
class LengthBound final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& text, int& /*position*/) const override {
        if (text.size() <= maxFieldLength)
            return Acceptable;
        m_refusedLength = text.size();
        return Invalid;
    }

    qsizetype refusedLength() const { return m_refusedLength; }

private:
    mutable qsizetype m_refusedLength = 0; // for the note that tells the user
};

QPixmap logoPixmap(const char* asset, qreal devicePixelRatio) {
    // Only the image the screen needs is decoded; the doubled one keeps the logo sharp on
    // screens scaled by two or more.
    const QString name = QStringLiteral(":/%1").arg(QString::fromUtf8(asset));
    if (devicePixelRatio > 1.0) {
        QPixmap sharp(name + QStringLiteral("@2x.gif"));
        sharp.setDevicePixelRatio(2.0);
        return sharp;
    }
    return {name + QStringLiteral(".gif")};
}

QIcon programIcon() {
    // The design's three images, then larger ones for docks, task switchers and dense screens.
    // Files given with their sizes are read only when a size is asked for.
    QIcon icon(QStringLiteral(":/halvern.ico"));
    for (const int size : {48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/halvern-%1.png").arg(size), QSize(size, size));
    return icon;
}

QWidget* createControl(const ControlSpec& spec, QWidget* parent) {
    switch (spec.kind) {
    case ControlKind::textField:
        return new QLineEdit(QString::fromUtf8(spec.text), parent);
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
        picture->setPixmap(logoPixmap(spec.text, parent->devicePixelRatioF()));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setAccessibleName(translated("Halvern logo"));
        picture->setAccessibleDescription(
            translated("The logo of the Halvern payment service, a gold coin beside its name"));
        return picture;
    }
    }
    return nullptr;
}

// A plain widget that is a window reads to assistive technology as a "filler"; this one is the
// program's main window and is announced as one, with its title.
QAccessibleInterface* accessibleWindow(const QString& className, QObject* object) {
    auto* window = qobject_cast<CalculatorWindow*>(object);
    if (window == nullptr || className != QLatin1String("halvern::ui::CalculatorWindow"))
        return nullptr;
    return new QAccessibleWidget(window, QAccessible::Window);
}

} // namespace

CalculatorWindow::CalculatorWindow(QWidget* parent)
    : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleWindow);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setObjectName(QString::fromUtf8(formName));
    setWindowTitle(translated(formCaption));
    setWindowIcon(programIcon());
    fixColours(this, QPalette::Window, QPalette::WindowText, windowColour);
    // Nothing in the window can grow, so neither can the window.
    setFixedSize(twipsToPixels(formWidth), twipsToPixels(formHeight));

    // The fonts first, so that the controls lay out their texts once, at the size they keep.
    fitFonts();
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
            fixColours(control, QPalette::Window, QPalette::WindowText, windowColour);
            break;
        case Background::lightGrey:
            fixColours(control, QPalette::Base, QPalette::Text, lightGrey);
            break;
        }
        if (spec.kind == ControlKind::textField || spec.kind == ControlKind::pushButton)
            focusChain.emplace(spec.tabIndex, control);
    }

    m_amount = findChild<QLineEdit*>(QStringLiteral("amount"));
    m_gprice = findChild<QLineEdit*>(QStringLiteral("gprice"));
    m_fee = findChild<QLineEdit*>(QStringLiteral("fee"));
    for (QLineEdit* field : {m_amount, m_gprice, m_fee}) {
        field->setFont(m_fieldFont);
        // Qt would cut a paste at 32767 characters; the bound below refuses instead.
        field->setMaxLength(std::numeric_limits<int>::max());
        auto* bound = new LengthBound(field);
        field->setValidator(bound);
        connect(field, &QLineEdit::inputRejected, this,
                [this, field, bound] { refuseLongText(field, bound->refusedLength()); });
    }
    // Each caption is its field's buddy: assistive technology reads the field by it.
    for (const FieldCaption& pair : fieldCaptions) {
        auto* label = findChild<QLabel*>(QString::fromUtf8(pair.label));
        auto* field = findChild<QLineEdit*>(QString::fromUtf8(pair.field));
        label->setBuddy(field);
        field->setAccessibleName(label->text());
    }
    auto* button = findChild<QPushButton*>(QStringLiteral("Command1"));
    button->setFont(m_buttonFont);

    QWidget* previous = nullptr;
    for (const auto& [index, control] : focusChain) {
        if (previous != nullptr)
            setTabOrder(previous, control);
        previous = control;
    }
    m_amount->setFocus();

    connect(button, &QPushButton::clicked, this, &CalculatorWindow::Command1_Click);
}

void CalculatorWindow::fitFonts() {
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int buttonMargin = 2 * style()->pixelMetric(QStyle::PM_ButtonMargin) + frame;
    std::vector<Caption> labels, fields, button;
    for (const ControlSpec& spec : controlTable) {
        const QSize box = pixelRect(spec).size();
        switch (spec.kind) {
        case ControlKind::label:
            labels.push_back({translated(spec.text), box});
            break;
        case ControlKind::pushButton:
            button.push_back({translated(spec.text), box - QSize(buttonMargin, frame)});
            break;
        case ControlKind::textField:
            // What the user types must be one line high inside the frame.
            fields.push_back({QString(), box - QSize(frame, frame)});
            break;
        case ControlKind::picture:
            break;
        }
    }
    // The captions share one size, so the window reads as one piece; the fields and the button
    // each take the desktop's own size where their boxes allow it, as the texts a user types
    // and reads matter most.
    const QFont desktop = QApplication::font(this);
    setFont(fitCaptionFont(desktop, labels));
    m_fieldFont = fitCaptionFont(desktop, fields);
    m_buttonFont = fitCaptionFont(desktop, button);
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
    const ErrorReport report = describeError(error);
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

void CalculatorWindow::refuseLongText(QLineEdit* field, qsizetype length) {
    QApplication::beep();
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())),
                       QString::fromStdString(tooLongNote(static_cast<std::size_t>(length))),
                       field);
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
