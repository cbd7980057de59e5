// What a huge paste costs the window, offscreen: the peak memory it adds and the longest pause
// it causes, for the paste itself and for the typing, cursor moves and repaints after it.
// Prints figures; times nothing against a limit.
//   paste_benchmark [characters ...]   (default: 10 1000000 10000000)
#include "ui/qt/CalculatorWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// A line of /proc/self/status in KiB: VmRSS now, VmHWM the peak so far.
long statusKiB(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(static_cast<qsizetype>(std::char_traits<char>::length(key)))
                .trimmed()
                .split(' ')
                .first()
                .toLong();
    }
    return -1;
}

// Resets the peak to the current size, so each paste is measured on its own.
void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double millisecondsOf(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void measure(qsizetype characters) {
    halvern::qt::CalculatorWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::puts("the window was never exposed");
        std::exit(1);
    }
    auto* amount = window.findChild<QLineEdit*>(QStringLiteral("amount"));
    amount->setFocus();
    QApplication::clipboard()->setText(QString(characters, QLatin1Char('7')));
    QCoreApplication::processEvents();

    resetPeak();
    const long before = statusKiB("VmRSS:");
    const double paste = millisecondsOf([&] {
        QTest::keyClick(amount, Qt::Key_V, Qt::ControlModifier);
        amount->repaint();
    });
    // Then as a user goes on: a few keys, cursor moves and the blinking cursor's repaints.
    double longest = 0.0;
    for (const Qt::Key key :
         {Qt::Key_1, Qt::Key_Home, Qt::Key_End, Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Right}) {
        longest = std::max(longest, millisecondsOf([&] {
                               QTest::keyClick(amount, key);
                               amount->repaint();
                           }));
    }
    const long added = statusKiB("VmHWM:") - before;
    std::printf("%10lld characters: field holds %7lld, paste %8.2f ms, longest pause after "
                "%7.2f ms, peak memory added %8.1f MiB\n",
                static_cast<long long>(characters), static_cast<long long>(amount->text().size()),
                paste, longest, static_cast<double>(added) / 1024.0);
    QApplication::clipboard()->clear();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QApplication app(argc, argv);
    std::vector<qsizetype> sizes;
    for (const QString& argument : QCoreApplication::arguments().mid(1))
        sizes.push_back(argument.toLongLong());
    if (sizes.empty())
        sizes = {10, 1'000'000, 10'000'000};
    for (const qsizetype size : sizes)
        measure(size);
    return 0;
}
