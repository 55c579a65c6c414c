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

}  // namespace velmora::road::detail
