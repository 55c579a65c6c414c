#include "road/stakeout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace velmora::road {
namespace {

char Letter(Kind kind) {
  switch (kind) {
    case Kind::kStraight:
      return 'Z';
    case Kind::kSpiral:
      return 'H';
    case Kind::kArc:
      return 'Y';
  }
  return '?';
}

// The whole multiples of the step, one stretch between station equations
// after the other, as distances along the road.
class Multiples {
 public:
  Multiples(const Alignment& alignment, double step) : alignment_(alignment), step_(step) {
    Enter(0);
  }

  bool Done() const { return stretch_ > alignment_.equations().size(); }
  double Next() const { return next_; }

  void Advance() {
    ++k_;
    Find();
  }

 private:
  // Stretch k runs from the k-th equation (the start for 0) to the next.
  void Enter(std::size_t stretch) {
    stretch_ = stretch;
    if (Done()) {
      return;
    }
    const auto& equations = alignment_.equations();
    from_ =
        stretch == 0 ? alignment_.Start() : std::max(alignment_.Start(), equations[stretch - 1].at);
    to_ = stretch == equations.size() ? alignment_.End()
                                      : std::min(alignment_.End(), equations[stretch].at);
    // The station shown at `from_`; a distance is found back from a station
    // only where the stretch's count differs from the distance itself.
    first_ =
        stretch == 0 ? from_ : equations[stretch - 1].ahead + (from_ - equations[stretch - 1].at);
    k_ = std::ceil(first_ / step_);
    Find();
  }

  // From multiple k_ on: the first one inside the stretch (both its ends
  // included: across an equation the two counts read different stations at
  // one distance), else the next stretch.
  void Find() {
    while (!Done()) {
      const double station = k_ * step_;
      const double distance = first_ == from_ ? station : from_ + (station - first_);
      if (distance < from_) {
        ++k_;
        continue;
      }
      if (distance <= to_) {
        next_ = distance;
        return;
      }
      Enter(stretch_ + 1);
      return;
    }
  }

  const Alignment& alignment_;
  double step_;
  std::size_t stretch_ = 0;
  double from_ = 0.0;
  double to_ = 0.0;
  double first_ = 0.0;
  double k_ = 0.0;
  double next_ = 0.0;
};

}  // namespace

std::string_view BoundaryCode(const Alignment& alignment, std::size_t boundary) {
  const std::size_t count = alignment.elements().size();
  if (count == 0 || boundary > count) {
    return {};
  }
  if (boundary == 0) {
    return "QD";
  }
  if (boundary == count) {
    return "ZD";
  }
  const char before = Letter(KindOf(alignment.elements()[boundary - 1]));
  const char after = Letter(KindOf(alignment.elements()[boundary]));
  static constexpr std::string_view kCodes[] = {"ZH", "HY", "YH", "HZ", "ZY", "YZ"};
  for (std::string_view code : kCodes) {
    if (code[0] == before && code[1] == after) {
      return code;
    }
  }
  // Two straights meet at their intersection point, with no common
  // tangent; two curves (arcs, spirals) meet where they share one.
  return before == 'Z' && after == 'Z' ? "JD" : "GQ";
}

bool StakeoutStations(const Alignment& alignment, double step, std::span<const double> extra,
                      const std::function<bool(const StakeoutRow&)>& row) {
  const std::size_t count = alignment.elements().size();
  if (count == 0) {
    return true;
  }
  std::vector<double> asked;
  for (double distance : extra) {
    if (distance >= alignment.Start() && distance <= alignment.End()) {
      asked.push_back(distance);
    }
  }
  std::sort(asked.begin(), asked.end());
  std::size_t next_asked = 0;
  std::size_t boundary = 0;
  const auto boundary_at = [&](std::size_t b) {
    return b == count ? alignment.End() : alignment.elements()[b].start_station;
  };
  const bool stepping = step > 0.0 && std::isfinite(step);
  Multiples multiples(alignment, stepping ? step : 1.0);
  const double none = std::numeric_limits<double>::infinity();
  std::size_t element = 0;
  while (true) {
    const double at_boundary = boundary <= count ? boundary_at(boundary) : none;
    const double at_multiple = stepping && !multiples.Done() ? multiples.Next() : none;
    const double at_asked = next_asked < asked.size() ? asked[next_asked] : none;
    const double distance = std::min({at_boundary, at_multiple, at_asked});
    if (distance == none) {
      return true;
    }
    StakeoutRow out{distance, 0, {}};
    if (at_boundary == distance) {
      out.code = BoundaryCode(alignment, boundary);
      ++boundary;
    }
    while (element + 1 < count && alignment.elements()[element + 1].start_station <= distance) {
      ++element;
    }
    out.element = element;
    while (stepping && !multiples.Done() && multiples.Next() <= distance) {
      multiples.Advance();
    }
    while (next_asked < asked.size() && asked[next_asked] <= distance) {
      ++next_asked;
    }
    if (!row(out)) {
      return false;
    }
  }
}

}  // namespace velmora::road
