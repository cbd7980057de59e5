// The window's wiring on Qt's offscreen platform: what a user sees at start, where the focus
// goes, what a press and an error do, and where every control stands.
#include "ui/qt/CalculatorWindow.h"

#include "WhatUsersSee.h"
#include "WindowCases.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <string_view>

namespace {

using halvern::qt::CalculatorWindow;

// Closes the next modal message box as soon as it shows, keeping its text and format.
class MessageBoxCloser {
public:
    MessageBoxCloser() {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return; // not up yet
            m_timer.stop();
            seen = true;
            text = box->text();
            format = box->textFormat();
            icon = box->icon();
            title = box->windowTitle();
            owner = box->parentWidget();
            buttons = static_cast<int>(box->buttons().size());
            box->accept();
        });
        m_timer.start();
    }

    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    const QWidget* owner = nullptr;
    int buttons = 0;
    bool seen = false;

private:
    QTimer m_timer;
};

// The WCAG contrast ratio of two colours, from their relative luminances.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A dark desktop theme's colours: light text on dark grounds.
QPalette darkPalette() {
    QPalette dark(QColor(53, 53, 53));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(238, 238, 236));
    dark.setColor(QPalette::Base, QColor(45, 45, 45));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(145, 145, 144));
    dark.setColor(QPalette::Inactive, QPalette::WindowText, QColor(200, 200, 200));
    return dark;
}

} // namespace

class CalculatorWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CalculatorWindow> m_window;

    template <typename T>
    T* control(const char* name) const {
        auto* widget = m_window->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr)
            qFatal("no control %s", name);
        return widget;
    }
    QLineEdit* field(const char* name) const { return control<QLineEdit>(name); }

    // Whether the platform's clipboard holds `text` once set: a seatless Wayland compositor
    // has no clipboard at all.
    static bool onClipboard(const QString& text) {
        QApplication::clipboard()->setText(text);
        return QApplication::clipboard()->text() == text;
    }
    QPushButton* button() const { return control<QPushButton>("Command1"); }

