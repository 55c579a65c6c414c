// A station coordinate table as GeoJSON (RFC 7946): a FeatureCollection
// with a Point for each row and a LineString for the centre line and each
// offset line.
//
// Coordinates are [easting, northing], east first as GIS programs read
// them, in the alignment file's own projected system: nothing is
// transformed, and RFC 7946's WGS 84 longitude and latitude do not apply;
// the collection says so in its member "velmora:coordinates".
//
// Written as it goes: the start, each row as the table makes it, each line
// a point at a time, then the end. Nothing but the writer's own state is
// kept, so a table of any length is written in bounded memory.
#pragma once

#include <string>
#include <string_view>

#include "road/geometry.h"

namespace velmora::cli {

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
  // Each call appends to `out`, which the caller writes out and clears when
  // it likes.
  void Begin(std::string& out, std::string_view source);
  void Point(std::string& out, const GeoPoint& row);
  void BeginLine(std::string& out, double offset);  // 0: the centre line
  void LinePoint(std::string& out, road::Point point);
  void EndLine(std::string& out);
  void End(std::string& out);

 private:
  void BeginFeature(std::string& out);

  bool first_feature_ = true;
  bool first_line_point_ = true;
  std::size_t line_points_ = 0;
  road::Point last_{};
};

// A text as a JSON string, quotes included.
void AppendJsonString(std::string& out, std::string_view text);
// A number as JSON has it: the shortest text that reads back as the same
// double; null for infinities and NaN, which JSON cannot hold.
void AppendJsonNumber(std::string& out, double value);

}  // namespace velmora::cli
