// The reverse (coordinates to station and offset): the foot of the
// perpendicular from a point to the centre line.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "road/alignment.h"

namespace velmora::road {

struct Location {
  double distance = 0.0;  // along the road, at the foot
  double offset = 0.0;    // right of the centre line positive
  double azimuth = 0.0;   // the window's azimuth at the foot (radians)
  std::size_t element = 0;
  Point foot;
};

enum class Refusal {
  kBeforeStart,  // the point lies before the start of the alignment
  kBeyondEnd,    // the point lies beyond its end
  kTooFar,       // the foot is farther than the largest offset allowed
};

// What one search took: the feet solved for on pieces of the centre line,
// and the steps (Newton's, or halvings of the bracket) taken for them.
struct SearchCost {
  int feet = 0;
  int steps = 0;
};

struct LocateResult {
  std::optional<Location> location;
  Refusal refusal = Refusal::kBeyondEnd;  // when there is no location
  SearchCost cost;
};

// Locates points against one alignment (it keeps a copy); built once, then
// used for many points, from any number of threads. Works at and across
// element ends, when the normal points due north or south, on long flat
// spirals and tight ones, and on roads that coil round one spot thousands
// of times (the search's pieces each turn at most a radian, however many
// that takes: its memory, some 260 bytes a piece, grows with the road's
// whole turning, which BuildAlignment bounds by kMostTurning). When several parts of the alignment
// are candidates (a hairpin) the nearer foot wins; equal distances (within a nanometre and the
// rounding of the coordinates) go to the lower station. A point within 1e-7 units of the normal at
// either end of the road counts as on it. Where elements meet at an angle (a start given apart from
// the previous end), a point with no foot on either is put at the junction. A point with a
// coordinate that is not finite, and any point on a road of no elements, is refused as too far.
class Locator {
 public:
  explicit Locator(const Alignment& alignment);
  ~Locator();
  Locator(const Locator&) = delete;
  Locator& operator=(const Locator&) = delete;

  LocateResult Locate(Point point, std::optional<double> max_offset = std::nullopt) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::road
