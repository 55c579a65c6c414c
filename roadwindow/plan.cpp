#include "roadwindow/plan.h"

#include <algorithm>

#include "plot/trace.h"
#include "road/stakeout.h"

namespace velmora::roadwindow {

void Extent::Add(road::Point p) {
  if (empty) {
    min_x = max_x = p.x;
    min_y = max_y = p.y;
    empty = false;
    return;
  }
  min_x = std::min(min_x, p.x);
  max_x = std::max(max_x, p.x);
  min_y = std::min(min_y, p.y);
  max_y = std::max(max_y, p.y);
}

void PlanTransform::Fit(const Extent& extent, double width, double height, double margin) {
  const double room_u = std::max(1.0, width - 2.0 * margin);
  const double room_v = std::max(1.0, height - 2.0 * margin);
  if (extent.empty) {
    scale_ = 1.0;
    north_ = 0.0;
    east_ = 0.0;
    return;
  }
  const double across = extent.max_y - extent.min_y;
  const double along = extent.max_x - extent.min_x;
  double scale = kMostScale;
  if (across > 0.0) {
    scale = std::min(scale, room_u / across);
  }
  if (along > 0.0) {
    scale = std::min(scale, room_v / along);
  }
  scale_ = std::clamp(scale, kLeastScale, kMostScale);
  const double centre_north = 0.5 * (extent.min_x + extent.max_x);
  const double centre_east = 0.5 * (extent.min_y + extent.max_y);
  east_ = centre_east - 0.5 * width / scale_;
  north_ = centre_north + 0.5 * height / scale_;
}

void PlanTransform::ZoomAbout(ScreenPoint at, double factor) {
  const road::Point fixed = ToGround(at);
  scale_ = std::clamp(scale_ * factor, kLeastScale, kMostScale);
  east_ = fixed.y - at.u / scale_;
  north_ = fixed.x + at.v / scale_;
}

void PlanTransform::Pan(double du, double dv) {
  east_ -= du / scale_;
  north_ += dv / scale_;
}

ScreenPoint PlanTransform::ToScreen(road::Point p) const {
  return {(p.y - east_) * scale_, (north_ - p.x) * scale_};
}

road::Point PlanTransform::ToGround(ScreenPoint s) const {
  return {north_ - s.v / scale_, east_ + s.u / scale_};
}

std::uint32_t ColourOf(road::Kind kind) {
  switch (kind) {
    case road::Kind::kStraight:
      return kStraightColour;
    case road::Kind::kArc:
      return kArcColour;
    case road::Kind::kSpiral:
      return kSpiralColour;
  }
  return kStraightColour;
}

double DrawingTolerance(const Extent& extent, double pixels_across) {
  const double size = std::max(extent.max_x - extent.min_x, extent.max_y - extent.min_y);
  if (extent.empty || size <= 0.0 || pixels_across <= 0.0) {
    return 0.01;
  }
  // A quarter pixel at the fitted scale.
  return 0.25 * size / pixels_across;
}

PlanDrawing DrawRoad(const road::Alignment& alignment, const std::vector<double>& offsets,
                     double tolerance, model::StationFormat stations, int decimals) {
  PlanDrawing drawing;
  const auto& elements = alignment.elements();
  // Each element's points, bounded so a huge road stays drawable.
  constexpr std::size_t kMostPoints = 4000;
  const auto trace = [&](std::size_t i, double offset, Polyline& line) {
    if (!plot::TraceElement(
            alignment, i, offset, tolerance,
            [&](road::Point p) {
              line.points.push_back(p);
              drawing.extent.Add(p);
            },
            kMostPoints)) {
      drawing.complete = false;
    }
  };
  for (std::size_t i = 0; i < elements.size(); ++i) {
    Polyline line;
    line.kind = road::KindOf(elements[i]);
    line.colour = ColourOf(line.kind);
    trace(i, 0.0, line);
    drawing.lines.push_back(std::move(line));
  }
  for (const double offset : offsets) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
      Polyline line;
      line.kind = road::KindOf(elements[i]);
      line.offset_line = true;
      line.colour = kOffsetColour;
      trace(i, offset, line);
      drawing.lines.push_back(std::move(line));
    }
  }
  for (std::size_t b = 0; b <= elements.size() && !elements.empty(); ++b) {
    const std::size_t element = b < elements.size() ? b : b - 1;
    const double distance =
        b < elements.size() ? elements[b].start_station : elements.back().end_station;
    const std::optional<road::Point> at = alignment.PointAt(element, distance);
    if (!at) {
      drawing.complete = false;
      continue;
    }
    MainPoint point;
    point.at = *at;
    point.code = std::string(road::BoundaryCode(alignment, b));
    model::AppendStation(point.station,
                         b < elements.size() ? alignment.DisplayStation(distance)
                                             : alignment.DisplayEndStation(distance),
                         stations, decimals);
    drawing.points.push_back(std::move(point));
  }
  return drawing;
}

}  // namespace velmora::roadwindow
