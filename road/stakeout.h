// The stations of a station coordinate table: every element boundary,
// every whole multiple of a step, and stations asked for, in order, each
// once.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>

#include "road/alignment.h"

namespace velmora::road {

// The code a road document gives a boundary: QD start, ZD end; between a
// straight (Z), a spiral (H) and an arc (Y): ZH, HY, YH, HZ, ZY, YZ; JD
// where two straights meet (their intersection point); GQ where two curves
// meet (their common tangent point). Empty for a station that is no
// boundary.
std::string_view BoundaryCode(const Alignment& alignment, std::size_t boundary);

struct StakeoutRow {
  double distance;        // along the road
  std::size_t element;    // the element that holds it (the later one at a junction)
  std::string_view code;  // BoundaryCode, or empty
};

// Calls `row` for each station of the table in order of distance: each
// element boundary, each distance inside the alignment where the displayed
// station (Alignment::DisplayStation) is a whole multiple of `step` (> 0),
// computed as products k * step so nothing drifts, and each distance of
// `extra` (sorted or not) inside it; a distance that is two of these comes
// once. Stops early and returns false when `row` returns false.
bool StakeoutStations(const Alignment& alignment, double step, std::span<const double> extra,
                      const std::function<bool(const StakeoutRow&)>& row);

}  // namespace velmora::road
