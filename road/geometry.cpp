#include "road/geometry.h"

#include <array>
#include <cmath>

#include "arith/curve.h"
#include "road/travel.h"
#include "road/trig.h"

namespace velmora::road {
namespace detail {
namespace {

// Gauss-Legendre nodes (one of each pair +-x) and weights on [-1, 1].
constexpr std::array<double, 4> kNodes = {0.18343464249564980494, 0.52553240991632898582,
                                          0.79666647741362673959, 0.96028985649753623168};
constexpr std::array<double, 4> kWeights = {0.36268378337836198297, 0.31370664587788728734,
                                            0.22238103445337447054, 0.10122853629037625915};

// The turning that one panel may span (largest curvature in it times its
// length): the quadrature's error is then far below a nanometre per
// kilometre.
constexpr double kPanelTurning = 1.0;
constexpr double kMaxPanels = 65536.0;

// sin(x) / x without the cancellation or underflow of small x.
double Sinc(double x) {
  if (std::fabs(x) < 1e-4) {
    return 1.0 - x * x / 6.0;
  }
  return SinCosOf(x).sin / x;
}

}  // namespace

double CurvatureOf(double radius) { return radius == 0.0 ? 0.0 : 1.0 / radius; }

double CurvatureRate(const Element& element) {
  if (KindOf(element) != Kind::kSpiral) {
    return 0.0;
  }
  return (CurvatureOf(element.end_radius) - CurvatureOf(element.start_radius)) / element.Length();
}

std::optional<Point> Travel(double azimuth, double curvature, double rate, double length) {
  if (rate == 0.0) {
    // The chord of the arc (of the straight when curvature is 0), in the
    // direction halfway round it.
    const double half = 0.5 * curvature * length;
    const double chord = length * Sinc(half);
    const double direction = azimuth + half;
    const SinCos way = SinCosOf(direction);
    return Point{chord * way.cos, chord * way.sin};
  }
  const double end_curvature = curvature + rate * length;
  const double most = std::fmax(std::fabs(curvature), std::fabs(end_curvature));
  const double panels = std::fmax(1.0, std::ceil(most * length / kPanelTurning));
  if (!(panels <= kMaxPanels)) {
    return std::nullopt;
  }
  const int count = static_cast<int>(panels);
  const double width = length / panels;
  const double half_width = 0.5 * width;
  const auto azimuth_at = [&](double u) { return azimuth + u * (curvature + 0.5 * rate * u); };
  double x = 0.0;
  double y = 0.0;
  for (int panel = 0; panel < count; ++panel) {
    const double middle = (panel + 0.5) * width;
    double px = 0.0;
    double py = 0.0;
    for (std::size_t i = 0; i < kNodes.size(); ++i) {
      const double step = half_width * kNodes[i];
      const double before = azimuth_at(middle - step);
      const double after = azimuth_at(middle + step);
      const SinCos a = SinCosOf(before);
      const SinCos b = SinCosOf(after);
      px += kWeights[i] * (a.cos + b.cos);
      py += kWeights[i] * (a.sin + b.sin);
    }
    x += px;
    y += py;
  }
  return Point{x * half_width, y * half_width};
}

}  // namespace detail

Kind KindOf(const Element& element) {
  if (element.start_radius == 0.0 && element.end_radius == 0.0) {
    return Kind::kStraight;
  }
  return element.start_radius == element.end_radius ? Kind::kArc : Kind::kSpiral;
}

std::optional<double> AzimuthAt(const Element& element, double station) {
  return CurveAzimuth(element.start_station, element.end_station, element.start_radius,
                      element.end_radius, station, element.start_azimuth);
}

std::optional<Pose> PoseAt(const Element& element, double station) {
  if (!(station >= element.start_station && station <= element.end_station)) {
    return std::nullopt;
  }
  const auto azimuth = AzimuthAt(element, station);
  if (!azimuth) {
    return std::nullopt;
  }
  const auto travel =
      detail::Travel(element.start_azimuth, detail::CurvatureOf(element.start_radius),
                     detail::CurvatureRate(element), station - element.start_station);
  if (!travel) {
    return std::nullopt;
  }
  Pose pose;
  pose.point = {element.start.x + travel->x, element.start.y + travel->y};
  pose.azimuth = *azimuth;
  const detail::SinCos way = detail::SinCosOf(*azimuth);
  pose.right = {-way.sin, way.cos};
  if (!std::isfinite(pose.point.x) || !std::isfinite(pose.point.y) ||
      !std::isfinite(pose.right.x)) {
    return std::nullopt;
  }
  return pose;
}

Point OffsetFrom(const Pose& pose, double offset) {
  return {pose.point.x + offset * pose.right.x, pose.point.y + offset * pose.right.y};
}

std::optional<Point> PointAt(const Element& element, double station, double offset) {
  if (!std::isfinite(offset)) {
    return std::nullopt;
  }
  const auto pose = PoseAt(element, station);
  if (!pose) {
    return std::nullopt;
  }
  return OffsetFrom(*pose, offset);
}

}  // namespace velmora::road
