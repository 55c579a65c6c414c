// The PI method: a road given by its intersection points (交点, JD), as the
// designer's table of straights, curves and deflections lists them, turned
// into the road's elements, and a road of straights and spiral-arc-spiral
// curves turned back into its table.
//
// Each JD carries a circular curve of radius R with a transition spiral
// (clothoid) of length Ls1 before it and Ls2 after it; with both 0 it is a
// plain arc. The curve's main points are ZH (straight to spiral), HY
// (spiral to arc), QZ (the middle: ZH + L/2), YH (arc to spiral) and HZ
// (spiral to straight); for a plain arc ZY, QZ and YZ, which are ZH, QZ and
// HZ here.
//
// The shift p and the tangent extension q of each spiral are those of the
// exact clothoid, its end point computed as the road's own points are
// (PointAt), so the road staked out from the table is tangent to every line
// between JDs. The textbook series p = Ls²/(24R) - Ls⁴/(2688R³) and
// q = Ls/2 - Ls³/(240R²) fall short of them by about their next terms,
// Ls⁶/(506880R⁵) and Ls⁵/(34560R⁴): for a spiral as long as its radius by
// 0.2 mm and 2.9 mm per 100 units of R; q by 1 µm at Ls = 128 into R 1000
// and by 29 µm for Ls 10,000 into R 100,000.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "road/alignment.h"
#include "road/geometry.h"

namespace velmora::road {

// One row of the table: the start point (BP), a JD or the end point (EP).
struct PiPoint {
  std::string name;  // "JD3"; empty: BP, JD<index> or EP
  Point point;
  double radius = 0.0;      // R > 0; 0 for BP, EP and a JD on a straight line
  double spiral_in = 0.0;   // Ls1 >= 0
  double spiral_out = 0.0;  // Ls2 >= 0
};

struct PiTable {
  double start_station = 0.0;   // the station of BP
  std::vector<PiPoint> points;  // BP, the JDs in order, EP
};

// The curve at one JD, as the table of curve elements lists it. The turn
// comes from the JDs: to the right when the azimuth increases.
struct PiCurve {
  std::size_t point = 0;     // index in PiTable::points
  double deflection = 0.0;   // α, radians, positive to the right, negative to the left
  double radius = 0.0;       // R, always positive; the road's radius is -R for a left turn
  double spiral_in = 0.0;    // Ls1
  double spiral_out = 0.0;   // Ls2
  double a_in = 0.0;         // A1 = sqrt(R Ls1)
  double a_out = 0.0;        // A2 = sqrt(R Ls2)
  double p_in = 0.0;         // p1: how far the arc is moved in from the line before
  double p_out = 0.0;        // p2: the same for the line after
  double q_in = 0.0;         // q1: from ZH along the line to the foot of the arc's centre
  double q_out = 0.0;        // q2: the same from HZ back along the line after
  double tangent_in = 0.0;   // T1: from ZH to the JD
  double tangent_out = 0.0;  // T2: from the JD to HZ
  double arc_length = 0.0;   // Ly = R (α - Ls1/2R - Ls2/2R)
  double length = 0.0;       // L = Ls1 + Ly + Ls2
  double external = 0.0;     // E = |JD - centre| - R
  double correction = 0.0;   // J = T1 + T2 - L
  Point centre;              // of the arc
  double jd_station = 0.0;   // the drawing's: previous JD + distance - previous J
  double zh = 0.0;           // ZY for a plain arc
  double hy = 0.0;
  double qz = 0.0;
  double yh = 0.0;
  double hz = 0.0;  // YZ for a plain arc

  bool PlainArc() const { return spiral_in == 0.0 && spiral_out == 0.0; }
};

// The line from one point of the table to the next and the straight on it
// between the curves (from BP to the first ZH, HZ to ZH, the last HZ to EP).
struct PiStraight {
  double between = 0.0;  // the distance between the two points
  double azimuth = 0.0;  // of the line, radians in [0, 2 pi)
  double length = 0.0;   // of the straight: between - T2 of the first - T1 of the second
  double start_station = 0.0;
  double end_station = 0.0;
};

struct PiRoad {
  // The road, every element with its start azimuth and start point, ready
  // for BuildAlignment. Straights and spirals of no length are left out.
  std::vector<ElementInput> elements;
  std::vector<PiCurve> curves;        // one per JD, in order
  std::vector<PiStraight> straights;  // one per line: points.size() - 1
  double end_station = 0.0;           // of EP
};

enum class PiFault {
  kTooFewPoints,    // fewer than two points
  kNotFinite,       // a number that is not finite
  kNegative,        // a negative radius or spiral length
  kCurveAtEnd,      // BP or EP with a radius or spiral
  kSpiralNoRadius,  // a spiral length without a radius
  kSamePoint,       // two consecutive points at the same place
  kNoDeflection,    // a radius at a JD that does not turn
  kNoRadius,        // a JD that turns without a radius
  kTurnsBack,       // a JD where the road would turn back on itself
  kSpiralsTooLong,  // the spirals turn further than the JD: the arc would be negative
  kOverlap,         // two curves, or a curve and BP or EP, overlap on a straight
};

struct PiError {
  PiFault fault = PiFault::kTooFewPoints;
  std::size_t point = 0;  // the point at fault (index in PiTable::points)
  std::size_t next = 0;   // the second point of kSamePoint and kOverlap
  double amount = 0.0;    // overlap length; the arc's negative length; deflection; value
  std::string message;    // what is wrong; what to do
};

// Curves may touch within this distance: an overlap or a negative arc no
// longer than this is taken as none (rounding of coordinates given to the
// micrometre, or of a table made from a road).
inline constexpr double kPiTouch = 1e-6;

// The road of the table. Refused, with the reason in `error`, when the table
// describes no road (see PiFault).
std::optional<PiRoad> ConvertPi(const PiTable& table, PiError& error);

struct PiPatternError {
  std::size_t element = 0;  // where the road stops fitting
  std::string message;
};

// The table of a road made of straights and curves of the form spiral from
// a straight into R, arc of R, spiral from R back to a straight (any of the
// three may be missing; an arc straight after a straight is a plain arc).
// BP is where the road starts, EP where it ends. Refused with the index of
// the element where the road stops fitting: a spiral between two radii, a
// spiral into R not followed by the arc or a spiral out of R, a spiral out
// of R not after one, a change of direction without a curve, or a curve
// turning half a turn or more.
std::optional<PiTable> PiTableOf(std::span<const Element> elements, PiPatternError& error);

}  // namespace velmora::road
