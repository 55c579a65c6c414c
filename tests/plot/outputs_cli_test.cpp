// stakeout --geojson and plot run in memory: the GeoJSON has the CSV table's
// rows, east first, and lines through its points; plot writes SVG, and
// refuses what it cannot draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "landxml/xml.h"
#include "tests/cli/memory_system.h"
#include "tests/plot/json.h"
#include "text/csv.h"

namespace velmora::cli {
namespace {

using test::Json;
using test::JsonReader;

// North-east from a zone-prefixed point: straight, spiral, arc to the left,
// spiral, straight.
const std::string kRoad =
    "start,end,start_radius,end_radius,start_azimuth,x,y\n"
    "0,100,0,0,45.3015,4512345.678,39498765.432\n"
    "100,160,0,-300,,,\n"
    "160,260,-300,-300\n"
    "260,320,-300,0,,,\n"
    "320,400,0,0,,,\n";

Outcome WithRoad(const std::vector<std::string>& args) {
  MemorySystem system;
  system.files = {{"e.csv", kRoad}};
  return RunCli(args, system);
}

std::vector<std::vector<std::string>> CsvRows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string_view> fields;
  std::string unquoted;
  for (std::size_t at = 0; at < csv.size();) {
    const std::size_t end = csv.find('\n', at);
    EXPECT_TRUE(text::SplitCsvLine(std::string_view(csv).substr(at, end - at), fields, unquoted));
    rows.emplace_back(fields.begin(), fields.end());
    at = end + 1;
  }
  return rows;
}

// How far (east, north) is from a LineString's nearest segment.
double FromLine(const Json& coordinates, double east, double north) {
  double best = std::numeric_limits<double>::infinity();
  const auto& points = coordinates.Array();
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double ax = points[i - 1][0].Number(), ay = points[i - 1][1].Number();
    const double dx = points[i][0].Number() - ax, dy = points[i][1].Number() - ay;
    const double t =
        std::clamp(((east - ax) * dx + (north - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    best = std::min(best, std::hypot(ax + t * dx - east, ay + t * dy - north));
  }
  return best;
}

TEST(StakeoutGeoJson, TheTablesRowsEastFirstAndLinesThroughThem) {
  const std::vector<std::string> args = {"stakeout", "e.csv",    "--every",          "25",
                                         "--offset", "-3.5",     "--offset",         "4",
                                         "--at",     "K0+123.4", "--station-format", "k"};
  const Outcome csv = WithRoad(args);
  std::vector<std::string> geo_args = args;
  geo_args.push_back("--geojson");
  const Outcome geo = WithRoad(geo_args);
  ASSERT_EQ(csv.status, 0) << csv.err;
  ASSERT_EQ(geo.status, 0) << geo.err;
  const auto rows = CsvRows(csv.out);
  const Json doc = JsonReader::Read(geo.out);
  EXPECT_EQ(doc["type"].String(), "FeatureCollection");
  EXPECT_EQ(doc["velmora:source"].String(), "e.csv");
  const auto& features = doc["features"].Array();
  const std::size_t points = (rows.size() - 1) * 3;
  ASSERT_EQ(features.size(), points + 3);

  const double offsets[] = {0.0, -3.5, 4.0};
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const auto& row = rows[r];  // station,point,x,y,azimuth,packed,x_left..,y_left..,x_right..
    for (std::size_t k = 0; k < 3; ++k) {
      SCOPED_TRACE(row[0] + " offset " + std::to_string(offsets[k]));
      const Json& f = features[(r - 1) * 3 + k];
      ASSERT_EQ(f["geometry"]["type"].String(), "Point");
      const double x = std::stod(row[2 + 2 * k + (k > 0 ? 2 : 0)]);
      const double y = std::stod(row[3 + 2 * k + (k > 0 ? 2 : 0)]);
      EXPECT_EQ(f["geometry"]["coordinates"][0].Number(), y);
      EXPECT_EQ(f["geometry"]["coordinates"][1].Number(), x);
      const Json& p = f["properties"];
      EXPECT_EQ(p["station"].String(), row[0]);
      EXPECT_EQ(p["code"].String(), row[1]);
      EXPECT_EQ(p["azimuth"].String(), row[4]);
      EXPECT_EQ(p["azimuth_packed"].String(), row[5]);
      EXPECT_EQ(p["offset"].Number(), offsets[k]);
      // Each point lies on its line, as traced within 0.001 units.
      const Json& line = features[points + k];
      EXPECT_EQ(line["properties"]["offset"].Number(), offsets[k]);
      EXPECT_LE(FromLine(line["geometry"]["coordinates"], y, x), 0.0011);
    }
  }
  EXPECT_EQ(features[points]["properties"]["line"].String(), "centre");
  EXPECT_EQ(features[points + 1]["properties"]["line"].String(), "offset");
}

// Along a straight due east or west the offset line runs from the offset
// point at the start to the one at the end, 5 to the right (south, north).
TEST(StakeoutGeoJson, OffsetLinesDueEastAndWestKeepBothEnds) {
  const struct {
    const char* azimuth;
    double end_east, north;
  } cases[] = {{"90", 100, -5}, {"270", -100, 5}};
  for (const auto& c : cases) {
    MemorySystem system;
    system.files = {{"e.csv", "0,100,0,0," + std::string(c.azimuth) + ",0,0\n"}};
    const Outcome got =
        RunCli({"stakeout", "e.csv", "--every", "50", "--offset", "5", "--geojson"}, system);
    ASSERT_EQ(got.status, 0) << got.err;
    const Json doc = JsonReader::Read(got.out);
    const Json& line = doc["features"].Array().back()["geometry"]["coordinates"];
    const auto& ends = line.Array();
    ASSERT_GE(ends.size(), 2U) << c.azimuth;
    EXPECT_NEAR(ends.front()[0].Number(), 0, 1e-9) << c.azimuth;
    EXPECT_NEAR(ends.back()[0].Number(), c.end_east, 1e-9) << c.azimuth;
    EXPECT_NEAR(ends.front()[1].Number(), c.north, 1e-9) << c.azimuth;
    EXPECT_NEAR(ends.back()[1].Number(), c.north, 1e-9) << c.azimuth;
  }
}

TEST(StakeoutGeoJson, NoByteOrderMarkInJson) {
  const Outcome got = WithRoad({"stakeout", "e.csv", "--every", "25", "--geojson", "--bom"});
  EXPECT_EQ(got.status, 2);
  EXPECT_NE(got.err.find("--bom is for CSV"), std::string::npos) << got.err;
  EXPECT_TRUE(got.out.empty());
}

TEST(Plot, WritesSvgToAFileAndRefusesWhatItCannotDraw) {
  MemorySystem system;
  system.files = {{"e.csv", kRoad}};
  const Outcome drawn = RunCli({"plot", "e.csv", "--offset", "-3.5", "--every", "50", "--title",
                                "A & B\x01\xFF", "-o", "r.svg", "--station-format", "k"},
                               system);
  ASSERT_EQ(drawn.status, 0) << drawn.err;
  EXPECT_TRUE(drawn.out.empty());
  const std::string& svg = system.files["r.svg"];
  EXPECT_TRUE(svg.starts_with("<?xml")) << svg.substr(0, 100);
  // A control character and a byte that is not UTF-8 cannot stand in XML.
  for (const char* text : {">A &amp; B\xEF\xBF\xBD\xEF\xBF\xBD<", ">QD K0+000<", ">ZH K0+100<",
                           ">K0+050<", ">K0+150<", ">ZD K0+400<", "stroke-dasharray"}) {
    EXPECT_NE(svg.find(text), std::string::npos) << text;
  }
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
  struct Counter final : landxml::XmlHandler {
    int elements = 0;
    void Start(std::string_view, std::span<const landxml::XmlAttribute>) override { ++elements; }
    void Text(std::string_view) override {}
    void End(std::string_view) override {}
  } counter;
  std::string error;
  EXPECT_TRUE(landxml::ParseXml(svg, counter, error)) << error;
  EXPECT_GT(counter.elements, 10);

  const struct {
    std::vector<std::string> args;
    std::string message;
  } refused[] = {
      {{"plot", "e.csv", "--size", "100x1000"}, "--size takes a width and height"},
      {{"plot", "e.csv", "--size", "1600"}, "--size takes a width and height"},
      {{"plot", "e.csv", "--every", "0"}, "--every takes a step above 0"},
      {{"plot", "e.csv", "--every", "0.001"}, "makes more than 10000 ticks"},
      {{"plot", "e.csv", "--offset", "x"}, "--offset takes a distance"},
      {{"plot", "e.csv", "--station-format", "km"}, "--station-format takes plain or k"},
      {{"plot", "missing.csv"}, "missing.csv"},
  };
  for (const auto& c : refused) {
    const Outcome got = WithRoad(c.args);
    EXPECT_EQ(got.status, 2) << c.message;
    EXPECT_NE(got.err.find(c.message), std::string::npos) << got.err;
    EXPECT_TRUE(got.out.empty()) << c.message;
  }
}

}  // namespace
}  // namespace velmora::cli
