// Heights along a road: the design elevation of every station from the
// vertical profile (grades between grade changes, vertical curves at them),
// the elevation of points left and right of the centre line from the cross
// slopes, and how far a surveyed point lies above or below the design.
// Pure geometry: nothing here reads a file.
//
// Conventions:
// - Stations are distances along the road (the internal station of
//   alignment.h, not what a station equation displays), in the one length
//   unit of the road; elevations are in the same unit. Nothing is converted.
// - Grades are in percent in every value this API returns or takes
//   (+ rising along increasing station, -4 for a 4 % fall), except omega,
//   the grade change of a vertical curve, which is a fraction as in the
//   textbook formulas (omega = -0.09 from +5 % to -4 %).
// - A vertical curve at a grade change (PVI) is, by kind:
//   * a symmetric parabola given by its radius R > 0: L = R|omega|,
//     T = L/2, E = T^2/(2R), and at distance x from the curve's start or
//     end the curve lies x^2/(2R) from the tangent line (the highway
//     standard's vertical curve); given by its length L instead, R = L/|omega|;
//   * an asymmetric parabola given by the lengths before and after the PVI
//     (L1, L2): two parabolas meeting under the PVI with a common tangent
//     there of grade (L1 g1 + L2 g2)/(L1 + L2), E = |omega| L1 L2/(2(L1 + L2));
//   * a circle of radius R in the vertical plane, tangent to both grade
//     lines (computed as a circle, not as a parabola).
//   A crest when the grade decreases (omega < 0), a sag when it increases.
//   A radius or length of 0, or no grade change, is a plain grade break.
// - Lengths along a curve (L, T, the start and end stations) are horizontal:
//   differences of stations.
// - Cross slopes are in percent, each side on its own: negative falls away
//   from the centre line going outward (a normal crown is -2 on both sides;
//   a superelevated curve has one side positive). Offsets are positive to
//   the right of increasing station, negative to the left.
// - dh = design elevation - surveyed elevation: positive is fill (the
//   ground must be raised), negative is cut.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora::road {

// What curve a profile point carries.
enum class VerticalCurveKind {
  kNone,        // a plain grade break, or the profile's start or end
  kRadius,      // symmetric parabola of radius `radius`
  kLength,      // symmetric parabola of length `length`
  kAsymmetric,  // two parabolas, `length_in` before the PVI and `length_out` after it
  kCircle,      // circle of radius `radius` (`length`, as a file states it, is not
                // used: compare it with the table's length or arc_length)
};

// One point of a profile as a design table or a file states it: the
// start, a PVI, or the end.
struct ProfilePoint {
  double station = 0.0;
  double elevation = 0.0;
  VerticalCurveKind curve = VerticalCurveKind::kNone;
  double radius = 0.0;
  double length = 0.0;
  double length_in = 0.0;
  double length_out = 0.0;
};

// Why a profile or a cross slope table was refused, naming the point by its
// index from 0 in the list given, with the amounts involved.
struct ProfileError {
  enum class Reason {
    kTooFewPoints,   // fewer than 2 points (or no cross slope at all)
    kNotFinite,      // a number is not finite
    kNotIncreasing,  // station not after the previous point's (`amount` this, `limit` previous)
    kNegative,       // a radius or length below 0 (`amount`)
    kIncomplete,     // a circle without its radius, an asymmetric curve with one length 0
    kCurveAtEnd,     // the first or last point carries a vertical curve
    kOverlap,        // with the next PVI's curve (`amount` T out + next T in, `limit` between PVIs)
    kPastStart,      // before the profile's start (`amount` T in, `limit` to the start)
    kPastEnd,        // past the profile's end (`amount` T out, `limit` to the end)
  };
  Reason reason = Reason::kTooFewPoints;
  std::size_t point = 0;
  double amount = 0.0;
  double limit = 0.0;
  // What is wrong and what to do, without the point's index (the caller
  // names the point, or the line of a file, itself).
  std::string what;
};

// Which way the grade changes at a PVI, curve or not: a crest where it
// decreases, a sag where it increases, kNone where it stays.
enum class Bend { kNone, kCrest, kSag };

// A row of the vertical curve table: one per PVI (every point but the
// start and the end), in order.
struct VerticalCurveRow {
  std::size_t point = 0;  // index in the points given
  double station = 0.0;
  double elevation = 0.0;
  double grade_in = 0.0;                               // percent
  double grade_out = 0.0;                              // percent
  double omega = 0.0;                                  // grade_out - grade_in, as a fraction
  VerticalCurveKind curve = VerticalCurveKind::kNone;  // kNone where there is no curve
  Bend bend = Bend::kNone;
  // R: the same before and after the PVI but for an asymmetric parabola
  // (each half's own, 1/(2a) of its z = a x^2); 0 without a curve.
  double radius_in = 0.0;
  double radius_out = 0.0;
  double length = 0.0;       // L = end_station - start_station
  double arc_length = 0.0;   // a circle's length along the arc, R times the turn; else 0
  double tangent_in = 0.0;   // T before the PVI: station - start_station
  double tangent_out = 0.0;  // T after it: end_station - station
  double external = 0.0;     // E: how far the curve passes the PVI, >= 0
  double start_station = 0.0;
  double start_elevation = 0.0;
  double end_station = 0.0;
  double end_elevation = 0.0;
};

