// Positions along one alignment element whose curvature changes linearly
// with distance: a straight, a circular arc or a transition spiral
// (clothoid), the same elements the window computes azimuths for.
//
// Conventions, everywhere in road/:
// - X is northing and Y is easting, as in a station coordinate table.
// - Azimuths are in radians, clockwise from north (the window's azimuth).
// - A positive radius makes the azimuth increase along the element (a
//   right-hand turn), a negative one decrease; 0 means no curvature. The
//   curvature changes linearly with distance from 1/start radius to
//   1/end radius.
// - Offsets are perpendicular to the centre line: positive to the right of
//   the direction of increasing station, negative to the left.
// - Stations here are distances along the road in one length unit of the
//   user's choosing (what a station equation displays is kept apart, in
//   alignment.h); nothing is converted.
#pragma once

#include <optional>

namespace velmora::road {

struct Point {
  double x = 0.0;  // northing
  double y = 0.0;  // easting
};

// One element, as a value. Its azimuth at any station is the window's
// CurveAzimuth of these numbers.
struct Element {
  double start_station = 0.0;
  double end_station = 0.0;  // after start_station
  double start_radius = 0.0;
  double end_radius = 0.0;
  double start_azimuth = 0.0;  // radians
  Point start;                 // the centre line's point at start_station

  double Length() const { return end_station - start_station; }
};

enum class Kind { kStraight, kArc, kSpiral };

// Straight: both radii 0. Arc: equal radii that are not 0. Spiral: any
// other pair (from or into a straight, or between two radii).
Kind KindOf(const Element& element);

// The azimuth at `station`, computed by CurveAzimuth itself, so it is the
// window's azimuth to the bit. No value where CurveAzimuth faults.
std::optional<double> AzimuthAt(const Element& element, double station);

// The point at `station` (start_station <= station <= end_station), moved
// `offset` to the right of the centre line (negative: to the left). It is
// computed from the element's own start point (a spiral's from fixed points
// along the element, each summed from its start panel by panel), so errors
// do not build up along a road, and is within 1e-6 length units of the exact point for
// elements up to 10 km long with radii of 10 units or more in size. No
// value for a station outside the element or an element that cannot be
// computed (a fault in CurveAzimuth, a value that is not finite, a spiral
// whose largest curvature times its length exceeds 65,536: tens of
// thousands of radians, no road).
std::optional<Point> PointAt(const Element& element, double station, double offset = 0.0);

// What a row of a station coordinate table shares between its offsets: the
// centre line's point at a station, the azimuth there (AzimuthAt) and the
// unit vector to the right of it.
struct Pose {
  Point point;
  double azimuth = 0.0;
  Point right;
};

// The pose at `station`; no value where PointAt has none.
std::optional<Pose> PoseAt(const Element& element, double station);

// The point `offset` to the right of the pose (negative: to the left).
// PointAt(element, station, offset) is OffsetFrom(*PoseAt(element, station),
// offset) to the bit.
Point OffsetFrom(const Pose& pose, double offset);

// The same of a pose that may be missing; no value for none, or for an
// offset that is not a number.
std::optional<Point> OffsetFrom(const std::optional<Pose>& pose, double offset);

}  // namespace velmora::road
