#include "cli/pi_tables.h"

#include <charconv>
#include <cmath>

#include "arith/angle.h"
#include "road/geometry.h"
#include "road/pi.h"
#include "text/csv.h"

namespace velmora::cli {

void AppendExact(std::string& out, double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value == 0.0 ? 0.0 : value);
  out.append(text, result.ptr);
}

std::optional<std::string> ExactPacked(double radians) {
  // The reader turns degrees into radians by the window's pi.
  double degrees = radians * kDegreesPerHalfTurn / kPi;
  if (degrees >= kDegreesPerTurn) {
    degrees -= kDegreesPerTurn;  // a full turn is north again, and above 360 is refused
  }
  const double whole = std::floor(degrees);
  const double minutes = std::floor((degrees - whole) * kMinutesPerDegree);
  const double seconds = ((degrees - whole) * kMinutesPerDegree - minutes) * kSecondsPerMinute;
  // The reader keeps the seconds in single precision: 59.9999 and more could
  // read as 60.
  if (seconds >= 59.9999) {
    return std::nullopt;
  }
  std::string packed;
  AppendExact(packed, whole + minutes / 100.0 + seconds / 10000.0);
  return packed;
}

namespace {

double CurvatureOf(double radius) { return radius == 0.0 ? 0.0 : 1.0 / radius; }

// The element's pieces: itself, or where two station equations or more fall
// in it (a LandXML alignment may have them; an element file holds one an
// element) pieces that end at each equation but the last.
std::vector<road::Element> Pieces(const road::Element& e,
                                  const std::vector<road::StationEquation>& equations) {
  std::vector<double> cuts;
  for (const road::StationEquation& q : equations) {
    if (q.at > e.start_station && q.at <= e.end_station) {
      cuts.push_back(q.at);
    }
  }
  if (cuts.size() < 2) {
    return {e};
  }
  cuts.back() = e.end_station;
  // The curvature runs linearly along the element.
  const double k0 = CurvatureOf(e.start_radius);
  const double k1 = CurvatureOf(e.end_radius);
  const auto radius_at = [&](double station) {
    if (station == e.start_station || road::KindOf(e) != road::Kind::kSpiral) {
      return station == e.end_station ? e.end_radius : e.start_radius;
    }
    const double k = k0 + (k1 - k0) * (station - e.start_station) / e.Length();
    return k == 0.0 ? 0.0 : 1.0 / k;
  };
  std::vector<road::Element> pieces;
  double from = e.start_station;
  for (const double to : cuts) {
    road::Element piece = e;
    piece.start_station = from;
    piece.end_station = to;
    piece.start_radius = radius_at(from);
    piece.end_radius = radius_at(to);
    piece.start_azimuth = road::AzimuthAt(e, from).value_or(e.start_azimuth);
    piece.start = road::PointAt(e, from).value_or(e.start);
    pieces.push_back(piece);
    from = to;
  }
  return pieces;
}

}  // namespace

void WriteElementFile(Writer& out, const road::Alignment& alignment) {
  out.Line(model::kElementHeader);
  const std::vector<road::StationEquation>& equations = alignment.equations();
  std::vector<road::Element> elements;
  for (const road::Element& e : alignment.elements()) {
    for (const road::Element& piece : Pieces(e, equations)) {
      elements.push_back(piece);
    }
  }
  std::optional<double> written_end;  // as the previous line wrote it, with no equation after
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const road::Element& e = elements[i];
    const double start = written_end.value_or(alignment.DisplayStation(e.start_station));
    double end = alignment.DisplayEndStation(e.end_station);
    const road::StationEquation* equation = nullptr;
    for (const road::StationEquation& q : equations) {
      if (q.at > e.start_station && q.at <= e.end_station) {
        equation = &q;
        if (q.at < e.end_station) {
          end = q.back + (e.end_station - q.at);
        }
        break;
      }
    }
    std::string& t = out.text;
    AppendExact(t, start);
    t += ',';
    AppendExact(t, end);
    t += ',';
    AppendExact(t, e.start_radius);
    t += ',';
    AppendExact(t, e.end_radius);
    t += ',';
    // A start azimuth the reader cannot keep is carried from the element
    // before; the first one is nudged past the minute, by 1e-9 radians.
    std::optional<std::string> packed = ExactPacked(e.start_azimuth);
    if (!packed && i == 0) {
      packed = ExactPacked(e.start_azimuth + 1e-9);
    }
    t += packed.value_or("");
    t += ',';
    AppendExact(t, e.start.x);
    t += ',';
    AppendExact(t, e.start.y);
    out.EndLine();
    written_end = end;
    if (equation != nullptr) {
      t += "equation,";
      AppendExact(t, equation->back);
      t += ',';
      AppendExact(t, equation->ahead);
      out.EndLine();
      written_end.reset();
    }
  }
}

std::optional<road::PiTable> PiTableOfRoad(const model::Road& road, std::string& problem) {
  road::PiPatternError error;
  std::optional<road::PiTable> table = road::PiTableOf(road.alignment.elements(), error);
  if (!table) {
    // The message names the element by its index: the place names it better.
    std::string_view what = error.message;
    if (const std::size_t colon = what.find(": "); colon != std::string_view::npos) {
      what.remove_prefix(colon + 2);
    }
    problem = road.Place(error.element) + ": the road is not a table of JDs: " + std::string(what);
  }
  return table;
}

void WritePiFile(Writer& out, const road::PiTable& table) {
  out.Line("name,x,y,radius,spiral_in,spiral_out,station");
  for (std::size_t i = 0; i < table.points.size(); ++i) {
    const road::PiPoint& point = table.points[i];
    std::string& t = out.text;
    text::AppendCsvField(t, point.name);
    t += ',';
    AppendExact(t, point.point.x);
    t += ',';
    AppendExact(t, point.point.y);
    for (const double value : {point.radius, point.spiral_in, point.spiral_out}) {
      t += ',';
      AppendExact(t, value);
    }
    t += ',';
    if (i == 0) {
      AppendExact(t, table.start_station);
    }
    out.EndLine();
  }
}

}  // namespace velmora::cli
