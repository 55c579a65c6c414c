#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "road/alignment.h"
#include "road/geometry.h"
#include "road/trig.h"
#include "tests/unit/road_reference.h"

namespace velmora::road {
namespace {

constexpr double kPi = std::numbers::pi;

struct Case {
  const char* name;
  double length;
  double start_radius;
  double end_radius;
  double azimuth;
  Point start;
};

// Straights, arcs and spirals of every kind, up to 10 km long and down to
// radii of 10, some at national grid coordinates.
const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"straight 10 km", 10000, 0, 0, 1.234, {1000, 2000}},
      {"straight due east on the grid", 10000, 0, 0, kPi / 2, {4500000, 39500000}},
      {"arc R 10 turning 1000 rad", 10000, 10, 10, 0.3, {0, 0}},
      {"arc R -10", 10000, -10, -10, 5.9, {4500000, 39500000}},
      {"flat arc R 1e6", 10000, 1e6, 1e6, 2.0, {4500123.456, 39500987.654}},
      {"arc R -350", 600, -350, -350, 4.0, {100, 100}},
      {"spiral into R 300", 100, 0, 300, 0.7, {0, 0}},
      {"spiral out of R -300", 100, -300, 0, 3.0, {4500000, 39500000}},
      {"spiral between radii", 250, 1000, 300, 1.1, {50, 60}},
      {"S-curve spiral", 300, -500, 400, 0.2, {4499999.5, 39500000.25}},
      {"tight spiral 10 km into R 10", 10000, 0, 10, 0.0, {0, 0}},
      {"tight spiral R 10 to R -20", 10000, 10, -20, 1.0, {4500000, 39500000}},
      {"long flat spiral", 10000, 1e5, 2e4, 6.0, {4500000, 39500000}},
      {"spiral R 15 to R 10", 50, 15, 10, 2.5, {-20, 30}},
  };
  return cases;
}

Element Make(const Case& c) {
  Element e;
  e.start_station = 1234.5;
  e.end_station = 1234.5 + c.length;
  e.start_radius = c.start_radius;
  e.end_radius = c.end_radius;
  e.start_azimuth = c.azimuth;
  e.start = c.start;
  return e;
}

// Within a micrometre everywhere, and within a nanometre where coordinates
// are small enough for their rounding to allow it (a Gauss-Legendre weight
// wrong in its tenth digit moves points by some 1e-8). An alignment's
// points, from the anchors it keeps, are the element's to the bit.
TEST(RoadGeometryTest, PointsAgreeWithTheExactPosition) {
  double worst = 0.0;
  for (const Case& c : Cases()) {
    const Element e = Make(c);
    const ElementInput input{e.start_station, e.end_station,   e.start_radius,
                             e.end_radius,    e.start_azimuth, e.start};
    std::string error;
    const Alignment road = BuildAlignment(std::span(&input, 1), {}, {}, error)->alignment;
    const double allowed = std::fabs(c.start.y) < 1e5 ? 1e-9 : 1e-6;
    for (double share : {0.0, 1e-6, 0.01, 0.25, 0.5, 0.7731, 0.999, 1.0}) {
      const double station = share == 1.0 ? e.end_station : e.start_station + share * c.length;
      const reference::Exact centre = reference::Point(e, station);
      for (double offset : {0.0, 7.5, -4.25}) {
        const auto point = PointAt(e, station, offset);
        ASSERT_TRUE(point) << c.name;
        const double error =
            reference::Error(*point, reference::Offset(e, station, centre, offset));
        EXPECT_LT(error, allowed) << c.name << " at " << share << " offset " << offset;
        worst = std::fmax(worst, error / allowed);
        const auto fast = road.PointAt(0, station, offset);
        EXPECT_TRUE(fast && fast->x == point->x && fast->y == point->y) << c.name << share;
      }
    }
  }
  std::printf("worst error against the exact positions, of that allowed: %.3g\n", worst);
}

TEST(RoadGeometryTest, ThePublishedClothoid) {
  // A = 80 from a straight into R = 100: L = A^2 / R = 64, turning
  // L / 2R = 0.32 rad, 63.348 along the tangent at the start.
  const Element e{0, 64, 0, 100, 0, {0, 0}};
  const auto end = PointAt(e, 64);
  ASSERT_TRUE(end);
  EXPECT_NEAR(end->x, 63.348, 0.0005);
  EXPECT_GT(end->y, 0.0);  // a right-hand turn from due north goes east
  EXPECT_NEAR(*AzimuthAt(e, 64), 0.32, 1e-15);
}

