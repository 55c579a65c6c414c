// The GeoJSON writer: what it writes reads as JSON, east first, with each
// row's properties as given, however the text is split into writes.
#include "cli/geojson.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/plot/json.h"

namespace velmora::cli {
namespace {

using test::Json;
using test::JsonReader;

class StringSink final : public Sink {
 public:
  explicit StringSink(std::string& text) : text_(text) {}
  bool Write(std::string_view bytes) override {
    text_ += bytes;
    return true;
  }

 private:
  std::string& text_;
};

TEST(GeoJson, RowsAndLinesReadBackEastFirstWithTheirProperties) {
  // Coordinates of a projected system with a zone prefix: every digit must
  // come back.
  const std::vector<GeoPoint> rows = {
      {{4500123.456789012, 39500987.654321098},
       "K0+000",
       0.0,
       0.0,
       "QD",
       "45度30分15秒",
       "45.3015",
       45.50416666666667,
       0.0},
      {{4500200.1, 39501000.25},
       "K0+120.5",
       120.5,
       118.0,
       "",
       "50度5分16.2秒",
       "50.05162",
       50.08783333333333,
       -3.5},
      // Texts JSON must escape.
      {{-1e-7, 2.5e-300}, "say \"K\\1\"\n\t\x01", -0.0, 1e21, "ZH", "度", "0", 0.0, 12.25},
  };
  // Lines of one point and of none still make valid LineStrings.
  const std::vector<std::vector<road::Point>> lines = {
      {{4500123.0, 39500987.0},
       {4500124.0, 39500988.0},
       {4500125.0, 39500990.0},
       {4500126.0, 39500993.0},
       {4500127.0, 39500997.0},
       {4500128.0, 39501002.0}},
      {{1.0, 2.0}},
      {},
  };
  std::string text;
  StringSink sink(text);
  Writer out(sink, false);
  GeoJsonWriter writer(out, -1);
  writer.Begin("road \"A\".csv");
  for (const GeoPoint& row : rows) {
    writer.Point(row);
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    writer.BeginLine(i == 0 ? 0.0 : -7.5);
    for (const road::Point& p : lines[i]) {
      writer.LinePoint(p);
    }
    writer.EndLine();
  }
  writer.End();
  ASSERT_TRUE(out.Finish());
  // Whole lines out, each within one write.
  EXPECT_EQ(text.back(), '\n');

  const Json doc = JsonReader::Read(text);
  EXPECT_EQ(doc["type"].String(), "FeatureCollection");
  EXPECT_NE(doc["velmora:coordinates"].String().find("untransformed"), std::string::npos);
  EXPECT_EQ(doc["velmora:source"].String(), "road \"A\".csv");
  EXPECT_FALSE(doc.Object().contains("crs"));
  const auto& features = doc["features"].Array();
  ASSERT_EQ(features.size(), rows.size() + lines.size());

  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    const Json& f = features[i];
    const GeoPoint& row = rows[i];
    EXPECT_EQ(f["type"].String(), "Feature");
    EXPECT_EQ(f["geometry"]["type"].String(), "Point");
    const Json& at = f["geometry"]["coordinates"];
    ASSERT_EQ(at.Array().size(), 2u);
    EXPECT_EQ(at[0].Number(), row.point.y);  // easting first, to the bit
    EXPECT_EQ(at[1].Number(), row.point.x);
    const Json& p = f["properties"];
    EXPECT_EQ(p["station"].String(), row.station);
    EXPECT_EQ(p["station_value"].Number(), row.station_value);
    EXPECT_EQ(p["distance"].Number(), row.distance);
    EXPECT_EQ(p["code"].String(), row.code);
    EXPECT_EQ(p["azimuth"].String(), row.azimuth);
    EXPECT_EQ(p["azimuth_packed"].String(), row.packed);
    EXPECT_EQ(p["azimuth_degrees"].Number(), row.azimuth_degrees);
    EXPECT_EQ(p["offset"].Number(), row.offset);
    EXPECT_EQ(p["x"].Number(), row.point.x);
    EXPECT_EQ(p["y"].Number(), row.point.y);
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(i);
    const Json& f = features[rows.size() + i];
    EXPECT_EQ(f["geometry"]["type"].String(), "LineString");
    EXPECT_EQ(f["properties"]["line"].String(), i == 0 ? "centre" : "offset");
    const auto& coordinates = f["geometry"]["coordinates"].Array();
    const std::size_t expected = lines[i].size() == 1 ? 2 : lines[i].size();
    ASSERT_EQ(coordinates.size(), expected);
    for (std::size_t k = 0; k < coordinates.size(); ++k) {
      const road::Point& p = lines[i][std::min(k, lines[i].size() - 1)];
      EXPECT_EQ(coordinates[k][0].Number(), p.y);
      EXPECT_EQ(coordinates[k][1].Number(), p.x);
    }
  }
}

TEST(GeoJson, NumbersJsonCannotHoldAreNull) {
  std::string out;
  for (const double v :
       {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    out.clear();
    AppendJsonNumber(out, v);
    EXPECT_EQ(out, "null");
  }
  out.clear();
  AppendJsonNumber(out, -0.0);
  EXPECT_EQ(out, "0");
}

}  // namespace
}  // namespace velmora::cli
