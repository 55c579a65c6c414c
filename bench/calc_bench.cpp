// Timings of the arithmetic, the number reading and one whole Calculate
// command on the in-memory form. Not a test: nothing here passes or fails.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <string>

#include "arith/angle.h"
#include "arith/curve.h"
#include "text/numtext.h"
#include "window/calculate.h"
#include "window/memory_form.h"

namespace velmora {
namespace {

void BM_DmsToRad(benchmark::State& state) {
  const MessageBoxFn no_box = [](const std::string&, const std::string&, int) {};
  double packed = 45.3015;
  for (auto _ : state) {
    benchmark::DoNotOptimize(packed);
    benchmark::DoNotOptimize(DmsToRad(packed, no_box));
  }
}
BENCHMARK(BM_DmsToRad);

void BM_CurveAzimuth(benchmark::State& state) {
  double point = 1100;
  for (auto _ : state) {
    benchmark::DoNotOptimize(point);
    benchmark::DoNotOptimize(CurveAzimuth(1000, 1200, 500, 300, point, 0.7941975317124753));
  }
}
BENCHMARK(BM_CurveAzimuth);

void BM_RadToDms(benchmark::State& state) {
  double radians = 0.99374;
  for (auto _ : state) {
    benchmark::DoNotOptimize(radians);
    benchmark::DoNotOptimize(RadToDms(radians));
  }
}
BENCHMARK(BM_RadToDms);

// The texts of a typical element; each iteration reads one of them.
const std::array<std::string, 6> kFieldTexts = {"1000",    "1200", "500",
                                                "-300.25", "1100", "45.3015"};

// One reading of the field texts in turn per iteration.
template <typename Read>
void ReadEachText(benchmark::State& state, Read read) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(read(kFieldTexts[i]));
    i = i + 1 == kFieldTexts.size() ? 0 : i + 1;
  }
}

void BM_IsNumber(benchmark::State& state) {
  ReadEachText(state, [](const std::string& text) { return IsNumber(text); });
}
BENCHMARK(BM_IsNumber);

void BM_ValueOf(benchmark::State& state) {
  ReadEachText(state, [](const std::string& text) { return ValueOf(text); });
}
BENCHMARK(BM_ValueOf);

void BM_WholeCalculation(benchmark::State& state) {
  MemoryForm form;
  form.Fill({"1000", "1200", "500", "500", "1100", "45.3015"});
  for (auto _ : state) {
    form.Click();
    benchmark::DoNotOptimize(form[Field::Textcia]);
  }
  state.SetLabel(form[Field::Textcia]);
}
BENCHMARK(BM_WholeCalculation);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
