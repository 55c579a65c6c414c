#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "road/alignment.h"
#include "road/stakeout.h"

namespace velmora::road {
namespace {

// A straight, a spiral into R 300, the arc, a spiral out and a straight.
std::vector<ElementInput> Inputs() {
  return {{0, 40, 0, 0, 0.5, Point{1000, 2000}},
          {40, 100, 0, 300, {}, {}},
          {100, 180, 300, 300, {}, {}},
          {180, 240, 300, 0, {}, {}},
          {240, 300, 0, 0, {}, {}}};
}

Alignment Road() {
  std::string error;
  const auto inputs = Inputs();
  return BuildAlignment(inputs, {}, {}, error)->alignment;
}

// A straight 40 from (1000, 2000) at 0.5, an arc of R 300 and 80 (turning
// 80/300 right; its chord 600 sin(40/300), halfway round), a straight.
TEST(RoadAlignmentTest, StartsAreCarriedFromThePreviousEnd) {
  const std::vector<ElementInput> inputs = {
      {0, 40, 0, 0, 0.5, Point{1000, 2000}}, {40, 120, 300, 300, {}, {}}, {120, 180, 0, 0, {}, {}}};
  std::string error;
  const Alignment road = BuildAlignment(inputs, {}, {}, error)->alignment;
  const double turn = 80.0 / 300;
  const double chord = 600 * std::sin(turn / 2);
  const Point bend = {1000 + 40 * std::cos(0.5), 2000 + 40 * std::sin(0.5)};
  const Point out = {bend.x + chord * std::cos(0.5 + turn / 2),
                     bend.y + chord * std::sin(0.5 + turn / 2)};
  const std::vector<std::pair<Point, double>> starts = {{bend, 0.5}, {out, 0.5 + turn}};
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_NEAR(road.elements()[i].start.x, starts[i - 1].first.x, 1e-9) << i;
    EXPECT_NEAR(road.elements()[i].start.y, starts[i - 1].first.y, 1e-9) << i;
    EXPECT_NEAR(road.elements()[i].start_azimuth, starts[i - 1].second, 1e-15) << i;
  }
  // Through 60/600 + 80/300 + 60/600 radians.
  EXPECT_NEAR(Road().elements()[4].start_azimuth, 0.5 + 0.1 + 0.8 / 3 + 0.1, 1e-15);
}

// A given azimuth and the carried one differ the short way round, across
// north too. Element 2 starts 60/600 radians round from element 0.
TEST(RoadAlignmentTest, AzimuthsDifferTheShortWayRound) {
  const double second = std::numbers::pi / 648000;
  const double turn = 2 * std::numbers::pi;
  struct Case {
    double first;  // element 0's start azimuth
    double given;  // element 2's
    double angle;  // reported, 0 for none
  };
  const std::vector<Case> cases = {
      {-0.1 + 0.2 * second, turn - 0.5 * second, 0},
      {-0.1 + 0.2 * second, turn - second, -1.2 * second},
      {turn - 0.1 - 0.2 * second, 0.5 * second, 0},
      {turn - 0.1 - 0.2 * second, second, 1.2 * second},
  };
  for (const Case& c : cases) {
    auto inputs = Inputs();
    inputs[0].start_azimuth = c.first;
    inputs[2].start_azimuth = c.given;
    std::string error;
    const auto built = BuildAlignment(inputs, {}, {}, error);
    ASSERT_TRUE(built) << error;
    ASSERT_EQ(built->discrepancies.size(), c.angle == 0 ? 0u : 1u) << c.given;
    if (c.angle != 0) {
      EXPECT_NEAR(built->discrepancies[0].angle, c.angle, 1e-12);
    }
  }
}

TEST(RoadAlignmentTest, GivenStartsAreUsedAndTheirDifferencesReported) {
  const Alignment road = Road();
  const Point carried = road.elements()[2].start;
  const double azimuth = road.elements()[2].start_azimuth;
  const double second = std::numbers::pi / 648000;
  struct Given {
    Point start;
    double azimuth;
    Tolerance tolerance;
    double distance;  // reported, 0 for none
    double angle;
  };
  const std::vector<Given> cases = {
      {{carried.x + 0.002, carried.y}, azimuth, {}, 0.002, 0},
      {{carried.x, carried.y - 0.0005}, azimuth, {}, 0, 0},
      {carried, azimuth + 2 * second, {}, 0, 2 * second},
      {carried, azimuth - 2 * second, {}, 0, -2 * second},
      {carried, azimuth + 2 * std::numbers::pi + 0.5 * second, {}, 0, 0},  // a turn away
      {{carried.x + 0.003, carried.y + 0.004}, azimuth + 1e-3, {0.01, 2e-3}, 0, 0},
      {{carried.x + 0.003, carried.y + 0.004}, azimuth + 1e-3, {0.001, 1e-4}, 0.005, 1e-3},
  };
  for (const Given& given : cases) {
    auto inputs = Inputs();
    inputs[2].start = given.start;
    inputs[2].start_azimuth = given.azimuth;
    std::string error;
    const auto built = BuildAlignment(inputs, {}, given.tolerance, error);
    ASSERT_TRUE(built) << error;
    EXPECT_EQ(built->alignment.elements()[2].start.x, given.start.x);
    EXPECT_EQ(built->alignment.elements()[2].start_azimuth, given.azimuth);
    if (given.distance == 0 && given.angle == 0) {
      EXPECT_TRUE(built->discrepancies.empty());
      continue;
    }
    ASSERT_EQ(built->discrepancies.size(), 1u);
    EXPECT_EQ(built->discrepancies[0].element, 2u);
    EXPECT_NEAR(built->discrepancies[0].distance, given.distance, 1e-9);
    EXPECT_NEAR(built->discrepancies[0].angle, given.angle, 1e-12);
  }
}

TEST(RoadAlignmentTest, RefusesTablesThatDoNotMakeARoad) {
  const std::vector<std::pair<std::function<void(std::vector<ElementInput>&)>, std::string>> cases =
      {
          {[](auto& in) { in[0].start_azimuth.reset(); }, "element 0"},
          {[](auto& in) { in[0].start.reset(); }, "element 0"},
          {[](auto& in) { in[2].start_station = 100.001; }, "element 2"},
          {[](auto& in) { in[3].end_station = 180; }, "element 3"},
          {[](auto& in) { in[1].end_radius = NAN; }, "element 1"},
          {[](auto& in) {
             in[4].start = Point{INFINITY, 0};
           },
           "element 4"},
          {[](auto& in) { in[1].end_radius = 1e-309; }, "element 1"},
      };
  for (const auto& [spoil, named] : cases) {
    auto inputs = Inputs();
    spoil(inputs);
    std::string error;
    EXPECT_FALSE(BuildAlignment(inputs, {}, {}, error));
    EXPECT_EQ(error.rfind(named + ":", 0), 0u) << error;
  }
}

// Stations jump from 100 to 150 at 100 (a gap) and back from 250 to 230 at
// 200 (an overlap).
Alignment WithEquations() {
  std::string error;
  const auto inputs = Inputs();
  const std::vector<StationEquation> equations = {{100, 100, 150}, {200, 250, 230}};
  return BuildAlignment(inputs, equations, {}, error)->alignment;
}

// Stations jump from 70 to 1070 at 70 and from 1130.5 to 2000 at 130.5,
// both inside elements.
Alignment InsideElements() {
  std::string error;
  const std::vector<StationEquation> equations = {{70, 70, 1070}, {130.5, 1130.5, 2000}};
  return BuildAlignment(Inputs(), equations, {}, error)->alignment;
}

TEST(RoadAlignmentTest, StationEquations) {
  const Alignment road = WithEquations();
  const std::vector<std::pair<double, double>> shown = {{0, 0},     {50, 50},   {100, 150},
                                                        {199, 249}, {200, 230}, {300, 330}};
  for (const auto& [distance, station] : shown) {
    EXPECT_EQ(road.DisplayStation(distance), station) << distance;
  }
  const std::vector<std::pair<double, std::vector<double>>> found = {
      {50, {50}},        {120, {}},    {100, {100}}, {150, {100}}, {240, {190, 210}},
      {250, {200, 220}}, {330, {300}}, {331, {}},    {-1, {}}};
  for (const auto& [station, distances] : found) {
    EXPECT_EQ(road.DistancesOf(station), distances) << station;
  }
  // Both inside elements: later stations follow the two.
  const Alignment both = InsideElements();
  const std::vector<std::pair<double, double>> shown_both = {
      {69, 69}, {70, 1070}, {100, 1100}, {130.5, 2000}, {250, 2119.5}, {300, 2169.5}};
  for (const auto& [distance, station] : shown_both) {
    EXPECT_EQ(both.DisplayStation(distance), station) << distance;
  }
  const std::vector<std::pair<double, std::vector<double>>> found_both = {
      {2119.5, {250}}, {1100, {100}}, {1050, {}}, {1500, {}}, {2000, {130.5}}, {1130.5, {130.5}}};
  for (const auto& [station, distances] : found_both) {
    EXPECT_EQ(both.DistancesOf(station), distances) << station;
  }
  const std::vector<std::pair<double, std::optional<std::size_t>>> held = {
      {-0.001, {}}, {0, 0}, {39.999, 0}, {40, 1}, {180, 3}, {300, 4}, {300.001, {}}};
  for (const auto& [distance, element] : held) {
    EXPECT_EQ(road.ElementAt(distance), element) << distance;
  }
}

TEST(RoadAlignmentTest, EquationsMustFitTheRoad) {
  const auto inputs = Inputs();  // 0 to 300
  struct Case {
    std::vector<StationEquation> equations;
    std::string refused;  // the start of the message, empty when accepted
  };
  const std::vector<Case> cases = {
      {{{100, 100, 150}, {200, 249.9995, 230}}, ""},
      {{{100, 100, 150}, {100, 150, 160}}, "station equation 2 (150 = 160): it does not lie after"},
      {{{100, 100, 150}, {90, 140, 160}}, "station equation 2 (140 = 160): it does not lie after"},
      {{{0, 0, 10}}, "station equation 1 (0 = 10): it lies outside the road"},
      {{{300, 300, 310}}, "station equation 1 (300 = 310): it lies outside the road"},
      {{{-5, -5, 10}}, "station equation 1 (-5 = 10): it lies outside the road"},
      {{{100, 100.002, 150}}, "station equation 1 (100.002 = 150): its back station"},
      {{{100, 100, 150}, {200, 200, 230}}, "station equation 2 (200 = 230): its back station"},
      {{{100, 100, NAN}}, "station equation 1 (100 = ): a number is not finite"},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto built = BuildAlignment(inputs, c.equations, {}, error);
    EXPECT_EQ(!built, !c.refused.empty()) << c.refused << error;
    EXPECT_EQ(error.substr(0, c.refused.size()), c.refused);
  }
}

struct Row {
  double distance;
  std::size_t element;
  std::string code;
  bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(const Alignment& road, double step, const std::vector<double>& extra) {
  std::vector<Row> rows;
  StakeoutStations(road, step, extra, [&rows](const StakeoutRow& row) {
    rows.push_back({row.distance, row.element, std::string(row.code)});
    return true;
  });
  return rows;
}

TEST(RoadAlignmentTest, StakeoutStations) {
  const std::vector<Row> plain = {
      {0, 0, "QD"}, {12.5, 0, ""},  {25, 0, ""},    {33.3, 0, ""}, {40, 1, "ZH"}, {50, 1, ""},
      {75, 1, ""},  {100, 2, "HY"}, {125, 2, ""},   {150, 2, ""},  {175, 2, ""},  {180, 3, "YH"},
      {200, 3, ""}, {225, 3, ""},   {240, 4, "HZ"}, {250, 4, ""},  {275, 4, ""},  {300, 4, "ZD"}};
  EXPECT_EQ(Rows(Road(), 25, {100, 33.3, 500, 12.5, -1}), plain);
  // Whole stations of each count: 0, 50, 100 | 150 (at 100), 200, 250 (at
  // 200) | 250 (at 220), 300.
  const std::vector<Row> equated = {{0, 0, "QD"},   {40, 1, "ZH"},  {50, 1, ""},   {100, 2, "HY"},
                                    {150, 2, ""},   {180, 3, "YH"}, {200, 3, ""},  {220, 3, ""},
                                    {240, 4, "HZ"}, {270, 4, ""},   {300, 4, "ZD"}};
  EXPECT_EQ(Rows(WithEquations(), 50, {}), equated);
  // 2000, ahead at 130.5 inside element 2, is a whole step.
  const std::vector<Row> ahead = {{0, 0, "QD"},   {40, 1, "ZH"},  {100, 2, "HY"}, {130.5, 2, ""},
                                  {180, 3, "YH"}, {230.5, 3, ""}, {240, 4, "HZ"}, {300, 4, "ZD"}};
  EXPECT_EQ(Rows(InsideElements(), 100, {}), ahead);

  int calls = 0;
  EXPECT_FALSE(
      StakeoutStations(Road(), 1, {}, [&calls](const StakeoutRow&) { return ++calls < 3; }));
  EXPECT_EQ(calls, 3);
}

TEST(RoadAlignmentTest, BoundaryCodes) {
  const auto road = [](std::vector<std::pair<double, double>> radii) {
    std::vector<ElementInput> inputs;
    double station = 0;
    for (const auto& [from, to] : radii) {
      inputs.push_back({station, station + 10, from, to, 0, Point{}});
      station += 10;
    }
    std::string error;
    return BuildAlignment(inputs, {}, {}, error)->alignment;
  };
  const Alignment a =
      road({{0, 0}, {0, 0}, {0, 50}, {50, 40}, {40, 40}, {30, 30}, {0, 0}, {20, 20}, {0, 0}});
  const std::vector<std::string> codes = {"QD", "JD", "ZH", "GQ", "HY", "GQ",
                                          "YZ", "ZY", "YZ", "ZD", ""};
  for (std::size_t b = 0; b < codes.size(); ++b) {
    EXPECT_EQ(BoundaryCode(a, b), codes[b]) << b;
  }
  EXPECT_EQ(BoundaryCode(road({{30, 30}, {30, 0}}), 1), "YH");
  EXPECT_EQ(BoundaryCode(road({{30, 0}, {0, 0}}), 1), "HZ");
  EXPECT_EQ(BoundaryCode(Alignment{}, 0), "");
}

}  // namespace
}  // namespace velmora::road
