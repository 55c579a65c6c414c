#include "report/geojson.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>

#include "arith/angle.h"
#include "plot/trace.h"
#include "road/geometry.h"
#include "road/stakeout.h"
#include "text/csv.h"
#include "text/text.h"

namespace velmora::report {
namespace {

using text::AppendFixed;
using text::Printable;

constexpr double kLineTolerance = 0.001;  // length units
constexpr std::size_t kLinePointsALine = 4;

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  if (!text::IsValidUtf8(text)) {
    AppendJsonString(out, Printable(text));
    return;
  }
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

void GeoJsonWriter::Coordinate(double value) {
  if (std::isfinite(value)) {
    AppendFixed(out_.text, value, decimals_);
  } else {
    out_.text += "null";
  }
}

void GeoJsonWriter::Begin(std::string_view source) {
  std::string& t = out_.text;
  t += "{\"type\":\"FeatureCollection\",";
  out_.EndLine();
  t += "\"velmora:coordinates\":";
  AppendJsonString(t, kGeoJsonCoordinatesNote);
  t += ',';
  out_.EndLine();
  if (!source.empty()) {
    t += "\"velmora:source\":";
    AppendJsonString(t, source);
    t += ',';
    out_.EndLine();
  }
  t += "\"features\":[";
  first_feature_ = true;
}

void GeoJsonWriter::BeginFeature() {
  if (!first_feature_) {
    out_.text += ',';
  }
  out_.EndLine();
  first_feature_ = false;
}

void GeoJsonWriter::Point(const GeoPoint& row, std::optional<double> height) {
  BeginFeature();
  std::string& t = out_.text;
  t += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[";
  Coordinate(row.point.y);
  t += ',';
  Coordinate(row.point.x);
  if (height) {
    t += ',';
    Coordinate(*height);
  }
  t += "]},\"properties\":{\"station\":";
  AppendJsonString(t, row.station);
  t += ",\"station_value\":";
  AppendJsonNumber(t, row.station_value);
  t += ",\"distance\":";
  AppendJsonNumber(t, row.distance);
  t += ",\"code\":";
  AppendJsonString(t, row.code);
  t += ",\"azimuth\":";
  AppendJsonString(t, row.azimuth);
  t += ",\"azimuth_packed\":";
  AppendJsonString(t, row.packed);
  t += ",\"azimuth_degrees\":";
  AppendJsonNumber(t, row.azimuth_degrees);
  t += ",\"offset\":";
  Coordinate(row.offset);
  t += ",\"x\":";
  Coordinate(row.point.x);
  t += ",\"y\":";
  Coordinate(row.point.y);
  if (height) {
    t += ",\"h\":";
    Coordinate(*height);
  }
  t += "}}";
}

void GeoJsonWriter::BeginLine(double offset) {
  BeginFeature();
  std::string& t = out_.text;
  t += "{\"type\":\"Feature\",\"properties\":{\"line\":";
  t += offset == 0.0 ? "\"centre\"" : "\"offset\"";
  t += ",\"offset\":";
  Coordinate(offset);
  t += "},\"geometry\":{\"type\":\"LineString\",\"coordinates\":[";
  line_points_ = 0;
}

void GeoJsonWriter::LinePoint(road::Point point) {
  if (line_points_ > 0) {
    out_.text += ',';
    if (line_points_ % kLinePointsALine == 0) {
      out_.EndLine();
    }
  }
  ++line_points_;
  last_ = point;
  out_.text += '[';
  Coordinate(point.y);
  out_.text += ',';
  Coordinate(point.x);
  out_.text += ']';
}

void GeoJsonWriter::EndLine() {
  // A LineString has two positions or more: a line of one point repeats it
  // (none is an empty geometry, which RFC 7946 allows).
  if (line_points_ == 1) {
    LinePoint(last_);
  }
  out_.text += "]}}";
}

void GeoJsonWriter::End() {
  out_.EndLine();
  out_.Line("]}");
}

Gaps WriteTableGeoJson(LineOut& out, const model::Road& road, const Heights& heights,
                       const TableRequest& request, std::string_view source) {
  Gaps gaps;
  WriteTableGeoJson(out, road, heights, request, source,
                    [&gaps](const std::string& message) { gaps.messages.push_back(message); });
  return gaps;
}

void WriteTableGeoJson(LineOut& out, const model::Road& road, const Heights& heights,
                       const TableRequest& request, std::string_view source, const GapSink& gap) {
  if (const std::optional<Refusal> refusal = CheckTable(road, request)) {
    gap(refusal->message);
    return;
  }
  const road::Alignment& alignment = road.alignment;
  const std::vector<double>& offsets = request.offsets;
  const model::StationFormat stations = request.stations;
  const std::vector<double> extra = AtDistances(alignment, request.at);
  const double step = request.step;
  const int decimals = request.decimals;
  const GapSink& failed = gap;
  const road::Profile* profile = heights.profile ? &heights.profile->profile : nullptr;
  GeoJsonWriter writer(out, decimals);
  writer.Begin(source);
  report::TableRows(alignment, step, extra, offsets, stations, [&](const report::TableRow& row) {
    // The centre's elevation once a row; at an offset only with cross slopes.
    const std::optional<double> h =
        profile ? profile->ElevationAt(row.row->distance) : std::nullopt;
    const road::CrossSlope slope =
        heights.slopes && h ? heights.slopes->At(row.row->distance) : road::CrossSlope{};
    for (std::size_t i = 0; i < row.points.size(); ++i) {
      const double offset = i == 0 ? 0.0 : offsets[i - 1];
      if (row.points[i] && row.azimuth) {
        writer.Point(
            {*row.points[i], row.station, row.displayed, row.row->distance, row.row->code,
             row.azimuth_text, row.packed, *row.azimuth * kDegreesPerHalfTurn / kPi, offset},
            h && (i == 0 || heights.slopes) ? std::optional(OffsetElevation(*h, slope, offset))
                                            : std::nullopt);
      }
    }
    if (profile && !h) {
      failed("station " + row.station + ": no design elevation: the profile runs from " +
             ProfileEnds(alignment, *profile, stations) + "; extend the profile to cover it");
    }
    if (!row.Complete()) {
      failed("station " + row.station + ": the point cannot be computed on its element");
    }
    return out.ok();  // a failed write ends the table
  });
  // The lines in a second pass along the road: their points are not kept.
  for (std::size_t i = 0; i <= offsets.size() && out.ok(); ++i) {
    const double offset = i == 0 ? 0.0 : offsets[i - 1];
    writer.BeginLine(offset);
    if (!plot::TraceAlignment(alignment, offset, kLineTolerance,
                              [&](road::Point p) { writer.LinePoint(p); })) {
      std::string problem = "the line at offset ";
      AppendJsonNumber(problem, offset);
      failed(problem + " cannot be computed along the whole road");
    }
    writer.EndLine();
  }
  writer.End();
}

}  // namespace velmora::report
