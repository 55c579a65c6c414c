#include "road/locate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "road/travel.h"
#include "road/trig.h"

namespace velmora::road {
namespace {

// Each piece of the centre line that the search looks at turns through at
// most this much, so that the distance to a point has at most one minimum
// in it (unless the point lies near the centre of its curvature)...
constexpr double kPieceTurning = 0.25;
// ...and is at most this share of the road long, for the pruning.
constexpr double kPiecesPerRoad = 1024.0;
// Past this many pieces, for roads whose elements turn through thousands
// of radians, the pieces turn more, to keep the memory down...
constexpr double kMostPieces = 1 << 16;
// ...but never more than this, so that the distance still has at most one
// minimum in each and the piece keeps close to its chord: there is no cap
// on the number of pieces.
constexpr double kMostPieceTurning = 1.0;
// Feet this close in distance from the point count as equally near, and
// the share of the coordinates' size added to it for their rounding.
constexpr double kTie = 1e-9;
constexpr double kTiePerCoordinate = 4e-15;
// How far along its tangent a point may lie beyond an end of the road and
// still be taken as on its normal there (the rounding of the coordinates).
constexpr double kEndSlack = 1e-7;
// Runs of up to this many pieces have their rings worked out from the
// pieces themselves.
constexpr std::size_t kRingFromPieces = 16;

double Dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
Point Minus(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
// Lengths here are of differences of coordinates: far from overflow.
double Length(Point a) { return std::sqrt(Dot(a, a)); }

struct Piece {
  std::size_t element = 0;
  double from = 0.0;  // distance along the road at its start
  double to = 0.0;    // and at its end
  Point start;        // centre line at `from`
  Point end;          // centre line at `to`
  Point start_tangent;
  Point end_tangent;
  double azimuth = 0.0;    // at `from`, as the element's integration has it
  double curvature = 0.0;  // at `from`
  double rate = 0.0;       // the element's change of curvature per unit of length
  double bulge = 0.0;      // how far the piece may stray from its chord
  double stray = 0.0;      // and from the circle it leaves its start on
  bool first = false;      // the first piece of its element
  bool last = false;       // the last piece of its element
};

// No point of a piece is nearer to `point` than this. A piece turns through
// less than a right angle, so it runs forward along its chord, and its
// distance from the chord's line, nought at both ends and with a second
// derivative no larger than the curvature k, is at most k s (L - s) / 2 <=
// k L^2 / 8: it lies within `bulge` of its chord.
//
// A curved piece also keeps within `stray` of the circle it leaves its start
// on: its azimuth parts from the circle's by |rate| u^2 / 2 at u along it,
// its point by at most |rate| u^3 / 6. That circle's radius, when the piece
// curves enough for it to be worked out well (a wider one bounds nothing a
// chord does not), and its distance from `point`, with the rounding of the
// centre worked out from the piece's tangent.
struct Bend {
  double radius = 0.0;
  double distance = 0.0;
  double slack = 0.0;
};
std::optional<Bend> BendOf(const Piece& piece, Point point) {
  constexpr double kWidest = 1e7;
  if (!(std::fabs(piece.curvature) * kWidest > 1.0)) {
    return std::nullopt;
  }
  const double signed_radius = 1.0 / piece.curvature;
  const Point centre = {piece.start.x - signed_radius * piece.start_tangent.y,
                        piece.start.y + signed_radius * piece.start_tangent.x};
  Bend bend;
  bend.radius = std::fabs(signed_radius);
  bend.distance = Length(Minus(point, centre));
  bend.slack = piece.stray + 1e-9 * (bend.radius + bend.distance);
  return bend;
}

double PieceBelow(const Piece& piece, Point point) {
  const Point chord = Minus(piece.end, piece.start);
  const Point gap = Minus(point, piece.start);
  const double square = Dot(chord, chord);
  const double share = square > 0.0 ? std::clamp(Dot(gap, chord) / square, 0.0, 1.0) : 0.0;
  const double below = Length(Minus(gap, {chord.x * share, chord.y * share})) - piece.bulge;
  const auto bend = BendOf(piece, point);
  return bend ? std::fmax(below, std::fabs(bend->distance - bend->radius) - bend->slack) : below;
}

// No point of a piece is farther from `point` than this.
double PieceBeyond(const Piece& piece, Point point) {
  const double beyond =
      std::fmax(Length(Minus(piece.start, point)), Length(Minus(piece.end, point))) + piece.bulge;
  const auto bend = BendOf(piece, point);
  return bend ? std::fmin(beyond, bend->distance + bend->radius + bend->slack) : beyond;
}

// A circle that holds every point of a run of pieces: a node of the search
// tree.
struct Circle {
  Point centre;
  double radius = 0.0;
  // No point of the run is nearer the centre than this (a run that coils
  // round a point keeps away from it).
  double hole = 0.0;
  std::size_t low = 0;  // pieces [low, high)
  std::size_t high = 0;
  std::size_t left = 0;  // children (0 for a single piece: the root is node 0)
  std::size_t right = 0;
};

Circle Enclosing(const Circle& a, const Circle& b) {
  Circle c;
  const Point d = Minus(b.centre, a.centre);
  const double gap = Length(d);
  if (gap + b.radius <= a.radius) {
    c = a;
  } else if (gap + a.radius <= b.radius) {
    c = b;
  } else {
    c.radius = 0.5 * (gap + a.radius + b.radius);
    const double share = (c.radius - a.radius) / gap;
    c.centre = {a.centre.x + d.x * share, a.centre.y + d.y * share};
    c.radius *= 1.0 + 1e-12;
  }
  return c;
}

enum class Found { kFoot, kBeforeStart, kBeyondEnd };

struct Candidate {
  double distance = std::numeric_limits<double>::infinity();
  double at = 0.0;  // distance along the road
  std::size_t element = 0;
  Found found = Found::kBeyondEnd;
  // The end of an element inside the road, nearest to a point that has no
  // foot on the element: a foot only where elements meet at an angle.
  bool corner = false;

  // A perpendicular foot on the road.
  bool TrueFoot() const { return found == Found::kFoot && !corner; }

  // A true foot beats an end of the road however near that is: a point is
  // before the start or beyond the end only when it has no foot. Then
  // nearer wins; at an equal distance a true foot beats a corner, then the
  // lower station wins.
  bool Beats(const Candidate& other, double tie) const {
    if (TrueFoot() != other.TrueFoot()) {
      return TrueFoot();
    }
    if (distance < other.distance - tie) {
      return true;
    }
    if (distance > other.distance + tie) {
      return false;
    }
    if (corner != other.corner) {
      return !corner;
    }
    return at < other.at;
  }
};

}  // namespace

struct Locator::Impl {
  Alignment alignment;  // a copy: the locator may outlive the caller's
  std::vector<Piece> pieces;
  std::vector<Circle> tree;

