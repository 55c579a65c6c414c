// Exact positions along road elements for the tests, worked out in long
// double with formulas of their own: closed forms round the centre for arcs,
// and for spirals Boole's rule over many short panels, refined by
// Richardson's extrapolation. Nothing here calls the code under test.
#pragma once

#include <cmath>

#include "road/geometry.h"

namespace velmora::road::reference {

struct Exact {
  long double x;
  long double y;
};

inline long double Curvature(double radius) { return radius == 0.0 ? 0.0L : 1.0L / radius; }

// The azimuth along the element: the start azimuth plus the integral of a
// linearly changing curvature.
inline long double Azimuth(const Element& e, long double s) {
  const long double k0 = Curvature(e.start_radius);
  const long double k1 = Curvature(e.end_radius);
  const long double length = (long double)e.end_station - e.start_station;
  return e.start_azimuth + k0 * s + (k1 - k0) * s * s / (2.0L * length);
}

// Boole's rule with `panels` panels over [0, s] of (cos, sin) of the azimuth.
inline Exact Boole(const Element& e, long double s, long panels) {
  const long double h = s / panels;
  static const long double weights[5] = {7, 32, 12, 32, 7};
  long double x = 0.0L;
  long double y = 0.0L;
  for (long p = 0; p < panels; ++p) {
    for (int i = 0; i < 5; ++i) {
      const long double a = Azimuth(e, h * p + h * i / 4.0L);
      x += weights[i] * cosl(a);
      y += weights[i] * sinl(a);
    }
  }
  return {x * h / 90.0L, y * h / 90.0L};
}

// The point `offset` to the right of the centre line's `centre` at `station`.
inline Exact Offset(const Element& e, double station, Exact centre, double offset) {
  const long double a = Azimuth(e, (long double)station - e.start_station);
  return {centre.x - offset * sinl(a), centre.y + offset * cosl(a)};
}

// The point at `station`, `offset` to the right.
inline Exact Point(const Element& e, double station, double offset = 0.0) {
  const long double s = (long double)station - e.start_station;
  const long double a = Azimuth(e, s);
  Exact p{e.start.x, e.start.y};
  if (e.start_radius == 0.0 && e.end_radius == 0.0) {
    p.x += s * cosl(e.start_azimuth);
    p.y += s * sinl(e.start_azimuth);
  } else if (e.start_radius == e.end_radius) {
    // Round the centre, which lies one radius to the right of the start.
    const long double r = e.start_radius;
    p.x += r * (sinl(a) - sinl(e.start_azimuth));
    p.y += r * (cosl(e.start_azimuth) - cosl(a));
  } else {
    const long double most =
        fmaxl(fabsl(Curvature(e.start_radius)), fabsl(Curvature(e.end_radius)));
    const long panels = 1 + (long)(most * fabsl(s) / 0.05L);
    const Exact coarse = Boole(e, s, panels);
    const Exact fine = Boole(e, s, 2 * panels);
    p.x += (64.0L * fine.x - coarse.x) / 63.0L;
    p.y += (64.0L * fine.y - coarse.y) / 63.0L;
  }
  return Offset(e, station, p, offset);
}

inline double Error(const velmora::road::Point& computed, const Exact& exact) {
  return (double)hypotl(computed.x - exact.x, computed.y - exact.y);
}

}  // namespace velmora::road::reference
