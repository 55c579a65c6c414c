#include "arith/curve.h"

#include <gtest/gtest.h>

#include <limits>

#include "arith/watched_arithmetic.h"

namespace velmora {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Element {
  double start, end, start_radius, end_radius, point, start_azimuth;
};

std::optional<double> Azimuth(const Element& e) {
  return CurveAzimuth(e.start, e.end, e.start_radius, e.end_radius, e.point, e.start_azimuth);
}

TEST(CurveAzimuth, StraightsArcsAndSpirals) {
  const struct {
    const char* what;
    Element element;
    double azimuth;
  } cases[] = {
      {"straight keeps the start azimuth", {0, 100, 0, 0, 37.5, 1.25}, 1.25},
      {"straight, point at the end", {1000, 1200, 0, 0, 1200, -0.5}, -0.5},
      {"arc turns by L/R", {1000, 1200, 500, 500, 1100, 1.0}, 1.2},
      {"spiral from a straight", {0, 100, 0, 200, 50, 0}, 0.0625},
      {"spiral into a straight", {500, 560, 300, 0, 560, 0.5}, 0.6},
      {"negative radii turn the other way", {0, 100, -200, -200, 100, 1.0}, 0.5},
      {"result not reduced into a turn", {0, 100, 100, 100, 100, 6.0}, 7.0},
      {"point at the start", {0, 100, 300, 50, 0, 2.5}, 2.5},
      {"point after the start", {100, 200, 0, 400, 150, 0}, 0.03125},
      {"point as far before the start", {100, 200, 0, 400, 50, 0}, 0.03125},
      {"element run backwards", {200, 100, 0, 400, 250, 0}, 0.03125},
      // Before the start the element turns as it does after it: the distance
      // counts, not its sign, also where the curvature starts other than 0.
      {"arc, point before the start", {100, 200, 64, 64, 68, 0}, 0.5},
      {"spiral out of an arc, point before the start", {0, 128, 64, 32, -64, 0}, 1.25},
      {"negative zero radius is straight", {0, 100, -0.0, -0.0, 50, 3.0}, 3.0},
  };
  for (const auto& c : cases) {
    const auto azimuth = Azimuth(c.element);
    ASSERT_TRUE(azimuth.has_value()) << c.what;
    EXPECT_EQ(*azimuth, c.azimuth) << c.what;
  }
}

// These run in the optimised builds: the fault must be seen after the
// operation that raises it, not tested before it.
TEST(CurveAzimuth, ArithmeticFaultsGiveNoValue) {
  const struct {
    const char* what;
    Element element;
  } cases[] = {
      {"equal stations, 0/0", {100, 100, 500, 500, 100, 1.0}},
      {"equal stations with equal radii", {5, 5, 0, 0, 5, 0}},
      {"equal stations, point elsewhere", {100, 100, 0, 500, 150, 0}},
      {"start radius whose reciprocal overflows", {0, 100, 4e-309, 0, 50, 0}},
      {"end radius whose reciprocal overflows", {0, 100, 0, -1e-309, 50, 0}},
      {"point curvature overflows", {0, 1e-300, 0, 1e-10, 1e300, 0}},
      {"azimuth overflows", {0, 1e300, 1e-10, 1e-10, 1e300, 0}},
      {"sum of curvatures overflows", {0, 1, 1e-308, 1e-308, 1, 0}},
      {"start azimuth pushed past the range",
       {0, 100, 1e-298, 1e-298, 100, std::numeric_limits<double>::max()}},
      {"element length overflows", {-1e308, 1e308, 0, 0, 0, 0}},
      {"NaN start azimuth", {0, 100, 0, 0, 50, kNaN}},
      {"NaN station", {0, kNaN, 0, 0, 50, 0}},
      {"infinite point and end", {0, kInf, 0, 0, kInf, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(Azimuth(c.element).has_value()) << c.what;
  }
}

TEST(CurveAzimuth, ExactInfinitiesRaiseNothing) {
  // An infinite end station with the point at the start: every operation is
  // exact (0/inf is 0), so there is a result, the start azimuth.
  const auto azimuth = Azimuth({0, kInf, 0, 100, 0, 0.75});
  ASSERT_TRUE(azimuth.has_value());
  EXPECT_EQ(*azimuth, 0.75);
  // An infinite radius is simply no curvature.
  EXPECT_EQ(Azimuth({0, 100, kInf, kInf, 50, 1.0}), 1.0);
}

// Within CurveAzimuth an infinite quotient ends in an infinite result that
// is refused anyway; the watch itself must still call inf/0 a fault.
TEST(WatchedArithmetic, EveryDivisionByZeroIsAFault) {
  const struct {
    double dividend, divisor;
    bool fault;
  } cases[] = {
      {1, 0, true},     {0, 0, true},  {kInf, 0, true},  {-kInf, -0.0, true}, {kInf, 2, false},
      {1, kInf, false}, {6, 3, false}, {-0.0, 5, false}, {kInf, kInf, true},  // invalid
  };
  for (const auto& c : cases) {
    WatchedArithmetic fp;
    fp.Div(c.dividend, c.divisor);
    EXPECT_EQ(fp.Faulted(), c.fault) << c.dividend << " / " << c.divisor;
  }
}

}  // namespace
}  // namespace velmora