  explicit Impl(const Alignment& road) : alignment(road) {
    Cut();
    if (!pieces.empty()) {
      tree.reserve(2 * pieces.size());
      tree.emplace_back();
      Grow(0, 0, pieces.size());
    }
  }

  // Cuts each element into pieces, with the centre line's point and
  // tangent at each cut.
  void Cut() {
    const auto& elements = alignment.elements();
    const double longest = (alignment.End() - alignment.Start()) / kPiecesPerRoad;
    std::vector<double> counts;
    double total = 0.0;
    for (const Element& element : elements) {
      const double most = std::fmax(std::fabs(detail::CurvatureOf(element.start_radius)),
                                    std::fabs(detail::CurvatureOf(element.end_radius)));
      const double count =
          std::fmax(1.0, std::fmax(std::ceil(most * element.Length() / kPieceTurning),
                                   std::ceil(element.Length() / longest)));
      counts.push_back(count);
      total += count;
    }
    const double thinning = std::clamp(total / kMostPieces, 1.0, kMostPieceTurning / kPieceTurning);
    for (std::size_t e = 0; e < elements.size(); ++e) {
      const Element& element = elements[e];
      const auto n = static_cast<std::size_t>(std::ceil(counts[e] / thinning));
      const double curvature = detail::CurvatureOf(element.start_radius);
      const double rate = detail::CurvatureRate(element);
      const double length = element.Length();
      const auto tangent = [&](double station) {
        const double azimuth = AzimuthAt(element, station).value_or(element.start_azimuth);
        const detail::SinCos way = detail::SinCosOf(azimuth);
        return Point{way.cos, way.sin};
      };
      // The travel from the element's start is summed piece by piece, the
      // way the quadrature sums its panels; the element's end is its own
      // PointAt, where the next element starts.
      Point travelled;
      Point point = element.start;
      Point point_tangent = tangent(element.start_station);
      for (std::size_t j = 0; j < n; ++j) {
        Piece piece;
        piece.element = e;
        const double u = length * static_cast<double>(j) / static_cast<double>(n);
        const double next_u = length * static_cast<double>(j + 1) / static_cast<double>(n);
        piece.from = j == 0 ? element.start_station : element.start_station + u;
        piece.to = j + 1 == n ? element.end_station : element.start_station + next_u;
        piece.azimuth = element.start_azimuth + u * (curvature + 0.5 * rate * u);
        piece.curvature = curvature + rate * u;
        piece.rate = rate;
        const double steepest =
            std::fmax(std::fabs(piece.curvature), std::fabs(curvature + rate * next_u));
        const double piece_length = next_u - u;
        piece.bulge = steepest * piece_length * piece_length * (0.125 * (1.0 + 1e-9)) + 1e-9 +
                      1e-12 * piece_length;
        piece.stray = std::fabs(rate) * piece_length * piece_length * piece_length *
                          ((1.0 / 6.0) * (1.0 + 1e-9)) +
                      1e-9;
        piece.first = j == 0;
        piece.last = j + 1 == n;
        piece.start = point;
        piece.start_tangent = point_tangent;
        if (piece.last) {
          point = PointAt(element, element.end_station).value_or(point);
        } else {
          const Point step =
              detail::Travel(piece.azimuth, piece.curvature, rate, next_u - u).value_or(Point{});
          travelled = {travelled.x + step.x, travelled.y + step.y};
          point = {element.start.x + travelled.x, element.start.y + travelled.y};
        }
        point_tangent = tangent(piece.to);
        piece.end = point;
        piece.end_tangent = point_tangent;
        pieces.push_back(piece);
      }
    }
  }

