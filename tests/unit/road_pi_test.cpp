#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <tuple>
#include <vector>

#include "road/pi.h"
#include "road/trig.h"
#include "tests/unit/road_pi_reference.h"

namespace velmora::road {
namespace {

namespace ref = pi_reference;
constexpr double kDegree = std::numbers::pi / 180;

// A table walked out from a start on the national grid: each JD `along`
// from the point before, the line turning `deflection` degrees there.
struct Jd {
  double along, deflection, radius, ls1, ls2;
};
struct Case {
  const char* name;
  double azimuth;  // degrees, at the start
  std::vector<Jd> jds;
  double last;  // from the last JD to EP
};

PiTable TableOf(const Case& c) {
  Point at{3498765.4321, 501234.5678};
  PiTable table{1234.5, {{"", at, 0, 0, 0}}};
  double azimuth = c.azimuth * kDegree;
  for (const Jd& jd : c.jds) {
    at = {at.x + jd.along * std::cos(azimuth), at.y + jd.along * std::sin(azimuth)};
    table.points.push_back({"", at, jd.radius, jd.ls1, jd.ls2});
    azimuth += jd.deflection * kDegree;
  }
  at = {at.x + c.last * std::cos(azimuth), at.y + c.last * std::sin(azimuth)};
  table.points.push_back({"", at, 0, 0, 0});
  return table;
}

const std::vector<Case> kCases = {
    {"plain arc R 30 turning 179 right", 10, {{8000, 179, 30, 0, 0}}, 8000},
    {"plain arc R 1e5 turning 1 second left", 200, {{500, -1 / 3600.0, 1e5, 0, 0}}, 50},
    {"R 1e5, 1 second, short spirals", 300, {{90, 1 / 3600.0, 1e5, 0.2, 0.2}}, 9},
    {"spirals as long as R, 100 right", 45, {{2000, 100, 300, 300, 300}}, 2000},
    {"spirals 1e4 into R 1e5", 0, {{9e4, -40, 1e5, 1e4, 1e4}}, 9e4},
    {"asymmetric left", 123, {{700, -35, 500, 120, 60}}, 700},
    {"one spiral only, 120 right", 359, {{300, 120, 30, 30, 0}}, 300},
    {"turning 179 with unequal spirals", 270, {{25000, -179, 100, 100, 80}}, 25000},
    {"four JDs",
     33.3,
     {{400, 25, 600, 100, 100},
      {900, -60, 250, 70, 90},
      {700, 1 / 3600.0, 3000, 0, 0},
      {1500, 80, 1200, 0, 150}},
     1200},
};

std::vector<Element> ElementsOf(const PiRoad& road) {
  std::vector<Element> elements;
  for (const ElementInput& e : road.elements) {
    elements.push_back(
        {e.start_station, e.end_station, e.start_radius, e.end_radius, *e.start_azimuth, *e.start});
  }
  return elements;
}

double Off(long double a, long double b) { return static_cast<double>(fabsl(a - b)); }

TEST(RoadPiTest, CurvesAgreeWithTheGeometricReference) {
  double worst = 0, worst_angle = 0;
  for (const Case& c : kCases) {
    const PiTable table = TableOf(c);
    PiError error;
    const auto road = ConvertPi(table, error);
    ASSERT_TRUE(road) << c.name << ": " << error.message;
    const std::vector<Element> elements = ElementsOf(*road);
    const auto vec = [&](std::size_t i) {
      return ref::Vec{table.points[i].point.x, table.points[i].point.y};
    };
    long double jd_station = table.start_station, correction = 0;
    for (std::size_t i = 1; i + 1 < table.points.size(); ++i) {
      const PiCurve& curve = road->curves[i - 1];
      const PiPoint& jd = table.points[i];
      const ref::Curve exact =
          ref::CurveAt(vec(i - 1), vec(i), vec(i + 1), jd.radius, jd.spiral_in, jd.spiral_out);
      jd_station += hypotl(vec(i).x - vec(i - 1).x, vec(i).y - vec(i - 1).y) - correction;
      correction = exact.t1 + exact.t2 - exact.length;
      const long double zh = jd_station - exact.t1, hz = zh + exact.length;
      const long double pairs[][2] = {{curve.deflection * 1e6, exact.deflection * 1e6},
                                      {curve.tangent_in, exact.t1},
                                      {curve.tangent_out, exact.t2},
                                      {curve.length, exact.length},
                                      {curve.external, exact.external},
                                      {curve.correction, correction},
                                      {curve.jd_station, jd_station},
                                      {curve.zh, zh},
                                      {curve.hy, zh + jd.spiral_in},
                                      {curve.qz, zh + exact.length / 2},
                                      {curve.yh, hz - jd.spiral_out},
                                      {curve.hz, hz}};
      for (const auto& [got, want] : pairs) {
        EXPECT_LT(Off(got, want), 1e-6) << c.name << " JD" << i << ": " << (double)want;
        worst = std::fmax(worst, Off(got, want));
      }
      // ZH and HZ on the lines, in their direction, from the elements on both
      // sides of them: the road is tangent to the lines and continuous.
      for (const auto& [station, point, line] :
           {std::tuple{curve.zh, exact.zh, i - 1}, {curve.hz, exact.hz, i}}) {
        const long double azimuth =
            atan2l(vec(line + 1).y - vec(line).y, vec(line + 1).x - vec(line).x);
        for (const Element& e : elements) {
          if (e.start_station <= station && station <= e.end_station) {
            const Pose pose = *PoseAt(e, station);
            const double off = Off(pose.point.x, point.x) + Off(pose.point.y, point.y);
            const double angle =
                std::fabs(std::remainder(pose.azimuth - (double)azimuth, 2 * std::numbers::pi));
            EXPECT_LT(off, 1e-6) << c.name << " JD" << i << " at " << station;
            EXPECT_LT(angle, 1e-9) << c.name << " JD" << i << " at " << station;
            worst = std::fmax(worst, off);
            worst_angle = std::fmax(worst_angle, angle);
          }
        }
      }
    }
  }
  std::printf("PI method against the reference: %.3g in length, %.3g rad\n", worst, worst_angle);
}

PiTable Table(std::vector<PiPoint> points) { return {0.0, std::move(points)}; }

TEST(RoadPiTest, AHandWorkedCurve) {
  // R 500, Ls 100 both sides, α 30° right, JD1 1000 north of BP (station 0).
  // β = Ls/2R = 0.1 rad; the series to their third terms:
  // p = Ls²/24R - Ls⁴/2688R³ + Ls⁶/506880R⁵ = 0.8333333 - 0.0002976 + 0.0000001 = 0.8330358
  // q = Ls/2 - Ls³/240R² + Ls⁵/34560R⁴ = 50 - 0.0166667 + 0.0000046 = 49.9833380
  // T = (R + p) tan(α/2) + q = 500.8330358 × 0.2679492 + 49.9833380 = 184.181145
  // L = R α + Ls = 500 × 0.5235988 + 100 = 361.799388
  // E = (R + p) sec(α/2) - R = 500.8330358 × 1.0352762 - 500 = 18.500512
  // J = 2T - L = 6.562903
  // ZH = 1000 - T = 815.818855, HY = ZH + Ls = 915.818855, QZ = ZH + L/2 = 996.718548,
  // YH = HZ - Ls = 1077.618242, HZ = ZH + L = 1177.618242 (QZ + J/2 = JD1 = 1000)
  PiError error;
  const double a = 30 * kDegree;
  const auto road = ConvertPi(Table({{"", {3500000, 500000}, 0, 0, 0},
                                     {"", {3501000, 500000}, 500, 100, 100},
                                     {"", {3501000 + 1000 * std::cos(a), 500500}, 0, 0, 0}}),
                              error);
  ASSERT_TRUE(road) << error.message;
  const PiCurve& c = road->curves[0];
  const double pairs[][2] = {{c.deflection, a},
                             {c.p_in, 0.8330358},
                             {c.q_out, 49.9833380},
                             {c.a_in, 223.606798},
                             {c.tangent_in, 184.181145},
                             {c.tangent_out, 184.181145},
                             {c.length, 361.799388},
                             {c.arc_length, 161.799388},
                             {c.external, 18.500512},
                             {c.correction, 6.562903},
                             {c.zh, 815.818855},
                             {c.hy, 915.818855},
                             {c.qz, 996.718548},
                             {c.yh, 1077.618242},
                             {c.hz, 1177.618242},
                             {road->end_station, 1177.618242 + 1000 - 184.181145},
                             {road->straights[1].length, 815.818855},
                             {road->straights[1].azimuth, a}};
  for (const auto& [got, want] : pairs) {
    EXPECT_NEAR(got, want, 1e-6);
  }
  ASSERT_EQ(road->elements.size(), 5u);
  EXPECT_EQ(road->elements[2].end_radius, 500);  // right: a positive radius
}

TEST(RoadPiTest, TablesComeBackFromTheirRoads) {
  // A road that starts in a curve and has two arcs meeting with no straight
  // between (a reverse curve): curves that touch.
  std::vector<Element> touching = {{0, 100, 200, 200, 0.5, {3.5e6, 5e5}},
                                   {100, 250, -300, -300, 1.0, {}}};
  touching[1].start = *PointAt(touching[0], 100);
  PiError error;
  PiPatternError pattern;
  const auto again = ConvertPi(*PiTableOf(touching, pattern), error);
  ASSERT_TRUE(again) << error.message;
  const std::vector<Element> elements = ElementsOf(*again);
  ASSERT_EQ(elements.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_NEAR(elements[i].end_station, touching[i].end_station, 1e-9);
    EXPECT_EQ(elements[i].start_radius, touching[i].start_radius);
    EXPECT_NEAR(elements[i].start_azimuth, touching[i].start_azimuth, 1e-12);
    EXPECT_LT(Off(elements[i].start.x, touching[i].start.x) +
                  Off(elements[i].start.y, touching[i].start.y),
              1e-6);
  }
  // A quarter circle touching BP and EP (T = 100 tan 45°, a hair short of
  // 100 in doubles): the arc alone, with no sliver of a straight.
  const auto arc = ConvertPi(
      {1234.5, {{"", {0, 0}, 0, 0, 0}, {"", {100, 0}, 100, 0, 0}, {"", {100, 100}, 0, 0, 0}}},
      error);
  ASSERT_TRUE(arc) << error.message;
  ASSERT_EQ(arc->elements.size(), 1u);
  EXPECT_NEAR(arc->end_station, 1234.5 + 50 * std::numbers::pi, 1e-9);
  for (const Case& c : kCases) {
    const PiTable table = TableOf(c);
    const auto back = PiTableOf(ElementsOf(*ConvertPi(table, error)), pattern);
    ASSERT_TRUE(back) << c.name << ": " << pattern.message;
    ASSERT_EQ(back->points.size(), table.points.size()) << c.name;
    EXPECT_EQ(back->start_station, table.start_station);
    for (std::size_t i = 0; i < table.points.size(); ++i) {
      const PiPoint& want = table.points[i];
      const PiPoint& got = back->points[i];
      EXPECT_LT(Off(got.point.x, want.point.x) + Off(got.point.y, want.point.y), 1e-6) << c.name;
      EXPECT_EQ(got.radius, want.radius) << c.name << " point " << i;
      EXPECT_NEAR(got.spiral_in, want.spiral_in, 1e-9) << c.name << " point " << i;
      EXPECT_NEAR(got.spiral_out, want.spiral_out, 1e-9) << c.name << " point " << i;
    }
  }
}

TEST(RoadPiTest, TablesThatDescribeNoRoadAreRefused) {
  // A right turn of 90° at JD1 (1000 north of BP), a left one at JD2.
  const auto square = [](double r1, double r2) {
    return Table({{"", {0, 0}, 0, 0, 0},
                  {"", {1000, 0}, r1, 0, 0},
                  {"", {1000, 1000}, r2, 0, 0},
                  {"", {2000, 1000}, 0, 0, 0}});
  };
  const PiTable line =
      Table({{"", {0, 0}, 0, 0, 0}, {"", {100, 0}, 300, 0, 0}, {"", {200, 0}, 0, 0, 0}});
  PiTable nan = square(300, 300), negative = nan, at_end = nan, bare = nan, same = nan;
  PiTable cornered = line, back = line, spirals = square(100, 300), short_end = line;
  nan.points[2].point.y = NAN;
  negative.points[1].radius = -300;
  at_end.points[3].spiral_in = 20;
  bare.points[1] = {"JD7", {1000, 0}, 0, 50, 0};
  same.points[2].point = same.points[1].point;
  cornered.points[1].radius = 0;
  cornered.points[2].point = {100, 100};
  back.points[2].point = {50, 0};
  spirals.points[1].spiral_in = spirals.points[1].spiral_out = 200;
  short_end.points[1] = {"", {1000, 0}, 600, 0, 0};
  short_end.points[2].point = {1000, 500};
  const std::tuple<PiTable, PiFault, std::size_t, std::size_t, const char*> cases[] = {
      {Table({{}}), PiFault::kTooFewPoints, 0, 0,
       "the table has 1 point; give at least the start point (BP) and the end point (EP)"},
      {nan, PiFault::kNotFinite, 2, 2,
       "JD2 (point 2): a number is not finite; give finite coordinates, R, Ls1 and Ls2"},
      {negative, PiFault::kNegative, 1, 1,
       "JD1 (point 1): the radius R -300.0000 is negative; give 0 or more (the JDs tell right from "
       "left)"},
      {at_end, PiFault::kCurveAtEnd, 3, 3,
       "EP (point 3) has a radius or a spiral; curves belong to JDs: leave R, Ls1 and Ls2 of the "
       "start and end points 0"},
      {bare, PiFault::kSpiralNoRadius, 1, 1,
       "JD7 (point 1) has spirals (Ls1 50.0000, Ls2 0.0000) but no radius; give its R or leave the "
       "spirals 0"},
      {same, PiFault::kSamePoint, 1, 2,
       "JD1 (point 1) and JD2 (point 2) are at the same place; remove one of them"},
      {line, PiFault::kNoDeflection, 1, 1,
       "JD1 (point 1) does not turn (it lies on the line of its neighbours) but has the radius "
       "300.0000; give R 0 or remove the JD"},
      {cornered, PiFault::kNoRadius, 1, 1,
       "JD1 (point 1) turns 90°00′00.0″ but has no radius; give its R"},
      {back, PiFault::kTurnsBack, 1, 1,
       "JD1 (point 1): the road turns back on itself there (deflection 180°); check the "
       "coordinates"},
      {spirals, PiFault::kSpiralsTooLong, 1, 1,
       "JD1 (point 1): the spirals Ls1 200.0000 and Ls2 200.0000 turn further than the deflection "
       "90°00′00.0″: the arc between them would be -42.9204 long; shorten the spirals or raise R"},
      {square(1200, 300), PiFault::kOverlap, 0, 1,
       "BP (point 0) and JD1 (point 1) overlap by 200.0000: T1 1200.0000 of JD1 (point 1) is "
       "longer than the 1000.0000 between them; lower a radius or a spiral, or correct the "
       "coordinates"},
      {square(600, 600), PiFault::kOverlap, 1, 2,
       "JD1 (point 1) and JD2 (point 2) overlap by 200.0000: T2 600.0000 of JD1 (point 1) and T1 "
       "600.0000 of JD2 (point 2) are longer than the 1000.0000 between them; lower a radius or a "
       "spiral, or correct the coordinates"},
      {short_end, PiFault::kOverlap, 1, 2,
       "JD1 (point 1) and EP (point 2) overlap by 100.0000: T2 600.0000 of JD1 (point 1) is longer "
       "than the 500.0000 between them; lower a radius or a spiral, or correct the coordinates"},
  };
  for (const auto& [table, fault, point, next, message] : cases) {
    PiError error;
    EXPECT_FALSE(ConvertPi(table, error)) << message;
    EXPECT_EQ(std::tuple(error.fault, error.point, error.next, error.message),
              std::tuple(fault, point, next, std::string(message)));
  }
}

TEST(RoadPiTest, RoadsOutsideThePatternAreRefused) {
  const auto at = [](double from, double r0, double r1, double length, double azimuth = 0) {
    return Element{from, from + length, r0, r1, azimuth, {0, 0}};
  };
  const Element straight = at(-100, 0, 0, 100);
  const std::string into =
      "the spiral into the radius 300.0000 goes on into neither an arc of that radius nor a spiral "
      "out of it";
  const std::tuple<std::vector<Element>, std::size_t, std::string> cases[] = {
      {{straight, at(0, 300, 200, 50)},
       1,
       "a spiral between two radii (300.0000 and 200.0000); a table of JDs has spirals only "
       "between a straight and an arc"},
      {{straight, at(0, 300, 0, 50)},
       1,
       "a spiral out of the radius 300.0000 that follows no arc or spiral into it"},
      {{straight, at(0, 0, 300, 50), at(50, 0, 0, 10, 50 / 600.0)}, 2, into},
      {{straight, at(0, 0, 300, 50)}, 1, into},
      {{straight, at(0, 0, 0, 10, 0.1)},
       1,
       "the road changes direction by 5°43′46.5″ where it starts, without a curve; a table of JDs "
       "has no corners"},
      {{straight, at(0, -100, -100, 400)},
       1,
       "the curve turns 229°10′59.2″, half a turn or more: its straights meet at no JD"},
      {{}, 0, "the road has no elements; give at least one"},
  };
  for (const auto& [road, element, message] : cases) {
    PiPatternError error;
    EXPECT_FALSE(PiTableOf(road, error)) << message;
    EXPECT_EQ(error.element, element) << message;
    EXPECT_EQ(error.message, "element " + std::to_string(element) + ": " + message);
  }
}

}  // namespace
}  // namespace velmora::road

namespace velmora::road::detail {
namespace {

TEST(RoadTrigTest, AngleOfAgreesWithTheLongDoubleOne) {
  double worst = 0;
  for (int i = 0; i < 4000; ++i) {
    const double x = i % 7 == 0 ? 0.0 : std::ldexp(std::sin(i * 1.37), i % 40 - 20);
    const double y = i % 5 == 0 ? 0.0 : std::ldexp(std::cos(i * 2.11), i % 23 - 11);
    worst = std::fmax(worst, std::fabs(AngleOf(y, x) - (double)atan2l(y, x)));
  }
  EXPECT_LT(worst, 1e-15);
  EXPECT_TRUE(std::isnan(AngleOf(1, INFINITY)));
}

}  // namespace
}  // namespace velmora::road::detail
