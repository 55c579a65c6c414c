#include "landxml/check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "road/geometry.h"

namespace velmora::landxml {

std::vector<road::ElementInput> Inputs(const ReadAlignment& alignment) {
  std::vector<road::ElementInput> inputs;
  inputs.reserve(alignment.elements.size());
  for (const ReadElement& element : alignment.elements) inputs.push_back(element.input);
  return inputs;
}

std::vector<Contradiction> CheckStated(const road::Alignment& built, const ReadAlignment& read,
                                       double tolerance) {
  std::vector<Contradiction> found;
  const std::size_t count = std::min(built.elements().size(), read.elements.size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::optional<road::Point>& stated = read.elements[i].end;
    if (!stated) continue;
    const road::Element& element = built.elements()[i];
    const std::optional<road::Point> end = road::PointAt(element, element.end_station);
    const double distance = end ? std::hypot(stated->x - end->x, stated->y - end->y)
                                : std::numeric_limits<double>::infinity();
    if (!(distance <= tolerance)) found.push_back({i, Stated::kEnd, 0.0, 0.0, distance});
  }
  return found;
}

namespace {

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

std::string Describe(const Contradiction& c, int decimals) {
  switch (c.what) {
    case Stated::kEnd:
      return "the End point the file states is " + Fixed(c.difference, decimals) +
             " from where the element ends";
    case Stated::kLength:
      return "the length the file states, " + Fixed(c.stated, decimals) +
             ", is not the length its points give, " + Fixed(c.computed, decimals);
    case Stated::kRadius:
      return "the radius the file states, " + Fixed(c.stated, decimals) +
             ", is not the radius its points give, " + Fixed(c.computed, decimals);
    case Stated::kRotation:
      return "the rot the file states turns the other way from its points; the element ends " +
             Fixed(c.difference, decimals) + " from the End the file states";
    case Stated::kPi:
      return "the PI the file states is " + Fixed(c.difference, decimals) +
             " from where the spiral's end tangents meet";
  }
  return {};
}

}  // namespace velmora::landxml