  // Node `node` encloses pieces [low, high).
  void Grow(std::size_t node, std::size_t low, std::size_t high) {
    Circle circle;
    if (high - low == 1) {
      // Every point of a piece is within half its length of the middle of
      // its chord (the sum of its distances from both ends is at most the
      // length).
      const Piece& piece = pieces[low];
      circle.centre = {0.5 * (piece.start.x + piece.end.x), 0.5 * (piece.start.y + piece.end.y)};
      circle.radius = 0.5 * (piece.to - piece.from) * (1.0 + 1e-12) + 1e-9;
    } else {
      const std::size_t middle = low + (high - low) / 2;
      const std::size_t left = tree.size();
      tree.emplace_back();
      tree.emplace_back();
      Grow(left, low, middle);
      Grow(left + 1, middle, high);
      circle = Enclosing(tree[left], tree[left + 1]);
      circle.left = left;
      circle.right = left + 1;
    }
    circle.low = low;
    circle.high = high;
    Ring(circle);
    // A run that curves one way keeps to a thin ring round the centre of
    // its curvature, which prunes far more than a disc where the road coils.
    const Piece& middle = pieces[low + (high - low) / 2];
    if (middle.curvature != 0.0) {
      const double radius = 1.0 / middle.curvature;
      Circle centred = circle;
      centred.centre = {middle.start.x - radius * middle.start_tangent.y,
                        middle.start.y + radius * middle.start_tangent.x};
      centred.radius = std::numeric_limits<double>::infinity();
      Ring(centred);
      const auto area = [](const Circle& c) { return (c.radius - c.hole) * (c.radius + c.hole); };
      if (std::isfinite(centred.radius) && area(centred) < area(circle)) {
        circle = centred;
      }
    }
    tree[node] = circle;
  }

