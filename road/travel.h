// The way travelled along a centre line whose curvature changes linearly:
// shared by an element's points and the reverse's steps from its cached
// points. Not part of the interface of road/.
#pragma once

#include <optional>

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

}  // namespace velmora::road::detail
