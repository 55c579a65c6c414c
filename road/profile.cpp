#include "road/profile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "road/trig.h"

namespace velmora::road {
namespace {

using Reason = ProfileError::Reason;

// Curves designed to touch may overlap by this much after rounding.
constexpr double kTouching = 1e-6;

// The shortest text that reads back as the same double.
std::string Text(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

bool Fail(ProfileError& error, Reason reason, std::size_t point, std::string what,
          double amount = 0.0, double limit = 0.0) {
  error = {reason, point, amount, limit, std::move(what)};
  return false;
}

// Whether a point asks for a curve at all (rather than a grade break).
bool HasCurve(const ProfilePoint& p) {
  switch (p.curve) {
    case VerticalCurveKind::kNone:
      return false;
    case VerticalCurveKind::kRadius:
      return p.radius > 0.0;
    case VerticalCurveKind::kLength:
      return p.length > 0.0;
    case VerticalCurveKind::kAsymmetric:
      return p.length_in > 0.0 || p.length_out > 0.0;
    case VerticalCurveKind::kCircle:
      return p.radius > 0.0 || p.length > 0.0;
  }
  return false;
}

// The checks of one point on its own and against the one before.
bool CheckPoint(std::span<const ProfilePoint> points, std::size_t i, ProfileError& error) {
  const ProfilePoint& p = points[i];
  for (const double value :
       {p.station, p.elevation, p.radius, p.length, p.length_in, p.length_out}) {
    if (!std::isfinite(value)) {
      return Fail(error, Reason::kNotFinite, i, "a number is not finite; give finite numbers");
    }
  }
  const std::pair<const char*, double> amounts[] = {{"radius", p.radius},
                                                    {"length", p.length},
                                                    {"length before the PVI", p.length_in},
                                                    {"length after the PVI", p.length_out}};
  for (const auto& [name, value] : amounts) {
    if (value < 0.0) {
      return Fail(error, Reason::kNegative, i,
                  std::string("its vertical curve's ") + name + " " + Text(value) +
                      " is negative; give a positive amount, or 0 for a plain grade break",
                  value);
    }
  }
  if (i > 0 && !(p.station > points[i - 1].station)) {
    return Fail(error, Reason::kNotIncreasing, i,
                "its station " + Text(p.station) + " is not after the previous point's " +
                    Text(points[i - 1].station) +
                    "; give the points in order of station, each once",
                p.station, points[i - 1].station);
  }
  if ((i == 0 || i + 1 == points.size()) && HasCurve(p)) {
    return Fail(error, Reason::kCurveAtEnd, i,
                std::string("the profile's ") + (i == 0 ? "start" : "end") +
                    " carries a vertical curve; a curve belongs to a PVI between the start "
                    "and the end");
  }
  if (p.curve == VerticalCurveKind::kCircle && p.radius == 0.0 && p.length > 0.0) {
    return Fail(error, Reason::kIncomplete, i,
                "its circular vertical curve has no radius; give the radius");
  }
  if (p.curve == VerticalCurveKind::kAsymmetric && HasCurve(p) &&
      (p.length_in == 0.0 || p.length_out == 0.0)) {
    return Fail(error, Reason::kIncomplete, i,
                "its asymmetric vertical curve has a length of 0 on one side; give both "
                "lengths, or 0 for both for a plain grade break");
  }
  return true;
}

}  // namespace

std::optional<Profile> BuildProfile(std::span<const ProfilePoint> points, ProfileError& error) {
  if (points.size() < 2) {
    Fail(error, Reason::kTooFewPoints, 0,
         "a profile needs at least its start and its end; give both");
    return std::nullopt;
  }
  Profile profile;
  std::vector<Profile::Vertex>& v = profile.vertices_;
  v.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!CheckPoint(points, i, error)) {
      return std::nullopt;
    }
    v[i].given = points[i];
    profile.stations_.push_back(points[i].station);
    v[i].begin = v[i].end = points[i].station;
  }
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    v[i].grade_ahead = (points[i + 1].elevation - points[i].elevation) /
                       (points[i + 1].station - points[i].station);
    if (!std::isfinite(v[i].grade_ahead)) {
      Fail(error, Reason::kNotFinite, i,
           "the grade to the next point is not finite; move the points apart");
      return std::nullopt;
    }
  }
  for (std::size_t i = 1; i + 1 < points.size(); ++i) {
    const ProfilePoint& p = points[i];
    Profile::Vertex& x = v[i];
    const double g_in = v[i - 1].grade_ahead;
    const double g_out = x.grade_ahead;
    const double omega = g_out - g_in;
    if (omega == 0.0 || !HasCurve(p)) {
      continue;
    }
    const double sigma = omega > 0.0 ? 1.0 : -1.0;
    x.kind = p.curve;
    x.sigma = sigma;
    switch (p.curve) {
      case VerticalCurveKind::kNone:
        break;
      case VerticalCurveKind::kRadius: {
        const double half = p.radius * std::fabs(omega) / 2.0;
        x.begin = p.station - half;
        x.end = p.station + half;
        x.a_in = x.a_out = sigma / (2.0 * p.radius);
        break;
      }
      case VerticalCurveKind::kLength:
        x.begin = p.station - p.length / 2.0;
        x.end = p.station + p.length / 2.0;
        x.a_in = x.a_out = omega / (2.0 * p.length);
        break;
      case VerticalCurveKind::kAsymmetric: {
        const double total = p.length_in + p.length_out;
        x.begin = p.station - p.length_in;
        x.end = p.station + p.length_out;
        x.a_in = omega * p.length_out / (2.0 * total * p.length_in);
        x.a_out = omega * p.length_in / (2.0 * total * p.length_out);
        break;
      }
      case VerticalCurveKind::kCircle: {
        // The centre lies one radius from both grade lines, above them for
        // a sag: with A = sqrt(1 + g^2), its station is PVI + u, u =
        // -sigma R (g1 + g2) / (A1 + A2), and the circle has grade g where
        // the station is the centre's plus sigma g R / A.
        const double r = p.radius;
        const double a_in = std::sqrt(1.0 + g_in * g_in);
        const double a_out = std::sqrt(1.0 + g_out * g_out);
        x.centre = -sigma * r * (g_in + g_out) / (a_in + a_out);
        x.begin = p.station + (x.centre + sigma * g_in * r / a_in);
        x.end = p.station + (x.centre + sigma * g_out * r / a_out);
        // The centre's elevation less sigma R, relative to the PVI:
        // sigma R (A1 - 1) + g1 u, with A - 1 = g^2 / (A + 1).
        x.low = sigma * r * (g_in * g_in / (a_in + 1.0)) + g_in * x.centre;
        break;
      }
    }
  }
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const double out = v[i].end - points[i].station;
    const double in = points[i + 1].station - v[i + 1].begin;
    const double between = points[i + 1].station - points[i].station;
    if (!(out + in <= between + kTouching)) {
      if (i == 0) {
        Fail(error, Reason::kPastStart, 1,
             "its vertical curve begins " + Text(in) + " before the PVI, more than the " +
                 Text(between) + " to the profile's start; shorten the curve or start earlier",
             in, between);
      } else if (i + 2 == points.size()) {
        Fail(error, Reason::kPastEnd, i,
             "its vertical curve ends " + Text(out) + " after the PVI, more than the " +
                 Text(between) + " to the profile's end; shorten the curve or end later",
             out, between);
      } else {
        Fail(error, Reason::kOverlap, i,
             "its vertical curve (T " + Text(out) + ") and the next PVI's (T " + Text(in) +
                 ") overlap: together " + Text(out + in) + ", more than the " + Text(between) +
                 " between the PVIs; shorten a curve or move the PVIs apart",
             out + in, between);
      }
      return std::nullopt;
    }
  }
  return profile;
}

