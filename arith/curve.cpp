#include "arith/curve.h"

#include <cmath>

namespace velmora {
namespace {

// IEEE arithmetic that remembers whether any operation raised invalid
// operation, division by zero or overflow. It reads the operands and results
// rather than the processor's status word, which an optimising compiler is
// free to test before the operation it should watch.
class WatchedArithmetic {
 public:
  bool Faulted() const { return faulted_; }

  double Sub(double a, double b) { return Check(a - b, a, b); }
  double Add(double a, double b) { return Check(a + b, a, b); }
  double Mul(double a, double b) { return Check(a * b, a, b); }
  double Div(double a, double b) {
    if (b == 0.0) {  // 0/0 is invalid, x/0 a division by zero
      faulted_ = true;
    }
    return Check(a / b, a, b);
  }

 private:
  // A NaN result means an invalid operation (or a NaN operand, which is no
  // number to compute with either); an infinite result from finite operands
  // means an overflow. An infinite operand gives an infinite result exactly,
  // which raises nothing.
  double Check(double result, double a, double b) {
    if (std::isnan(result) || (std::isinf(result) && std::isfinite(a) && std::isfinite(b))) {
      faulted_ = true;
    }
    return result;
  }

  bool faulted_ = false;
};

double Curvature(WatchedArithmetic& fp, double radius) {
  return radius == 0.0 ? 0.0 : fp.Div(1.0, radius);  // -0 counts as straight too
}

}  // namespace

std::optional<double> CurveAzimuth(double start, double end, double start_radius, double end_radius,
                                   double point, double start_azimuth) {
  WatchedArithmetic fp;

  const double start_curvature = Curvature(fp, start_radius);
  if (fp.Faulted()) {
    return std::nullopt;
  }
  const double end_curvature = Curvature(fp, end_radius);
  if (fp.Faulted()) {
    return std::nullopt;
  }

  // Curvature at the point, interpolated over the element length.
  const double length = std::fabs(fp.Sub(end, start));
  const double travelled = std::fabs(fp.Sub(point, start));
  const double point_curvature = fp.Add(
      fp.Div(fp.Mul(travelled, fp.Sub(end_curvature, start_curvature)), length), start_curvature);
  if (fp.Faulted()) {
    return std::nullopt;
  }

  // Start azimuth plus distance times the mean curvature: the exact turning
  // of a curvature that changes linearly along the element.
  const double azimuth = fp.Add(
      fp.Mul(travelled, fp.Mul(fp.Add(point_curvature, start_curvature), 0.5)), start_azimuth);
  if (fp.Faulted() || !std::isfinite(azimuth)) {
    return std::nullopt;
  }
  return azimuth;
}

}  // namespace velmora
