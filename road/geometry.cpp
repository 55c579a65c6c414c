#include "road/geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <vector>

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

std::optional<std::size_t> PanelsOf(const Element& element) {
  if (KindOf(element) != Kind::kSpiral) {
    return 0;
  }
  const double most = std::fmax(std::fabs(CurvatureOf(element.start_radius)),
                                std::fabs(CurvatureOf(element.end_radius)));
  const double panels = std::fmax(1.0, std::ceil(most * element.Length() / kPanelTurning));
  if (!(panels <= kMaxPanels)) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(panels);
}

namespace {

// Where panel `panel` of `count` starts, as a distance from the element's
// start.
double PanelStart(double length, std::size_t count, std::size_t panel) {
  return length * static_cast<double>(panel) / static_cast<double>(count);
}

// The panel of `count` that holds distance `u` from the element's start
// (the later one at a boundary).
std::size_t PanelHolding(double length, std::size_t count, double u) {
  const double guess = std::floor(u * static_cast<double>(count) / length);
  std::size_t panel =
      guess <= 0.0 ? 0 : std::min(count - 1, static_cast<std::size_t>(std::fmin(guess, 1e18)));
  while (panel > 0 && u < PanelStart(length, count, panel)) {
    --panel;
  }
  while (panel + 1 < count && u >= PanelStart(length, count, panel + 1)) {
    ++panel;
  }
  return panel;
}

// The way travelled along the element from distance `from` to distance
// `to` from its start: one 8-point Gauss-Legendre sum, its nodes placed by
// their distance from the element's start.
Point PanelTravel(const Element& element, double rate, double from, double to) {
  const double azimuth = element.start_azimuth;
  const double curvature = CurvatureOf(element.start_radius);
  const auto azimuth_at = [&](double u) { return azimuth + u * (curvature + 0.5 * rate * u); };
  const double middle = 0.5 * (from + to);
  const double half_width = 0.5 * (to - from);
  double x = 0.0;
  double y = 0.0;
  for (std::size_t i = 0; i < kNodes.size(); ++i) {
    const double step = half_width * kNodes[i];
    const SinCos a = SinCosOf(azimuth_at(middle - step));
    const SinCos b = SinCosOf(azimuth_at(middle + step));
    x += kWeights[i] * (a.cos + b.cos);
    y += kWeights[i] * (a.sin + b.sin);
  }
  return {x * half_width, y * half_width};
}

// The anchors of panels 0 to `last`.
std::vector<Point> AnchorsTo(const Element& element, std::size_t count, std::size_t last) {
  const double rate = CurvatureRate(element);
  const double length = element.Length();
  std::vector<Point> anchors;
  anchors.reserve(last + 1);
  anchors.push_back({});
  for (std::size_t panel = 0; panel < last; ++panel) {
    const Point step = PanelTravel(element, rate, PanelStart(length, count, panel),
                                   PanelStart(length, count, panel + 1));
    anchors.push_back({anchors.back().x + step.x, anchors.back().y + step.y});
  }
  return anchors;
}

// PoseFrom with the element's `count` panels, `anchors` holding at least
// the anchors up to the panel that holds the station.
std::optional<Pose> PoseIn(const Element& element, std::size_t count, const Point* anchors,
                           double station) {
  if (!(station >= element.start_station && station <= element.end_station)) {
    return std::nullopt;
  }
  const auto azimuth = AzimuthAt(element, station);
  if (!azimuth) {
    return std::nullopt;
  }
  const double u = station - element.start_station;
  Point travel;
  if (count == 0) {
    // Straights and arcs in closed form from the element's start.
    const auto closed = Travel(element.start_azimuth, CurvatureOf(element.start_radius), 0.0, u);
    if (!closed) {
      return std::nullopt;
    }
    travel = *closed;
  } else {
    const double length = element.Length();
    const std::size_t panel = PanelHolding(length, count, u);
    const Point step =
        PanelTravel(element, CurvatureRate(element), PanelStart(length, count, panel), u);
    travel = {anchors[panel].x + step.x, anchors[panel].y + step.y};
  }
  Pose pose;
  pose.point = {element.start.x + travel.x, element.start.y + travel.y};
  pose.azimuth = *azimuth;
  const SinCos way = SinCosOf(*azimuth);
  pose.right = {-way.sin, way.cos};
  if (!std::isfinite(pose.point.x) || !std::isfinite(pose.point.y) ||
      !std::isfinite(pose.right.x)) {
    return std::nullopt;
  }
  return pose;
}

}  // namespace

std::optional<std::vector<Point>> AnchorsOf(const Element& element) {
  const auto count = PanelsOf(element);
  if (!count) {
    return std::nullopt;
  }
  if (*count == 0) {
    return std::vector<Point>{};
  }
  return AnchorsTo(element, *count, *count - 1);
}

std::optional<Pose> PoseFrom(const Element& element, std::span<const Point> anchors,
                             double station) {
  return PoseIn(element, anchors.size(), anchors.data(), station);
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
  const auto count = detail::PanelsOf(element);
  if (!count) {
    return std::nullopt;
  }
  if (*count == 0) {
    return detail::PoseIn(element, 0, nullptr, station);
  }
  // The anchors up to the panel that holds the station, summed exactly as
  // an alignment sums them once for all (detail::AnchorsOf).
  const std::size_t panel =
      detail::PanelHolding(element.Length(), *count, station - element.start_station);
  const std::vector<Point> anchors = detail::AnchorsTo(element, *count, panel);
  return detail::PoseIn(element, *count, anchors.data(), station);
}

Point OffsetFrom(const Pose& pose, double offset) {
  return {pose.point.x + offset * pose.right.x, pose.point.y + offset * pose.right.y};
}

std::optional<Point> OffsetFrom(const std::optional<Pose>& pose, double offset) {
  if (!pose || !std::isfinite(offset)) {
    return std::nullopt;
  }
  return OffsetFrom(*pose, offset);
}

std::optional<Point> PointAt(const Element& element, double station, double offset) {
  return OffsetFrom(PoseAt(element, station), offset);
}

}  // namespace velmora::road
