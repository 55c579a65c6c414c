// The LandXML reader: a walk over the parser's elements that keeps only
// alignments, their elements' attributes and points, their station
// equations, the units of directions and the named points (CgPoint) that
// elements may refer to; the geometry is computed once the whole document is
// read, so a reference to a point defined later resolves too.
#include "landxml/reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <span>

#include "arith/angle.h"
#include "landxml/xml.h"
#include "text/text.h"

namespace velmora::landxml {
namespace {

constexpr double kTwoPi = 2.0 * kPi;
constexpr double kGradsPerHalfTurn = 200.0;
// How far a stated staBack may be from the station counted at its
// staInternal: a millimetre, in metres or feet alike.
constexpr double kStationTolerance = 0.001;
// How far a direction the file writes may be from the one its points give
// before that is a note: about 1.7 minutes of arc, room for directions
// rounded to a few decimals in any unit.
constexpr double kDirectionTolerance = 5e-4;

using text::EqualsIgnoringCase;
using text::Trim;

// A finite xs:double ("12.5", "+1e3", "-.5"); no value otherwise.
std::optional<double> Number(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  double value = 0.0;
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (status != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

bool IsInfinite(std::string_view text) {
  text = Trim(text);
  return EqualsIgnoringCase(text, "INF") || EqualsIgnoringCase(text, "+INF") ||
         EqualsIgnoringCase(text, "-INF") || EqualsIgnoringCase(text, "Infinity");
}

std::string Station(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

double Normalized(double angle) {
  angle = std::fmod(angle, kTwoPi);
  if (angle < 0.0) angle += kTwoPi;
  return angle;
}

// The azimuth (clockwise from north) from a to b.
double Azimuth(road::Point a, road::Point b) {
  return Normalized(std::atan2(b.y - a.y, b.x - a.x));
}

double Distance(road::Point a, road::Point b) { return std::hypot(b.x - a.x, b.y - a.y); }

using Attributes = std::map<std::string, std::string, std::less<>>;

std::optional<std::string_view> Find(const Attributes& attributes, std::string_view name) {
  const auto found = attributes.find(name);
  if (found == attributes.end()) return std::nullopt;
  return std::string_view(found->second);
}

enum class AngleUnit { kRadians, kDegrees, kGrads, kPackedDegrees, kUnknown };

AngleUnit UnitNamed(std::string_view name) {
  name = Trim(name);
  if (EqualsIgnoringCase(name, "radians")) return AngleUnit::kRadians;
  if (EqualsIgnoringCase(name, "decimal degrees") || EqualsIgnoringCase(name, "degrees")) {
    return AngleUnit::kDegrees;
  }
  if (EqualsIgnoringCase(name, "grads") || EqualsIgnoringCase(name, "gons"))
    return AngleUnit::kGrads;
  if (EqualsIgnoringCase(name, "decimal dd.mm.ss")) return AngleUnit::kPackedDegrees;
  return AngleUnit::kUnknown;
}

double InRadians(double value, AngleUnit unit) {
  switch (unit) {
    case AngleUnit::kDegrees:
      return value * kPi / kDegreesPerHalfTurn;
    case AngleUnit::kGrads:
      return value * kPi / kGradsPerHalfTurn;
    case AngleUnit::kPackedDegrees: {
      // dd.mmss: minutes in the first two decimals, seconds in the rest.
      const double magnitude = std::fabs(value);
      const double degrees = std::floor(magnitude);
      const double in_minutes = (magnitude - degrees) * kPackedMinuteScale;
      const double minutes = std::floor(in_minutes + 1e-9);
      const double seconds = (in_minutes - minutes) * kPackedMinuteScale;
      const double total = degrees + minutes / kMinutesPerDegree + seconds / kSecondsPerDegree;
      return std::copysign(total, value) * kPi / kDegreesPerHalfTurn;
    }
    default:
      return value;
  }
}

// Whether a direction the file writes is the azimuth `azimuth` in one of the
// conventions in use: clockwise from north, counter-clockwise from north,
// counter-clockwise from east; in radians, degrees, grads or the unit the
// file names.
bool DirectionAgrees(double written, AngleUnit unit, double azimuth) {
  // The unit the file names first; but files do not always write what they
  // name, so the others too.
  const AngleUnit units[] = {unit, AngleUnit::kRadians, AngleUnit::kDegrees, AngleUnit::kGrads};
  for (const AngleUnit u : units) {
    const double angle = InRadians(written, u);
    for (const double candidate : {angle, -angle, kPi / 2.0 - angle}) {
      const double difference = std::fabs(Normalized(candidate - azimuth + kPi) - kPi);
      if (difference <= kDirectionTolerance) return true;
    }
  }
  return false;
}

// An element of a CoordGeom as the file writes it.
struct RawElement {
  std::string kind;
  std::size_t position = 0;
  Attributes attributes;
  std::map<std::string, std::string, std::less<>> points;  // Start, End, Center, PI: text or "@ref"
};

// A point of a ProfAlign as the file writes it.
struct RawProfilePoint {
  std::string kind;  // PVI, ParaCurve, UnsymParaCurve, CircCurve
  Attributes attributes;
  std::string text;  // "station elevation"
};

struct RawProfile {
  std::string name;
  std::vector<RawProfilePoint> points;
  std::string error;  // a child that is no profile point
};

struct RawAlignment {
  std::string name;
  std::string sta_start;
  bool has_sta_start = false;
  bool has_geometry = false;
  std::vector<RawElement> elements;
  std::vector<Attributes> equations;
  std::vector<RawProfile> profiles;
  std::size_t ground_profiles = 0;
  std::string error;  // an element kind that is not computed
};

class Walker final : public XmlHandler {
 public:
  void Start(std::string_view name, std::span<const XmlAttribute> attributes) override {
    path_.emplace_back(name);
    const std::size_t depth = path_.size();
    if (depth == 1) {
      root_ = std::string(name);
      return;
    }
    if (root_ != "LandXML") return;
    const auto copy = [&attributes] {
      Attributes out;
      for (const XmlAttribute& a : attributes)
        out.emplace(std::string(a.name), std::string(a.value));
      return out;
    };
    if ((name == "Metric" || name == "Imperial") && depth == 3 && path_[1] == "Units") {
      units_ = Units{};
      units_.imperial = name == "Imperial";
      if (units_.imperial) units_.linear = "foot";
      for (const XmlAttribute& a : attributes) {
        const std::string value(Trim(a.value));
        if (a.name == "linearUnit" && !value.empty()) units_.linear = value;
        if (a.name == "areaUnit") units_.area = value;
        if (a.name == "volumeUnit") units_.volume = value;
        if (a.name == "angularUnit") {
          units_.angular = value;
          angular_unit_ = UnitNamed(value);
        }
        if (a.name == "directionUnit") {
          units_.direction = value;
          direction_unit_ = UnitNamed(value);
        }
      }
      return;
    }
    if (name == "CgPoint") {
      point_name_.clear();
      text_.clear();
      for (const XmlAttribute& a : attributes) {
        if (a.name == "name") point_name_ = std::string(a.value);
        if (a.name == "pntRef") text_ = "@" + std::string(Trim(a.value));
      }
      capture_ = depth;
      return;
    }
    if (name == "Alignment" && alignment_depth_ == 0) {
      alignment_depth_ = depth;
      alignments_.emplace_back();
      for (const XmlAttribute& a : attributes) {
        if (a.name == "name") alignments_.back().name = std::string(a.value);
        if (a.name == "staStart") {
          alignments_.back().sta_start = std::string(a.value);
          alignments_.back().has_sta_start = true;
        }
      }
      return;
    }
    if (alignment_depth_ == 0) return;
    RawAlignment& alignment = alignments_.back();
    if (depth == alignment_depth_ + 1 && name == "CoordGeom") {
      geometry_depth_ = depth;
      alignment.has_geometry = true;
      return;
    }
    if (depth == alignment_depth_ + 1 && name == "Profile") {
      profile_depth_ = depth;
      return;
    }
    if (profile_depth_ != 0 && depth == profile_depth_ + 1) {
      if (name == "ProfSurf") ++alignment.ground_profiles;
      if (name != "ProfAlign") return;
      prof_align_depth_ = depth;
      RawProfile& profile = alignment.profiles.emplace_back();
      for (const XmlAttribute& a : attributes) {
        if (a.name == "name") profile.name = std::string(a.value);
      }
      return;
    }
    if (prof_align_depth_ != 0 && depth == prof_align_depth_ + 1) {
      RawProfile& profile = alignment.profiles.back();
      if (name == "PVI" || name == "ParaCurve" || name == "UnsymParaCurve" || name == "CircCurve") {
        profile.points.push_back({std::string(name), copy(), {}});
        text_.clear();
        capture_ = depth;
      } else if (name != "Feature" && profile.error.empty()) {
        profile.error = "its <" + std::string(name) + "> after point " +
                        std::to_string(profile.points.size()) +
                        " is no profile point (PVI, ParaCurve, UnsymParaCurve, CircCurve)";
      }
      return;
    }
    if (depth == alignment_depth_ + 1 && name == "StaEquation") {
      alignment.equations.push_back(copy());
      return;
    }
    if (geometry_depth_ != 0 && depth == geometry_depth_ + 1) {
      const std::size_t position = position_++;
      if (name == "Line" || name == "Curve" || name == "Spiral") {
        alignment.elements.push_back({std::string(name), position, copy(), {}});
        element_depth_ = depth;
      } else if (name != "Feature" && alignment.error.empty()) {
        alignment.error = "child " + std::to_string(position) + " of its CoordGeom is a <" +
                          std::string(name) + ">, an element that is not computed";
      }
      return;
    }
    if (element_depth_ != 0 && depth == element_depth_ + 1 &&
        (name == "Start" || name == "End" || name == "Center" || name == "PI")) {
      text_.clear();
      capture_ = depth;
      for (const XmlAttribute& a : attributes) {
        if (a.name == "pntRef") text_ = "@" + std::string(Trim(a.value));
      }
    }
  }

  void Text(std::string_view text) override {
    if (capture_ != 0 && path_.size() == capture_ && (text_.empty() || text_[0] != '@')) {
      text_ += text;
    }
  }

  void End(std::string_view) override {
    const std::size_t depth = path_.size();
    if (capture_ == depth) {
      capture_ = 0;
      const std::string& name = path_.back();
      if (name == "CgPoint") {
        if (!point_name_.empty()) points_[point_name_] = text_;
      } else if (prof_align_depth_ != 0 && depth == prof_align_depth_ + 1) {
        alignments_.back().profiles.back().points.back().text = text_;
      } else if (element_depth_ != 0) {
        alignments_.back().elements.back().points[name] = text_;
      }
    }
    if (depth == element_depth_) element_depth_ = 0;
    if (depth == geometry_depth_) geometry_depth_ = 0;
    if (depth == prof_align_depth_) prof_align_depth_ = 0;
    if (depth == profile_depth_) profile_depth_ = 0;
    if (depth == alignment_depth_) {
      alignment_depth_ = 0;
      position_ = 0;
    }
    path_.pop_back();
  }

  std::string root_;
  std::vector<RawAlignment> alignments_;
  std::map<std::string, std::string, std::less<>> points_;  // CgPoint name -> text
  AngleUnit direction_unit_ = AngleUnit::kUnknown;
  AngleUnit angular_unit_ = AngleUnit::kUnknown;
  Units units_;

 private:
  std::vector<std::string> path_;
  std::size_t alignment_depth_ = 0;
  std::size_t geometry_depth_ = 0;
  std::size_t element_depth_ = 0;
  std::size_t profile_depth_ = 0;
  std::size_t prof_align_depth_ = 0;
  std::size_t position_ = 0;
  std::size_t capture_ = 0;  // depth of the element whose text is collected
  std::string text_;
  std::string point_name_;
};

// Computes one alignment from what the file wrote.
class Builder {
 public:
  Builder(const Walker& walker, const RawAlignment& raw, ReadAlignment& out)
      : walker_(walker), raw_(raw), out_(out) {
    direction_unit_ = walker.direction_unit_ != AngleUnit::kUnknown ? walker.direction_unit_
                                                                    : walker.angular_unit_;
  }

  void Run() {
    out_.name = raw_.name;
    if (raw_.has_sta_start) {
      const std::optional<double> start = Number(raw_.sta_start);
      if (!start) return Fail("its staStart \"" + raw_.sta_start + "\" is not a number");
      out_.sta_start = *start;
    } else {
      out_.notes.push_back("no staStart: the stations start at 0");
    }
    if (!raw_.error.empty()) return Fail(raw_.error);
    station_ = out_.sta_start;
    for (const RawElement& element : raw_.elements) {
      if (!Element(element)) return;
    }
    if (out_.elements.empty()) Fail("its CoordGeom holds no element with a length");
    // Directions that fit no convention: one note, however many.
    if (direction_notes_.size() == 1) {
      out_.notes.push_back(direction_notes_[0]);
    } else if (direction_notes_.size() > 1) {
      out_.notes.push_back("the directions of " + std::to_string(direction_notes_.size()) +
                           " elements fit no convention; the first: " + direction_notes_[0]);
    }
    Equations();
  }

 private:
  void Fail(const std::string& why) {
    if (out_.error.empty()) out_.error = why;
    out_.elements.clear();
    out_.equations.clear();
  }

  std::string Name(const RawElement& element) const {
    return "child " + std::to_string(element.position) + " of its CoordGeom (" + element.kind +
           " at station " + Station(station_) + ")";
  }

  // A point the element names: its text, or the CgPoint it refers to.
  std::optional<road::Point> PointOf(const RawElement& element, std::string_view which,
                                     bool required) {
    const auto found = element.points.find(which);
    if (found == element.points.end()) {
      if (required) Fail(Name(element) + " has no " + std::string(which) + " point");
      return std::nullopt;
    }
    std::string_view text = found->second;
    // A reference, to a CgPoint that may refer on: followed to the point
    // that has coordinates, each named as the file names it.
    std::string what = "its " + std::string(which) + " point";
    std::set<std::string_view> seen;
    while (!text.empty() && text[0] == '@') {
      const std::string_view name = text.substr(1);
      const std::string quoted = "\"" + std::string(name) + "\"";
      if (!seen.insert(name).second) {
        Fail(Name(element) + ": " + what + " refers to itself through CgPoint " + quoted);
        return std::nullopt;
      }
      const auto named = walker_.points_.find(name);
      if (named == walker_.points_.end()) {
        Fail(Name(element) + ": " + what + " refers to a point " + quoted +
             " the file does not hold");
        return std::nullopt;
      }
      what = "its " + std::string(which) + " point (CgPoint " + quoted + ")";
      text = named->second;
    }
    // "northing easting [elevation]", blanks between.
    double values[3] = {0.0, 0.0, 0.0};
    const std::string written(Trim(text));
    text = Trim(text);
    for (int i = 0; i < 3; ++i) {
      if (i == 2 && text.empty()) break;  // no elevation
      const std::size_t blank = text.find_first_of(" \t\r\n");
      const std::optional<double> number = Number(text.substr(0, blank));
      if (!number) {
        Fail(Name(element) + ": " + what + " \"" + written +
             "\" is not \"northing easting [elevation]\"");
        return std::nullopt;
      }
      values[i] = *number;
      text = blank == std::string_view::npos ? std::string_view() : Trim(text.substr(blank));
    }
    if (!text.empty()) {
      Fail(Name(element) + ": " + what + " \"" + written +
           "\" has more numbers than \"northing easting [elevation]\"");
      return std::nullopt;
    }
    return road::Point{values[0], values[1]};
  }

  // The element's `name` attribute as a number: none when absent, a failure
  // when it is not a number (or not positive, for lengths and radii).
  bool Attribute(const RawElement& element, std::string_view name, std::optional<double>& value,
                 bool positive) {
    value.reset();
    const std::optional<std::string_view> text = Find(element.attributes, name);
    if (!text || Trim(*text).empty()) return true;
    value = Number(*text);
    if (!value || (positive && *value < 0.0)) {
      Fail(Name(element) + ": its " + std::string(name) + " \"" + std::string(*text) +
           "\" is not a " + (positive ? "length" : "number"));
      return false;
    }
    return true;
  }

  // +1 for rot="cw" (a right-hand turn), -1 for "ccw", 0 when absent.
  int Rotation(const RawElement& element, bool& bad) {
    bad = false;
    const std::optional<std::string_view> rot = Find(element.attributes, "rot");
    if (!rot) return 0;
    if (EqualsIgnoringCase(Trim(*rot), "cw")) return 1;
    if (EqualsIgnoringCase(Trim(*rot), "ccw")) return -1;
    bad = true;
    Fail(Name(element) + ": its rot \"" + std::string(*rot) + "\" is neither cw nor ccw");
    return 0;
  }

  void CrossCheck(const RawElement& element, std::string_view attribute, double azimuth) {
    const std::optional<std::string_view> text = Find(element.attributes, attribute);
    if (!text) return;
    const std::optional<double> written = Number(*text);
    if (written && DirectionAgrees(*written, direction_unit_, azimuth)) return;
    char computed[32];
    std::snprintf(computed, sizeof computed, "%.6f", azimuth);
    direction_notes_.push_back(
        Name(element) + ": its " + std::string(attribute) + " \"" + std::string(*text) +
        "\" is no direction of its points in any convention (their azimuth: " + computed +
        " radians clockwise from north); the points are used");
  }

  bool Element(const RawElement& element) {
    std::optional<double> length;
    if (!Attribute(element, "length", length, true)) return false;
    bool bad_rotation = false;
    int rotation = Rotation(element, bad_rotation);
    if (bad_rotation) return false;
    ReadElement read;
    read.kind = element.kind;
    read.position = element.position;
    read.length = length;
    read.rot = rotation;

    const std::optional<road::Point> start = PointOf(element, "Start", true);
    if (!start) return false;
    const std::optional<road::Point> end = PointOf(element, "End", !length.has_value());
    if (!end && !out_.error.empty()) return false;

    road::ElementInput input;
    double azimuth = 0.0;
    const char* direction = "dirStart";  // the attribute that states it
    if (element.kind == "Line") {
      if (!end) return Fail(Name(element) + " has no End point"), false;
      if (!length) length = Distance(*start, *end);
      if (*length > 0.0 && Distance(*start, *end) == 0.0) {
        return Fail(Name(element) + " has a length but its Start and End are one point"), false;
      }
      if (*length > 0.0) azimuth = Azimuth(*start, *end);
      direction = "dir";
    } else if (element.kind == "Curve") {
      const std::optional<road::Point> center = PointOf(element, "Center", true);
      if (!center) return false;
      std::optional<double> radius;
      if (!Attribute(element, "radius", radius, true)) return false;
      read.center = center;
      if (radius && *radius != 0.0) read.radius = radius;
      read.pi = PointOf(element, "PI", false);
      if (!read.pi && !out_.error.empty()) return false;
      if (!radius || *radius == 0.0) radius = Distance(*start, *center);
      if (*radius == 0.0) return Fail(Name(element) + " has its Center at its Start"), false;
      if (rotation == 0)
        rotation = RotationFromPoints(element, *start, *center, end, length, *radius);
      if (rotation == 0) {
        return Fail(Name(element) + " has no rot, and its points do not tell the way it turns"),
               false;
      }
      if (!length) length = *radius * Turn(*start, *center, *end, rotation);
      azimuth = Normalized(Azimuth(*start, *center) - rotation * kPi / 2.0);
      input.start_radius = input.end_radius = rotation * *radius;
      direction = "dirStart";
    } else {  // Spiral
      const std::optional<std::string_view> type = Find(element.attributes, "spiType");
      if (!type) {
        out_.notes.push_back(Name(element) + " has no spiType: taken as a clothoid");
      } else if (!EqualsIgnoringCase(Trim(*type), "clothoid")) {
        return Fail(Name(element) + " is a spiral of type \"" + std::string(*type) +
                    "\": only clothoids are computed"),
               false;
      }
      const std::optional<road::Point> pi = PointOf(element, "PI", true);
      if (!pi) return false;
      if (Distance(*start, *pi) == 0.0) {
        return Fail(Name(element) + " has its PI at its Start"), false;
      }
      read.pi = pi;
      double curvature[2] = {0.0, 0.0};
      const char* names[2] = {"radiusStart", "radiusEnd"};
      for (int i = 0; i < 2; ++i) {
        const std::optional<std::string_view> text = Find(element.attributes, names[i]);
        if (!text || IsInfinite(*text)) continue;
        const std::optional<double> radius = Number(*text);
        if (!radius) {
          return Fail(Name(element) + ": its " + names[i] + " \"" + std::string(*text) +
                      "\" is neither a number nor INF"),
                 false;
        }
        if (*radius != 0.0) curvature[i] = 1.0 / std::fabs(*radius);
      }
      if (rotation == 0 && end) {
        const double cross =
            (pi->x - start->x) * (end->y - pi->y) - (pi->y - start->y) * (end->x - pi->x);
        rotation = cross > 0.0 ? 1 : cross < 0.0 ? -1 : 0;
      }
      if (rotation == 0 && (curvature[0] != 0.0 || curvature[1] != 0.0)) {
        return Fail(Name(element) + " has no rot, and its points do not tell the way it turns"),
               false;
      }
      if (!length) {
        // The tangent turns by the mean curvature times the length.
        const double turn =
            std::fabs(Normalized(Azimuth(*pi, *end) - Azimuth(*start, *pi) + kPi) - kPi);
        const double sum = curvature[0] + curvature[1];
        length = sum > 0.0 ? 2.0 * turn / sum : Distance(*start, *end);
      }
      azimuth = Azimuth(*start, *pi);
      input.start_radius = curvature[0] == 0.0 ? 0.0 : rotation / curvature[0];
      input.end_radius = curvature[1] == 0.0 ? 0.0 : rotation / curvature[1];
      direction = "dirStart";
    }
    const double end_station = station_ + *length;
    if (!std::isfinite(end_station)) {
      return Fail(Name(element) + ": its length takes the station beyond any number"), false;
    }
    if (!(end_station > station_)) {
      out_.notes.push_back(Name(element) + " has length 0 (or too small to move the station): " +
                           "it carries no geometry and is skipped");
      return true;
    }
    CrossCheck(element, direction, azimuth);
    input.start_station = station_;
    input.end_station = end_station;
    input.start_azimuth = azimuth;
    input.start = *start;
    read.input = input;
    read.end = end;
    out_.elements.push_back(std::move(read));
    station_ = input.end_station;
    return true;
  }

  // The angle an arc about `center` turns from `start` to `end` the way
  // `rotation` says, in [0, 2 pi).
  static double Turn(road::Point start, road::Point center, road::Point end, int rotation) {
    const double from = Azimuth(center, start);
    const double to = Azimuth(center, end);
    return Normalized(rotation > 0 ? to - from : from - to);
  }

  // The way an arc without rot turns: the side its PI lies on, or the way
  // whose arc has the stated length.
  int RotationFromPoints(const RawElement& element, road::Point start, road::Point center,
                         const std::optional<road::Point>& end, const std::optional<double>& length,
                         double radius) {
    const std::optional<road::Point> pi = PointOf(element, "PI", false);
    if (pi) {
      // The centre lies to the right of the start tangent for a right turn.
      const double cross =
          (pi->x - start.x) * (center.y - start.y) - (pi->y - start.y) * (center.x - start.x);
      if (cross != 0.0) return cross > 0.0 ? 1 : -1;
    }
    if (end && length) {
      const double right = std::fabs(radius * Turn(start, center, *end, 1) - *length);
      const double left = std::fabs(radius * Turn(start, center, *end, -1) - *length);
      if (right != left) return right < left ? 1 : -1;
    }
    return 0;
  }

  // A StaEquation as the file writes it, for messages:
  // 'StaEquation staInternal="150" staAhead="170"'.
  static std::string Written(const Attributes& attributes) {
    std::string text = "StaEquation";
    for (const char* name : {"staInternal", "staBack", "staAhead"}) {
      if (const auto value = Find(attributes, name)) {
        text += std::string(" ") + name + "=\"" + std::string(*value) + "\"";
      }
    }
    return text;
  }

  // Each equation at its staInternal (the distance along the road, counted
  // from staStart), or where the file leaves that out at its staBack as
  // counted there; the back station is the one counted at that place, and
  // a staBack the file states must agree with it.
  void Equations() {
    struct Raw {
      const Attributes* attributes;
      std::optional<double> internal, back, ahead;
    };
    std::vector<Raw> equations;
    bool all_internal = true;
    for (const Attributes& attributes : raw_.equations) {
      Raw& raw = equations.emplace_back();
      raw.attributes = &attributes;
      const std::string which = "its " + Written(attributes);
      if (const auto increment = Find(attributes, "staIncrement");
          increment && EqualsIgnoringCase(Trim(*increment), "decreasing")) {
        return Fail(which +
                    " has staIncrement=\"decreasing\": stations that decrease along the "
                    "road are not supported; renumber the stations to increase along the "
                    "alignment's direction");
      }
      std::optional<double>* values[3] = {&raw.internal, &raw.back, &raw.ahead};
      const char* names[3] = {"staInternal", "staBack", "staAhead"};
      for (int i = 0; i < 3; ++i) {
        const std::optional<std::string_view> text = Find(attributes, names[i]);
        if (!text) continue;
        *values[i] = Number(*text);
        if (!*values[i]) {
          return Fail(which + ": its " + names[i] + " is not a number");
        }
      }
      if (!raw.ahead) return Fail(which + " has no staAhead");
      if (!raw.internal && !raw.back) return Fail(which + " has neither staInternal nor staBack");
      all_internal = all_internal && raw.internal.has_value();
    }
    if (all_internal) {
      std::stable_sort(equations.begin(), equations.end(),
                       [](const Raw& a, const Raw& b) { return *a.internal < *b.internal; });
    }
    const double start = out_.sta_start;
    const double end = station_;
    // The station counted at distance `at`, from the last equation before.
    double from_at = start;
    double from_station = start;
    for (const Raw& raw : equations) {
      const std::string which = "its " + Written(*raw.attributes);
      const double at = raw.internal ? *raw.internal : from_at + (*raw.back - from_station);
      if (at < start || at > end) {
        return Fail(which + " is at " + Station(at) + " along the road, " +
                    (at < start ? "before its start, " + Station(start)
                                : "beyond its end, " + Station(end)) +
                    " (staInternal counts along the road from staStart); correct it or leave "
                    "the equation out");
      }
      if (at < from_at) {
        return Fail(which + " comes before the equation above it along the road; " +
                    "list the equations in the order of the road");
      }
      const double counted = from_station + (at - from_at);
      if (raw.back && !(std::fabs(*raw.back - counted) <= kStationTolerance)) {
        return Fail(which + ": its staBack " + Station(*raw.back) + " is not the station " +
                    Station(counted) + " counted at its staInternal " + Station(at) +
                    "; correct one of them");
      }
      out_.equations.push_back({at, raw.back ? *raw.back : counted, *raw.ahead});
      from_at = at;
      from_station = *raw.ahead;
    }
  }

  const Walker& walker_;
  const RawAlignment& raw_;
  ReadAlignment& out_;
  AngleUnit direction_unit_ = AngleUnit::kUnknown;
  double station_ = 0.0;
  std::vector<std::string> direction_notes_;
};

// A ProfAlign's points read: each "station elevation" and its curve's
// numbers. The first fault found is the profile's error.
ReadProfile Profile(const RawProfile& raw) {
  ReadProfile out;
  out.name = raw.name;
  out.error = raw.error;
  for (std::size_t i = 0; i < raw.points.size() && out.error.empty(); ++i) {
    const RawProfilePoint& point = raw.points[i];
    const std::string which = "its point " + std::to_string(i + 1) + " (" + point.kind + ")";
    road::ProfilePoint read;
    std::string_view text = Trim(point.text);
    const std::size_t blank = text.find_first_of(" \t\r\n");
    const std::optional<double> station = Number(text.substr(0, blank));
    const std::optional<double> elevation =
        blank == std::string_view::npos ? std::nullopt : Number(text.substr(blank));
    if (!station || !elevation) {
      out.error = which + ": \"" + std::string(text) +
                  "\" is not \"station elevation\"; write the two numbers, a blank between";
      break;
    }
    read.station = *station;
    read.elevation = *elevation;
    // The attribute `name` as a length, or the error.
    const auto length = [&](const char* name, bool required) -> std::optional<double> {
      const std::optional<std::string_view> value = Find(point.attributes, name);
      if (!value) {
        if (required) out.error = which + " has no " + name + "; give its " + name;
        return std::nullopt;
      }
      const std::optional<double> number = Number(*value);
      if (!number || *number < 0.0) {
        out.error = which + ": its " + name + " \"" + std::string(*value) +
                    "\" is not a length; write it as a number, 0 or more";
        return std::nullopt;
      }
      return number;
    };
    std::optional<double> stated;
    if (point.kind == "ParaCurve") {
      read.curve = road::VerticalCurveKind::kLength;
      read.length = length("length", true).value_or(0.0);
    } else if (point.kind == "UnsymParaCurve") {
      read.curve = road::VerticalCurveKind::kAsymmetric;
      read.length_in = length("lengthIn", true).value_or(0.0);
      if (out.error.empty()) read.length_out = length("lengthOut", true).value_or(0.0);
    } else if (point.kind == "CircCurve") {
      read.curve = road::VerticalCurveKind::kCircle;
      read.radius = length("radius", true).value_or(0.0);
      if (out.error.empty()) stated = length("length", false);
      read.length = stated.value_or(0.0);
    }
    out.points.push_back(read);
    out.kinds.push_back(point.kind);
    out.stated_lengths.push_back(stated);
  }
  if (!out.error.empty()) {
    out.points.clear();
    out.kinds.clear();
    out.stated_lengths.clear();
  }
  return out;
}

// +1 for UTF-16 with a little-endian byte-order mark, -1 big-endian, 0
// neither.
int Utf16(std::string_view bytes) {
  if (bytes.size() < 2) return 0;
  if (bytes[0] == '\xFF' && bytes[1] == '\xFE') return 1;
  if (bytes[0] == '\xFE' && bytes[1] == '\xFF') return -1;
  return 0;
}

// Whether UTF-16 text (after its byte-order mark) starts, after blanks,
// with '<'.
bool Utf16StartsAngled(std::string_view bytes, int order) {
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const unsigned char low = static_cast<unsigned char>(bytes[order > 0 ? i : i + 1]);
    const unsigned char high = static_cast<unsigned char>(bytes[order > 0 ? i + 1 : i]);
    if (high == 0 && (low == ' ' || low == '\t' || low == '\r' || low == '\n')) continue;
    return high == 0 && low == '<';
  }
  return false;
}

}  // namespace

std::optional<Document> ReadLandXml(std::string_view bytes, std::string& error) {
  if (const int order = Utf16(bytes); order != 0 && !Utf16StartsAngled(bytes, order)) {
    error = "a UTF-16 text file, not XML; save it as UTF-8";
    return std::nullopt;
  }
  Walker walker;
  if (!ParseXml(bytes, walker, error)) {
    error = "not well-formed XML: " + error;
    return std::nullopt;
  }
  if (walker.root_ != "LandXML") {
    error = "not a LandXML file: its root element is <" + walker.root_ + ">";
    return std::nullopt;
  }
  Document document;
  document.units = walker.units_;
  for (const RawAlignment& raw : walker.alignments_) {
    if (!raw.has_geometry) continue;
    ReadAlignment& alignment = document.alignments.emplace_back();
    Builder(walker, raw, alignment).Run();
    for (const RawProfile& profile : raw.profiles) alignment.profiles.push_back(Profile(profile));
    alignment.ground_profiles = raw.ground_profiles;
  }
  if (document.alignments.empty()) {
    error = walker.alignments_.empty() ? "the LandXML file holds no alignment"
                                       : "no alignment of the LandXML file has horizontal "
                                         "geometry (a CoordGeom)";
    return std::nullopt;
  }
  return document;
}

const ReadAlignment* SelectAlignment(const Document& document, std::string_view name,
                                     std::string& error) {
  if (name.empty()) {
    if (document.alignments.size() == 1) return &document.alignments.front();
    error = "the file holds " + std::to_string(document.alignments.size()) +
            " alignments; choose one with --alignment NAME:";
    for (const ReadAlignment& alignment : document.alignments) error += "\n  " + alignment.name;
    return nullptr;
  }
  const ReadAlignment* found = nullptr;
  std::size_t count = 0;
  for (const ReadAlignment& alignment : document.alignments) {
    if (alignment.name == name) {
      found = &alignment;
      ++count;
    }
  }
  if (count == 1) return found;
  if (count == 0) {
    error = "the file holds no alignment named \"" + std::string(name) + "\"; it holds:";
    for (const ReadAlignment& alignment : document.alignments) error += "\n  " + alignment.name;
  } else {
    error = "the file holds " + std::to_string(count) + " alignments named \"" + std::string(name) +
            "\"";
  }
  return nullptr;
}

}  // namespace velmora::landxml
