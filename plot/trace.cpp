#include "plot/trace.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "road/geometry.h"

namespace velmora::plot {

std::size_t ChordsFor(const road::Element& element, double offset, double tolerance,
                      std::size_t max_points) {
  const std::size_t most = std::max<std::size_t>(max_points, 2) - 1;
  const auto curvature = [](double radius) {
    return radius == 0.0 ? 0.0 : 1.0 / std::fabs(radius);
  };
  // The curvature changes linearly along the element, so it is sharpest at
  // one of its ends.
  const double k = std::max(curvature(element.start_radius), curvature(element.end_radius));
  if (k == 0.0) {
    return 1;
  }
  // Over a step s the direction turns by at most s * k; a line at offset d
  // has radius at most 1 / k + |d| there, and a chord of it lies
  // (1 / k + |d|) * (s * k)^2 / 8 from the arc (one moved toward the centre
  // is shorter and lies closer; past the centre it folds, with a smaller
  // radius still).
  if (!(tolerance > 0.0)) {
    return most;
  }
  const double step = std::sqrt(8.0 * tolerance / (k + std::fabs(offset) * k * k));
  const double chords = std::ceil(element.Length() / step);
  if (!(chords < static_cast<double>(most))) {
    return most;
  }
  return std::max<std::size_t>(1, static_cast<std::size_t>(chords));
}

bool TraceElement(const road::Alignment& alignment, std::size_t element, double offset,
                  double tolerance, const std::function<void(road::Point)>& point,
                  std::size_t max_points) {
  const road::Element& e = alignment.elements().at(element);
  const std::size_t n = ChordsFor(e, offset, tolerance, max_points);
  // Computed first, handed out after: a failure leaves nothing half drawn.
  std::vector<road::Point> points;
  points.reserve(n + 1);
  for (std::size_t i = 0; i <= n; ++i) {
    const double station =
        i == n ? e.end_station
               : e.start_station + static_cast<double>(i) * e.Length() / static_cast<double>(n);
    const std::optional<road::Point> p = road::PointAt(e, station, offset);
    if (!p) {
      return false;
    }
    points.push_back(*p);
  }
  for (const road::Point& p : points) {
    point(p);
  }
  return true;
}

bool TraceAlignment(const road::Alignment& alignment, double offset, double tolerance,
                    const std::function<void(road::Point)>& point,
                    std::size_t max_points_per_element) {
  std::optional<road::Point> last;
  for (std::size_t i = 0; i < alignment.elements().size(); ++i) {
    const bool ok = TraceElement(
        alignment, i, offset, tolerance,
        [&](road::Point p) {
          // An element starts where the previous one ends, but a start the
          // design table gives may differ a little: then both are drawn.
          if (!last || p.x != last->x || p.y != last->y) {
            point(p);
          }
          last = p;
        },
        max_points_per_element);
    if (!ok) {
      return false;
    }
  }
  return true;
}

}  // namespace velmora::plot
