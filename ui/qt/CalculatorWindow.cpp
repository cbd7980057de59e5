#include "ui/qt/CalculatorWindow.h"

#include "ui/shared/CaptionFit.h"
#include "ui/shared/ControlTable.h"
#include "ui/shared/FieldEdits.h"
#include "ui/shared/Layout.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QImageReader>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QValidator>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>

namespace halvern::qt {

namespace {

using namespace halvern::ui;

QString translated(const char* text) {
    return QCoreApplication::translate("form1", text);
}

QColor fromBgr(std::uint32_t bgr) {
    return QColor::fromRgb(static_cast<int>(bgr & 0xffU), static_cast<int>((bgr >> 8U) & 0xffU),
                           static_cast<int>((bgr >> 16U) & 0xffU));
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Logical pixels, at 96 dots per inch: Qt scales them on denser screens.
QRect logicalRect(const PixelRect& box) {
    return {box.left, box.top, box.width, box.height};
}

// A fixed background with the text colour fixed with it, in every state the widget can be
// drawn in, so a dark or high-contrast theme cannot put light text on it. A field paints its
// text area in the base colour; everything else fills its window colour.
void fixColours(QWidget* widget, bool isField, std::uint32_t colour) {
    const QPalette::ColorRole background = isField ? QPalette::Base : QPalette::Window;
    const QPalette::ColorRole text = isField ? QPalette::Text : QPalette::WindowText;
    QPalette palette = widget->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, background, fromBgr(colour));
        palette.setColor(group, text, fromBgr(textOnFixedColour));
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(!isField);
}

int pixelSizeOf(const QFont& font) {
    if (font.pixelSize() > 0)
        return font.pixelSize();
    // Point sizes are read at 96 DPI, the density the boxes were laid out for.
    return static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
}

// Refuses, whole, an edit that would make a field's text longer than the bound. A cut would
// leave a text the user never typed; this leaves the field as it was. It catches every edit,
// typing and input methods included.
class LengthBound final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& text, int& /*position*/) const override {
        return fitsField(0, 0, static_cast<std::size_t>(text.size())) ? Acceptable : Invalid;
    }
};

// Pastes and drops are weighed before the field sees them: Qt would first insert a long text
// with one undo step per character (about 30 bytes each) and only then let the bound refuse it.
// A refused text never reaches the field; an accepted one goes in as one insertion.
class PasteGuard final : public QObject {
public:
    using Refused = std::function<void(Field, qsizetype inserted, qsizetype lengthAfter)>;

    PasteGuard(QLineEdit* edit, Field field, Refused refused)
        : QObject(edit)
        , m_edit(edit)
        , m_field(field)
        , m_refused(std::move(refused)) {
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (const auto* key = dynamic_cast<const QKeyEvent*>(event);
            key != nullptr && event->type() == QEvent::KeyPress) {
            if (key->matches(QKeySequence::Paste))
                return paste(QClipboard::Clipboard);
            if (key->text().size() == 1 && !m_edit->isReadOnly())
                return type(*key);
        }
        if (auto* method = dynamic_cast<QInputMethodEvent*>(event);
            method != nullptr && event->type() == QEvent::InputMethod && !m_edit->isReadOnly())
            compose(*method);
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
            m_refused(m_field, length, after(length, 0));
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
        return fitsField(static_cast<std::size_t>(m_edit->text().size()),
                         static_cast<std::size_t>(replaced), static_cast<std::size_t>(inserted));
    }
    qsizetype after(qsizetype inserted, qsizetype replaced) const {
        return static_cast<qsizetype>(lengthAfter(static_cast<std::size_t>(m_edit->text().size()),
                                                  static_cast<std::size_t>(replaced),
                                                  static_cast<std::size_t>(inserted)));
    }

