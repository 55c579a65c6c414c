// The GeoJSON writer on its own: texts JSON must escape, numbers it cannot
// hold, and lines too short for a LineString still read as valid GeoJSON.
// (stakeout --geojson is checked against the CSV table in
// outputs_cli_test.cpp.)
#include "report/geojson.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "tests/cli/memory_system.h"
#include "tests/plot/json.h"

namespace velmora::cli {
namespace {

using report::GeoJsonWriter;
using report::GeoPoint;
using test::Json;
using test::JsonReader;

TEST(GeoJson, EscapedTextsRoundedCoordinatesAndShortLinesReadBack) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const GeoPoint row = {{4500123.45678, 39500987.65432},
                        "say \"K\\1\"\n\t\x01",
                        kNaN,
                        1e21,
                        "ZH",
                        "度",
                        "0",
                        -0.0,
                        std::numeric_limits<double>::infinity()};
  const std::vector<std::vector<road::Point>> lines = {{{1.0, 2.0}}, {}};
  std::string text;
  StringSink sink(text);
  Writer out(sink, false);
  GeoJsonWriter writer(out, 3);
  writer.Begin("road \xff.csv");  // not UTF-8
  writer.Point(row);
  for (const auto& line : lines) {
    writer.BeginLine(-7.5);
    for (const road::Point& p : line) {
      writer.LinePoint(p);
    }
    writer.EndLine();
  }
  writer.End();
  ASSERT_TRUE(out.Finish());

  const Json doc = JsonReader::Read(text);
  EXPECT_EQ(doc["velmora:source"].String(), "road \\xff.csv");
  const auto& features = doc["features"].Array();
  ASSERT_EQ(features.size(), 3u);
  const Json& point = features[0];
  EXPECT_EQ(point["geometry"]["coordinates"][0].Number(), 39500987.654);  // east first
  EXPECT_EQ(point["geometry"]["coordinates"][1].Number(), 4500123.457);
  EXPECT_EQ(point["properties"]["station"].String(), row.station);
  EXPECT_EQ(point["properties"]["azimuth"].String(), "度");
  EXPECT_TRUE(point["properties"]["station_value"].IsNull());
  EXPECT_TRUE(point["properties"]["offset"].IsNull());
  EXPECT_EQ(point["properties"]["distance"].Number(), 1e21);
  EXPECT_EQ(text.find("-0"), std::string::npos);
  // One point is repeated to make a line; none is an empty geometry.
  const auto& one = features[1]["geometry"]["coordinates"].Array();
  ASSERT_EQ(one.size(), 2u);
  EXPECT_EQ(one[1][0].Number(), 2.0);
  EXPECT_EQ(one[1][1].Number(), 1.0);
  EXPECT_TRUE(features[2]["geometry"]["coordinates"].Array().empty());
  EXPECT_EQ(features[2]["properties"]["offset"].Number(), -7.5);
}

}  // namespace
}  // namespace velmora::cli