private slots:
    void init() {
        m_window = std::make_unique<CalculatorWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void pressShowsTheFee_data() {
        QTest::addColumn<int>("key"); // 0: a mouse click
        QTest::newRow("click") << 0;
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("enter") << int(Qt::Key_Enter);
        QTest::newRow("return") << int(Qt::Key_Return);
    }

    void pressShowsTheFee() {
        QFETCH(int, key);
        QTest::keyClicks(field("amount"), "100");
        field("fee")->setText("typed before the press");
        if (key == 0) {
            QTest::mouseClick(button(), Qt::LeftButton);
        } else {
            QTest::keyClick(field("amount"), Qt::Key_Tab);
            QCOMPARE(m_window->focusWidget(), button());
            QTest::keyClick(button(), Qt::Key(key));
        }
        QCOMPARE(field("fee")->text(), QStringLiteral("1"));
    }

    // A fee wider than its field is shown from its first digit: from its end it would read as a
    // smaller sum.
    void aLongFeeReadsFromItsFirstDigit() {
        field("amount")->setText("1234567890123");
        QTest::mouseClick(button(), Qt::LeftButton);
        QLineEdit* fee = field("fee");
        QCOMPARE(fee->text(), QStringLiteral("12345678901.23"));
        QVERIFY(fee->fontMetrics().horizontalAdvance(fee->text()) > fee->width());
        QCOMPARE(fee->cursorPosition(), 0);
        QVERIFY(fee->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() < fee->width() / 4);
    }

    // A spreadsheet's cell or a terminal's line comes with a line break, which a paste leaves
    // behind; one inside the text stays, for the report to show.
    // A paste goes in at the cursor, over the selection if there is one, as one edit.
    void pastesLeaveTrailingLineBreaksBehind_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("from"); // the selection, or the cursor where it is empty
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("after");
        QTest::newRow("CR LF") << "" << 0 << 0 << "100\r\n"
                               << "100";
        QTest::newRow("LF") << "" << 0 << 0 << "100\n"
                            << "100";
        QTest::newRow("several") << "" << 0 << 0 << "100\r\n\n\r"
                                 << "100";
        QTest::newRow("inside") << "" << 0 << 0 << "1\r\n2"
                                << "1\u20282";
        QTest::newRow("at the cursor") << "12" << 1 << 0 << "3\r\n"
                                       << "132";
        QTest::newRow("over the selection") << "1009" << 1 << 2 << "5\n"
                                            << "159";
    }

    void pastesLeaveTrailingLineBreaksBehind() {
        QFETCH(QString, before);
        QFETCH(int, from);
        QFETCH(int, length);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        if (!onClipboard(pasted))
            QSKIP("this platform has no clipboard here");
        QLineEdit* amount = field("amount");
        amount->setText(before);
        amount->setSelection(from, length);
        amount->setCursorPosition(from + length);
        if (length > 0)
            amount->setSelection(from, length);
        QTest::keyClick(amount, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(amount->text(), after);
        // Undone as one edit: the field is as it was.
        QTest::keyClick(amount, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(amount->text(), before);
    }

    void enterInAFieldPressesNothing() {
        QTest::keyClicks(field("amount"), "100");
        for (const char* name : {"amount", "gprice", "fee"}) {
            QTest::keyClick(field(name), Qt::Key_Return);
            QTest::keyClick(field(name), Qt::Key_Enter);
        }
        QCOMPARE(field("fee")->text(), QString());
    }

    void errorsReachTheUserAndTheWindowGoesOn_data() {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("gprice");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // the field to put right, if any
        for (const halvern::testing::ErrorCase& error : halvern::testing::errorCases) {
            QTest::newRow(error.name)
                << QString(error.amount) << QString(error.gprice) << QString(error.words)
                << QString(error.focus != nullptr ? error.focus : "");
        }
    }

    void errorsReachTheUserAndTheWindowGoesOn() {
        QFETCH(QString, amount);
        QFETCH(QString, gprice);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        field("amount")->setText(amount);
        field("gprice")->setText(gprice);
        field("fee")->setText("before");

        const MessageBoxCloser closer;
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY(closer.seen);
        QVERIFY2(closer.text.contains(message), qPrintable(closer.text));
        QCOMPARE(closer.format, Qt::PlainText);
        QCOMPARE(closer.icon, QMessageBox::Critical);
        QCOMPARE(closer.title, QStringLiteral("Halvern Fee Calculator"));
        QCOMPARE(closer.owner, m_window.get());
        QCOMPARE(closer.buttons, 1);
        QCOMPARE(field("fee")->text(), QStringLiteral("before"));
        QCOMPARE(field("amount")->text(), amount);
        QCOMPARE(field("gprice")->text(), gprice);
        if (!focus.isEmpty()) {
            QCOMPARE(m_window->focusWidget(), field(qPrintable(focus)));
            QCOMPARE(field(qPrintable(focus))->selectedText(), field(qPrintable(focus))->text());
        }

        // The window is still there and working.
        QVERIFY(m_window->isVisible());
        field("amount")->setText("10");
        field("gprice")->setText("550");
        QTest::mouseClick(button(), Qt::LeftButton);
        QCOMPARE(field("fee")->text(), QStringLiteral("0.18"));
    }

    // The window as users saw it (what-users-see.tsv): each control's kind, box, text, fixed
    // colour and whether Tab stops at it; the window's name, size, title and colour; Tab and
    // Shift+Tab round the controls in their order from the focus at start.
    void looksAsUsersSawIt() {
        const auto seen = halvern::testing::whatUsersSee();
        for (const halvern::testing::SeenControl& row : seen) {
            const QString text = QString::fromStdString(row.text);
            QWidget* widget = m_window.get();
            QPalette::ColorRole ground = QPalette::Window;
            if (row.kind == "window") {
                QCOMPARE(m_window->objectName(), QString::fromStdString(row.name));
                QCOMPARE(m_window->size(), QSize(row.width, row.height));
                QCOMPARE(m_window->minimumSize(), m_window->maximumSize()); // a fixed size
                QCOMPARE(m_window->windowTitle(), text);
            } else {
                widget = control<QWidget>(row.name.c_str());
                QCOMPARE(widget->geometry(), QRect(row.left, row.top, row.width, row.height));
                QCOMPARE(widget->focusPolicy() != Qt::NoFocus, row.tabPlace != 0);
            }
            if (row.kind == "field") {
                QVERIFY(qobject_cast<QLineEdit*>(widget) != nullptr);
                QCOMPARE(qobject_cast<QLineEdit*>(widget)->text(), text);
                ground = QPalette::Base;
            } else if (row.kind == "button") {
                QCOMPARE(qobject_cast<QPushButton*>(widget)->text(), text);
            } else if (row.kind == "label") {
                QCOMPARE(qobject_cast<QLabel*>(widget)->text(), text);
            } else if (row.kind == "picture") {
                QVERIFY(!qobject_cast<QLabel*>(widget)->pixmap().isNull());
            }
            if (row.background)
                QCOMPARE(widget->palette().color(ground),
                         QColor(row.red(), row.green(), row.blue()));
        }
        QVERIFY(!m_window->windowIcon().isNull());

        const std::vector<std::string> order = halvern::testing::tabOrder(seen);
        const auto focused = [this] {
            return m_window->focusWidget()->objectName().toStdString();
        };
        QCOMPARE(focused(), order.front());
        for (std::size_t step = 1; step <= order.size(); ++step) {
            QTest::keyClick(m_window->focusWidget(), Qt::Key_Tab);
            QCOMPARE(focused(), order.at(step % order.size()));
        }
        for (std::size_t step = order.size(); step-- > 0;) {
            QTest::keyClick(m_window->focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(focused(), order.at(step));
        }
        // A click puts the focus in a field too (a click on the button would press it).
        for (const halvern::testing::SeenControl& row : seen) {
            if (row.kind != "field")
                continue;
            QTest::mouseClick(field(row.name.c_str()), Qt::LeftButton);
            QCOMPARE(focused(), row.name);
        }

        // And as drawn: bare window, the fee's inside, and the logo's transparent corner.
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
        const QPixmap logo = control<QLabel>("Image1")->pixmap();
        QCOMPARE(logo.deviceIndependentSize(), QSizeF(105, 45));
        const qreal ratio = m_window->devicePixelRatioF();
        QCOMPARE(logo.size(), ratio > 1.0 ? QSize(210, 90) : QSize(105, 45));

        const QIcon icon = m_window->windowIcon();
        QList<QSize> expected = {{16, 16}, {32, 32}, {48, 48}, {64, 64}};
        if (ratio >= 2.0)
            expected.append(QSize(128, 128));
        QList<QSize> offered = icon.availableSizes();
        std::sort(offered.begin(), offered.end(),
                  [](QSize a, QSize b) { return a.width() < b.width(); });
        offered.erase(std::unique(offered.begin(), offered.end()), offered.end());
        QCOMPARE(offered, expected);
        for (const QSize& size : expected) {
            const QImage image = icon.pixmap(size, 1.0).toImage();
            QCOMPARE(image.size(), size);
            QVERIFY(image.hasAlphaChannel());
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0); // a corner the window does not cover
            QCOMPARE(image.pixelColor(size.width() / 2, size.height() / 2),
                     QColor(Qt::white)); // its body
        }
    }

    // Under a light and a dark theme, every text on a colour the window fixes is black on it,
    // in every state; controls the theme paints keep the theme's own pair.
    void textStaysReadableUnderAnyTheme_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("desktop theme") << false;
        QTest::newRow("dark theme") << true;
    }

    void textStaysReadableUnderAnyTheme() const {
        QFETCH(bool, dark);
        // The desktop's palette comes back however the test ends: a failed comparison returns
        // early, and the tests after it must not run under the dark one.
        struct Restore {
            QPalette previous = QApplication::palette();
            Restore() = default;
            Restore(const Restore&) = delete;
            Restore& operator=(const Restore&) = delete;
            Restore(Restore&&) = delete;
            Restore& operator=(Restore&&) = delete;
            ~Restore() { QApplication::setPalette(previous); }
        } const restore;
        if (dark)
            QApplication::setPalette(darkPalette());
        CalculatorWindow window;
        const auto paletteOf = [&](const char* name) {
            return window.findChild<QWidget*>(QString::fromLatin1(name))->palette();
        };
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            // Text on a colour the window fixes: the captions on the window's, the fee on grey.
            for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "fee"}) {
                const bool field = name == std::string_view("fee");
                const QColor text =
                    paletteOf(name).color(group, field ? QPalette::Text : QPalette::WindowText);
                const QColor ground =
                    paletteOf(name).color(group, field ? QPalette::Base : QPalette::Window);
                QVERIFY2(contrast(text, ground) >= 7.0,
                         qPrintable(
                             QStringLiteral("%1: %2 on %3").arg(name, text.name(), ground.name())));
            }
            // What the theme paints keeps the theme's own pair.
            for (const auto role : {QPalette::Text, QPalette::Base})
                QCOMPARE(paletteOf("amount").color(group, role),
                         QApplication::palette().color(group, role));
            for (const auto role : {QPalette::ButtonText, QPalette::Button})
                QCOMPARE(paletteOf("Command1").color(group, role),
                         QApplication::palette().color(group, role));
        }
    }

    // A field takes every edit up to the bound and refuses, whole, one that would pass it,
    // and says so, whichever way the text comes.
    void editsPastTheBoundAreRefusedWhole_data() {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("name");
        QTest::newRow("Ctrl+V") << "keyboard"
                                << "amount";
        QTest::newRow("Shift+Insert into the gold price") << "Shift+Insert"
                                                          << "gprice";
        QTest::newRow("context menu") << "menu"
                                      << "amount";
        QTest::newRow("drop") << "drop"
                              << "amount";
    }

    void editsPastTheBoundAreRefusedWhole() {
        QFETCH(QString, route);
        QFETCH(QString, name);
        if (route != "drop" && !onClipboard(QStringLiteral("probe")))
            QSKIP("this platform has no clipboard here");
        QLineEdit* amount = field(qPrintable(name));
        const auto bring = [&](const QString& text) {
            if (route == "drop") {
                QMimeData data;
                data.setText(text);
                // Qt delivers a drop only to the widget the drag entered.
                QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                      Qt::NoModifier);
                QApplication::sendEvent(amount, &enter);
                QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                Qt::NoModifier);
                QApplication::sendEvent(amount, &drop);
                return;
            }
            QVERIFY(onClipboard(text));
            if (route == "keyboard") {
                QTest::keyClick(amount, Qt::Key_V, Qt::ControlModifier);
                return;
            }
            if (route == "Shift+Insert") {
                QTest::keyClick(amount, Qt::Key_Insert, Qt::ShiftModifier);
                return;
            }
            // Picks Paste in the menu once it is up, where the pointer was.
            const QPoint pointer = amount->mapToGlobal(QPoint(5, 5));
            QPoint shownAt;
            QTimer picker;
            QObject::connect(&picker, &QTimer::timeout, [&picker, &shownAt] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (menu == nullptr)
                    return;
                picker.stop();
                shownAt = menu->pos();
                menu->findChild<QAction*>(QStringLiteral("edit-paste"))->trigger();
                menu->close();
            });
            picker.start(0);
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), pointer);
            QApplication::sendEvent(amount, &event);
            QCOMPARE(shownAt, pointer);
        };

        amount->setText("100");
        amount->selectAll();
        {
            const MessageBoxCloser closer;
            bring(QString(4'001, QLatin1Char('9')));
            QCOMPARE(amount->text(), QStringLiteral("100"));
            QTRY_VERIFY(closer.seen);
            QCOMPARE(closer.text, QStringLiteral("Not pasted: 4,001 characters is more than a "
                                                 "field holds (4,000)."));
            QCOMPARE(closer.icon, QMessageBox::Warning);
        }

        QCOMPARE(m_window->focusWidget(), amount);
        if (route == "drop")
            return; // a drop that fits is the toolkit's own business
        const QString full(4'000, QLatin1Char('9'));
        amount->selectAll();
        bring(full);
        QCOMPARE(amount->text(), full);
        {
            const MessageBoxCloser closer;
            QTest::keyClick(amount, Qt::Key_9);
            QCOMPARE(amount->text(), full);
            QTRY_VERIFY(closer.seen);
            QCOMPARE(closer.text,
                     QStringLiteral("Not typed: a field holds at most 4,000 characters."));
        }
        QCOMPARE(m_window->focusWidget(), amount);
        QTest::keyClick(amount, Qt::Key_Backspace);
        QCOMPARE(amount->text().size(), full.size() - 1);
    }

    // Every text fits its box; the texts a user types and reads take the desktop's size.
    void textsFitTheirBoxesAndFieldsUseTheDesktopSize() {
        const QFont desktop = QApplication::font();
        const int desktopPixels = desktop.pixelSize() > 0
                                      ? desktop.pixelSize()
                                      : qRound(desktop.pointSizeF() * 96.0 / 72.0);
        for (const char* name : {"amount", "gprice", "fee"}) {
            QLineEdit* edit = field(name);
            QCOMPARE(edit->font().pixelSize(), desktopPixels);
            const int frame = 2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            QVERIFY2(edit->fontMetrics().height() <= edit->height() - frame,
                     qPrintable(QStringLiteral("%1: a %2 px line in a %3 px field")
                                    .arg(name)
                                    .arg(edit->fontMetrics().height())
                                    .arg(edit->height())));
        }
        for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5"}) {
            const QLabel* label = control<QLabel>(name);
            QVERIFY(label->font().pixelSize() <= desktopPixels);
            QVERIFY2(label->sizeHint().width() <= label->width() &&
                         label->sizeHint().height() <= label->height(),
                     name);
        }
        // The button's caption fits inside its frame and margins.
        QPushButton* press = button();
        const int frame = 2 * press->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        const int across = 2 * press->style()->pixelMetric(QStyle::PM_ButtonMargin) + frame;
        const QFontMetrics metrics(press->font());
        QVERIFY(press->font().pixelSize() <= desktopPixels);
        QVERIFY(metrics.horizontalAdvance(press->text()) <= press->width() - across);
        QVERIFY(metrics.height() <= press->height() - frame);
    }
};

QTEST_MAIN(CalculatorWindowTest)
#include "CalculatorWindowTest.moc"
