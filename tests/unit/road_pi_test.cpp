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

// A table walked out from `start`: each JD `along` from the point before,
// the line turning `deflection` degrees there; EP `last` beyond the last JD.
struct Jd {
  double along, deflection, radius, ls1, ls2;
};
struct Case {
  const char* name;
  Point start;
  double azimuth;  // degrees
  std::vector<Jd> jds;
  double last;
};

PiTable TableOf(const Case& c) {
  PiTable table{1234.5, {{"", c.start, 0, 0, 0}}};
  Point at = c.start;
  double azimuth = c.azimuth * kDegree;
  for (const Jd& jd : c.jds) {
    at = {at.x + jd.along * std::cos(azimuth), at.y + jd.along * std::sin(azimuth)};
    table.points.push_back({"", at, jd.radius, jd.ls1, jd.ls2});
    azimuth += jd.deflection * kDegree;
  }
  table.points.push_back(
      {"", {at.x + c.last * std::cos(azimuth), at.y + c.last * std::sin(azimuth)}, 0, 0, 0});
  return table;
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"plain arc R 30 turning 179 right", {3.5e6, 5e5}, 10, {{8000, 179, 30, 0, 0}}, 8000},
      {"plain arc R 1e5 turning 1 second left",
       {3.5e6, 5e5},
       200,
       {{500, -1 / 3600.0, 1e5, 0, 0}},
       50},
      {"R 1e5, 1 second, short spirals",
       {3512345.678, 498765.432},
       300,
       {{90, 1 / 3600.0, 1e5, 0.2, 0.2}},
       9},
      {"spirals as long as R, 100 right", {3.5e6, 5e5}, 45, {{2000, 100, 300, 300, 300}}, 2000},
      {"spirals of R 1e5 as long as 1e4", {3.5e6, 5e5}, 0, {{9e4, -40, 1e5, 1e4, 1e4}}, 9e4},
      {"asymmetric left", {3.5e6, 5e5}, 123, {{700, -35, 500, 120, 60}}, 700},
      {"one spiral only, 120 right", {3.5e6, 5e5}, 359, {{300, 120, 30, 30, 0}}, 300},
      {"turning 179 with spirals", {3.5e6, 5e5}, 270, {{25000, -179, 100, 100, 80}}, 25000},
      {"a road of four JDs",
       {3498765.4321, 501234.5678},
       33.3,
       {{400, 25, 600, 100, 100},
        {900, -60, 250, 70, 90},
        {700, 1 / 3600.0, 3000, 0, 0},
        {1500, 80, 1200, 0, 150}},
       1200},
  };
  return cases;
}

std::vector<Element> ElementsOf(const PiRoad& road) {
  std::vector<Element> elements;
  for (const ElementInput& e : road.elements) {
    elements.push_back(
        {e.start_station, e.end_station, e.start_radius, e.end_radius, *e.start_azimuth, *e.start});
  }
  return elements;
}

double Difference(long double a, long double b) { return static_cast<double>(fabsl(a - b)); }

TEST(RoadPiTest, CurvesAgreeWithTheGeometricReference) {
  double worst = 0, worst_angle = 0;
  for (const Case& c : Cases()) {
    const PiTable table = TableOf(c);
    PiError error;
    const auto road = ConvertPi(table, error);
    ASSERT_TRUE(road) << c.name << ": " << error.message;
    const std::vector<Element> elements = ElementsOf(*road);
    const auto vec = [&](std::size_t i) {
      return ref::Vec{table.points[i].point.x, table.points[i].point.y};
    };
    // Every element starts where the one before ends, in the same direction.
    for (std::size_t i = 1; i < elements.size(); ++i) {
      const Element& e = elements[i - 1];
      const Point end = *PointAt(e, e.end_station);
      worst =
          std::fmax(worst, std::hypot(end.x - elements[i].start.x, end.y - elements[i].start.y));
      worst_angle = std::fmax(worst_angle, std::fabs(std::remainder(*AzimuthAt(e, e.end_station) -
                                                                        elements[i].start_azimuth,
                                                                    2 * std::numbers::pi)));
      EXPECT_EQ(e.end_station, elements[i].start_station) << c.name << " element " << i;
    }
    long double jd_station = table.start_station, correction = 0;
    for (std::size_t i = 1; i + 1 < table.points.size(); ++i) {
      const PiCurve& curve = road->curves[i - 1];
      const PiPoint& jd = table.points[i];
      const ref::Curve exact =
          ref::CurveAt(vec(i - 1), vec(i), vec(i + 1), jd.radius, jd.spiral_in, jd.spiral_out);
      jd_station += hypotl(vec(i).x - vec(i - 1).x, vec(i).y - vec(i - 1).y) - correction;
      correction = exact.t1 + exact.t2 - exact.length;
      const long double zh = jd_station - exact.t1;
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
                                      {curve.yh, zh + exact.length - jd.spiral_out},
                                      {curve.hz, zh + exact.length}};
      for (const auto& [got, want] : pairs) {
        EXPECT_LT(Difference(got, want), 1e-6) << c.name << " JD" << i << ": " << (double)want;
        worst = std::fmax(worst, Difference(got, want));
      }
      // ZH and HZ on the road, from the elements on both sides of them.
      for (const auto& [station, point, line] :
           {std::tuple{curve.zh, exact.zh, i - 1}, {curve.hz, exact.hz, i}}) {
        const long double azimuth =
            atan2l(vec(line + 1).y - vec(line).y, vec(line + 1).x - vec(line).x);
        for (const Element& e : elements) {
          if (!(e.start_station <= station && station <= e.end_station)) continue;
          const Pose pose = *PoseAt(e, station);
          const double off = Difference(pose.point.x, point.x) + Difference(pose.point.y, point.y);
          const double angle =
              std::fabs(std::remainder((double)(pose.azimuth - azimuth), 2 * std::numbers::pi));
          EXPECT_LT(off, 1e-6) << c.name << " JD" << i << " at " << station;
          EXPECT_LT(angle, 1e-9) << c.name << " JD" << i << " at " << station;
          worst = std::fmax(worst, off);
          worst_angle = std::fmax(worst_angle, angle);
        }
      }
    }
  }
  EXPECT_LT(worst, 1e-6);
  EXPECT_LT(worst_angle, 1e-9);
  std::printf("PI method against the reference: %.3g in length, %.3g rad\n", worst, worst_angle);
}

}  // namespace
}  // namespace velmora::road
