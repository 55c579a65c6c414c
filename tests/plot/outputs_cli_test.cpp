// stakeout --geojson and plot run in memory: the GeoJSON has the CSV table's
// rows, east first, and lines through its points; plot writes SVG, and
// refuses what it cannot draw; plot-profile draws the profile's curves
// where they are.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
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

// A crest of R 2500 at 150 (+3 % to -3 %: T 75, E 75^2/5000 = 1.125) and a
// sag of R 2000 at 300 (-3 % to +2 %: T 50, E 50^2/4000 = 0.625).
const std::string kProfile =
    "station,elevation,radius\n0,100,\n150,104.5,2500\n300,100,2000\n400,102,\n";

// The design elevation by hand: the grade lines, less (more) x^2 / 2R
// from a curve's start.
double HandElevation(double s) {
  if (s >= 75 && s <= 225) {
    return 100 + 0.03 * s - (s - 75) * (s - 75) / 5000;
  }
  if (s >= 250 && s <= 350) {
    return 104.5 - 0.03 * (s - 150) + (s - 250) * (s - 250) / 4000;
  }
  return s < 150 ? 100 + 0.03 * s : s < 300 ? 104.5 - 0.03 * (s - 150) : 100 + 0.02 * (s - 300);
}

std::vector<double> Numbers(const std::string& svg, const std::string& after) {
  std::vector<double> values;
  std::size_t at = svg.find(after);
  EXPECT_NE(at, std::string::npos) << after;
  at += after.size();
  const std::size_t end = svg.find('"', at);
  std::string text = svg.substr(at, end - at);
  std::replace(text.begin(), text.end(), ',', ' ');
  std::istringstream in(text);
  for (double v = 0; in >> v;) {
    values.push_back(v);
  }
  return values;
}

TEST(PlotProfile, LabelsWorkedByHandAndTheDesignLineOnTheParabolas) {
  for (const double exaggeration : {10.0, 4.0}) {
    SCOPED_TRACE(exaggeration);
    MemorySystem system;
    system.files = {{"e.csv", kRoad}, {"p.csv", kProfile}};
    std::vector<std::string> args = {"plot-profile",     "e.csv", "--profile", "p.csv",
                                     "--station-format", "k"};
    if (exaggeration != 10.0) {
      args.insert(args.end(), {"--exaggeration", "4"});
    }
    const Outcome got = RunCli(args, system);
    ASSERT_EQ(got.status, 0) << got.err;
    const std::string& svg = got.out;
    struct Nothing final : landxml::XmlHandler {
      void Start(std::string_view, std::span<const landxml::XmlAttribute>) override {}
      void Text(std::string_view) override {}
      void End(std::string_view) override {}
    } nothing;
    std::string error;
    EXPECT_TRUE(landxml::ParseXml(svg, nothing, error)) << error;
    for (const std::string label :
         {">PVI K0+150<", ">H=104.500<", ">R=2500 T=75.000 E=1.125<", ">PVI K0+300<", ">H=100.000<",
          ">R=2000 T=50.000 E=0.625<", ">+3% L=150<", ">-3% L=150<", ">+2% L=100<", ">BVC K0+075<",
          ">EVC K0+225<", ">BVC K0+250<", ">EVC K0+350<",
          exaggeration == 10.0 ? ">vertical exaggeration 10\xC3\x97<"
                               : ">vertical exaggeration 4\xC3\x97<"}) {
      EXPECT_NE(svg.find(label), std::string::npos) << label;
    }
    // station elevation origin_x origin_y scale exaggeration
    const std::vector<double> f = Numbers(svg, "data-velmora-section=\"");
    ASSERT_EQ(f.size(), 6u);
    EXPECT_EQ(f[5], exaggeration);
    const std::vector<double> p =
        Numbers(svg,
                "class=\"design\" fill=\"none\" stroke=\"#d62728\" "
                "stroke-width=\"2.5\" stroke-linejoin=\"round\" points=\"");
    ASSERT_GT(p.size(), 40u);
    const auto station = [&](double x) { return f[0] + (x - f[2]) / f[4]; };
    const auto y_of = [&](double s) { return f[3] - (HandElevation(s) - f[1]) * f[4] * f[5]; };
    EXPECT_NEAR(station(p[0]), 0.0, 0.01);
    EXPECT_NEAR(station(p[p.size() - 2]), 400.0, 0.01);
    for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
      EXPECT_NEAR(p[i + 1], y_of(station(p[i])), 0.01) << station(p[i]);
      if (i >= 2) {  // each chord within a pixel of the curve, at its middle
        const double mid = (p[i] + p[i - 2]) / 2;
        EXPECT_NEAR((p[i + 1] + p[i - 1]) / 2, y_of(station(mid)), 0.25) << station(mid);
      }
    }
  }
}

TEST(PlotProfile, RefusalsAndThePlansHeights) {
  const struct {
    std::vector<std::string> args;
    std::string message;
  } refused[] = {
      {{"plot-profile", "e.csv"}, "give --profile FILE"},
      {{"plot-profile", "e.csv", "--profile", "p.csv", "--exaggeration", "0"},
       "--exaggeration takes"},
      {{"plot-profile", "e.csv", "--profile", "p.csv", "--exaggeration", "ten"},
       "--exaggeration takes"},
      {{"plot", "e.csv", "--cross-slope", "-2"}, "give --profile FILE too"},
  };
  for (const auto& c : refused) {
    MemorySystem system;
    system.files = {{"e.csv", kRoad}, {"p.csv", kProfile}};
    const Outcome got = RunCli(c.args, system);
    EXPECT_EQ(got.status, 2) << c.message;
    EXPECT_NE(got.err.find(c.message), std::string::npos) << got.err;
    EXPECT_TRUE(got.out.empty()) << c.message;
  }
  // At 100 on the crest: 103 - 25^2/5000; at the end 7.5 right on a 2 %
  // crown: 102 - 0.15.
  MemorySystem system;
  system.files = {{"e.csv", kRoad}, {"p.csv", kProfile}};
  const Outcome got = RunCli({"plot", "e.csv", "--profile", "p.csv", "--cross-slope", "-2",
                              "--offset", "7.5", "--station-format", "k"},
                             system);
  ASSERT_EQ(got.status, 0) << got.err;
  for (const char* label : {">QD K0+000 H=100.000<", ">ZH K0+100 H=102.875<", ">+7.5 H=101.850<"}) {
    EXPECT_NE(got.out.find(label), std::string::npos) << label;
  }
}

}  // namespace
}  // namespace velmora::cli
