// The way travelled along a centre line whose curvature changes linearly:
// shared by an element's points and the reverse's steps from its cached
// points. Not part of the interface of road/.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "road/geometry.h"

namespace velmora::road::detail {

// 1/radius, 0 for a radius of 0, as CurveAzimuth forms it.
double CurvatureOf(double radius);

// The curvature's change per unit of length along an element (0 for a
// straight or an arc).
double CurvatureRate(const Element& element);

// The displacement (dx, dy) after `length` (>= 0) along a curve that leaves
// in direction `azimuth` with curvature `curvature` changing by `rate` per
// unit of length: straights and arcs in closed form, spirals by 8-point
// Gauss-Legendre over panels that each turn at most one radian. No value
// for a spiral that would take more than 65536 panels (it turns through
// tens of thousands of radians: no road does).
std::optional<Point> Travel(double azimuth, double curvature, double rate, double length);

// How many panels a spiral element's points are integrated over, each
// turning at most one radian, all of one width: 0 for a straight or an arc,
// none beyond 65536.
std::optional<std::size_t> PanelsOf(const Element& element);

// An element's anchors: the way travelled from its start to the start of
// each of its panels (PanelsOf), each the previous one plus its panel's
// Gauss-Legendre sum. Empty for a straight or an arc, none where PanelsOf
// has none.
std::optional<std::vector<Point>> AnchorsOf(const Element& element);

// PoseAt, from the element's anchors (AnchorsOf): a spiral's point is the
// anchor of the panel that holds the station plus one Gauss-Legendre sum
// from there, so its cost does not grow with the station's distance from
// the element's start. PoseAt(element, station) gives the same bits.
std::optional<Pose> PoseFrom(const Element& element, std::span<const Point> anchors,
                             double station);

}  // namespace velmora::road::detail
