// An alignment: consecutive elements, each starting where the previous one
// ends, with the stations a surveyor reads kept apart from the distance
// along the road (station equations).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "arith/angle.h"
#include "road/geometry.h"

namespace velmora::road {

// One element as a design table states it: a later element may leave its
// start azimuth and start point out, to carry them on from the end of the
// previous one.
struct ElementInput {
  double start_station = 0.0;
  double end_station = 0.0;
  double start_radius = 0.0;
  double end_radius = 0.0;
  std::optional<double> start_azimuth;  // radians
  std::optional<Point> start;
};

// The most a road may turn through in all, in radians (the sum over its
// elements of the largest curvature times the length): more than a
// thousand 10 km elements into radius 10, and the bound that keeps the
// reverse search's memory (some 260 bytes a quarter radian) in hand.
inline constexpr double kMostTurning = 1e6;

// 1 mm and 1 second of arc.
struct Tolerance {
  double distance = 0.001;
  double angle = kPi / (kDegreesPerHalfTurn * kSecondsPerDegree);  // radians
};

// A start that the table gives and that differs from where the previous
// element ends by more than the tolerance. The given value is used: design
// documents state element start points, and they are the authority.
struct Discrepancy {
  std::size_t element = 0;  // index of the element whose start differs
  double distance = 0.0;    // given start point minus carried, in length units (0 when within)
  double angle = 0.0;       // given start azimuth minus carried, radians (0 when within)
};

// A station equation (broken chainage): from distance `at` along the road
// on, stations are counted on from `ahead` instead of `back`. ahead > back
// leaves a gap (stations that exist nowhere), ahead < back an overlap
// (stations that exist twice).
struct StationEquation {
  double at = 0.0;  // distance along the road (the internal station)
  double back = 0.0;
  double ahead = 0.0;
};

struct Built;

// A road: its elements and its station equations, checked together when
// BuildAlignment makes it and unchangeable after; an empty road otherwise.
class Alignment {
 public:
  Alignment() = default;

  // Consecutive: each starts at the previous end station.
  const std::vector<Element>& elements() const { return elements_; }
  // In strictly increasing order of `at`, each strictly inside the road,
  // its back station the one counted there; none for most roads.
  const std::vector<StationEquation>& equations() const { return equations_; }

  double Start() const { return elements_.empty() ? 0.0 : elements_.front().start_station; }
  double End() const { return elements_.empty() ? 0.0 : elements_.back().end_station; }

  // The station a surveyor reads at a distance along the road.
  double DisplayStation(double distance) const;
  // The distances along the road where `station` is read: none in a gap,
  // two (or more) in an overlap, one elsewhere; in increasing order.
  std::vector<double> DistancesOf(double station) const;
  // The station read at the end of a stretch that ends at `distance`: the
  // back station where an equation is there, otherwise DisplayStation (the
  // ahead one at an equation).
  double DisplayEndStation(double distance) const;
  // The equation whose gap holds `station` (back < station < ahead): a
  // station no point of the road has. None elsewhere.
  const StationEquation* GapHolding(double station) const;
  // For a distance whose station occurs twice because of an equation
  // (ahead < back): that equation, and whether the distance lies ahead of it
  // (after `at`) or back of it. None where the station occurs once.
  struct OverlapSide {
    const StationEquation* equation = nullptr;
    bool ahead = false;
  };
  std::optional<OverlapSide> OverlapAt(double distance) const;
  // The index of the element holding distance `distance` (the later one at
  // a junction), or none outside the alignment.
  std::optional<std::size_t> ElementAt(double distance) const;

  // PoseAt and PointAt of elements()[element], to the bit, from points the
  // alignment keeps along each spiral: the cost of one does not grow with
  // its distance from the element's start. No value for an element index
  // outside the road.
  std::optional<Pose> PoseAt(std::size_t element, double station) const;
  std::optional<Point> PointAt(std::size_t element, double station, double offset = 0.0) const;

 private:
  friend std::optional<Built> BuildAlignment(std::span<const ElementInput> inputs,
                                             std::span<const StationEquation> equations,
                                             const Tolerance& tolerance, std::string& error);

  std::vector<Element> elements_;
  std::vector<StationEquation> equations_;
  // Each element's anchors (detail::AnchorsOf).
  std::vector<std::vector<Point>> anchors_;
};

struct Built {
  Alignment alignment;
  std::vector<Discrepancy> discrepancies;
};

// Joins the elements into an alignment, carrying start azimuths and start
// points that are left out from the end of the previous element. The first
// element must give both. Fails, with the reason in `error` and naming the
// element by its index from 0, when an element cannot be computed or does
// not start where the previous one ends; and naming the equation by its
// number from 1 and its stations ("station equation 2 (1420 = 1405): ...")
// when a value is not finite, its `at` does not follow the previous one's,
// lies outside the road (at its start or end included) or its back station
// differs from the station counted there by more than the tolerance.
std::optional<Built> BuildAlignment(std::span<const ElementInput> inputs,
                                    std::span<const StationEquation> equations,
                                    const Tolerance& tolerance, std::string& error);

}  // namespace velmora::road
