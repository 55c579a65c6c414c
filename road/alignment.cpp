#include "road/alignment.h"

#include <algorithm>
#include <cmath>

#include "arith/angle.h"
#include "road/travel.h"

namespace velmora::road {
namespace {

std::string Named(std::size_t index, const std::string& what) {
  return "element " + std::to_string(index) + ": " + what;
}

// An angle difference brought into (-pi, pi]: a table may give an azimuth
// a whole turn away from the one carried on.
double Reduced(double angle) {
  const double turn = 2.0 * kPi;
  double reduced = std::remainder(angle, turn);
  if (reduced <= -kPi) {
    reduced += turn;
  }
  return reduced;
}

bool Finite(const ElementInput& input) {
  return std::isfinite(input.start_station) && std::isfinite(input.end_station) &&
         std::isfinite(input.start_radius) && std::isfinite(input.end_radius) &&
         (!input.start_azimuth || std::isfinite(*input.start_azimuth)) &&
         (!input.start || (std::isfinite(input.start->x) && std::isfinite(input.start->y)));
}

std::string NamedEquation(std::size_t index, const StationEquation& equation,
                          const std::string& what) {
  return "station equation " + std::to_string(index + 1) + " (" + NumberToText(equation.back) +
         " = " + NumberToText(equation.ahead) + "): " + what;
}

// The equations against the road they belong to; empty when they fit.
std::string EquationProblem(const Alignment& road, std::span<const StationEquation> equations,
                            const Tolerance& tolerance) {
  for (std::size_t k = 0; k < equations.size(); ++k) {
    const StationEquation& equation = equations[k];
    if (!std::isfinite(equation.at) || !std::isfinite(equation.back) ||
        !std::isfinite(equation.ahead)) {
      return NamedEquation(k, equation, "a number is not finite");
    }
    if (k > 0 && !(equation.at > equations[k - 1].at)) {
      return NamedEquation(k, equation,
                           "it does not lie after the equation before it (at " +
                               NumberToText(equation.at) + " along the road, that one at " +
                               NumberToText(equations[k - 1].at) + ")");
    }
    if (!(equation.at > road.Start() && equation.at < road.End())) {
      return NamedEquation(k, equation,
                           "it lies outside the road (at " + NumberToText(equation.at) +
                               " along it, which runs from " + NumberToText(road.Start()) + " to " +
                               NumberToText(road.End()) + ")");
    }
    // The station counted just before it, by the equations before it.
    const double counted =
        k == 0 ? equation.at : equations[k - 1].ahead + (equation.at - equations[k - 1].at);
    if (!(std::fabs(equation.back - counted) <= tolerance.distance)) {
      return NamedEquation(
          k, equation,
          "its back station is not the station counted there, " + NumberToText(counted));
    }
  }
  return {};
}

}  // namespace

double Alignment::DisplayStation(double distance) const {
  // The last equation at or before the distance sets the count.
  const auto after = std::upper_bound(
      equations_.begin(), equations_.end(), distance,
      [](double value, const StationEquation& equation) { return value < equation.at; });
  if (after == equations_.begin()) {
    return distance;
  }
  const StationEquation& equation = *(after - 1);
  return equation.ahead + (distance - equation.at);
}

double Alignment::DisplayEndStation(double distance) const {
  for (const StationEquation& equation : equations_) {
    if (equation.at == distance) {
      return equation.back;
    }
  }
  return DisplayStation(distance);
}

const StationEquation* Alignment::GapHolding(double station) const {
  for (const StationEquation& equation : equations_) {
    if (equation.back < station && station < equation.ahead) {
      return &equation;
    }
  }
  return nullptr;
}

std::optional<Alignment::OverlapSide> Alignment::OverlapAt(double distance) const {
  const std::vector<double> distances = DistancesOf(DisplayStation(distance));
  if (distances.size() < 2) {
    return std::nullopt;
  }
  for (const StationEquation& equation : equations_) {
    if (equation.ahead < equation.back && distances.front() <= equation.at &&
        equation.at <= distances.back()) {
      return OverlapSide{&equation, !(distance < equation.at)};
    }
  }
  return std::nullopt;
}

std::vector<double> Alignment::DistancesOf(double station) const {
  std::vector<double> distances;
  if (elements_.empty() || !std::isfinite(station)) {
    return distances;
  }
  // Each stretch between equations counts on from its own first station;
  // a stretch holds both its ends, so the station at an equation is found
  // from either side.
  const auto& equations = equations_;
  for (std::size_t k = 0; k <= equations.size(); ++k) {
    const double from = k == 0 ? Start() : std::max(Start(), equations[k - 1].at);
    const double to = k == equations.size() ? End() : std::min(End(), equations[k].at);
    if (from > to) {
      continue;
    }
    const double first = k == 0 ? from : equations[k - 1].ahead + (from - equations[k - 1].at);
    const double distance = k == 0 || first == from ? station : from + (station - first);
    if (distance >= from && distance <= to) {
      distances.push_back(distance);
    }
  }
  std::sort(distances.begin(), distances.end());
  distances.erase(std::unique(distances.begin(), distances.end()), distances.end());
  return distances;
}

std::optional<std::size_t> Alignment::ElementAt(double distance) const {
  if (elements_.empty() || !(distance >= Start() && distance <= End())) {
    return std::nullopt;
  }
  const auto after = std::upper_bound(
      elements_.begin(), elements_.end(), distance,
      [](double value, const Element& element) { return value < element.start_station; });
  return static_cast<std::size_t>(after - elements_.begin()) - 1;
}

std::optional<Pose> Alignment::PoseAt(std::size_t element, double station) const {
  if (element >= elements_.size()) {
    return std::nullopt;
  }
  return detail::PoseFrom(elements_[element], anchors_[element], station);
}

std::optional<Point> Alignment::PointAt(std::size_t element, double station, double offset) const {
  return OffsetFrom(PoseAt(element, station), offset);
}

std::optional<Built> BuildAlignment(std::span<const ElementInput> inputs,
                                    std::span<const StationEquation> equations,
                                    const Tolerance& tolerance, std::string& error) {
  Built built;
  built.alignment.elements_.reserve(inputs.size());
  double turning = 0.0;  // the road's, up to here
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const ElementInput& input = inputs[i];
    if (!Finite(input)) {
      error = Named(i, "a number is not finite");
      return std::nullopt;
    }
    if (!(input.end_station > input.start_station)) {
      error = Named(i, "the end station is not after the start station");
      return std::nullopt;
    }
    turning += std::fmax(std::fabs(detail::CurvatureOf(input.start_radius)),
                         std::fabs(detail::CurvatureOf(input.end_radius))) *
               (input.end_station - input.start_station);
    if (!(turning <= kMostTurning)) {
      error = Named(i,
                    "turns the road through more than 1000000 radians in all; "
                    "check its radii and stations");
      return std::nullopt;
    }
    Element element;
    element.start_station = input.start_station;
    element.end_station = input.end_station;
    element.start_radius = input.start_radius;
    element.end_radius = input.end_radius;
    if (i == 0) {
      if (!input.start_azimuth || !input.start) {
        error = Named(i, "the first element needs its start azimuth and start point");
        return std::nullopt;
      }
      element.start_azimuth = *input.start_azimuth;
      element.start = *input.start;
    } else {
      const Element& previous = built.alignment.elements_.back();
      if (input.start_station != previous.end_station) {
        error = Named(i, "starts at another station than the previous element ends");
        return std::nullopt;
      }
      // The previous element was computed at its end when it was checked.
      const Pose carried = *built.alignment.PoseAt(i - 1, previous.end_station);
      const Point carried_point = carried.point;
      const double carried_azimuth = carried.azimuth;
      element.start_azimuth = input.start_azimuth.value_or(carried_azimuth);
      element.start = input.start.value_or(carried_point);
      Discrepancy discrepancy;
      discrepancy.element = i;
      // sqrt, not hypot: IEEE rounds it alike everywhere.
      const double dx = element.start.x - carried_point.x;
      const double dy = element.start.y - carried_point.y;
      const double distance = std::sqrt(dx * dx + dy * dy);
      const double angle = Reduced(element.start_azimuth - carried_azimuth);
      if (distance > tolerance.distance) {
        discrepancy.distance = distance;
      }
      if (std::fabs(angle) > tolerance.angle) {
        discrepancy.angle = angle;
      }
      if (discrepancy.distance != 0.0 || discrepancy.angle != 0.0) {
        built.discrepancies.push_back(discrepancy);
      }
    }
    std::optional<std::vector<Point>> anchors = detail::AnchorsOf(element);
    if (!anchors || !detail::PoseFrom(element, *anchors, element.end_station)) {
      error = Named(i, "cannot be computed (a radius too small or a turn too long)");
      return std::nullopt;
    }
    built.alignment.elements_.push_back(element);
    built.alignment.anchors_.push_back(std::move(*anchors));
  }
  if (std::string problem = EquationProblem(built.alignment, equations, tolerance);
      !problem.empty()) {
    error = std::move(problem);
    return std::nullopt;
  }
  built.alignment.equations_.assign(equations.begin(), equations.end());
  return built;
}

}  // namespace velmora::road