class Profile {
 public:
  // The first and last station of the profile.
  double Start() const;
  double End() const;

  // The design elevation at `station`, and the grade there in percent (at
  // a grade break the grade ahead, at the end the grade behind), from the
  // closed form of the stretch that holds it, computed from its own PVI so
  // nothing builds up along the road; within 1e-6 of the exact value for
  // profiles up to 50 km, elevations up to 5,000, grades up to 10 % and
  // radii of 100 to 1,000,000. The cost grows only with the logarithm of
  // the number of points (a binary search). No value outside the profile or for a station that is
  // not finite.
  std::optional<double> ElevationAt(double station) const;
  std::optional<double> GradeAt(double station) const;

  // The vertical curve table.
  std::vector<VerticalCurveRow> CurveTable() const;

 private:
  friend std::optional<Profile> BuildProfile(std::span<const ProfilePoint>, ProfileError&);
  Profile() = default;  // only BuildProfile makes one

  // One point with its curve worked out. A parabola lies
  // elevation + g_in (s - station) + a_in (s - begin)^2 before the PVI and
  // elevation + g_out (s - station) + a_out (end - s)^2 after it; a circle
  // lies at elevation + low + sigma w^2 / (R + sqrt(R^2 - w^2)) with
  // w = s - station - centre, sigma +1 for a sag and -1 for a crest.
  struct Vertex {
    ProfilePoint given;
    double grade_ahead = 0.0;  // fraction, to the next point
    VerticalCurveKind kind = VerticalCurveKind::kNone;
    double begin = 0.0;
    double end = 0.0;
    double a_in = 0.0;
    double a_out = 0.0;
    double centre = 0.0;  // circle: the centre's station minus the PVI's
    double low = 0.0;     // circle: the lowest (highest) point's elevation minus the PVI's
    double sigma = 0.0;
  };
  struct Height {
    double elevation;
    double grade;  // fraction
  };
  std::optional<Height> HeightAt(double station) const;
  Height OnCurve(std::size_t vertex, double station) const;

  std::vector<Vertex> vertices_;
  std::vector<double> stations_;  // the vertices' stations, compact for the search
};

// Works out the profile from its points: the start, the PVIs in order of
// station, the end. Fails, saying why in `error`, when fewer than 2 points
// are given, a number is not finite, a station is not after the one
// before, a radius or length is negative or missing, the start or end
// carries a curve, or a vertical curve overlaps the next one or runs past
// the profile's start or end (curves that only touch are accepted, and so
// is an overlap of 1e-6 or less, which rounding makes of curves designed to
// touch).
std::optional<Profile> BuildProfile(std::span<const ProfilePoint> points, ProfileError& error);

// The cross slopes at a station, in percent.
struct CrossSlope {
  double station = 0.0;  // ignored where one slope holds everywhere
  double left = 0.0;
  double right = 0.0;
};

class CrossSlopes {
 public:
  // One slope on both sides everywhere (-2: a normal crown).
  explicit CrossSlopes(double both = -2.0) : slopes_{{0.0, both, both}} {}

  // The slopes at `station`: linear between the stations given, the first
  // before the first and the last after the last.
  CrossSlope At(double station) const;

 private:
  friend std::optional<CrossSlopes> BuildCrossSlopes(std::span<const CrossSlope>, ProfileError&);
  std::vector<CrossSlope> slopes_;  // increasing stations
};

// Cross slopes given at stations (a crown, a superelevation run-in and
// run-out). Fails, as BuildProfile does, on none given, a number that is
// not finite, or a station not after the one before.
std::optional<CrossSlopes> BuildCrossSlopes(std::span<const CrossSlope> slopes,
                                            ProfileError& error);

// The design elevation `offset` to the right of the centre line (negative:
// to the left) at `station`: the centre line's elevation plus |offset|
// times that side's slope / 100. No value outside the profile.
std::optional<double> DesignElevation(const Profile& profile, const CrossSlopes& slopes,
                                      double station, double offset);

// dh = design - surveyed at that point: positive fill, negative cut. No
// value outside the profile or for a surveyed elevation that is not finite.
std::optional<double> FillCut(const Profile& profile, const CrossSlopes& slopes, double station,
                              double offset, double surveyed);

}  // namespace velmora::road
