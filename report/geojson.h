// A station coordinate table as GeoJSON (RFC 7946): a FeatureCollection
// with a Point for each row and a LineString for the centre line and each
// offset line.
//
// Coordinates are [easting, northing], east first as GIS programs read
// them, in the alignment file's own projected system: nothing is
// transformed, and RFC 7946's WGS 84 longitude and latitude do not apply;
// the collection says so in its member "velmora:coordinates".
//
// Written as it goes: the start, each row as the table makes it, then each
// line a point at a time (a second pass along the road), then the end, all
// through a LineOut that hands on whole lines of text. Only the writer's
// own few values are kept, so a road of any length takes bounded memory.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/road.h"
#include "model/stations.h"
#include "report/line_out.h"
#include "report/table.h"
#include "road/alignment.h"

namespace velmora::report {

// One row of the table: a point at a station and offset.
struct GeoPoint {
  road::Point point;
  std::string_view station;    // as the table shows it
  double station_value = 0.0;  // the displayed station as a number
  double distance = 0.0;       // along the road (differs from the station past an equation)
  std::string_view code;       // a boundary's code, or empty
  std::string_view azimuth;    // the window's text: "56度57分48秒"
  std::string_view packed;     // the same as a packed angle: "56.5748"
  double azimuth_degrees = 0.0;
  double offset = 0.0;
};

inline constexpr std::string_view kGeoJsonCoordinatesNote =
    "[easting, northing] in the alignment file's own projected system, untransformed "
    "(not WGS 84 longitude and latitude)";

class GeoJsonWriter {
 public:
  // Coordinates and offsets with `decimals` decimals, as the CSV table
  // writes them.
  GeoJsonWriter(LineOut& out, int decimals) : out_(out), decimals_(decimals) {}

  void Begin(std::string_view source);  // the file the road comes from
  // With `height` (the design elevation), a third coordinate and "h".
  void Point(const GeoPoint& row, std::optional<double> height = std::nullopt);
  void BeginLine(double offset);  // 0: the centre line
  void LinePoint(road::Point point);
  void EndLine();
  void End();

 private:
  void BeginFeature();
  void Coordinate(double value);

  LineOut& out_;
  int decimals_;
  bool first_feature_ = true;
  std::size_t line_points_ = 0;
  road::Point last_{};
};

// The station coordinate table of the request as GeoJSON: the rows of
// the CSV table, a point on the centre line and one at each offset, then
// the centre line and each offset line, traced within 0.001 length units.
// `source` is the file the road comes from, as the collection names it
// (none when empty). The gaps: each row whose points cannot be computed (it
// has none), each line that cannot be traced to its end ("station 120:
// ..."). With a profile in `heights`, each point has its design elevation as
// a third coordinate and as "h" (an offset point only with cross slopes),
// and each row outside the profile is a gap. Stops early once out.ok()
// turns false. A request CheckTable refuses writes nothing: its refusal is
// the one gap.
Gaps WriteTableGeoJson(LineOut& out, const model::Road& road, const Heights& heights,
                       const TableRequest& request, std::string_view source);
void WriteTableGeoJson(LineOut& out, const model::Road& road, const Heights& heights,
                       const TableRequest& request, std::string_view source, const GapSink& gap);

// A text as a JSON string, quotes included; bytes that are not UTF-8 are
// written as the text "\xNN".
void AppendJsonString(std::string& out, std::string_view text);
// A number as JSON has it: the shortest text that reads back as the same
// double; null for infinities and NaN, which JSON cannot hold.
void AppendJsonNumber(std::string& out, double value);

}  // namespace velmora::report
