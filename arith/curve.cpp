#include "arith/curve.h"

#include <cmath>

#include "arith/watched_arithmetic.h"

namespace velmora {
namespace {

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
