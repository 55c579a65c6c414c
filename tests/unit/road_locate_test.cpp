#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "road/locate.h"

namespace velmora::road {
namespace {

constexpr double kPi = std::numbers::pi;

struct Road {
  const char* name;
  std::vector<ElementInput> elements;
  double offset;  // the largest offset tried: 100 or half the smallest radius
};

// Consecutive elements from station 0 at `start` in direction `azimuth`:
// {length, start radius, end radius} each.
std::vector<ElementInput> Chain(Point start, double azimuth,
                                std::vector<std::array<double, 3>> elements) {
  std::vector<ElementInput> inputs;
  double station = 0;
  for (const auto& [length, from, to] : elements) {
    ElementInput input{station, station + length, from, to, {}, {}};
    station += length;
    inputs.push_back(input);
  }
  inputs[0].start = start;
  inputs[0].start_azimuth = azimuth;
  return inputs;
}

const std::vector<Road>& Roads() {
  static const std::vector<Road> roads = {
      {"highway on the grid",
       Chain({4500000, 39500000}, 1.0,
             {{{300, 0, 0},
               {150, 0, 600},
               {400, 600, 600},
               {200, 600, -800},
               {300, -800, -800},
               {100, -800, 0},
               {500, 0, 0}}}),
       100},
      {"tight turns",
       Chain({10, 20}, 4.0,
             {{{50, 0, 0},
               {20, 0, 10},
               {10, 10, 10},
               {20, 10, -10},
               {10, -10, -10},
               {20, -10, 0},
               {50, 0, 0}}}),
       5},
      {"long flat spiral", Chain({4500000, 39500000}, 6.0, {{{10000, 1e5, 2e4}, {200, 0, 0}}}),
       100},
      {"due east and west: normals due north and south",
       Chain({0, 0}, kPi / 2,
             {{{100, 0, 0}, {100 * kPi, 100, 100}, {100, 0, 0}, {50 * kPi, -50, -50}}}),
       25},
  };
  return roads;
}

Alignment Build(const Road& road) {
  std::string error;
  const auto built = BuildAlignment(road.elements, {}, {}, error);
  EXPECT_TRUE(built) << road.name << ": " << error;
  return built->alignment;
}

TEST(RoadLocateTest, PointsComeBackToTheirStationAndOffset) {
  double worst = 0.0;
  SearchCost cost;
  for (const Road& road : Roads()) {
    const Alignment alignment = Build(road);
    const Locator locator(alignment);
    std::vector<double> stations;
    for (const Element& e : alignment.elements()) {
      for (double share : {0.0, 1e-9, 0.1234, 0.5, 0.9, 1 - 1e-9}) {
        stations.push_back(e.start_station + share * e.Length());
      }
    }
    stations.push_back(alignment.End());
    for (double station : stations) {
      const std::size_t index = *alignment.ElementAt(station);
      for (double share : {0.0, 0.37, -0.61, 1.0, -1.0}) {
        const double offset = share * road.offset;
        const Point point = *PointAt(alignment.elements()[index], station, offset);
        const auto found = locator.Locate(point);
        cost.feet += found.cost.feet;
        cost.steps += found.cost.steps;
        ASSERT_TRUE(found.location) << road.name << " " << station << " " << offset;
        const double error = std::fmax(std::fabs(found.location->distance - station),
                                       std::fabs(found.location->offset - offset));
        EXPECT_LT(error, 1e-6) << road.name << " at " << station << " offset " << offset
                               << ": found " << found.location->distance << ", "
                               << found.location->offset;
        worst = std::fmax(worst, error);
      }
    }
  }
  // Newton's method from the bracket's secant closes on a foot in five or
  // six steps; halvings of the bracket down to 1e-11 take near thirty.
  EXPECT_LE(cost.steps, 8 * cost.feet);
  std::printf("worst round trip error: %.3g, %d steps for %d feet\n", worst, cost.steps, cost.feet);
}

TEST(RoadLocateTest, PointsBeyondTheEndsOrTooFarAreRefused) {
  // The highway turns less than a right angle from its start or its end:
  // points before the one and beyond the other have no foot anywhere.
  const Alignment alignment = Build(Roads()[0]);
  const Locator locator(alignment);
  const Element& first = alignment.elements().front();
  const Element& last = alignment.elements().back();
  const double before = first.start_azimuth + kPi;
  const double after = last.start_azimuth;
  struct Case {
    Point point;
    std::optional<double> max_offset;
    std::optional<Refusal> refusal;  // none: located
  };
  const auto moved = [](Point p, double azimuth, double by) {
    return Point{p.x + by * std::cos(azimuth), p.y + by * std::sin(azimuth)};
  };
  const Point start = first.start;
  const Point end = *PointAt(last, last.end_station);
  const std::vector<Case> cases = {
      {moved(start, before, 1e-3), {}, Refusal::kBeforeStart},
      {moved(*PointAt(first, 0, 3), before, 0.5), {}, Refusal::kBeforeStart},
      {*PointAt(first, 0, 3), {}, {}},
      {moved(end, after, 1e-3), {}, Refusal::kBeyondEnd},
      {moved(end, after, 5e-7), {}, Refusal::kBeyondEnd},
      {moved(*PointAt(last, last.end_station, -2), after, 40), {}, Refusal::kBeyondEnd},
      {*PointAt(last, last.end_station, -2), {}, {}},
      {*PointAt(first, 25, 4), 3.9, Refusal::kTooFar},
      {*PointAt(first, 25, -4), 4.1, {}},
  };
  for (const Case& c : cases) {
    const auto found = locator.Locate(c.point, c.max_offset);
    EXPECT_EQ(found.location.has_value(), !c.refusal) << c.point.x << " " << c.point.y;
    if (c.refusal) {
      EXPECT_EQ(found.refusal, *c.refusal) << c.point.x << " " << c.point.y;
    }
  }
  EXPECT_FALSE(locator.Locate({NAN, 0}).location);
}

TEST(RoadLocateTest, OnAHairpinTheNearerLegWins) {
  // North 100 from the origin, a half turn left of radius 20, south 100:
  // the legs run along y = 0 and y = -40.
  const Alignment alignment =
      Build({"hairpin", Chain({0, 0}, 0, {{{100, 0, 0}, {20 * kPi, -20, -20}, {100, 0, 0}}}), 0});
  const Locator locator(alignment);
  const double back = 100 + 20 * kPi;
  struct Case {
    Point point;
    double distance;
    double offset;
  };
  const std::vector<Case> cases = {
      {{50, -10}, 50, -10},
      {{50, -30}, back + 50, -10},
      {{50, -20}, 50, -20},              // halfway between: the lower station
      {{100, -20}, 100, -20},            // the centre of the turn, as near as both legs' ends
      {{130, -20}, 100 + 10 * kPi, 10},  // inside the turn, beyond its centre
      {{50, 5}, 50, 5},
      {{50, -45}, back + 50, 5},
  };
  for (const Case& c : cases) {
    const auto found = locator.Locate(c.point);
    ASSERT_TRUE(found.location) << c.point.x << " " << c.point.y;
    EXPECT_NEAR(found.location->distance, c.distance, 1e-6) << c.point.x << " " << c.point.y;
    EXPECT_NEAR(found.location->offset, c.offset, 1e-6) << c.point.x << " " << c.point.y;
  }
}

// A point with a foot is located there, however much nearer an end of the
// road is. North 100 from the origin, a half turn left of radius 20, south
// `back` (legs along y = 0 and y = -40): a point just before the start has
// its foot on the leg back; one just beyond the end, on the leg out.
TEST(RoadLocateTest, AFootBeatsANearerEnd) {
  struct Case {
    double back;
    Point point;
    double distance;
    double offset;
  };
  const double turn = 100 + 20 * kPi;
  const std::vector<Case> cases = {
      {110, {-1, -3}, turn + 101, -37},
      {90, {9, -37}, 9, -37},
  };
  for (const Case& c : cases) {
    const Alignment alignment = Build(
        {"hairpin", Chain({0, 0}, 0, {{{100, 0, 0}, {20 * kPi, -20, -20}, {c.back, 0, 0}}}), 0});
    const auto found = Locator(alignment).Locate(c.point);
    ASSERT_TRUE(found.location) << c.back;
    EXPECT_NEAR(found.location->distance, c.distance, 1e-9) << c.back;
    EXPECT_NEAR(found.location->offset, c.offset, 1e-9) << c.back;
  }
}

// 220 spirals of 10 km each between radius 10 and 20, alternately widening
// and tightening: 165 000 radians of turning coiled within 40 m. Every
// point of the centre line comes back to its own station.
TEST(RoadLocateTest, ARoadCoiledThousandsOfTimesIsSearchedWhole) {
  std::vector<std::array<double, 3>> spirals;
  for (int i = 0; i < 220; ++i) {
    spirals.push_back({1e4, i % 2 == 0 ? 10.0 : 20.0, i % 2 == 0 ? 20.0 : 10.0});
  }
  const Alignment alignment = Build({"coil", Chain({0, 0}, 0, spirals), 0});
  const Locator locator(alignment);
  int wrong = 0;
  for (int i = 0; i < 300; ++i) {
    const double station = std::fmod(i * 7333.37, alignment.End());
    const Point point = *alignment.PointAt(*alignment.ElementAt(station), station);
    const auto found = locator.Locate(point);
    const bool right = found.location && std::fabs(found.location->distance - station) < 1e-6 &&
                       std::fabs(found.location->offset) < 1e-6;
    EXPECT_TRUE(right || ++wrong > 1) << "station " << station;  // the first one told
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace velmora::road
