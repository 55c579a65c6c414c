#include "road/trig.h"

#include <cmath>

namespace velmora::road::detail {
namespace {

// pi/2 in four parts, the first three of at most 27 significant bits, so
// that a whole number of quarter turns below 2^26 times each is exact.
constexpr double kQuarter1 = 0x1.921fb54p+0;
constexpr double kQuarter2 = 0x1.10b461p-30;
constexpr double kQuarter3 = 0x1.a62633p-58;
constexpr double kQuarter4 = 0x1.45c06e0e68948p-86;
constexpr double kMostQuarters = 0x1p26;
// 2/pi and 2*pi rounded to doubles, to count quarter turns and to bring a
// huge angle into a turn. The sine needs pi itself here, not the program's
// fifteen-digit kPi of the degree conversions.
constexpr double kQuartersPerRadian = 0x1.45f306dc9c883p-1;
constexpr double kTurn = 0x1.921fb54442d18p+2;

// Taylor series on [-pi/4, pi/4], to the terms below 1e-19 there.
double SinSeries(double r) {
  const double r2 = r * r;
  double sum = 1.0 / 355687428096000.0;  // 1/17!
  sum = sum * r2 - 1.0 / 1307674368000.0;
  sum = sum * r2 + 1.0 / 6227020800.0;
  sum = sum * r2 - 1.0 / 39916800.0;
  sum = sum * r2 + 1.0 / 362880.0;
  sum = sum * r2 - 1.0 / 5040.0;
  sum = sum * r2 + 1.0 / 120.0;
  sum = sum * r2 - 1.0 / 6.0;
  return r + r * r2 * sum;
}

double CosSeries(double r) {
  const double r2 = r * r;
  double sum = -1.0 / 6402373705728000.0;  // -1/18!
  sum = sum * r2 + 1.0 / 20922789888000.0;
  sum = sum * r2 - 1.0 / 87178291200.0;
  sum = sum * r2 + 1.0 / 479001600.0;
  sum = sum * r2 - 1.0 / 3628800.0;
  sum = sum * r2 + 1.0 / 40320.0;
  sum = sum * r2 - 1.0 / 720.0;
  sum = sum * r2 + 1.0 / 24.0;
  return 1.0 - 0.5 * r2 + r2 * r2 * sum;
}

// atan(t) for |t| <= tan(pi/8): the argument is halved twice, atan(t) =
// 2 atan(t / (1 + sqrt(1 + t^2))), to |t| < 0.0985, where the series to
// t^17 is good to the last bit.
double AtanSmall(double t) {
  for (int i = 0; i < 2; ++i) {
    t = t / (1.0 + std::sqrt(1.0 + t * t));
  }
  const double t2 = t * t;
  double sum = 1.0 / 17.0;
  for (int n = 15; n >= 3; n -= 2) {
    sum = 1.0 / n - t2 * sum;
  }
  return 4.0 * (t - t * t2 * sum);
}

}  // namespace

double AngleOf(double y, double x) {
  if (!std::isfinite(x) || !std::isfinite(y)) {
    return NAN;
  }
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  if (ax == 0.0 && ay == 0.0) {
    return 0.0;
  }
  const bool steep = ay > ax;
  const double t = steep ? ax / ay : ay / ax;  // in [0, 1]
  constexpr double kTanEighth = 0.41421356237309503;
  double angle =
      t > kTanEighth ? kTurn / 8 + AtanSmall((t - 1.0) / (t + 1.0)) : AtanSmall(t);
  if (steep) {
    angle = kTurn / 4 - angle;
  }
  if (x < 0.0) {
    angle = kTurn / 2 - angle;
  }
  return y < 0.0 ? -angle : angle;
}

SinCos SinCosOf(double angle) {
  if (!std::isfinite(angle)) {
    return {NAN, NAN};
  }
  double x = angle;
  double quarters = std::nearbyint(x * kQuartersPerRadian);
  if (!(std::fabs(quarters) < kMostQuarters)) {
    // Beyond a hundred million radians (no road turns so far) the angle is
    // first brought into one turn, exactly as the double nearest 2*pi divides it.
    x = std::fmod(x, kTurn);
    quarters = std::nearbyint(x * kQuartersPerRadian);
  }
  const double r = ((((x - quarters * kQuarter1) - quarters * kQuarter2) - quarters * kQuarter3) -
                    quarters * kQuarter4);
  const double s = SinSeries(r);
  const double c = CosSeries(r);
  switch (static_cast<long long>(std::fmod(quarters, 4.0) + 4.0) % 4) {
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

}  // namespace velmora::road::detail
