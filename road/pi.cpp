#include "road/pi.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "arith/angle.h"
#include "road/trig.h"

namespace velmora::road {
namespace {

// A JD that turns less than this (0.0002″) does not turn.
constexpr double kNoTurn = 1e-9;

std::string Fixed(double value, int decimals = 4) {
  char text[64];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return std::string(text, result.ptr);
}

// 12°34′56.7″, the sign dropped.
std::string Dms(double radians) {
  const long long tenths =
      static_cast<long long>(std::round(std::fabs(radians) * (180.0 / kPi) * 36000.0));
  char text[64];
  std::snprintf(text, sizeof text, "%lld°%02lld′%02lld.%lld″", tenths / 36000, tenths / 600 % 60,
                tenths % 600 / 10, tenths % 10);
  return text;
}

double Azimuth(double dx, double dy) {
  const double angle = detail::AngleOf(dy, dx);
  return angle < 0.0 ? angle + 2.0 * kPi : angle;
}

// The shift p and tangent extension q of a clothoid of length `length` from
// a straight into radius `radius` > 0, from its end point as PointAt gives
// it: the arc's centre lies R to the side of the spiral's end, at q along
// the straight from the spiral's start and R + p from the straight.
std::optional<std::pair<double, double>> ShiftOf(double radius, double length) {
  if (length == 0.0) {
    return std::pair{0.0, 0.0};
  }
  const Element spiral{0.0, length, 0.0, radius, 0.0, {0.0, 0.0}};
  const auto end = PointAt(spiral, length);
  if (!end) {
    return std::nullopt;
  }
  const double turn = length / (2.0 * radius);
  const double half = detail::SinCosOf(0.5 * turn).sin;
  const double p = end->y - 2.0 * radius * half * half;  // R (1 - cos) without cancelling
  const double q = end->x - radius * detail::SinCosOf(turn).sin;
  return std::pair{p, q};
}

// The curve of one JD from R, Ls1, Ls2 and the size of the deflection,
// everything but the stations, the centre and the sign.
enum class Fit { kFits, kSpiralsTooLong };

struct Shape {
  Fit fit = Fit::kFits;
  double p_in = 0, q_in = 0, p_out = 0, q_out = 0;
  double tangent_in = 0, tangent_out = 0, arc_length = 0, length = 0, external = 0;
  double along = 0;   // the centre from the JD along the line before (negative: back)
  double across = 0;  // and from it to the side of the turn
};

Shape ShapeOf(double radius, double spiral_in, double spiral_out, double turn) {
  Shape shape;
  shape.arc_length = radius * (turn - spiral_in / (2.0 * radius) - spiral_out / (2.0 * radius));
  if (shape.arc_length < 0.0) {
    if (shape.arc_length < -kPiTouch) {
      shape.fit = Fit::kSpiralsTooLong;
      return shape;
    }
    shape.arc_length = 0.0;
  }
  const auto in = ShiftOf(radius, spiral_in);
  const auto out = ShiftOf(radius, spiral_out);
  if (!in || !out) {
    shape.fit = Fit::kSpiralsTooLong;
    return shape;
  }
  std::tie(shape.p_in, shape.q_in) = *in;
  std::tie(shape.p_out, shape.q_out) = *out;
  // The centre lies R + p1 from the line before and R + p2 from the line
  // after; with the JD at the origin and the line before along the axis:
  //   T1 = q1 + (R + p1) tan(α/2) - (p1 - p2) / sin α
  //   T2 = q2 + (R + p2) tan(α/2) + (p1 - p2) / sin α
  const detail::SinCos half = detail::SinCosOf(0.5 * turn);
  const double tangent = half.sin / half.cos;
  const double shift = shape.p_in - shape.p_out;
  const double unequal = shift == 0.0 ? 0.0 : shift / (2.0 * half.sin * half.cos);
  shape.tangent_in = shape.q_in + (radius + shape.p_in) * tangent - unequal;
  shape.tangent_out = shape.q_out + (radius + shape.p_out) * tangent + unequal;
  shape.length = spiral_in + shape.arc_length + spiral_out;
  shape.along = shape.q_in - shape.tangent_in;
  shape.across = radius + shape.p_in;
  // |JD - centre| - R, as (|JD - centre|² - R²) / (|JD - centre| + R).
  const double a2 = shape.along * shape.along;
  shape.external = (a2 + shape.p_in * (2.0 * radius + shape.p_in)) /
                   (std::sqrt(a2 + shape.across * shape.across) + radius);
  return shape;
}

class Refusal {
 public:
  Refusal(const PiTable& table, PiError& error) : table_(table), error_(error) {}