    bool paste(QClipboard::Mode mode) {
        if (m_edit->isReadOnly())
            return false;
        const QString clipboard = QGuiApplication::clipboard()->text(mode);
        const std::u16string_view pasted(reinterpret_cast<const char16_t*>(clipboard.utf16()),
                                         static_cast<std::size_t>(clipboard.size()));
        const auto length = static_cast<qsizetype>(pastedLength(pasted));
        if (!fits(length, m_edit->selectedText().size())) {
            m_refused(m_field, length, after(length, m_edit->selectedText().size()));
            return true;
        }
        const std::u16string kept = pastedText(pasted);
        m_edit->insert(QString::fromUtf16(kept.data(), static_cast<qsizetype>(kept.size())));
        return true;
    }

    // A key whose character the shared rules change goes in as the character they give. The
    // keypad's decimal key is the keypad's period or comma, as the keyboard layout names it.
    bool type(const QKeyEvent& key) {
        const char16_t typed = key.text().at(0).unicode();
        const char16_t given =
            typedHere(typed, key.modifiers().testFlag(Qt::KeypadModifier) &&
                                 (key.key() == Qt::Key_Period || key.key() == Qt::Key_Comma));
        if (given == typed)
            return false;
        m_edit->insert(QString(QChar(given)));
        return true;
    }

    // An input method's single character is typed, as a key's is: an on-screen keyboard gives
    // every character so, and its comma key must give what the keyboard's does. Several
    // characters at once go in as composed, as a paste does.
    void compose(QInputMethodEvent& method) {
        if (method.commitString().size() == 1 && method.replacementLength() == 0)
            method.setCommitString(
                QString(QChar(typedHere(method.commitString().at(0).unicode(), false))));
    }

    // The locale is read at each character, as the person may change it while the window is
    // open.
    char16_t typedHere(char16_t typed, bool keypadDecimalKey) const {
        QString kept = m_edit->text();
        if (m_edit->hasSelectedText())
            kept.remove(m_edit->selectionStart(), m_edit->selectedText().size());
        const QString mark = QLocale::system().decimalPoint();
        return typedCharacter(
            {typed, keypadDecimalKey, mark.size() == 1 ? mark.at(0).unicode() : char16_t{}},
            std::u16string_view(reinterpret_cast<const char16_t*>(kept.utf16()),
                                static_cast<std::size_t>(kept.size())));
    }

