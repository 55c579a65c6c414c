#include "landxml/check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "arith/angle.h"
#include "road/geometry.h"
#include "road/trig.h"

namespace velmora::landxml {

std::vector<road::ElementInput> Inputs(const ReadAlignment& alignment) {
  std::vector<road::ElementInput> inputs;
  inputs.reserve(alignment.elements.size());
  for (const ReadElement& element : alignment.elements) inputs.push_back(element.input);
  return inputs;
}

namespace {

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

double Distance(road::Point a, road::Point b) { return std::hypot(b.x - a.x, b.y - a.y); }

// How far `p` lies to the right (positive) or the left of the line from
// `a` through `b`.
double RightOf(road::Point a, road::Point b, road::Point p) {
  const double length = Distance(a, b);
  if (length == 0.0) return 0.0;
  return ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / length;
}

// The direction (a unit vector) of the azimuth `azimuth`.
road::Point Heading(double azimuth) {
  const road::detail::SinCos way = road::detail::SinCosOf(azimuth);
  return {way.cos, way.sin};
}

// The angle an arc about `center` turns from `start` to `end`, to the right
// (rotation +1) or the left (-1), in [0, 2 pi).
double Turn(road::Point start, road::Point center, road::Point end, int rotation) {
  const double from = road::detail::AngleOf(start.y - center.y, start.x - center.x);
  const double to = road::detail::AngleOf(end.y - center.y, end.x - center.x);
  double turn = std::fmod(rotation > 0 ? to - from : from - to, 2.0 * kPi);
  if (turn < 0.0) turn += 2.0 * kPi;
  return turn;
}

// The way a curve's points turn (+1 right, -1 left, 0 when they do not
// say): its PI's side; else the direction the previous element ends in;
// else the way whose arc has the stated length; else, the arc less than a
// half turn, the side of its chord the Center lies on.
int CurvePointsTurn(const ReadElement& read, const road::Alignment& built, std::size_t i) {
  const road::Point start = *read.input.start;
  const road::Point center = *read.center;
  if (read.pi) {
    const double side = RightOf(start, *read.pi, center);
    if (side != 0.0) return side > 0.0 ? 1 : -1;
  }
  if (i > 0) {
    const road::Element& previous = built.elements()[i - 1];
    const std::optional<double> azimuth = road::AzimuthAt(previous, previous.end_station);
    if (azimuth) {
      // Turning right, the centre lies to the right of the way ahead.
      const road::Point way = Heading(*azimuth);
      const road::Point ahead = {start.x + way.x, start.y + way.y};
      const double side = RightOf(start, ahead, center);
      if (side != 0.0) return side > 0.0 ? 1 : -1;
    }
  }
  if (!read.end) return 0;
  const double radius = Distance(start, center);
  if (read.length) {
    const double right = std::fabs(radius * Turn(start, center, *read.end, 1) - *read.length);
    const double left = std::fabs(radius * Turn(start, center, *read.end, -1) - *read.length);
    if (right != left) return right < left ? 1 : -1;
  }
  const double side = RightOf(start, *read.end, center);
  return side > 0.0 ? 1 : side < 0.0 ? -1 : 0;
}

}  // namespace

std::vector<Contradiction> CheckStated(const road::Alignment& built, const ReadAlignment& read,
                                       double tolerance) {
  std::vector<Contradiction> found;
  const auto add = [&](std::size_t i, Stated what, double stated, double computed,
                       double difference) {
    if (!(difference <= tolerance)) found.push_back({i, what, stated, computed, difference});
  };
  const std::size_t count = std::min(built.elements().size(), read.elements.size());
  for (std::size_t i = 0; i < count; ++i) {
    const ReadElement& r = read.elements[i];
    const road::Element& element = built.elements()[i];
    const std::optional<road::Point> end = road::PointAt(element, element.end_station);
    const std::size_t before = found.size();
    bool rotation_wrong = false;
    if (r.kind == "Line" && r.length && r.end && r.input.start) {
      const double computed = Distance(*r.input.start, *r.end);
      add(i, Stated::kLength, *r.length, computed, std::fabs(*r.length - computed));
    }
    if (r.kind == "Curve" && r.center && r.input.start) {
      const road::Point start = *r.input.start;
      const road::Point center = *r.center;
      const double radius = Distance(start, center);
      if (r.radius) {
        double computed = radius;
        if (r.end &&
            std::fabs(Distance(*r.end, center) - *r.radius) > std::fabs(radius - *r.radius)) {
          computed = Distance(*r.end, center);
        }
        add(i, Stated::kRadius, *r.radius, computed, std::fabs(*r.radius - computed));
      }
      const int turns = CurvePointsTurn(r, built, i);
      if (r.length && r.end && turns != 0) {
        const double computed = radius * Turn(start, center, *r.end, turns);
        add(i, Stated::kLength, *r.length, computed, std::fabs(*r.length - computed));
      }
      if (r.rot != 0 && turns != 0 && turns != r.rot && (r.end || end)) {
        // Turned the other way about the same Center, with the same length,
        // the arc ends at its End mirrored in the line from Start to Center.
        const road::Point at = r.end ? *r.end : *end;
        const double points_length =
            r.end ? radius * Turn(start, center, *r.end, turns) : element.Length();
        add(i, Stated::kRotation, element.Length(), points_length,
            2.0 * std::fabs(RightOf(start, center, at)));
        rotation_wrong = found.size() > before;
      }
    }
    if (r.kind == "Spiral" && r.pi && r.input.start) {
      const road::Point start = *r.input.start;
      const road::Point pi = *r.pi;
      if (r.rot != 0 && r.end) {
        // Turned the other way from the same start tangent, the spiral ends
        // at its End mirrored in that tangent.
        const double side = RightOf(start, pi, *r.end);
        const int turns = side > 0.0 ? 1 : -1;
        if (side != 0.0 && turns != r.rot) {
          add(i, Stated::kRotation, 0.0, 0.0, 2.0 * std::fabs(side));
          rotation_wrong = found.size() > before;
        }
      }
      const std::optional<double> azimuth = road::AzimuthAt(element, element.end_station);
      if (end && azimuth) {
        // The PI lies on the start tangent (the start azimuth is taken from
        // it); how far it lies from the end tangent is what is wrong with
        // it, measured as a distance so that a file's rounding of its
        // points does not count for more on a spiral that turns little.
        const road::Point way = Heading(*azimuth);
        const road::Point ahead = {end->x + way.x, end->y + way.y};
        const double off = std::fabs(RightOf(*end, ahead, pi));
        if (off > tolerance) {
          const road::Point along = Heading(element.start_azimuth);
          const double across = along.x * way.y - along.y * way.x;
          double difference = off;
          if (std::fabs(across) > 1e-12) {
            // The start tangent meets the end tangent `t` from Start.
            const double t = ((end->x - start.x) * way.y - (end->y - start.y) * way.x) / across;
            const road::Point meet = {start.x + t * along.x, start.y + t * along.y};
            difference = std::fmax(off, Distance(pi, meet));
          }
          add(i, Stated::kPi, 0.0, 0.0, difference);
        }
      }
    }
    if (r.end && !rotation_wrong) {
      const double distance =
          end ? Distance(*r.end, *end) : std::numeric_limits<double>::infinity();
      add(i, Stated::kEnd, 0.0, 0.0, distance);
    }
  }
  return found;
}

std::string Describe(const Contradiction& c, int decimals) {
  switch (c.what) {
    case Stated::kEnd:
      return "the End point the file states is " + Fixed(c.difference, decimals) +
             " from where the element ends";
    case Stated::kLength:
      return "the length the file states, " + Fixed(c.stated, decimals) +
             ", is not the length its points give, " + Fixed(c.computed, decimals);
    case Stated::kRadius:
      return "the radius the file states, " + Fixed(c.stated, decimals) +
             ", is not the radius its points give, " + Fixed(c.computed, decimals);
    case Stated::kRotation: {
      std::string text =
          "the rot the file states turns it the other way from its points: turned so, it ends " +
          Fixed(c.difference, decimals) + " from the End the file states";
      // An arc whose length was read from its points went the long way round.
      if (Fixed(c.stated, decimals) != Fixed(c.computed, decimals)) {
        text += ", or reaches it the long way round, " + Fixed(c.stated, decimals) +
                " long rather than " + Fixed(c.computed, decimals);
      }
      return text;
    }
    case Stated::kPi:
      return "the PI the file states is " + Fixed(c.difference, decimals) +
             " from where the element's end tangents meet";
  }
  return {};
}

}  // namespace velmora::landxml
