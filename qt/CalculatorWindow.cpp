#include "qt/CalculatorWindow.h"

#include "qt/CaptionFont.h"
#include "window/ControlTable.h"
#include "window/ErrorReport.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QValidator>
#include <functional>
#include <limits>
#include <map>
#include <memory>

namespace halvern::qt {

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
// leave a text the user never typed; this leaves the field as it was. It catches every edit,
// typing and input methods included.
class LengthBound final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& text, int& /*position*/) const override {
        return text.size() <= maxFieldLength ? Acceptable : Invalid;
    }
};

// Pastes and drops are weighed before the field sees them: Qt would first insert a long text
// with one undo step per character (about 30 bytes each) and only then let the bound refuse it.
// A refused text never reaches the field; an accepted one goes in as one insertion.
class PasteGuard final : public QObject {
public:
    using Refused = std::function<void(QLineEdit*, qsizetype)>;

    PasteGuard(QLineEdit* field, Refused refused)
        : QObject(field)
        , m_field(field)
        , m_refused(std::move(refused)) {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (const auto* key = dynamic_cast<const QKeyEvent*>(event);
            key != nullptr && event->type() == QEvent::KeyPress &&
            key->matches(QKeySequence::Paste))
            return paste(QClipboard::Clipboard);
        if (const auto* mouse = dynamic_cast<const QMouseEvent*>(event);
            mouse != nullptr && event->type() == QEvent::MouseButtonRelease &&
            mouse->button() == Qt::MiddleButton &&
            QGuiApplication::clipboard()->supportsSelection())
            return paste(QClipboard::Selection);
        if (auto* drop = dynamic_cast<QDropEvent*>(event);
            drop != nullptr && event->type() == QEvent::Drop && drop->mimeData()->hasText()) {
            const qsizetype length = drop->mimeData()->text().size();
            if (fits(length, 0))
                return false;
            drop->ignore();
            m_refused(m_field, length);
            return true;
        }
        if (const auto* menu = dynamic_cast<const QContextMenuEvent*>(event)) {
            showMenu(menu->globalPos());
            return true;
        }
        return false;
    }

private:
    bool fits(qsizetype inserted, qsizetype replaced) const {
        return m_field->text().size() - replaced + inserted <= maxFieldLength;
    }

    bool paste(QClipboard::Mode mode) {
        if (m_field->isReadOnly())
            return false;
        const QString text = QGuiApplication::clipboard()->text(mode);
        if (!fits(text.size(), m_field->selectedText().size())) {
            m_refused(m_field, text.size());
            return true;
        }
        m_field->insert(text);
        return true;
    }

    // The toolkit's own menu, with its Paste taking the same way as the keyboard's. The
    // toolkit names its entry with its own translation, so the same words find it.
    void showMenu(const QPoint& where) {
        std::unique_ptr<QMenu> menu(m_field->createStandardContextMenu());
        const QString pasteText = QCoreApplication::translate("QLineEdit", "&Paste");
        for (QAction* action : menu->actions()) {
            if (!action->text().startsWith(pasteText))
                continue;
            action->setObjectName(QStringLiteral("edit-paste"));
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { paste(QClipboard::Clipboard); });
        }
        menu->exec(where);
    }

    QLineEdit* m_field;
    Refused m_refused;
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

QIcon programIcon(qreal devicePixelRatio) {
    // The design's three images, then larger ones for task switchers and dense screens. X11
    // hands every size of a window icon to the window manager, decoded, so only the sizes a
    // task switcher draws on this screen (64 logical pixels at most) go in; the desktop entry's
    // themed icon serves docks and software centres at 128 and 256.
    QIcon icon(QStringLiteral(":/halvern.ico"));
    for (const int size : {48, 64, 128, 256}) {
        if (size <= 64 * devicePixelRatio)
            icon.addFile(QStringLiteral(":/icons/halvern-%1.png").arg(size), QSize(size, size));
    }
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
    if (window == nullptr || className != QLatin1String("halvern::qt::CalculatorWindow"))
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
    setWindowIcon(programIcon(devicePixelRatioF()));
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
        field->setValidator(new LengthBound(field));
        new PasteGuard(field,
                       [this](QLineEdit* edit, qsizetype length) { refuseLongText(edit, length); });
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
    connect(this, &CalculatorWindow::longTextRefused, this, &CalculatorWindow::tellLongTextRefused,
            Qt::QueuedConnection);
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
    // Every error ends here, in front of the user, and the window goes on waiting.
    if (const std::optional<ErrorReport> report = pressButton(*this))
        reportError(*report);
}

void CalculatorWindow::reportError(const ErrorReport& report) {
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
    // Told once the paste or drop that brought the text has been handled (the connection is
    // queued): a modal box inside a drop would hold up the other program's drag.
    emit longTextRefused(field, length);
}

void CalculatorWindow::tellLongTextRefused(QLineEdit* field, qsizetype length) {
    QMessageBox box(QMessageBox::Warning, windowTitle(),
                    QString::fromStdString(tooLongNote(static_cast<std::size_t>(length))),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    field->setFocus(Qt::OtherFocusReason);
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

} // namespace halvern::qt