double Profile::Start() const { return vertices_.front().given.station; }
double Profile::End() const { return vertices_.back().given.station; }

Profile::Height Profile::OnCurve(std::size_t i, double s) const {
  const Vertex& x = vertices_[i];
  const double station = x.given.station;
  const double z = x.given.elevation;
  if (x.kind == VerticalCurveKind::kCircle) {
    const double r = x.given.radius;
    const double w = (s - station) - x.centre;
    const double root = std::sqrt((r - w) * (r + w));
    // R - sqrt(R^2 - w^2) without the cancellation.
    return {z + x.low + x.sigma * (w * w / (r + root)), x.sigma * w / root};
  }
  if (s <= station) {
    const double g = vertices_[i - 1].grade_ahead;
    const double d = s - x.begin;
    return {z + g * (s - station) + x.a_in * (d * d), g + 2.0 * x.a_in * d};
  }
  const double g = x.grade_ahead;
  const double d = x.end - s;
  return {z + g * (s - station) + x.a_out * (d * d), g - 2.0 * x.a_out * d};
}

std::optional<Profile::Height> Profile::HeightAt(double s) const {
  if (!(s >= Start() && s <= End())) {  // also refuses NaN
    return std::nullopt;
  }
  // The last point at or before the station, by halving without branches
  // (the compiler's conditional moves): a searched-for station cannot be
  // guessed, and mispredicted branches would cost most of the time.
  const double* first = stations_.data();
  for (std::size_t n = stations_.size(); n > 1; n -= n / 2) {
    first = first[n / 2] <= s ? first + n / 2 : first;
  }
  std::size_t k = static_cast<std::size_t>(first - stations_.data());
  if (k + 1 == vertices_.size()) {
    --k;  // the end: the last stretch
  }
  const Vertex& a = vertices_[k];
  const Vertex& b = vertices_[k + 1];
  if (a.kind != VerticalCurveKind::kNone && s <= a.end) {
    return OnCurve(k, s);
  }
  if (b.kind != VerticalCurveKind::kNone && s >= b.begin) {
    return OnCurve(k + 1, s);
  }
  // On the grade line, from the nearer of its two points.
  const Vertex& near = s - a.given.station <= b.given.station - s ? a : b;
  return Height{near.given.elevation + a.grade_ahead * (s - near.given.station), a.grade_ahead};
}