  // Narrows the circle to the ring round its centre that holds its pieces.
  // A long run's ring is worked out from its halves' rings, a short one's
  // from its pieces: a little looser, and a little work per node.
  void Ring(Circle& circle) const {
    double hole = std::numeric_limits<double>::infinity();
    double outer = 0.0;
    if (circle.high - circle.low > kRingFromPieces) {
      for (const std::size_t child : {circle.left, circle.right}) {
        const Circle& half = tree[child];
        const double gap = Length(Minus(half.centre, circle.centre));
        hole = std::fmin(hole, std::fmax(half.hole - gap, gap - half.radius));
        outer = std::fmax(outer, half.radius + gap);
      }
    } else {
      for (std::size_t i = circle.low; i < circle.high; ++i) {
        const Piece& piece = pieces[i];
        hole = std::fmin(hole, PieceBelow(piece, circle.centre));
        outer = std::fmax(outer, PieceBeyond(piece, circle.centre));
      }
    }
    circle.hole = std::fmax(0.0, hole);
    circle.radius = std::fmin(circle.radius, outer * (1.0 + 1e-12) + 1e-9);
  }

  double Below(const Circle& circle, Point point) const {
    const double gap = Length(Minus(point, circle.centre));
    return std::fmax(gap - circle.radius, circle.hole - gap);
  }

  // The foot inside a piece, where (P - C(s)) . T(s) falls through 0 from
  // `ahead` at its start to `behind` at its end: Newton's method kept
  // inside the bracket.
  Candidate Foot(const Piece& piece, Point point, double ahead, double behind,
                 SearchCost& cost) const {
    ++cost.feet;
    const double length = piece.to - piece.from;
    double low = 0.0;
    double high = length;
    double u = ahead - behind > 0.0 ? length * (ahead / (ahead - behind)) : 0.5 * length;
    Point last_gap = Minus(point, piece.start);
    for (int i = 0; i < 100; ++i) {
      ++cost.steps;
      const auto travel = detail::Travel(piece.azimuth, piece.curvature, piece.rate, u);
      if (!travel) {
        break;
      }
      const Point gap = {point.x - (piece.start.x + travel->x),
                         point.y - (piece.start.y + travel->y)};
      last_gap = gap;
      const double azimuth = piece.azimuth + u * (piece.curvature + 0.5 * piece.rate * u);
      const detail::SinCos way = detail::SinCosOf(azimuth);
      const double cosine = way.cos;
      const double sine = way.sin;
      const double along = gap.x * cosine + gap.y * sine;
      const double across = gap.y * cosine - gap.x * sine;
      if (along > 0.0) {
        low = u;
      } else if (along < 0.0) {
        high = u;
      } else {
        break;
      }
      const double slope = -1.0 + (piece.curvature + piece.rate * u) * across;
      double next = slope < 0.0 ? u - along / slope : 0.5 * (low + high);
      if (!(next > low && next < high)) {
        next = 0.5 * (low + high);
      }
      const double change = std::fabs(next - u);
      u = next;
      if (change <= 1e-11 || high - low <= 1e-11) {
        break;
      }
    }
    Candidate candidate;
    candidate.found = Found::kFoot;
    candidate.distance = Length(last_gap);
    candidate.at = std::clamp(piece.from + u, piece.from, piece.to);
    candidate.element = piece.element;
    return candidate;
  }

