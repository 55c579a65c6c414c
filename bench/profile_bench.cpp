// Timings of the vertical profile: design elevations along a 50 km road
// with 500 PVIs, and offset elevations with a superelevated stretch.
#include <benchmark/benchmark.h>

#include <vector>

#include "road/profile.h"

namespace velmora::road {
namespace {

// 50 km, a PVI every 100 (500 of them, by turns a parabola and a circle of
// radius 800), grades between -4 % and +4 %, elevations near 1500.
const Profile& Road() {
  static const Profile road = [] {
    std::vector<ProfilePoint> points = {{0, 1500}};
    for (int i = 1; i <= 501; ++i) {
      const double grade = (i % 2 == 0 ? 0.04 : -0.035) + 0.002 * (i % 5);
      points.push_back({100.0 * i, points.back().elevation + 100 * grade,
                        i % 4 < 2 ? VerticalCurveKind::kRadius : VerticalCurveKind::kCircle, 800});
    }
    points.back().curve = VerticalCurveKind::kNone;
    ProfileError error;
    return *BuildProfile(points, error);
  }();
  return road;
}

// Stations in a scattered order, so the binary search is not helped by
// the cache.
void Elevation(benchmark::State& state) {
  const Profile& road = Road();
  double station = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(road.ElevationAt(station));
    station += 7919.37;
    if (station > 50100) {
      station -= 50100;
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(Elevation);

void OffsetElevation(benchmark::State& state) {
  const Profile& road = Road();
  ProfileError error;
  const std::vector<CrossSlope> given = {
      {1000, -2, -2}, {1050, 4, -4}, {1250, 4, -4}, {1300, -2, -2}};
  const CrossSlopes slopes = *BuildCrossSlopes(given, error);
  double station = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(DesignElevation(road, slopes, station, -3.75));
    station += 7.37;
    if (station > 2000) {
      station = 0;
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(OffsetElevation);

}  // namespace
}  // namespace velmora::road

BENCHMARK_MAIN();