  std::string Name(std::size_t i) const {
    const std::string& name = table_.points[i].name;
    if (!name.empty()) {
      return name + " (point " + std::to_string(i) + ")";
    }
    if (i == 0) {
      return "BP (point 0)";
    }
    if (i + 1 == table_.points.size()) {
      return "EP (point " + std::to_string(i) + ")";
    }
    return "JD" + std::to_string(i) + " (point " + std::to_string(i) + ")";
  }

  std::nullopt_t operator()(PiFault fault, std::size_t point, std::size_t next, double amount,
                            std::string message) const {
    error_.fault = fault;
    error_.point = point;
    error_.next = next;
    error_.amount = amount;
    error_.message = std::move(message);
    return std::nullopt;
  }

 private:
  const PiTable& table_;
  PiError& error_;
};

struct Line {
  double dx = 0, dy = 0, between = 0, azimuth = 0;
};

}  // namespace

std::optional<PiRoad> ConvertPi(const PiTable& table, PiError& error) {
  const Refusal refuse(table, error);
  const std::vector<PiPoint>& points = table.points;
  const std::size_t n = points.size();
  if (n < 2) {
    return refuse(PiFault::kTooFewPoints, 0, 0, static_cast<double>(n),
                  "the table has " + std::to_string(n) + (n == 1 ? " point" : " points") +
                      "; give at least the start point (BP) and the end point (EP)");
  }
  if (!std::isfinite(table.start_station)) {
    return refuse(PiFault::kNotFinite, 0, 0, 0,
                  "the start station is not a finite number; give the station of BP");
  }
  for (std::size_t i = 0; i < n; ++i) {
    const PiPoint& at = points[i];
    if (!std::isfinite(at.point.x) || !std::isfinite(at.point.y) || !std::isfinite(at.radius) ||
        !std::isfinite(at.spiral_in) || !std::isfinite(at.spiral_out)) {
      return refuse(
          PiFault::kNotFinite, i, i, 0,
          refuse.Name(i) + ": a number is not finite; give finite coordinates, R, Ls1 and Ls2");
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    const PiPoint& at = points[i];
    for (const auto& [value, what] : {std::pair{at.radius, "the radius R"},
                                      {at.spiral_in, "the spiral length Ls1"},
                                      {at.spiral_out, "the spiral length Ls2"}}) {
      if (value < 0.0) {
        return refuse(PiFault::kNegative, i, i, value,
                      refuse.Name(i) + ": " + what + " " + Fixed(value) +
                          " is negative; give 0 or more (the JDs tell right from left)");
      }
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    const PiPoint& at = points[i];
    const bool curve = at.radius != 0.0 || at.spiral_in != 0.0 || at.spiral_out != 0.0;
    if (curve && (i == 0 || i + 1 == n)) {
      return refuse(PiFault::kCurveAtEnd, i, i, at.radius,
                    refuse.Name(i) +
                        " has a radius or a spiral; curves belong to JDs: leave R, Ls1 and Ls2 "
                        "of the start and end points 0");
    }
    if (at.radius == 0.0 && (at.spiral_in != 0.0 || at.spiral_out != 0.0)) {
      return refuse(PiFault::kSpiralNoRadius, i, i, at.spiral_in + at.spiral_out,
                    refuse.Name(i) + " has spirals (Ls1 " + Fixed(at.spiral_in) + ", Ls2 " +
                        Fixed(at.spiral_out) +
                        ") but no radius; give its R or leave the spirals 0");
    }
  }
  std::vector<Line> lines(n - 1);
  for (std::size_t k = 0; k + 1 < n; ++k) {
    Line& line = lines[k];
    line.dx = points[k + 1].point.x - points[k].point.x;
    line.dy = points[k + 1].point.y - points[k].point.y;
    line.between = std::sqrt(line.dx * line.dx + line.dy * line.dy);
    if (line.between == 0.0) {
      return refuse(PiFault::kSamePoint, k, k + 1, 0,
                    refuse.Name(k) + " and " + refuse.Name(k + 1) +
                        " are at the same place; remove one of them");
    }
    if (!std::isfinite(line.between)) {
      return refuse(PiFault::kNotFinite, k, k + 1, 0,
                    refuse.Name(k) + " and " + refuse.Name(k + 1) +
                        " are too far apart to compute; check the coordinates");
    }
    line.azimuth = Azimuth(line.dx, line.dy);
  }

  PiRoad road;
  road.curves.resize(n - 2);
  std::vector<Shape> shapes(n);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const Line& before = lines[i - 1];
    const Line& after = lines[i];
    const double cross = before.dx * after.dy - before.dy * after.dx;
    const double dot = before.dx * after.dx + before.dy * after.dy;
    const double deflection = detail::AngleOf(cross, dot);
    const PiPoint& at = points[i];
    PiCurve& curve = road.curves[i - 1];
    curve.point = i;
    curve.deflection = deflection;
    curve.centre = at.point;
    const double turn = std::fabs(deflection);
    if (turn < kNoTurn) {
      if (at.radius != 0.0) {
        return refuse(PiFault::kNoDeflection, i, i, deflection,
                      refuse.Name(i) +
                          " does not turn (it lies on the line of its neighbours) "
                          "but has the radius " +
                          Fixed(at.radius) + "; give R 0 or remove the JD");
      }
      continue;
    }
    if (at.radius == 0.0) {
      return refuse(
          PiFault::kNoRadius, i, i, deflection,
          refuse.Name(i) + " turns " + Dms(deflection) + " but has no radius; give its R");
    }
    if (turn >= kPi) {
      return refuse(PiFault::kTurnsBack, i, i, deflection,
                    refuse.Name(i) +
                        ": the road turns back on itself there (deflection 180°); "
                        "check the coordinates");
    }
    const Shape shape = ShapeOf(at.radius, at.spiral_in, at.spiral_out, turn);
    if (shape.fit == Fit::kSpiralsTooLong) {
      return refuse(PiFault::kSpiralsTooLong, i, i, shape.arc_length,
                    refuse.Name(i) + ": the spirals Ls1 " + Fixed(at.spiral_in) + " and Ls2 " +
                        Fixed(at.spiral_out) + " turn further than the deflection " +
                        Dms(deflection) + ": the arc between them would be " +
                        Fixed(shape.arc_length) + " long; shorten the spirals or raise R");
    }
    shapes[i] = shape;
    const double side = deflection > 0.0 ? 1.0 : -1.0;
    const double ux = before.dx / before.between;
    const double uy = before.dy / before.between;
    curve.radius = at.radius;
    curve.spiral_in = at.spiral_in;
    curve.spiral_out = at.spiral_out;
    curve.a_in = std::sqrt(at.radius * at.spiral_in);
    curve.a_out = std::sqrt(at.radius * at.spiral_out);
    curve.p_in = shape.p_in;
    curve.p_out = shape.p_out;
    curve.q_in = shape.q_in;
    curve.q_out = shape.q_out;
    curve.tangent_in = shape.tangent_in;
    curve.tangent_out = shape.tangent_out;
    curve.arc_length = shape.arc_length;
    curve.length = shape.length;
    curve.external = shape.external;
    curve.correction = shape.tangent_in + shape.tangent_out - shape.length;
    // The right of the line before is (-uy, ux).
    curve.centre = {at.point.x + shape.along * ux - side * shape.across * uy,
                    at.point.y + shape.along * uy + side * shape.across * ux};
  }

  road.straights.resize(n - 1);
  for (std::size_t k = 0; k + 1 < n; ++k) {
    const double back = shapes[k].tangent_out;
    const double ahead = shapes[k + 1].tangent_in;
    const double excess = back + ahead - lines[k].between;
    if (excess > kPiTouch) {
      const std::string tangents =
          k == 0       ? "T1 " + Fixed(ahead) + " of " + refuse.Name(k + 1) + " is"
          : k + 2 == n ? "T2 " + Fixed(back) + " of " + refuse.Name(k) + " is"
                       : "T2 " + Fixed(back) + " of " + refuse.Name(k) + " and T1 " + Fixed(ahead) +
                             " of " + refuse.Name(k + 1) + " are";
      return refuse(PiFault::kOverlap, k, k + 1, excess,
                    refuse.Name(k) + " and " + refuse.Name(k + 1) + " overlap by " + Fixed(excess) +
                        ": " + tangents + " longer than the " + Fixed(lines[k].between) +
                        " between them; lower a radius or a spiral, or correct the coordinates");
    }
    PiStraight& straight = road.straights[k];
    straight.between = lines[k].between;
    straight.azimuth = lines[k].azimuth;
    straight.length = excess < -kPiTouch ? -excess : 0.0;  // curves that touch: none
  }

  // The elements, each with its own start; those inside a curve start where
  // the previous one ends, as BuildAlignment would carry them.
  std::optional<Element> last;
  const auto add = [&](double from, double length, double start_radius, double end_radius,
                       bool carry, double azimuth, Point start) {
    Element element{from, from + length, start_radius, end_radius, azimuth, start};
    if (!(element.end_station > element.start_station)) {
      return true;  // too short to tell its stations apart: none
    }
    if (carry && last) {
      const auto point = PointAt(*last, last->end_station);
      const auto carried = AzimuthAt(*last, last->end_station);
      if (!point || !carried) {
        return false;
      }
      element.start = *point;
      element.start_azimuth = *carried;
    }
    road.elements.push_back({element.start_station, element.end_station, start_radius, end_radius,
                             element.start_azimuth, element.start});
    last = element;
    return true;
  };
  double station = table.start_station;
  double jd_station = table.start_station;
  for (std::size_t k = 0; k + 1 < n; ++k) {
    const Line& line = lines[k];
    const double ux = line.dx / line.between;
    const double uy = line.dy / line.between;
    PiStraight& straight = road.straights[k];
    straight.start_station = station;
    if (straight.length > 0.0) {
      const double back = shapes[k].tangent_out;
      add(station, straight.length, 0.0, 0.0, false, line.azimuth,
          Point{points[k].point.x + back * ux, points[k].point.y + back * uy});
    }
    station += straight.length;
    straight.end_station = station;
    jd_station += line.between - (k == 0 ? 0.0 : road.curves[k - 1].correction);
    if (k + 2 == n) {
      break;
    }
    PiCurve& curve = road.curves[k];
    curve.jd_station = jd_station;
    curve.zh = station;
    curve.hy = station + curve.spiral_in;
    curve.yh = curve.hy + curve.arc_length;
    curve.hz = curve.yh + curve.spiral_out;
    curve.qz = station + 0.5 * curve.length;
    if (curve.radius == 0.0) {
      continue;
    }
    const double radius = curve.deflection > 0.0 ? curve.radius : -curve.radius;
    const Point zh{points[k + 1].point.x - curve.tangent_in * ux,
                   points[k + 1].point.y - curve.tangent_in * uy};
    bool fine = true;
    bool carry = false;  // the first piece starts at ZH
    if (curve.spiral_in > 0.0) {
      fine = fine && add(curve.zh, curve.spiral_in, 0.0, radius, carry, line.azimuth, zh);
      carry = true;
    }
    if (curve.arc_length > 0.0) {
      fine = fine && add(curve.hy, curve.arc_length, radius, radius, carry, line.azimuth, zh);
      carry = true;
    }
    if (curve.spiral_out > 0.0) {
      fine = fine && add(curve.yh, curve.spiral_out, radius, 0.0, carry, line.azimuth, zh);
    }
    if (!fine) {
      return refuse(PiFault::kNotFinite, k + 1, k + 1, 0,
                    refuse.Name(k + 1) + ": its curve cannot be computed; check the numbers");
    }
    station = curve.hz;
  }
  road.end_station = station;
  return road;
}

std::optional<PiTable> PiTableOf(std::span<const Element> elements, PiPatternError& error) {
  const auto refuse = [&](std::size_t element, std::string message) {
    error.element = element;
    error.message = "element " + std::to_string(element) + ": " + std::move(message);
    return std::nullopt;
  };
  if (elements.empty()) {
    return refuse(0, "the road has no elements; give at least one");
  }
  for (std::size_t i = 1; i < elements.size(); ++i) {
    const auto carried = AzimuthAt(elements[i - 1], elements[i - 1].end_station);
    if (!carried) {
      return refuse(i - 1, "cannot be computed");
    }
    const double turn = std::remainder(elements[i].start_azimuth - *carried, 2.0 * kPi);
    if (!(std::fabs(turn) <= kNoTurn)) {
      return refuse(i, "the road changes direction by " + Dms(turn) +
                           " where it starts, without a curve; a table of JDs has no corners");
    }
  }
  PiTable table;
  table.start_station = elements.front().start_station;
  table.points.push_back({"BP", elements.front().start, 0.0, 0.0, 0.0});
  const std::size_t n = elements.size();
  std::size_t i = 0;
  while (i < n) {
    const std::size_t at = i;
    const Element& first = elements[i];
    const Kind kind = KindOf(first);
    if (kind == Kind::kStraight) {
      ++i;
      continue;
    }
    double radius = 0.0;
    double spiral_in = 0.0;
    double arc = 0.0;
    double spiral_out = 0.0;
    if (kind == Kind::kSpiral) {
      if (first.start_radius != 0.0 && first.end_radius != 0.0) {
        return refuse(i, "a spiral between two radii (" + Fixed(first.start_radius) + " and " +
                             Fixed(first.end_radius) +
                             "); a table of JDs has spirals only between a straight and an arc");
      }
      if (first.start_radius != 0.0) {
        return refuse(i, "a spiral out of the radius " + Fixed(first.start_radius) +
                             " that follows no arc or spiral into it");
      }
      radius = first.end_radius;
      spiral_in = first.Length();
      ++i;
      const bool continues =
          i < n && ((KindOf(elements[i]) == Kind::kArc && elements[i].start_radius == radius) ||
                    (elements[i].start_radius == radius && elements[i].end_radius == 0.0));
      if (!continues) {
        return refuse(i < n ? i : i - 1, "the spiral into the radius " + Fixed(radius) +
                                             " goes on into neither an arc of that radius nor a "
                                             "spiral out of it");
      }
    } else {
      radius = first.start_radius;
    }
    while (i < n && KindOf(elements[i]) == Kind::kArc && elements[i].start_radius == radius) {
      arc += elements[i].Length();
      ++i;
    }
    if (i < n && elements[i].start_radius == radius && elements[i].end_radius == 0.0) {
      spiral_out = elements[i].Length();
      ++i;
    }
    const double size = std::fabs(radius);
    const double turn = (spiral_in + spiral_out) / (2.0 * size) + arc / size;
    if (!(turn < kPi)) {
      return refuse(at, "the curve turns " + Dms(turn) +
                            ", half a turn or more: its straights meet at no JD");
    }
    const Shape shape = ShapeOf(size, spiral_in, spiral_out, turn);
    if (shape.fit != Fit::kFits) {
      return refuse(at,
                    "the curve's spirals are too unequal for its turn: its JD lies behind "
                    "its start");
    }
    const detail::SinCos way = detail::SinCosOf(first.start_azimuth);
    const Point jd{first.start.x + shape.tangent_in * way.cos,
                   first.start.y + shape.tangent_in * way.sin};
    table.points.push_back(
        {"JD" + std::to_string(table.points.size()), jd, size, spiral_in, spiral_out});
  }
  const auto end = PointAt(elements.back(), elements.back().end_station);
  if (!end) {
    return refuse(n - 1, "cannot be computed");
  }
  table.points.push_back({"EP", *end, 0.0, 0.0, 0.0});
  return table;
}

}  // namespace velmora::road
