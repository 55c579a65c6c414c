// The curve at a JD worked out for the tests in long double, geometrically:
// the clothoid's end by its Fresnel series, the arc's centre as the point
// R + p1 inside the line before and R + p2 inside the line after. Nothing
// here calls the code under test.
#pragma once

#include <cmath>

namespace velmora::road::pi_reference {

using Real = long double;

struct Vec {
  Real x, y;
};

inline Vec Unit(Vec from, Vec to) {
  const Real d = hypotl(to.x - from.x, to.y - from.y);
  return {(to.x - from.x) / d, (to.y - from.y) / d};
}

// The shift p and tangent extension q of a clothoid from a straight into R:
// x = Ls Σ (-1)^n τ^2n / ((4n+1)(2n)!), y = Ls Σ (-1)^n τ^(2n+1) / ((4n+3)(2n+1)!)
// with τ = Ls / 2R its turn, less the arc's R sin τ and R (1 - cos τ).
struct Shift {
  Real p = 0, q = 0;
};
inline Shift ShiftOf(Real r, Real ls) {
  const Real tau = ls / (2 * r);
  Real x = 0, y = 0, power = 1;  // τ^k / k!
  for (int k = 0; k < 40; ++k) {
    const Real term = ls * power / (2 * k + 1);
    (k % 2 == 0 ? x : y) += (k % 4 < 2 ? term : -term);
    power *= tau / (k + 1);
  }
  return {y - r * (1 - cosl(tau)), x - r * sinl(tau)};
}

struct Curve {
  Real deflection, t1, t2, length, external;
  Vec zh, hz;
};

// The curve of radius r at `jd` between the lines from `before` and to `after`.
inline Curve CurveAt(Vec before, Vec jd, Vec after, Real r, Real ls1, Real ls2) {
  const Vec u1 = Unit(before, jd);
  const Vec u2 = Unit(jd, after);
  const Real cross = u1.x * u2.y - u1.y * u2.x;
  const Real side = cross > 0 ? 1 : -1;
  const Vec n1{-side * u1.y, side * u1.x};  // towards the inside of the turn
  const Vec n2{-side * u2.y, side * u2.x};
  const Shift s1 = ShiftOf(r, ls1), s2 = ShiftOf(r, ls2);
  // The centre c - jd = w: w.n1 = r + p1, w.n2 = r + p2.
  const Real det = n1.x * n2.y - n1.y * n2.x;
  const Vec w{((r + s1.p) * n2.y - n1.y * (r + s2.p)) / det,
              (n1.x * (r + s2.p) - (r + s1.p) * n2.x) / det};
  Curve c;
  c.deflection = atan2l(cross, u1.x * u2.x + u1.y * u2.y);
  c.t1 = s1.q - (w.x * u1.x + w.y * u1.y);
  c.t2 = s2.q + (w.x * u2.x + w.y * u2.y);
  c.length = r * fabsl(c.deflection) + (ls1 + ls2) / 2;
  c.external = hypotl(w.x, w.y) - r;
  c.zh = {jd.x - c.t1 * u1.x, jd.y - c.t1 * u1.y};
  c.hz = {jd.x + c.t2 * u2.x, jd.y + c.t2 * u2.y};
  return c;
}

}  // namespace velmora::road::pi_reference
