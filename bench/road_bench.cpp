// Timings of the road geometry: points along typical elements, a whole
// stake-out of a 20 km road and the reverse against it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "road/locate.h"
#include "road/pi.h"
#include "road/stakeout.h"

namespace velmora::road {
namespace {

// 20 km in 200 elements of 100 m: straight, spiral in, arc, spiral out,
// turning right and left by turns, at national grid coordinates.
const Alignment& Road() {
  static const Alignment road = [] {
    std::vector<ElementInput> inputs;
    double station = 0;
    for (int i = 0; i < 50; ++i) {
      const double radius = (i % 2 == 0 ? 1.0 : -1.0) * (300.0 + 25.0 * (i % 7));
      for (const auto& [from, to] :
           {std::pair{0.0, 0.0}, {0.0, radius}, {radius, radius}, {radius, 0.0}}) {
        inputs.push_back({station, station + 100, from, to, {}, {}});
        station += 100;
      }
    }
    inputs[0].start_azimuth = 0.7;
    inputs[0].start = Point{4500000, 39500000};
    std::string error;
    return BuildAlignment(inputs, {}, {}, error)->alignment;
  }();
  return road;
}

void PointOnElement(benchmark::State& state) {
  const Element& element = Road().elements()[static_cast<std::size_t>(state.range(0))];
  double station = element.start_station;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PointAt(element, station, 3.5));
    station += 0.37;
    if (station > element.end_station) {
      station = element.start_station;
    }
  }
}
BENCHMARK(PointOnElement)->Arg(0)->Arg(1)->Arg(2);  // straight, spiral, arc

void Stakeout(benchmark::State& state) {
  const Alignment& road = Road();
  std::size_t rows = 0;
  for (auto _ : state) {
    double sum = 0;
    StakeoutStations(road, 1.0, {}, [&](const StakeoutRow& row) {
      const auto pose = road.PoseAt(row.element, row.distance);
      sum += OffsetFrom(*pose, -3.5).x + OffsetFrom(*pose, 3.5).y + pose->azimuth;
      ++rows;
      return true;
    });
    benchmark::DoNotOptimize(sum);
  }
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(Stakeout)->Unit(benchmark::kMillisecond);

// A stake-out every 0.1 of one 10 km element, 100,001 rows, with offsets
// either side: a straight, a spiral from a straight into radius 10 and one
// from radius 10 to radius -20, the tightest the accuracy is stated for.
void StakeoutLongElement(benchmark::State& state) {
  static const std::pair<double, double> kRadii[] = {{0, 0}, {0, 10}, {10, -20}};
  const auto [from, to] = kRadii[state.range(0)];
  const ElementInput input{0, 10000, from, to, 0.3, Point{4500000, 39500000}};
  std::string error;
  const Alignment road = BuildAlignment(std::span(&input, 1), {}, {}, error)->alignment;
  std::size_t rows = 0;
  for (auto _ : state) {
    double sum = 0;
    StakeoutStations(road, 0.1, {}, [&](const StakeoutRow& row) {
      const auto pose = road.PoseAt(row.element, row.distance);
      sum += OffsetFrom(*pose, -3.5).x + OffsetFrom(*pose, 3.5).y + pose->azimuth;
      ++rows;
      return true;
    });
    benchmark::DoNotOptimize(sum);
  }
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(StakeoutLongElement)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void Locate(benchmark::State& state) {
  const Alignment& road = Road();
  const Locator locator(road);
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> along(road.Start(), road.End());
  std::uniform_real_distribution<double> across(-30, 30);
  std::vector<Point> points;
  for (int i = 0; i < 4096; ++i) {
    const double s = along(random);
    points.push_back(*PointAt(road.elements()[*road.ElementAt(s)], s, across(random)));
  }
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(locator.Locate(points[i++ % points.size()]));
  }
}
BENCHMARK(Locate);

// A table of 10,000 JDs 1200 apart, turning right and left by turns through
// 25° to 55°, radii 300 to 800 with spirals of 60 to 120, on the grid.
void ConvertPiTable(benchmark::State& state) {
  PiTable table;
  Point at{3500000, 500000};
  double azimuth = 0.3;
  table.points.push_back({"", at, 0, 0, 0});
  for (int i = 0; i <= 10000; ++i) {
    at = {at.x + 1200 * std::cos(azimuth), at.y + 1200 * std::sin(azimuth)};
    if (i == 10000) {
      table.points.push_back({"", at, 0, 0, 0});
      break;
    }
    table.points.push_back(
        {"", at, 300.0 + 50 * (i % 11), 60.0 + 10 * (i % 7), 60.0 + 20 * (i % 4)});
    azimuth += (i % 2 == 0 ? 1 : -1) * (25 + 3 * (i % 11)) * 0.017453292519943295;
  }
  PiError error;
  for (auto _ : state) {
    auto road = ConvertPi(table, error);
    if (!road) {
      state.SkipWithError(error.message.c_str());
      break;
    }
    benchmark::DoNotOptimize(road->end_station);
  }
}
BENCHMARK(ConvertPiTable)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::road

BENCHMARK_MAIN();
