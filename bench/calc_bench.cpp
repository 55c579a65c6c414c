// Timings of the arithmetic, the number reading and one whole Calculate
// command on the in-memory form. Not a test: nothing here passes or fails.
#include <benchmark/benchmark.h>

#include "arith/angle.h"
#include "arith/curve.h"
#include "platform/numtext.h"
#include "tests/support/memory_form.h"
#include "window/calculate.h"
#include "window/rules.h"

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

void BM_IsNumberAndValueOf(benchmark::State& state) {
  const std::string text = "45.3015";
  for (auto _ : state) {
    benchmark::DoNotOptimize(IsNumber(text));
    benchmark::DoNotOptimize(ValueOf(text));
  }
}
BENCHMARK(BM_IsNumberAndValueOf);

void BM_WholeCalculation(benchmark::State& state) {
  testing::MemoryForm form;
  form.on_change = [](testing::MemoryForm& f, Field field) {
    if (field != Field::Textcia) {
      ChangeRule(f, field);
    }
  };
  form.Fill({"1000", "1200", "500", "500", "1100", "45.3015"});
  for (auto _ : state) {
    form.log.clear();
    Calculate(form);
    benchmark::DoNotOptimize(form.texts[6]);
  }
  state.SetLabel(form.texts[6]);
}
BENCHMARK(BM_WholeCalculation);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
