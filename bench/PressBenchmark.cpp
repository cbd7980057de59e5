// One whole press of "Calculate fee" through a plain form, for a few typical inputs.
#include "calc/FeeCalculation.h"
#include "calc/TextForm.h"

#include <benchmark/benchmark.h>

namespace {

// cppcheck-suppress constParameterCallback
void press(benchmark::State& state, const char* amount) {
    halvern::TextForm form(amount, "550");
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores): the library's idiom
        halvern::Command1_Click(form);
        benchmark::DoNotOptimize(form.feeText);
    }
}

BENCHMARK_CAPTURE(press, oneDollarFee, "100");
BENCHMARK_CAPTURE(press, flatRow, "10");
BENCHMARK_CAPTURE(press, halfCent, "20.5");
BENCHMARK_CAPTURE(press, minimumFee, "0");
BENCHMARK_CAPTURE(press, aboveRoundingRange, "12345.678");

} // namespace

BENCHMARK_MAIN();
