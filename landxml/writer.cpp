#include "landxml/writer.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "road/geometry.h"
#include "text/text.h"

namespace velmora::landxml {
namespace {

constexpr double kQuarterTurn = std::numbers::pi / 2.0;

// The shortest plain decimal that reads back as the same double.
void AppendNumber(std::string& out, double value) {
  if (value == 0.0) value = 0.0;  // no "-0"
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  out.append(text, result.ptr);
}

void AppendAttribute(std::string& out, std::string_view name, double value) {
  out += ' ';
  out += name;
  out += "=\"";
  AppendNumber(out, value);
  out += '"';
}

void AppendPoint(std::string& out, std::string_view tag, road::Point point) {
  out += "          <";
  out += tag;
  out += '>';
  AppendNumber(out, point.x);
  out += ' ';
  AppendNumber(out, point.y);
  out += "</";
  out += tag;
  out += ">\n";
}

void AppendRadius(std::string& out, std::string_view name, double radius) {
  out += ' ';
  out += name;
  out += "=\"";
  if (radius == 0.0) {
    out += "INF";
  } else {
    AppendNumber(out, std::fabs(radius));
  }
  out += '"';
}

double Curvature(double radius) { return radius == 0.0 ? 0.0 : 1.0 / radius; }

// The part [from, to] of an element, as an element of its own.
std::optional<road::Element> Part(const road::Element& element, double from, double to) {
  const std::optional<road::Point> start = road::PointAt(element, from);
  const std::optional<double> azimuth = road::AzimuthAt(element, from);
  if (!start || !azimuth) return std::nullopt;
  const double rate =
      (Curvature(element.end_radius) - Curvature(element.start_radius)) / element.Length();
  const auto radius_at = [&](double station) {
    if (station == element.start_station) return element.start_radius;
    if (station == element.end_station) return element.end_radius;
    const double curvature =
        Curvature(element.start_radius) + rate * (station - element.start_station);
    // Zero where the curvature passes zero, not what rounding leaves there.
    const double most = std::fmax(std::fabs(Curvature(element.start_radius)),
                                  std::fabs(Curvature(element.end_radius)));
    return std::fabs(curvature) <= 1e-12 * most ? 0.0 : 1.0 / curvature;
  };
  road::Element part = element;
  part.start_station = from;
  part.end_station = to;
  part.start_radius = radius_at(from);
  part.end_radius = radius_at(to);
  part.start_azimuth = *azimuth;
  part.start = *start;
  return part;
}

// A spiral cut where it must be: where its curvature passes zero, and into
// pieces that turn at most a quarter turn.
bool SpiralPieces(const road::Element& spiral, std::vector<road::Element>& pieces) {
  const double k0 = Curvature(spiral.start_radius);
  const double k1 = Curvature(spiral.end_radius);
  std::vector<double> cuts = {spiral.start_station};
  if ((k0 > 0.0 && k1 < 0.0) || (k0 < 0.0 && k1 > 0.0)) {
    cuts.push_back(spiral.start_station + spiral.Length() * k0 / (k0 - k1));
  }
  cuts.push_back(spiral.end_station);
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    const std::optional<road::Element> stretch = Part(spiral, cuts[i], cuts[i + 1]);
    if (!stretch) return false;
    // The stretch's curvature is largest at one of its ends.
    const double most = std::fmax(std::fabs(Curvature(stretch->start_radius)),
                                  std::fabs(Curvature(stretch->end_radius)));
    const double count = std::fmax(1.0, std::ceil(most * stretch->Length() / kQuarterTurn));
    if (!(count <= 1e6)) return false;
    const int n = static_cast<int>(count);
    for (int j = 0; j < n; ++j) {
      const double from =
          j == 0 ? stretch->start_station : stretch->start_station + stretch->Length() * j / count;
      const double to = j + 1 == n ? stretch->end_station
                                   : stretch->start_station + stretch->Length() * (j + 1) / count;
      const std::optional<road::Element> piece = n == 1 ? stretch : Part(*stretch, from, to);
      if (!piece) return false;
      pieces.push_back(*piece);
    }
  }
  return true;
}

// Where the tangents at a spiral's ends meet; a point on the start tangent
// half the length ahead when they are too near parallel to say.
road::Point SpiralPi(const road::Element& spiral, road::Point end, double end_azimuth) {
  const double d1x = std::cos(spiral.start_azimuth);
  const double d1y = std::sin(spiral.start_azimuth);
  const double d2x = std::cos(end_azimuth);
  const double d2y = std::sin(end_azimuth);
  const double across = d1x * d2y - d1y * d2x;
  double t = ((end.x - spiral.start.x) * d2y - (end.y - spiral.start.y) * d2x) / across;
  if (!(std::fabs(across) > 1e-9) || !(t > 0.0 && t < spiral.Length())) {
    t = 0.5 * spiral.Length();
  }
  return {spiral.start.x + t * d1x, spiral.start.y + t * d1y};
}

bool AppendElement(std::string& out, const road::Element& element) {
  const std::optional<road::Point> end = road::PointAt(element, element.end_station);
  const std::optional<double> end_azimuth = road::AzimuthAt(element, element.end_station);
  if (!end || !end_azimuth) return false;
  switch (road::KindOf(element)) {
    case road::Kind::kStraight:
      out += "        <Line";
      AppendAttribute(out, "staStart", element.start_station);
      AppendAttribute(out, "length", element.Length());
      out += ">\n";
      AppendPoint(out, "Start", element.start);
      AppendPoint(out, "End", *end);
      out += "        </Line>\n";
      return true;
    case road::Kind::kArc: {
      const double r = element.start_radius;
      const road::Point center = {
          element.start.x + r * std::cos(element.start_azimuth + kQuarterTurn),
          element.start.y + r * std::sin(element.start_azimuth + kQuarterTurn)};
      out += "        <Curve rot=\"";
      out += r > 0.0 ? "cw" : "ccw";
      out += "\" crvType=\"arc\"";
      AppendAttribute(out, "staStart", element.start_station);
      AppendAttribute(out, "length", element.Length());
      AppendAttribute(out, "radius", std::fabs(r));
      out += ">\n";
      AppendPoint(out, "Start", element.start);
      AppendPoint(out, "Center", center);
      AppendPoint(out, "End", *end);
      out += "        </Curve>\n";
      return true;
    }
    case road::Kind::kSpiral: {
      const double turning =
          element.start_radius != 0.0 ? element.start_radius : element.end_radius;
      out += "        <Spiral rot=\"";
      out += turning > 0.0 ? "cw" : "ccw";
      out += "\" spiType=\"clothoid\"";
      AppendAttribute(out, "staStart", element.start_station);
      AppendAttribute(out, "length", element.Length());
      AppendRadius(out, "radiusStart", element.start_radius);
      AppendRadius(out, "radiusEnd", element.end_radius);
      out += ">\n";
      AppendPoint(out, "Start", element.start);
      AppendPoint(out, "PI", SpiralPi(element, *end, *end_azimuth));
      AppendPoint(out, "End", *end);
      out += "        </Spiral>\n";
      return true;
    }
  }
  return false;
}

// The profile as a ProfAlign: each point "station elevation", the station
// the one displayed.
void AppendProfile(std::string& out, const road::Alignment& alignment,
                   const WriteOptions& options) {
  std::vector<const road::VerticalCurveRow*> rows(options.profile_points.size(), nullptr);
  const std::vector<road::VerticalCurveRow> table = options.profile->CurveTable();
  for (const road::VerticalCurveRow& row : table) {
    if (row.point < rows.size()) rows[row.point] = &row;
  }
  out += "      <Profile>\n        <ProfAlign name=\"";
  text::AppendXmlText(out, options.profile_name);
  out += "\">\n";
  for (std::size_t i = 0; i < options.profile_points.size(); ++i) {
    const road::ProfilePoint& point = options.profile_points[i];
    const road::VerticalCurveRow* row = rows[i];
    const bool curve = row != nullptr && row->curve != road::VerticalCurveKind::kNone;
    const char* tag = "PVI";
    out += "          <";
    if (curve && (point.curve == road::VerticalCurveKind::kRadius ||
                  point.curve == road::VerticalCurveKind::kLength)) {
      tag = "ParaCurve";
      out += tag;
      AppendAttribute(out, "length",
                      point.curve == road::VerticalCurveKind::kLength ? point.length : row->length);
    } else if (curve && point.curve == road::VerticalCurveKind::kAsymmetric) {
      tag = "UnsymParaCurve";
      out += tag;
      AppendAttribute(out, "lengthIn", point.length_in);
      AppendAttribute(out, "lengthOut", point.length_out);
    } else if (curve && point.curve == road::VerticalCurveKind::kCircle) {
      tag = "CircCurve";
      out += tag;
      AppendAttribute(out, "radius", point.radius);
      AppendAttribute(out, "length", point.length > 0.0 ? point.length : row->length);
    } else {
      out += tag;
    }
    out += '>';
    AppendNumber(out, alignment.DisplayStation(point.station));
    out += ' ';
    AppendNumber(out, point.elevation);
    out += "</";
    out += tag;
    out += ">\n";
  }
  out += "        </ProfAlign>\n      </Profile>\n";
}

}  // namespace

