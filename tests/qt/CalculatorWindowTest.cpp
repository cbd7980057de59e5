// The window on Qt's offscreen platform, or under weston.
#include "ui/qt/CalculatorWindow.h"

#include "Scenarios.h"
#include "SeenDump.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <map>
#include <set>
#include <string_view>
#include <utility>

namespace {

using halvern::qt::CalculatorWindow;

// A paste route that drops the text onto the field named after it.
constexpr std::string_view dropOnto = "drop:";

// A control of the window by its name in the control table.
template <typename T = QWidget>
T* control(const QWidget& window, const std::string& name) {
    auto* found = window.findChild<T*>(QString::fromStdString(name));
    if (found == nullptr)
        qFatal("no control %s", name.c_str());
    return found;
}

// The scenarios' acts and observations on the window's widgets.
class QtDriver final : public halvern::testing::ScenarioDriver {
public:
    explicit QtDriver(QWidget& window)
        : m_window(window) {
        m_watcher.setInterval(0);
        QObject::connect(&m_watcher, &QTimer::timeout, [this] { closeBox(); });
        m_watcher.start();
    }

    void closeReportsWith(const std::string& key) override { m_closeKey = key; }
    void set(const std::string& name, const std::string& text) override {
        field(name)->setText(QString::fromStdString(text));
    }
    void type(const std::string& name, const std::string& text) override {
        click(name);
        field(name)->selectAll();
        typing([&] { typeText(field(name), QString::fromStdString(text)); });
    }
    void click(const std::string& name) override {
        QTest::mouseClick(control(m_window, name), Qt::LeftButton, {}, QPoint(5, 5));
        settle();
    }
    void key(const std::string& key) override {
        static const std::map<std::string, std::pair<Qt::Key, Qt::KeyboardModifiers>> keys{
            {"Tab", {Qt::Key_Tab, {}}},
            {"Shift+Tab", {Qt::Key_Backtab, Qt::ShiftModifier}},
            {"Control+Tab", {Qt::Key_Tab, Qt::ControlModifier}},
            {"Enter", {Qt::Key_Return, {}}},
            {"Space", {Qt::Key_Space, {}}},
            {"Escape", {Qt::Key_Escape, {}}},
            {"Backspace", {Qt::Key_Backspace, {}}},
            {"Control+z", {Qt::Key_Z, Qt::ControlModifier}},
            {"Keypad.", {Qt::Key_Period, Qt::KeypadModifier}},
            {"Keypad,", {Qt::Key_Comma, Qt::KeypadModifier}},
        };
        const auto found = keys.find(key);
        if (found != keys.end())
            QTest::keyClick(m_window.focusWidget(), found->second.first, found->second.second);
        else
            typing([&] { typeText(m_window.focusWidget(), QString::fromStdString(key)); });
        settle();
    }
    void select(int from, int to) override {
        auto* edit = qobject_cast<QLineEdit*>(m_window.focusWidget());
        if (edit == nullptr)
            return; // the scenario fails on what it then expects
        edit->setCursorPosition(from);
        if (to > from)
            edit->setSelection(from, to - from);
    }
    void paste(const std::string& route, const std::string& text) override {
        auto* edit = qobject_cast<QLineEdit*>(m_window.focusWidget());
        const QString pasted = QString::fromStdString(text);
        if (route.rfind(dropOnto, 0) == 0) {
            edit = field(route.substr(dropOnto.size()));
            QMimeData data;
            data.setText(pasted);
            // Qt delivers a drop only to the widget the drag entered.
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(edit, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(edit, &drop);
        } else if (!onClipboard(pasted)) {
            return; // the scenario then fails on what it expects
        } else if (route == "Control+v") {
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        } else if (route == "Shift+Insert") {
            QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
        } else {
            pasteFromMenu(edit);
        }
        settle();
    }

    void compose(const std::string& text) override {
        QInputMethodEvent committed;
        committed.setCommitString(QString::fromStdString(text));
        typing([&] { QApplication::sendEvent(m_window.focusWidget(), &committed); });
        settle();
    }

    std::string text(const std::string& name) override { return field(name)->text().toStdString(); }
    std::string focused() override {
        return m_window.focusWidget() == nullptr
                   ? "(nothing)"
                   : m_window.focusWidget()->objectName().toStdString();
    }
    std::pair<int, int> selection() override {
        auto* edit = qobject_cast<QLineEdit*>(m_window.focusWidget());
        if (edit == nullptr)
            return {-1, -1};
        if (!edit->hasSelectedText())
            return {edit->cursorPosition(), edit->cursorPosition()};
        return {edit->selectionStart(), edit->selectionEnd()};
    }
    int length(const std::string& name) override {
        const QLineEdit* edit = field(name);
        return edit == nullptr ? -1 : static_cast<int>(edit->text().size()); // not a field
    }
    // The caret at the first character, and that character in the field's left quarter.
    bool showsFromStart(const std::string& name) override {
        QLineEdit* edit = field(name);
        return edit->cursorPosition() == 0 &&
               edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() < edit->width() / 4;
    }
    std::vector<halvern::testing::SeenReport> reports() override {
        settle();
        return std::exchange(m_reports, {});
    }

    // Whether the platform's clipboard holds `text` once set: a seatless Wayland compositor
    // has no clipboard at all.
    static bool onClipboard(const QString& text) {
        QApplication::clipboard()->setText(text);
        return QApplication::clipboard()->text() == text;
    }

private:
    QLineEdit* field(const std::string& name) const { return control<QLineEdit>(m_window, name); }
    // Key by key; QTest's own typing takes Latin-1 alone.
    static void typeText(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(widget, c.toLatin1());
                continue;
            }
            for (const auto action : {QTest::Press, QTest::Release})
                QTest::sendKeyEvent(action, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }

    template <typename Act>
    void typing(const Act& act) {
        m_typing = true;
        act();
        m_typing = false;
    }

    // What the window queues (a refusal's report) has happened once this returns.
    static void settle() {
        for (int round = 0; round < 3; ++round)
            QCoreApplication::processEvents();
    }

    void closeBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        // A report is plain text, titled as the window, owned by it, with OK alone.
        std::string kind = box->icon() == QMessageBox::Critical  ? "error"
                           : box->icon() == QMessageBox::Warning ? "warning"
                                                                 : "report without its icon";
        if (box->textFormat() != Qt::PlainText || box->windowTitle() != m_window.windowTitle() ||
            box->parentWidget() != &m_window || box->buttons().size() != 1)
            kind += " (not plain text, titled, owned by the window and with OK alone)";
        // A field's refusal of a key is told once the field has handled it, as a key's release
        // or its repeats would otherwise go to the report.
        if (m_typing)
            kind += " (shown while the field still handled the key)";
        m_reports.push_back({kind, box->text().toStdString()});
        QTest::keyClick(box, m_closeKey == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
    }

    // Picks Paste in the field's context menu once it is up where the pointer was.
    void pasteFromMenu(QLineEdit* edit) {
        const QPoint pointer = edit->mapToGlobal(QPoint(5, 5));
        QTimer picker;
        QObject::connect(&picker, &QTimer::timeout, [&picker, pointer] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr)
                return;
            picker.stop();
            if (menu->pos() == pointer)
                menu->findChild<QAction*>(QStringLiteral("edit-paste"))->trigger();
            menu->close();
        });
        picker.start(0);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), pointer);
        QApplication::sendEvent(edit, &event);
        settle();
        // One menu for one click: the field's own must not open behind ours once it closes. The
        // scenario fails on it as on a report nobody expected.
        if (QWidget* another = QApplication::activePopupWidget()) {
            m_reports.push_back({"menu", "a second menu, opened once the first closed"});
            another->close();
        }
    }

    QWidget& m_window;
    QTimer m_watcher;
    std::string m_closeKey = "Enter";
    bool m_typing = false;
    std::vector<halvern::testing::SeenReport> m_reports;
};

} // namespace

class CalculatorWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CalculatorWindow> m_window;

    // The desktop's locale, as the window reads it: the scenarios of that locale run.
    static std::string locale() { return QLocale::system().name().replace('_', '-').toStdString(); }

    static void addScenarios(bool clipboard) {
        QTest::addColumn<int>("index");
        const auto& all = halvern::testing::scenarios();
        for (std::size_t i = 0; i < all.size(); ++i) {
            const auto& steps = all[i].steps;
            const bool pastes = std::any_of(steps.begin(), steps.end(), [](const auto& step) {
                return step.verb == "paste" && step.words[0].rfind(dropOnto, 0) != 0;
            });
            if (all[i].runsIn("qt", locale()) && pastes == clipboard)
                QTest::newRow(all[i].name.c_str()) << static_cast<int>(i);
        }
    }

    void runScenario() {
        QFETCH(int, index);
        QtDriver driver(*m_window);
        const auto failures = halvern::testing::runScenario(
            halvern::testing::scenarios().at(static_cast<std::size_t>(index)), driver);
        std::string words;
        for (const std::string& failure : failures)
            words += "\n  " + failure;
        QVERIFY2(failures.empty(), words.c_str());
    }

private slots:
    void init() {
        m_window = std::make_unique<CalculatorWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    // Every scenario a user may play through, as each sees it, in the desktop's locale; those
    // that paste through the clipboard apart, as a seatless Wayland compositor has none.
    void scenarioLocale() {
        QVERIFY2(halvern::testing::isScenarioLocale(locale()),
                 ("no scenario runs in the locale " + locale() +
                  ": run under LC_ALL=en_US.UTF-8 "
                  "or de_DE.UTF-8")
                     .c_str());
    }
    void scenario_data() { addScenarios(false); }
    void scenario() { runScenario(); }
    void clipboardScenario_data() { addScenarios(true); }
    void clipboardScenario() {
        if (!QtDriver::onClipboard(QStringLiteral("probe")))
            QSKIP("this platform has no clipboard here");
        runScenario();
    }

    // The window's dump (SeenDump.h), read through the accessibility interface screen readers
    // use; Tab places by following Qt's Tab chain from the focus at start.
    void dumpsWhatUsersSee() {
        std::map<QWidget*, int> places;
        QWidget* const start = m_window->focusWidget();
        QVERIFY(start != nullptr);
        QWidget* next = start;
        for (int steps = 0; steps < 100 && (steps == 0 || next != start); ++steps) {
            if ((next->focusPolicy() & Qt::TabFocus) != 0 && next->isVisibleTo(m_window.get()) &&
                next->isEnabled())
                places.emplace(next, static_cast<int>(places.size()) + 1);
            next = next->nextInFocusChain();
        }
        const auto row = [&](QAccessibleInterface* read, const std::string& kind) {
            auto* widget = qobject_cast<QWidget*>(read->object());
            const bool field = kind == "field";
            const QPalette::ColorRole ground = field ? QPalette::Base : QPalette::Window;
            const QColor colour = widget->palette().color(ground);
            const QColor text =
                widget->palette().color(field ? QPalette::Text : QPalette::WindowText);
            // A control fills its own background, or a field its text area, or the window its
            // client area, in a colour of its own; the rest shows the theme's.
            const bool fixed = kind == "window" || field
                                   ? colour != QApplication::palette(widget).color(ground)
                                   : widget->autoFillBackground();
            const QRect box(widget->mapTo(m_window.get(), QPoint(0, 0)), widget->size());
            const auto found = places.find(widget);
            halvern::testing::printSeen(
                1, {widget->objectName().toStdString(), kind, box.left(), box.top(), box.width(),
                    box.height(),
                    !fixed ? "theme"
                           : halvern::testing::fixedColour(colour.red(), colour.green(),
                                                           colour.blue(), text == Qt::black),
                    found == places.end() ? 0 : found->second,
                    field ? read->text(QAccessible::Name).toStdString() : "",
                    read->text(field ? QAccessible::Value : QAccessible::Name).toStdString()});
        };
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(m_window.get());
        row(window, "window");
        static const std::map<QAccessible::Role, std::string> kinds{
            {QAccessible::EditableText, "field"},
            {QAccessible::PushButton, "button"},
            {QAccessible::StaticText, "label"},
            {QAccessible::Graphic, "picture"}};
        for (int i = 0; i < window->childCount(); ++i) {
            QAccessibleInterface* child = window->child(i);
            const auto kind = kinds.find(child->role());
            row(child,
                kind == kinds.end() ? "role " + std::to_string(child->role()) : kind->second);
        }
        // A fixed size, as every window of the program has.
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    }

    // The fixed colours as drawn: the bare window, the fee's inside, and the logo's transparent
    // corner.
    void drawsItsColours() {
        const QColor windowColour(192, 192, 0), lightGrey(192, 192, 192);
        const QImage shot = m_window->grab().toImage();
        const auto at = [&](int x, int y) {
            const qreal ratio = shot.devicePixelRatio();
            return shot.pixelColor(qRound(x * ratio), qRound(y * ratio));
        };
        QCOMPARE(at(150, 30), windowColour);
        QCOMPARE(at(280, 145), lightGrey);
        QCOMPARE(at(192, 0), windowColour);
    }

    // The logo at its laid-out size, drawn from as many pixels as the screen has; the icon
    // offers the icon file's small images and larger ones for docks and dense screens.
    void imagesSuitTheScreen() {
        const QPixmap logo = control<QLabel>(*m_window, "Image1")->pixmap();
        QCOMPARE(logo.deviceIndependentSize(), QSizeF(105, 45));
        const qreal ratio = m_window->devicePixelRatioF();
        QCOMPARE(logo.size(), ratio > 1.0 ? QSize(210, 90) : QSize(105, 45));

        std::set<int> offered; // square images, by their side
        for (const QSize size : m_window->windowIcon().availableSizes())
            offered.insert(size.width() == size.height() ? size.width() : -1);
        std::set<int> expected{16, 32, 48, 64};
        if (ratio >= 2.0)
            expected.insert(128);
        if (ratio >= 4.0)
            expected.insert(256);
        QCOMPARE(offered, expected);
    }

    // Under a dark theme as under a light one, every text on a colour the window fixes is black
    // on it, in every state; the controls the theme paints keep the theme's own pair.
    void textStaysReadableUnderAnyTheme_data() {
        QTest::addColumn<QPalette>("theme");
        QTest::newRow("desktop theme") << QApplication::palette();
        QTest::newRow("dark theme") << QPalette(QColor(53, 53, 53)); // light text on dark grounds
    }

    void textStaysReadableUnderAnyTheme() const {
        QFETCH(QPalette, theme);
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(theme);
        const CalculatorWindow window;
        QApplication::setPalette(desktop);
        const auto colour = [&](const char* name, QPalette::ColorGroup group, auto role) {
            return control(window, name)->palette().color(group, role);
        };
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5"})
                QCOMPARE(colour(name, group, QPalette::WindowText), QColor(Qt::black));
            QCOMPARE(colour("fee", group, QPalette::Text), QColor(Qt::black));
            for (const auto role : {QPalette::Text, QPalette::Base})
                QCOMPARE(colour("amount", group, role), theme.color(group, role));
            for (const auto role : {QPalette::ButtonText, QPalette::Button})
                QCOMPARE(colour("Command1", group, role), theme.color(group, role));
        }
    }

    // The room a widget's style gives its text, frames aside.
    static QRect textRoom(QWidget* widget) {
        if (qobject_cast<QLineEdit*>(widget) != nullptr) {
            QStyleOptionFrame frame;
            frame.initFrom(widget);
            frame.lineWidth = widget->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            return widget->style()->subElementRect(QStyle::SE_LineEditContents, &frame, widget);
        }
        if (qobject_cast<QPushButton*>(widget) != nullptr) {
            QStyleOptionButton button;
            button.initFrom(widget);
            return widget->style()->subElementRect(QStyle::SE_PushButtonContents, &button, widget);
        }
        return widget->contentsRect();
    }
    // The dark pixels a widget draws in its text room: the text, on every ground a text of the
    // window stands on.
    static int ink(QWidget* widget) {
        const QImage image =
            widget->grab(textRoom(widget)).toImage().convertToFormat(QImage::Format_RGB32);
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
        }
        return dark;
    }

    // A caption starts at the top of its box, as the other windows draw theirs: where the box is
    // taller than the caption's line, the room is left below the text, not shared around it.
    void captionsStartAtTheTopOfTheirBoxes() {
        int checked = 0;
        for (auto* label : m_window->findChildren<QLabel*>()) {
            if (!label->pixmap().isNull() ||
                QFontMetrics(label->font()).height() >= label->height())
                continue;
            const QImage image = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
            int top = -1, bottom = -1; // the first and last rows with text in them
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (qGray(image.pixel(x, y)) < 96) {
                        top = top < 0 ? y : top;
                        bottom = y;
                        break;
                    }
                }
            }
            QVERIFY2(top >= 0 && top < image.height() - 1 - bottom,
                     qPrintable(label->objectName() +
                                QStringLiteral(" has as much room above its text as below")));
            ++checked;
        }
        QVERIFY(checked > 0);
    }

    // The desktop font made smaller while the window is open, then twice its size, then put back:
    // the window follows each change, as one opened then would. Qt tells the windows of a change
    // in a posted event. The fields hold letters that reach below the line, and no cursor.
    void followsTheDesktopFont() {
        for (QLineEdit* field : m_window->findChildren<QLineEdit*>())
            field->setText(QStringLiteral("gjpqy"));
        m_window->focusWidget()->clearFocus();
        const QFont desktop = QApplication::font();
        QFont small = desktop;
        small.setPixelSize(8);
        QFont large = desktop;
        large.setPixelSize(2 * desktopPixels());
        const auto restore = qScopeGuard([&desktop] { QApplication::setFont(desktop); });
        std::map<QWidget*, int> atDesktopSize;
        for (QWidget* widget : m_window->findChildren<QWidget*>())
            atDesktopSize[widget] = widget->font().pixelSize();
        for (const auto& [font, boxesHoldIt] :
             {std::pair{small, true}, std::pair{large, false}, std::pair{desktop, true}}) {
            QApplication::setFont(font);
            QCoreApplication::processEvents();
            expectFitted(boxesHoldIt);
            // A larger desktop font makes no text smaller.
            for (const auto& [widget, pixels] : atDesktopSize)
                QVERIFY(boxesHoldIt || widget->font().pixelSize() >= pixels);
        }
    }

    // A drop the field refuses is refused to the program it comes from too, which would delete
    // a text it moved.
    void refusedDropStaysWithItsSource() {
        QtDriver driver(*m_window);
        QMimeData data;
        data.setText(QString(4001, u'9'));
        auto* field = control<QLineEdit>(*m_window, "gprice");
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(field, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(field, &drop);
        QVERIFY(!drop.isAccepted());
        QCOMPARE(driver.reports().size(), std::size_t{1});
    }

    void textsShowWholeAndFieldsUseTheDesktopSize() { expectFitted(true); }

private:
    // The desktop font's points at the 96 dpi the boxes are laid out for, whatever density the
    // screen reports (a headless weston's is not 96).
    static int desktopPixels() {
        const QFont font = QApplication::font();
        return font.pixelSize() > 0 ? font.pixelSize() : qRound(font.pointSizeF() * 96.0 / 72.0);
    }

    // Each control draws as much of its text in its own box as in one three times as large. The
    // fields take the desktop font's size where their boxes hold it, and a smaller one where not.
    void expectFitted(bool boxesHoldIt) const {
        const int desktop = desktopPixels();
        for (QWidget* widget : m_window->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(widget);
            if (label != nullptr && !label->pixmap().isNull())
                continue;
            if (qobject_cast<QLineEdit*>(widget) != nullptr && boxesHoldIt)
                QCOMPARE(widget->font().pixelSize(), desktop);
            else
                QVERIFY(widget->font().pixelSize() <= desktop);
            // A field's whole line fits its text room, where a glyph may not fill it.
            if (qobject_cast<QLineEdit*>(widget) != nullptr)
                QVERIFY2(QFontMetrics(widget->font()).height() <= textRoom(widget).height(),
                         qPrintable(widget->objectName() + QStringLiteral("'s line is too tall")));
            const QRect box = widget->geometry();
            const int shown = ink(widget);
            widget->resize(box.size() * 3);
            const int whole = ink(widget);
            widget->setGeometry(box);
            // Anti-aliasing shades a glyph's edge a little differently at another offset.
            QVERIFY2(shown * 100 >= whole * 97,
                     qPrintable(QStringLiteral("%1 shows %2 of its %3 dark pixels")
                                    .arg(widget->objectName())
                                    .arg(shown)
                                    .arg(whole)));
        }
        // No text is smaller than it need be: below the desktop's size, one pixel more would not
        // fit the room the style gives one of the texts that share its size.
        std::map<const QMetaObject*, std::pair<int, bool>> groups; // size, whether one more fits
        for (QWidget* widget : m_window->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(widget);
            if (label != nullptr && !label->pixmap().isNull())
                continue;
            QFont larger = widget->font();
            larger.setPixelSize(larger.pixelSize() + 1);
            const QFontMetrics metrics(larger);
            QRect room = textRoom(widget);
            QString text = label != nullptr ? label->text() : QString();
            if (const auto* button = qobject_cast<QPushButton*>(widget)) {
                // The whitespace the style keeps between a button's label and its frame.
                const int margin = widget->style()->pixelMetric(QStyle::PM_ButtonMargin);
                room.adjust(margin, 0, -margin, 0);
                text = button->text();
            }
            auto& [size, fits] = groups.try_emplace(widget->metaObject(), 0, true).first->second;
            size = widget->font().pixelSize();
            fits = fits && metrics.horizontalAdvance(text) <= room.width() &&
                   metrics.height() <= room.height();
        }
        for (const auto& [kind, group] : groups)
            QVERIFY2(group.first >= desktop || !group.second,
                     qPrintable(QStringLiteral("the %1s' %2 px would fit one pixel larger")
                                    .arg(QString::fromUtf8(kind->className()))
                                    .arg(group.first)));
    }
};

QTEST_MAIN(CalculatorWindowTest)
#include "CalculatorWindowTest.moc"
