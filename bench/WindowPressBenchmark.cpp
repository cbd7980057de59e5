// One press through the real window on Qt's offscreen platform: from the click on "Calculate
// fee" to the final text in the fee field, and the same with the fee field repainted.
#include "ui/qt/CalculatorWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

void pressInWindow(benchmark::State& state, const char* amount, bool repaint) {
    halvern::qt::CalculatorWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        state.SkipWithError("the window was never exposed");
    auto* button = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    auto* fee = window.findChild<QLineEdit*>(QStringLiteral("fee"));
    window.findChild<QLineEdit*>(QStringLiteral("amount"))->setText(QString::fromUtf8(amount));
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores): the library's idiom
        QTest::mouseClick(button, Qt::LeftButton);
        if (repaint)
            fee->repaint();
        benchmark::DoNotOptimize(fee->text());
    }
}

BENCHMARK_CAPTURE(pressInWindow, oneDollarFee, "100", false);
BENCHMARK_CAPTURE(pressInWindow, flatRow, "10", false);
BENCHMARK_CAPTURE(pressInWindow, oneDollarFeeRepainted, "100", true);

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
