// Azimuth along one alignment element whose curvature changes linearly with
// distance: a straight (both radii 0), a circular arc (equal radii) or a
// transition spiral.
#pragma once

#include <optional>

namespace velmora {

// Azimuth (radians) at station `point` of an element from station `start` to
// station `end`, with radius `start_radius` at the start and `end_radius` at
// the end (0 means no curvature; a negative radius turns the other way), and
// azimuth `start_azimuth` (radians) at the start. Stations and radii share
// one length unit. The result is not reduced into a turn.
//
// Gives no value on an arithmetic fault: an invalid operation, a division by
// zero or an overflow while forming any of the curvatures or the result
// (equal start and end stations, a radius whose reciprocal overflows, a
// result beyond the double range), or a NaN anywhere in the inputs.
std::optional<double> CurveAzimuth(double start, double end, double start_radius, double end_radius,
                                   double point, double start_azimuth);

}  // namespace velmora
