// Sine and cosine of the road geometry's own, written out in IEEE double
// arithmetic: the C libraries of Linux and Windows round some results
// differently in the last bit, and the Windows builds' points must agree
// with the native build's to the bit. Within 2e-16 of the exact values for
// angles up to 1e8 radians.
#pragma once

namespace velmora::road::detail {

struct SinCos {
  double sin;
  double cos;
};

SinCos SinCosOf(double angle);

// The angle of the vector (x, y) from the x axis towards the y axis, in
// (-pi, pi], within 1e-15 of the exact one; 0 for the zero vector, NaN
// for a value that is not finite. With x northing and y easting it is the
// azimuth of (x, y).
double AngleOf(double y, double x);

}  // namespace velmora::road::detail