  void Examine(const Piece& piece, Point point, double tie, Candidate& best,
               SearchCost& cost) const {
    const Point to_start = Minus(point, piece.start);
    const Point to_end = Minus(point, piece.end);
    const double ahead = Dot(to_start, piece.start_tangent);
    const double behind = Dot(to_end, piece.end_tangent);
    const auto consider = [&best, tie](const Candidate& candidate) {
      if (candidate.Beats(best, tie)) {
        best = candidate;
      }
    };
    const double slack = kEndSlack + 1e-15 * (std::fabs(point.x) + std::fabs(point.y));
    if (piece.first && ahead < 0.0) {
      // The point lies behind the element's start: the nearest point of the
      // element is its start (a foot there when the point lies on its
      // normal within the rounding).
      Candidate candidate{Length(to_start), piece.from, piece.element, Found::kFoot,
                          piece.element != 0 && ahead < -slack};
      if (piece.element == 0 && ahead < -slack) {
        candidate.found = Found::kBeforeStart;
      }
      consider(candidate);
    }
    if (piece.last && behind > 0.0) {
      const bool at_end = piece.element + 1 == alignment.elements().size();
      Candidate candidate{Length(to_end), piece.to, piece.element, Found::kFoot,
                          !at_end && behind > slack};
      if (at_end && behind > slack) {
        candidate.found = Found::kBeyondEnd;
      }
      consider(candidate);
    }
    if (ahead >= 0.0 && behind <= 0.0) {
      if (ahead == 0.0) {
        consider({Length(to_start), piece.from, piece.element, Found::kFoot});
      } else if (behind == 0.0) {
        consider({Length(to_end), piece.to, piece.element, Found::kFoot});
      } else if (!(best.TrueFoot() && PieceBelow(piece, point) > best.distance + tie)) {
        consider(Foot(piece, point, ahead, behind, cost));
      }
    }
  }

  Candidate Search(Point point, SearchCost& cost) const {
    const double tie = kTie + kTiePerCoordinate * (std::fabs(point.x) + std::fabs(point.y));
    Candidate best;
    struct Visit {
      std::size_t node;
      double below;
    };
    // Depth first, the nearer child first: the stack holds at most one
    // waiting sibling per level of the tree.
    std::array<Visit, 128> stack;
    std::size_t size = 0;
    stack[size++] = {0, Below(tree[0], point)};
    while (size > 0) {
      const Visit visit = stack[--size];
      // Only a true foot bounds the search: a nearer end of the road does
      // not.
      if (best.TrueFoot() && visit.below > best.distance + tie) {
        continue;
      }
      const Circle& circle = tree[visit.node];
      if (circle.high - circle.low == 1) {
        Examine(pieces[circle.low], point, tie, best, cost);
        continue;
      }
      const Visit left{circle.left, Below(tree[circle.left], point)};
      const Visit right{circle.right, Below(tree[circle.right], point)};
      // The nearer child is looked at first.
      if (left.below <= right.below) {
        stack[size++] = right;
        stack[size++] = left;
      } else {
        stack[size++] = left;
        stack[size++] = right;
      }
    }
    return best;
  }
};

Locator::Locator(const Alignment& alignment) : impl_(std::make_unique<Impl>(alignment)) {}

Locator::~Locator() = default;

LocateResult Locator::Locate(Point point, std::optional<double> max_offset) const {
  LocateResult result;
  if (impl_->pieces.empty() || !std::isfinite(point.x) || !std::isfinite(point.y)) {
    result.refusal = Refusal::kTooFar;
    return result;
  }
  const Candidate best = impl_->Search(point, result.cost);
  if (best.found == Found::kBeforeStart) {
    result.refusal = Refusal::kBeforeStart;
    return result;
  }
  if (best.found == Found::kBeyondEnd || !std::isfinite(best.distance)) {
    result.refusal = Refusal::kBeyondEnd;
    return result;
  }
  const Element& element = impl_->alignment.elements()[best.element];
  const auto pose = PoseAt(element, best.at);
  if (!pose) {
    result.refusal = Refusal::kTooFar;
    return result;
  }
  Location location;
  location.distance = best.at;
  location.element = best.element;
  location.azimuth = pose->azimuth;
  location.foot = pose->point;
  location.offset = Dot(Minus(point, pose->point), pose->right);
  if (max_offset && !(std::fabs(location.offset) <= *max_offset)) {
    result.refusal = Refusal::kTooFar;
    return result;
  }
  result.location = location;
  return result;
}

}  // namespace velmora::road