TEST(RoadGeometryTest, OffsetsAreToTheRightOfTheDirection) {
  // Due north, the right is east; due east, the right is south.
  const Element north{0, 10, 0, 0, 0, {0, 0}};
  const Element east{0, 10, 0, 0, kPi / 2, {0, 0}};
  const auto a = PointAt(north, 5, 2);
  const auto b = PointAt(east, 5, 2);
  EXPECT_NEAR(a->x, 5, 1e-12);
  EXPECT_NEAR(a->y, 2, 1e-12);
  EXPECT_NEAR(b->x, -2, 1e-12);
  EXPECT_NEAR(b->y, 5, 1e-12);
}

TEST(RoadGeometryTest, NoPointWhereThereIsNone) {
  const Element spiral{100, 200, 0, 300, 1, {0, 0}};
  const Element tiny{100, 200, 1e-309, 1e-309, 1, {0, 0}};  // its curvature overflows
  const Element whirl{0, 1e4, 1e-3, 1e-3 / 2, 0, {0, 0}};   // turns through ten million radians
  const Element nowhere{0, 10, 0, 0, 1, {NAN, 0}};
  EXPECT_FALSE(PointAt(spiral, 99.999));
  EXPECT_FALSE(PointAt(spiral, 200.001));
  EXPECT_FALSE(PointAt(spiral, NAN));
  EXPECT_FALSE(PointAt(spiral, 150, INFINITY));
  EXPECT_FALSE(PointAt(tiny, 150));
  EXPECT_FALSE(PointAt(whirl, 1e4));
  EXPECT_FALSE(PointAt(nowhere, 5));
  EXPECT_TRUE(PointAt(spiral, 100));
  EXPECT_TRUE(PointAt(spiral, 200));
}

TEST(RoadGeometryTest, KindsOfElements) {
  EXPECT_EQ(KindOf({0, 1, 0, -0.0, 0, {}}), Kind::kStraight);
  EXPECT_EQ(KindOf({0, 1, -50, -50, 0, {}}), Kind::kArc);
  EXPECT_EQ(KindOf({0, 1, 0, 50, 0, {}}), Kind::kSpiral);
  EXPECT_EQ(KindOf({0, 1, 60, 50, 0, {}}), Kind::kSpiral);
}

}  // namespace
}  // namespace velmora::road

namespace velmora::road::detail {
namespace {

// sin and cos in long double, the angle first reduced by quarter turns with
// pi/2 in two parts (40 bits and the rest): the C library's own reduction
// of large angles is not always good to the last double bit.
SinCos Exact(double angle) {
  const long double hi = 0xc90fdaa221000000p-63L;
  const long double lo = 0xd18469898cc51702p-104L;
  const long double quarters = nearbyintl(angle / (hi + lo));
  const long double r = (angle - quarters * hi) - quarters * lo;
  const double s = (double)sinl(r);
  const double c = (double)cosl(r);
  switch ((static_cast<long long>(fmodl(quarters, 4.0L)) + 4) % 4) {
    case 0:
      return {s, c};
    case 1:
      return {c, -s};
    case 2:
      return {-s, -c};
    default:
      return {-c, s};
  }
}

TEST(RoadTrigTest, SineAndCosineAgreeWithTheLongDoubleOnes) {
  // Near whole quarter turns, where the reduction cancels, and anywhere.
  std::vector<double> angles = {0.0, -0.0, 1e-300, 1e-9, 0.5, -0.785398, 3.0, 1e3, -4e4, 99999.9};
  for (int k = -8; k <= 8; ++k) {
    angles.push_back(k * (kPi / 2));
    angles.push_back(std::nextafter(k * (kPi / 2), 1e9));
  }
  for (double k : {1e3, 12345.0, 65536.0}) {
    angles.push_back(k * (kPi / 2));
  }
  for (int i = 0; i < 2000; ++i) {
    angles.push_back(std::ldexp(std::sin(i * 1.37), i % 24) * 3.3);  // up to 2.7e7
  }
  double worst = 0.0;
  for (double angle : angles) {
    const SinCos way = SinCosOf(angle);
    const SinCos exact = Exact(angle);
    const double error = std::fmax(std::fabs(way.sin - exact.sin), std::fabs(way.cos - exact.cos));
    EXPECT_LT(error, 3e-16) << angle;
    worst = std::fmax(worst, error);
  }
  std::printf("worst sine or cosine error: %.3g\n", worst);
  EXPECT_TRUE(std::isnan(SinCosOf(INFINITY).sin));
}

}  // namespace
}  // namespace velmora::road::detail
