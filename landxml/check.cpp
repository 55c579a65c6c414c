#include "landxml/check.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "road/geometry.h"

namespace velmora::landxml {

std::vector<road::ElementInput> Inputs(const ReadAlignment& alignment) {
  std::vector<road::ElementInput> inputs;
  inputs.reserve(alignment.elements.size());
  for (const ReadElement& element : alignment.elements) inputs.push_back(element.input);
  return inputs;
}

std::vector<EndDifference> CheckStatedEnds(const road::Alignment& built, const ReadAlignment& read,
                                           double tolerance) {
  std::vector<EndDifference> differences;
  const std::size_t count = std::min(built.elements.size(), read.elements.size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::optional<road::Point>& stated = read.elements[i].end;
    if (!stated) continue;
    const road::Element& element = built.elements[i];
    const std::optional<road::Point> end = road::PointAt(element, element.end_station);
    const double distance = end ? std::hypot(stated->x - end->x, stated->y - end->y)
                                : std::numeric_limits<double>::infinity();
    if (!(distance <= tolerance)) differences.push_back({i, distance});
  }
  return differences;
}

}  // namespace velmora::landxml