std::optional<std::string> WriteLandXml(const road::Alignment& alignment,
                                        const WriteOptions& options, std::string& error) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" "
      "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
      "xsi:schemaLocation=\"http://www.landxml.org/schema/LandXML-1.2 "
      "http://www.landxml.org/schema/LandXML-1.2/LandXML-1.2.xsd\" version=\"1.2\" date=\"";
  text::AppendXmlText(out, options.date);
  out += "\" time=\"";
  text::AppendXmlText(out, options.time);
  const Units& units = options.units;
  const auto or_else = [](const std::string& value, const char* otherwise) {
    return value.empty() ? std::string(otherwise) : value;
  };
  out += "\">\n  <Units>\n    <";
  out += units.imperial ? "Imperial" : "Metric";
  const std::pair<const char*, std::string> declared[] = {
      {"linearUnit", or_else(units.linear, units.imperial ? "foot" : "meter")},
      {"areaUnit", or_else(units.area, units.imperial ? "squareFoot" : "squareMeter")},
      {"volumeUnit", or_else(units.volume, units.imperial ? "cubicYard" : "cubicMeter")},
      {"angularUnit", or_else(units.angular, "radians")},
      {"directionUnit", or_else(units.direction, "radians")},
  };
  for (const auto& [name, value] : declared) {
    out += ' ';
    out += name;
    out += "=\"";
    text::AppendXmlText(out, value);
    out += '"';
  }
  out += "/>\n  </Units>\n  <Application name=\"";
  text::AppendXmlText(out, options.application);
  out += "\" version=\"";
  text::AppendXmlText(out, options.version);
  out += "\"/>\n  <Alignments>\n    <Alignment name=\"";
  text::AppendXmlText(out, options.name);
  out += '"';
  AppendAttribute(out, "length", alignment.End() - alignment.Start());
  AppendAttribute(out, "staStart", alignment.Start());
  out += ">\n      <CoordGeom>\n";
  for (std::size_t i = 0; i < alignment.elements().size(); ++i) {
    const road::Element& element = alignment.elements()[i];
    std::vector<road::Element> pieces;
    if (road::KindOf(element) == road::Kind::kSpiral) {
      if (!SpiralPieces(element, pieces)) pieces.clear();
    } else {
      pieces.push_back(element);
    }
    bool written = !pieces.empty();
    for (const road::Element& piece : pieces) written = written && AppendElement(out, piece);
    if (!written) {
      error = "element " + std::to_string(i) + " cannot be computed";
      return std::nullopt;
    }
  }
  out += "      </CoordGeom>\n";
  for (const road::StationEquation& equation : alignment.equations()) {
    out += "      <StaEquation";
    AppendAttribute(out, "staInternal", equation.at);
    AppendAttribute(out, "staBack", equation.back);
    AppendAttribute(out, "staAhead", equation.ahead);
    out += "/>\n";
  }
  if (options.profile != nullptr) AppendProfile(out, alignment, options);
  out += "    </Alignment>\n  </Alignments>\n</LandXML>\n";
  return out;
}

}  // namespace velmora::landxml