    // The toolkit's own menu, with its Paste taking the same way as the keyboard's. The
    // toolkit names its entry with its own translation, so the same words find it.
    void showMenu(const QPoint& where) {
        std::unique_ptr<QMenu> menu(m_edit->createStandardContextMenu());
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

    QLineEdit* m_edit;
    Field m_field;
    Refused m_refused;
};

// A PNG of the program's resources, read as PNG without asking anyone else: left to detect the
// format, Qt loads every image plugin it has to ask them first.
QPixmap pngPixmap(const QString& name) {
    QImageReader reader(name, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QPixmap logoPixmap(const char* asset, qreal devicePixelRatio) {
    // Only the image the screen needs is decoded; the doubled one keeps the logo sharp on
    // screens scaled by two or more.
    const QString name = QStringLiteral(":/%1").arg(QString::fromUtf8(asset));
    if (devicePixelRatio > 1.0) {
        QPixmap sharp = pngPixmap(name + QStringLiteral("@2x.png"));
        sharp.setDevicePixelRatio(2.0);
        return sharp;
    }
    return pngPixmap(name + QStringLiteral(".png"));
}

QIcon programIcon(qreal devicePixelRatio) {
    // The icon file's images (its 16 and 32 px in 16 colours), then larger ones for task
    // switchers and dense screens. X11 hands every size of a window icon to the window manager,
    // decoded, so only the sizes a task switcher draws on this screen (64 logical pixels at
    // most) go in; the desktop entry's themed icon serves docks and software centres at 128 and
    // 256.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        if (size <= 64 * devicePixelRatio)
            icon.addPixmap(pngPixmap(size <= 32
                                         ? QStringLiteral(":/halvern-%1.png").arg(size)
                                         : QStringLiteral(":/icons/halvern-%1.png").arg(size)));
    }
    return icon;
}

QWidget* createControl(const ControlRow& spec, QWidget* parent) {
    switch (spec.kind) {
    case ControlKind::textField:
        return new QLineEdit(QString::fromUtf8(spec.text), parent);
    case ControlKind::pushButton: {
        auto* button = new QPushButton(translated(spec.text), parent);
        // Enter on the focused button presses it; outside a dialog this makes it no default.
        button->setAutoDefault(true);
        return button;
    }
    case ControlKind::label: {
        // From the top of its box, as a caption stands in the other windows; a QLabel would
        // centre it down a box taller than its line.
        auto* caption = new QLabel(translated(spec.text), parent);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return caption;
    }
    case ControlKind::picture: {
        auto* picture = new QLabel(parent);
        picture->setPixmap(logoPixmap(spec.text, parent->devicePixelRatioF()));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setAccessibleName(translated(logoText));
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
    fixColours(this, false, windowColour);
    // Nothing in the window can grow, so neither can the window.
    setFixedSize(logicalRect(clientRect()).size());

    // The fonts first, so that the controls lay out their texts once, at the size they keep.
    fitFonts();
    buildControls();
}

// Made in the order a person reads the window, which is the order a screen reader walks them.
void CalculatorWindow::buildControls() {
    for (const std::size_t index : readingOrder()) {
        const ControlRow& row = controlTable.at(index);
        QWidget* control = createControl(row, this);
        control->setObjectName(QString::fromUtf8(row.name));
        control->setGeometry(logicalRect(pixelRect(row)));
        if (const auto colour = fixedBackground(row))
            fixColours(control, row.kind == ControlKind::textField, *colour);
    }

    for (const FieldRow& row : fieldTable) {
        auto* field = findChild<QLineEdit*>(fromUtf8(fieldName(row.field)));
        m_fields.at(static_cast<std::size_t>(row.field)) = field;
        field->setValidator(new LengthBound(field));
        new PasteGuard(field, row.field,
                       [this](Field which, qsizetype inserted, qsizetype lengthAfter) {
                           refuseLongText(which, inserted, lengthAfter);
                       });
        // Typing is refused by the bound's validator; told once the key has been handled.
        connect(
            field, &QLineEdit::inputRejected, this,
            [this, which = row.field] { ui::refuseTyping(*this, which); }, Qt::QueuedConnection);
        // Each caption is its field's buddy: assistive technology reads the field by it.
        auto* caption = findChild<QLabel*>(QString::fromUtf8(row.caption));
        caption->setBuddy(field);
    }
    auto* button = findChild<QPushButton*>(QStringLiteral("Command1"));
    applyFittedFonts();

    // The focus goes round the chain in tab order, not in the order the controls were made.
    QWidget* previous = nullptr;
    for (const std::size_t row : tabChain) {
        auto* control = findChild<QWidget*>(QString::fromUtf8(controlTable.at(row).name));
        control->setFocusPolicy(Qt::StrongFocus);
        if (previous != nullptr)
            setTabOrder(previous, control);
        previous = control;
    }
    findChild<QWidget*>(QString::fromUtf8(controlTable.at(tabChain.front()).name))->setFocus();

    connect(button, &QPushButton::clicked, this, &CalculatorWindow::Command1_Click);
    connect(this, &CalculatorWindow::longTextRefused, this, &CalculatorWindow::tellLongTextRefused,
            Qt::QueuedConnection);
}

void CalculatorWindow::fitFonts() {
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const Frames frames{frame, 2 * style()->pixelMetric(QStyle::PM_ButtonMargin) + frame, frame};
    const QFont desktop = QApplication::font(this);
    QFont font = desktop;
    std::optional<QFontMetrics> metrics; // one per size: loading a font engine is the cost here
    int measuredSize = 0;
    const FontSizes sizes = fitFontSizes(
        pixelSizeOf(desktop), 96, frames, [&](FontGroup, int pixels, std::string_view text) {
            if (!metrics || measuredSize != pixels) {
                font.setPixelSize(pixels);
                metrics.emplace(font);
                measuredSize = pixels;
            }
            return Extent{metrics->horizontalAdvance(translated(std::string(text).c_str())),
                          metrics->height()};
        });
    const auto sized = [&desktop](int pixels) {
        QFont fitted = desktop;
        fitted.setPixelSize(pixels);
        return fitted;
    };
    setFont(sized(sizes.captions));
    m_fieldFont = sized(sizes.fields);
    m_buttonFont = sized(sizes.button);
}

void CalculatorWindow::applyFittedFonts() {
    for (QLineEdit* field : m_fields)
        field->setFont(m_fieldFont);
    findChild<QPushButton*>(QStringLiteral("Command1"))->setFont(m_buttonFont);
}

// The desktop's font changed while the window is open. The window's own fonts keep Qt from
// passing the change on, so the texts are fitted again here, as a window opened now would have
// them.
bool CalculatorWindow::event(QEvent* event) {
    if (event->type() == QEvent::ApplicationFontChange) {
        fitFonts();
        applyFittedFonts();
    }
    return QWidget::event(event);
}

// Control+Tab goes round the controls as Tab does, as in a Windows dialog or a GTK window: Qt
// keeps it for widgets that take Tab themselves, and the fields and the button pass it up unused.
void CalculatorWindow::keyPressEvent(QKeyEvent* event) {
    const auto held = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        held == Qt::ControlModifier)
        focusNextPrevChild(event->key() == Qt::Key_Tab &&
                           !event->modifiers().testFlag(Qt::ShiftModifier));
    else
        QWidget::keyPressEvent(event);
}

std::string CalculatorWindow::text(Field field) const {
    return lineEdit(field)->text().toStdString();
}

void CalculatorWindow::setText(Field field, const std::string& text) {
    QLineEdit* edit = lineEdit(field);
    edit->setText(QString::fromStdString(text));
    // From its first digit: a line edit scrolls to its cursor, which a set leaves at the end,
    // and a long fee would then read as a smaller sum.
    edit->setCursorPosition(0);
}

void CalculatorWindow::Command1_Click() {
    pressButton(*this);
}

// A field reached by Tab has its whole text selected, so what is typed next replaces it. The
// line edit does so only when it receives the focus event itself, which a window that is not
// yet active defers; the window does it here, whatever the order of events.
bool CalculatorWindow::focusNextPrevChild(bool next) {
    const bool moved = QWidget::focusNextPrevChild(next);
    if (auto* edit = qobject_cast<QLineEdit*>(focusWidget()); moved && edit != nullptr)
        edit->selectAll();
    return moved;
}

void CalculatorWindow::report(const Report& report) {
    if (report.alert)
        QApplication::beep();
    QMessageBox box(report.severity == Severity::error ? QMessageBox::Critical
                                                       : QMessageBox::Warning,
                    windowTitle(), QString::fromStdString(report.words), QMessageBox::Ok, this);
    // The message quotes what the user typed; it must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
    if (!report.field)
        return;
    QLineEdit* edit = lineEdit(*report.field);
    edit->setFocus(Qt::OtherFocusReason);
    if (report.selectField)
        edit->selectAll();
}

void CalculatorWindow::refuseLongText(Field field, qsizetype inserted, qsizetype lengthAfter) {
    // Told once the paste or drop that brought the text has been handled (the connection is
    // queued): a modal box inside a drop would hold up the other program's drag.
    emit longTextRefused(static_cast<int>(field), inserted, lengthAfter);
}

void CalculatorWindow::tellLongTextRefused(int field, qsizetype inserted, qsizetype lengthAfter) {
    ui::refuseLongText(*this, static_cast<Field>(field), static_cast<std::size_t>(inserted),
                       static_cast<std::size_t>(lengthAfter));
}

QLineEdit* CalculatorWindow::lineEdit(Field field) const {
    return m_fields.at(static_cast<std::size_t>(field));
}

} // namespace halvern::qt
