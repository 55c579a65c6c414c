// Azimuth along one alignment element whose curvature changes linearly with
// distance: a straight (both radii 0), a circular arc (equal radii) or a
// transition spiral (clothoid: one radius 0, or two different radii).
//
// Conventions:
// - Azimuths are in radians, measured clockwise from north (grid north of
//   the X axis, X northing, Y easting).
// - Curvature is 1 / radius. A positive radius makes the azimuth increase
//   with distance along the element, a right-hand turn for a traveller
//   going from the start towards the end; a negative radius makes it
//   decrease, a left-hand turn. 0 (or -0) means no curvature at that end.
// - Stations and radii are in one length unit of the caller's choosing
//   (metres, feet, ...); nothing is converted.
#pragma once

#include <optional>

namespace velmora {

// The azimuth at station `point` of an element.
//
// In:
//   start, end      the stations of the element's ends, any finite values.
//                   Only the distances |end - start| and |point - start|
//                   are used, so the element may be given with end < start.
//   start_radius,   the radius at the start and at the end, in the
//   end_radius      stations' unit; 0 for no curvature, positive to the
//                   right, negative to the left (see above). The curvature
//                   changes linearly from 1/start_radius to 1/end_radius
//                   over the element's length.
//   point           the station of the point. Nothing limits it to the
//                   element (the Calculate command does that): a point
//                   beyond the end continues the element's curvature law,
//                   and a point before the start is taken at its distance
//                   from the start, so it gives the same azimuth as the
//                   point that far after the start (a mirror, not an
//                   extrapolation backwards).
//   start_azimuth   the azimuth at the start, radians, any finite value.
//
// Out: the azimuth at the point in radians,
//   start_azimuth + d * (k_start + k_point) / 2 with d = |point - start|,
// the exact turning of a linearly changing curvature. It is not reduced
// into [0, 2 pi): it may be negative or beyond a turn; RadToDms brings it
// into a turn for display. With point == start it is start_azimuth itself.
//
// No value (std::nullopt) on an arithmetic fault: an invalid operation, a
// division by zero or an overflow while forming a curvature, the point's
// curvature or the result. In practice: equal start and end stations (a
// length of 0, whatever the point), a radius whose reciprocal overflows
// (|radius| below about 5.6e-309), a result beyond the double range, or a
// NaN among the inputs. An infinite input faults only where it makes an
// operation invalid or the result infinite (an infinite radius is no
// curvature). Underflow and inexact results are no fault.
//
// The operations are done in a fixed order, each rounded to a double, with
// no fused multiply-add, so every build gives the same bits.
std::optional<double> CurveAzimuth(double start, double end, double start_radius, double end_radius,
                                   double point, double start_azimuth);

}  // namespace velmora