std::optional<double> Profile::ElevationAt(double station) const {
  const auto height = HeightAt(station);
  return height ? std::optional(height->elevation) : std::nullopt;
}

std::optional<double> Profile::GradeAt(double station) const {
  const auto height = HeightAt(station);
  return height ? std::optional(height->grade * 100.0) : std::nullopt;
}

std::vector<VerticalCurveRow> Profile::CurveTable() const {
  std::vector<VerticalCurveRow> rows;
  for (std::size_t i = 1; i + 1 < vertices_.size(); ++i) {
    const Vertex& x = vertices_[i];
    VerticalCurveRow row;
    row.point = i;
    row.station = x.given.station;
    row.elevation = x.given.elevation;
    const double g_in = vertices_[i - 1].grade_ahead;
    const double g_out = x.grade_ahead;
    row.grade_in = g_in * 100.0;
    row.grade_out = g_out * 100.0;
    row.omega = g_out - g_in;
    row.bend = row.omega < 0.0 ? Bend::kCrest : row.omega > 0.0 ? Bend::kSag : Bend::kNone;
    row.curve = x.kind;
    if (x.kind == VerticalCurveKind::kCircle) {
      row.radius_in = row.radius_out = x.given.radius;
      // The turn between the grade lines: tan = |omega| / (1 + g1 g2).
      const double across = 1.0 + g_in * g_out;
      const double turn = detail::AngleOf(std::fabs(row.omega), across);
      row.arc_length = x.given.radius * turn;
      row.external = std::fabs(OnCurve(i, x.given.station).elevation - x.given.elevation);
    } else if (x.kind != VerticalCurveKind::kNone) {
      row.radius_in = 1.0 / (2.0 * std::fabs(x.a_in));
      row.radius_out = 1.0 / (2.0 * std::fabs(x.a_out));
      row.external = std::fabs(x.a_in) * (x.given.station - x.begin) * (x.given.station - x.begin);
    }
    row.start_station = x.begin;
    row.end_station = x.end;
    row.length = x.end - x.begin;
    row.tangent_in = x.given.station - x.begin;
    row.tangent_out = x.end - x.given.station;
    row.start_elevation = x.given.elevation - g_in * row.tangent_in;
    row.end_elevation = x.given.elevation + g_out * row.tangent_out;
    rows.push_back(row);
  }
  return rows;
}

std::optional<CrossSlopes> BuildCrossSlopes(std::span<const CrossSlope> slopes,
                                            ProfileError& error) {
  if (slopes.empty()) {
    Fail(error, Reason::kTooFewPoints, 0, "no cross slope is given; give at least one");
    return std::nullopt;
  }
  for (std::size_t i = 0; i < slopes.size(); ++i) {
    const CrossSlope& s = slopes[i];
    if (!std::isfinite(s.station) || !std::isfinite(s.left) || !std::isfinite(s.right)) {
      Fail(error, Reason::kNotFinite, i, "a number is not finite; give finite numbers");
      return std::nullopt;
    }
    if (i > 0 && !(s.station > slopes[i - 1].station)) {
      Fail(error, Reason::kNotIncreasing, i,
           "its station " + Text(s.station) + " is not after the previous one's " +
               Text(slopes[i - 1].station) + "; give the slopes in order of station, each once",
           s.station, slopes[i - 1].station);
      return std::nullopt;
    }
  }
  CrossSlopes result;
  result.slopes_.assign(slopes.begin(), slopes.end());
  return result;
}

CrossSlope CrossSlopes::At(double station) const {
  const auto after =
      std::upper_bound(slopes_.begin(), slopes_.end(), station,
                       [](double value, const CrossSlope& s) { return value < s.station; });
  if (after == slopes_.begin()) {
    return {station, slopes_.front().left, slopes_.front().right};
  }
  if (after == slopes_.end()) {
    return {station, slopes_.back().left, slopes_.back().right};
  }
  const CrossSlope& a = *(after - 1);
  const CrossSlope& b = *after;
  const double t = (station - a.station) / (b.station - a.station);
  return {station, a.left + t * (b.left - a.left), a.right + t * (b.right - a.right)};
}

std::optional<double> DesignElevation(const Profile& profile, const CrossSlopes& slopes,
                                      double station, double offset) {
  const auto centre = profile.ElevationAt(station);
  if (!centre || !std::isfinite(offset)) {
    return std::nullopt;
  }
  if (offset == 0.0) {
    return centre;
  }
  const CrossSlope slope = slopes.At(station);
  return *centre + std::fabs(offset) * (offset < 0.0 ? slope.left : slope.right) / 100.0;
}

std::optional<double> FillCut(const Profile& profile, const CrossSlopes& slopes, double station,
                              double offset, double surveyed) {
  const auto design = DesignElevation(profile, slopes, station, offset);
  if (!design || !std::isfinite(surveyed)) {
    return std::nullopt;
  }
  return *design - surveyed;
}

}  // namespace velmora::road
