#include "cli/geojson.h"

#include <array>
#include <charconv>
#include <cmath>

namespace velmora::cli {

void AppendJsonString(std::string& out, std::string_view text) {
  constexpr std::string_view kHex = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

void AppendJsonNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  if (value == 0.0) {
    value = 0.0;  // no "-0"
  }
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  out.append(buffer.data(), result.ptr);
}

void GeoJsonWriter::Begin(std::string& out, std::string_view source) {
  out += "{\"type\":\"FeatureCollection\",\n\"velmora:coordinates\":";
  AppendJsonString(out, kGeoJsonCoordinatesNote);
  if (!source.empty()) {
    out += ",\n\"velmora:source\":";
    AppendJsonString(out, source);
  }
  out += ",\n\"features\":[";
  first_feature_ = true;
}

void GeoJsonWriter::BeginFeature(std::string& out) {
  out += first_feature_ ? "\n" : ",\n";
  first_feature_ = false;
}

void GeoJsonWriter::Point(std::string& out, const GeoPoint& row) {
  BeginFeature(out);
  out += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[";
  AppendJsonNumber(out, row.point.y);
  out += ',';
  AppendJsonNumber(out, row.point.x);
  out += "]},\"properties\":{\"station\":";
  AppendJsonString(out, row.station);
  out += ",\"station_value\":";
  AppendJsonNumber(out, row.station_value);
  out += ",\"distance\":";
  AppendJsonNumber(out, row.distance);
  out += ",\"code\":";
  AppendJsonString(out, row.code);
  out += ",\"azimuth\":";
  AppendJsonString(out, row.azimuth);
  out += ",\"azimuth_packed\":";
  AppendJsonString(out, row.packed);
  out += ",\"azimuth_degrees\":";
  AppendJsonNumber(out, row.azimuth_degrees);
  out += ",\"offset\":";
  AppendJsonNumber(out, row.offset);
  out += ",\"x\":";
  AppendJsonNumber(out, row.point.x);
  out += ",\"y\":";
  AppendJsonNumber(out, row.point.y);
  out += "}}";
}

void GeoJsonWriter::BeginLine(std::string& out, double offset) {
  BeginFeature(out);
  out += "{\"type\":\"Feature\",\"properties\":{\"line\":";
  out += offset == 0.0 ? "\"centre\"" : "\"offset\"";
  out += ",\"offset\":";
  AppendJsonNumber(out, offset);
  out += "},\"geometry\":{\"type\":\"LineString\",\"coordinates\":[";
  first_line_point_ = true;
  line_points_ = 0;
}

void GeoJsonWriter::LinePoint(std::string& out, road::Point point) {
  if (!first_line_point_) {
    out += line_points_ % 4 == 0 ? ",\n" : ",";
  }
  first_line_point_ = false;
  ++line_points_;
  last_ = point;
  out += '[';
  AppendJsonNumber(out, point.y);
  out += ',';
  AppendJsonNumber(out, point.x);
  out += ']';
}

void GeoJsonWriter::EndLine(std::string& out) {
  // A LineString has two positions or more: a line of one point repeats it
  // (none is an empty geometry, which RFC 7946 allows).
  if (line_points_ == 1) {
    LinePoint(out, last_);
  }
  out += "]}}";
}

void GeoJsonWriter::End(std::string& out) { out += "\n]}\n"; }

}  // namespace velmora::cli
