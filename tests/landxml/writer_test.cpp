// The check of stated End points on the files of data/, and LandXML written
// from an alignment and read back: the same points within 1 µm.
#include "landxml/writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "landxml/check.h"
#include "landxml/reader.h"
#include "road/geometry.h"
#include "tests/landxml/read_data.h"

namespace velmora::landxml {
namespace {

using test::ReadData;

road::Built MustBuild(const ReadAlignment& read, double tolerance) {
  std::string error;
  road::Tolerance t;
  t.distance = tolerance;
  t.angle = 1.0;  // directions between elements are not what these tests look at
  const std::vector<road::ElementInput> inputs = Inputs(read);
  std::optional<road::Built> built = road::BuildAlignment(inputs, read.equations, t, error);
  EXPECT_TRUE(built) << error;
  return built.value_or(road::Built{});
}

struct CheckCase {
  const char* file;
  const char* alignment;  // empty: the only one
  double tolerance;       // what the file's rounding and its gaps allow
  double gap;             // between one element's End and the next Start
};

// Every stated End is where its element ends, within the file's own
// rounding; each next element's Start is within the file's gaps.
TEST(CheckStatedEnds, EachFileEndsWhereItSays) {
  const CheckCase cases[] = {
      {"road.xml", "", 3e-4, 0.0},
      {"dir-ccw-north-radians.xml", "", 3e-4, 0.0},
      {"dir-ccw-east-grads.xml", "", 3e-4, 0.0},
      {"no-lengths.xml", "", 2e-5, 0.0},
      {"gaps.xml", "", 3e-4, 0.0006 + 2e-6},
      {"equations.xml", "", 3e-4, 0.0},
      {"many.xml", "Ramp A", 3e-4, 0.0},
      {"many.xml", "Ramp C", 3e-4, 0.0},
      {"many.xml", "Ramp J", 3e-4, 0.0},
      {"prefixed.xml", "", 3e-4, 0.0},
      {"utf16.xml", "", 2e-6, 0.0},
      {"left.xml", "", 2e-6, 0.0},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.alignment);
    std::string error;
    const std::optional<Document> document = ReadLandXml(ReadData(c.file), error);
    ASSERT_TRUE(document) << error;
    const ReadAlignment* read = SelectAlignment(*document, c.alignment, error);
    ASSERT_NE(read, nullptr) << error;
    const road::Built built = MustBuild(*read, c.gap + c.tolerance);
    EXPECT_TRUE(built.discrepancies.empty())
        << "element " << built.discrepancies[0].element << ": " << built.discrepancies[0].distance;
    EXPECT_TRUE(CheckStated(built.alignment, *read, c.tolerance).empty());
    // Tighter than the rounding, the check finds differences: it compares.
    if (c.gap > 0.0) {
      EXPECT_FALSE(MustBuild(*read, c.gap * 0.5).discrepancies.empty());
    }
    EXPECT_FALSE(CheckStated(built.alignment, *read, 1e-9).empty());
  }
}

TEST(CheckStatedEnds, NamesTheElementThatEndsElsewhere) {
  std::string xml = ReadData("road.xml");
  // The arc's End moved 5 mm east.
  const std::string end = "<End>3512608.4495 512565.5980</End>";
  ASSERT_NE(xml.find(end), std::string::npos);
  xml.replace(xml.find(end), end.size(), "<End>3512608.4495 512565.6030</End>");
  std::string error;
  const std::optional<Document> document = ReadLandXml(xml, error);
  ASSERT_TRUE(document) << error;
  const road::Built built = MustBuild(document->alignments[0], 0.001);
  const std::vector<Contradiction> differences =
      CheckStated(built.alignment, document->alignments[0], 0.001);
  // The End 5 mm off is also off its radius and the length of its arc.
  ASSERT_EQ(differences.size(), 3u);
  for (const Contradiction& c : differences) EXPECT_EQ(c.element, 2u);
  EXPECT_EQ(differences[0].what, Stated::kRadius);
  EXPECT_EQ(differences[1].what, Stated::kLength);
  EXPECT_EQ(differences[2].what, Stated::kEnd);
  EXPECT_NEAR(differences[2].difference, 0.005, 2e-4);
}

// The main road with its points rounded to millimetres checks clean at
// 1 mm: none of its statements is taken for a contradiction.
TEST(CheckStated, NoFalseAlarmsFromMillimetres) {
  const std::string xml = ReadData("road.xml");
  std::string rounded = xml;
  for (const std::string tag : {"<Start>", "<End>", "<Center>", "<PI>"}) {
    for (std::size_t at = rounded.find(tag); at != std::string::npos;
         at = rounded.find(tag, at + 1)) {
      const std::size_t from = at + tag.size();
      std::istringstream point(rounded.substr(from, rounded.find('<', from) - from));
      double north = 0.0, east = 0.0;
      point >> north >> east;
      char text[96];
      std::snprintf(text, sizeof text, "%.3f %.3f", north, east);
      rounded.replace(from, rounded.find('<', from) - from, text);
    }
  }
  ASSERT_NE(rounded, xml);
  std::string error;
  const std::optional<Document> document = ReadLandXml(rounded, error);
  ASSERT_TRUE(document) << error;
  const road::Built built = MustBuild(document->alignments[0], 0.001);
  for (const Contradiction& c : CheckStated(built.alignment, document->alignments[0], 0.001)) {
    ADD_FAILURE() << c.element << ": " << Describe(c, 4);
  }
}

// Each kind of statement that its points contradict, on one element
// (the last) after a line northward from (-50, 0) to (0, 0).
TEST(CheckStated, FindsEachContradiction) {
  const std::string line = "<Line><Start>-50 0</Start><End>0 0</End></Line>";
  // A quarter turn to the right about (0, 100), 157.0796 long.
  const std::string arc = "<Start>0 0</Start><Center>0 100</Center><End>100 100</End>";
  // A clothoid from straight into radius 50 over 10 turning right: the PI
  // 6.670162 along the start tangent (its long tangent, from the Fresnel
  // integrals), the end worked the same way.
  const std::string spiral =
      " spiType=\"clothoid\" radiusStart=\"INF\" radiusEnd=\"50\"><Start>0 0</Start>";
  const std::string spiral_end = "<End>9.990004629 0.333095314</End></Spiral>";
  const std::string spiral_pi = spiral + "<PI>6.670162 0</PI>" + spiral_end;
  const struct {
    std::string geometry;
    std::vector<Stated> found;  // for the last element
    const char* first;          // a part of the first found, described
  } cases[] = {
      {line + "<Curve rot=\"cw\" radius=\"100\" length=\"157.0796\">" + arc + "</Curve>", {}, ""},
      {line + "<Spiral rot=\"cw\" length=\"10\"" + spiral_pi, {}, ""},
      {"<Line length=\"150\"><Start>0 0</Start><End>100 0</End></Line>",
       {Stated::kLength, Stated::kEnd},
       "the length the file states, 150.000, is not the length its points give, 100.000"},
      // The arc, computed with the stated radius, ends elsewhere too.
      {line + "<Curve rot=\"cw\" radius=\"110\">" + arc + "</Curve>",
       {Stated::kRadius, Stated::kEnd},
       "the radius the file states, 110.000, is not the radius its points give, 100.000"},
      // The Center on the right of a left turn: turned left about it, the
      // arc ends at its End mirrored in the line from Start to Center.
      {line + "<Curve rot=\"ccw\" length=\"157.0796\">" + arc + "</Curve>",
       {Stated::kRotation},
       "other way from its points: turned so, it ends 200.000 from the End the file states"},
      // With no length, the long way round reaches the End: still found.
      {"<Curve rot=\"ccw\">" + arc + "</Curve>",
       {Stated::kRotation},
       "ends 200.000 from the End the file states, or reaches it the long way round, 471.239 "
       "long rather than 157.080"},
      {line + "<Spiral rot=\"ccw\" length=\"10\"" + spiral_pi, {Stated::kRotation}, "ends 0.666"},
      // The PI half a unit on along the start tangent.
      {line + "<Spiral rot=\"cw\" length=\"10\"" + spiral + "<PI>7.170162 0</PI>" + spiral_end,
       {Stated::kPi},
       "the PI the file states is 0.500 from where the element's end tangents meet"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.geometry);
    std::string error;
    const std::optional<Document> document =
        ReadLandXml("<LandXML><Alignments><Alignment name=\"A\"><CoordGeom>" + c.geometry +
                        "</CoordGeom></Alignment></Alignments></LandXML>",
                    error);
    ASSERT_TRUE(document) << error;
    const ReadAlignment& read = document->alignments.at(0);
    const std::vector<Contradiction> found =
        CheckStated(MustBuild(read, 1e9).alignment, read, 0.001);
    std::vector<Stated> kinds;
    for (const Contradiction& each : found) {
      EXPECT_EQ(each.element, read.elements.size() - 1);
      kinds.push_back(each.what);
    }
    EXPECT_EQ(kinds, c.found);
    if (!found.empty()) {
      EXPECT_NE(Describe(found[0], 3).find(c.first), std::string::npos) << Describe(found[0], 3);
    }
  }
}

road::Alignment Build(const std::vector<road::ElementInput>& inputs,
                      const std::vector<road::StationEquation>& equations = {}) {
  std::string error;
  std::optional<road::Built> built =
      road::BuildAlignment(inputs, equations, road::Tolerance{}, error);
  EXPECT_TRUE(built) << error;
  if (!built) return {};
  return built->alignment;
}

// An element that carries on from the previous one.
road::ElementInput Next(double start, double end, double r0, double r1) {
  road::ElementInput e;
  e.start_station = start;
  e.end_station = end;
  e.start_radius = r0;
  e.end_radius = r1;
  return e;
}

road::ElementInput First(double start, double end, double r0, double r1, double azimuth,
                         road::Point point) {
  road::ElementInput e = Next(start, end, r0, r1);
  e.start_azimuth = azimuth;
  e.start = point;
  return e;
}

struct RoundTripCase {
  const char* name;
  road::Alignment alignment;
  int spirals;  // Spiral elements the file should hold
};

// Written, read back and joined again, the alignment has the same points
// (every half metre and at every element's ends) within 1 µm, the same
// stations and equations, and its stated ends check within 1 µm.
TEST(WriteLandXml, ReadsBackToTheSameAlignment) {
  const road::Point far = {3512345.678, 512345.678};
  const RoundTripCase cases[] = {
      {"line spiral arc spiral line",
       Build({First(1000, 1120, 0, 0, 0.5235987755982988, far), Next(1120, 1200, 0, 300),
              Next(1200, 1350, 300, 300), Next(1350, 1430, 300, 0), Next(1430, 1530, 0, 0)},
             {{1150, 1150, 1170}, {1400, 1420, 1405}}),
       2},
      // Curvature from +1/200 to -1/300: two spirals meeting at zero.
      {"reverse spiral",
       Build({First(0, 50, 200, 200, 5.5, {100, -200}), Next(50, 150, 200, -300),
              Next(150, 200, -300, -300)}),
       2},
      // A spiral that turns more than a quarter turn, into a tight arc, and
      // one between two radii of one sign.
      {"long spirals",
       Build({First(0, 300, 0, -90, 3.0, {0, 0}), Next(300, 400, -90, -90),
              Next(400, 460, -90, -400), Next(460, 470, -400, -400)}),
       4},
  };
  for (const RoundTripCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteOptions options;
    options.name = std::string(c.name) + " & <co>";
    options.date = "2026-12-08";
    options.time = "14:00:00";
    options.application = "velmora-cli";
    options.version = "1.00";
    std::string error;
    const std::optional<std::string> xml = WriteLandXml(c.alignment, options, error);
    ASSERT_TRUE(xml) << error;
    int spirals = 0;
    for (std::size_t at = xml->find("<Spiral "); at != std::string::npos;
         at = xml->find("<Spiral ", at + 1)) {
      ++spirals;
    }
    EXPECT_EQ(spirals, c.spirals) << *xml;

    const std::optional<Document> document = ReadLandXml(*xml, error);
    ASSERT_TRUE(document) << error << "\n" << *xml;
    ASSERT_EQ(document->alignments.size(), 1u);
    const ReadAlignment& read = document->alignments[0];
    EXPECT_EQ(read.name, options.name);
    EXPECT_EQ(read.error, "");
    EXPECT_TRUE(read.notes.empty()) << read.notes.front();
    road::Tolerance tight;
    tight.distance = 1e-6;
    const std::vector<road::ElementInput> inputs = Inputs(read);
    const std::optional<road::Built> again = road::BuildAlignment(inputs, {}, tight, error);
    ASSERT_TRUE(again) << error;
    for (const road::Discrepancy& d : again->discrepancies) {
      EXPECT_EQ(d.distance, 0.0) << "element " << d.element;
    }
    EXPECT_TRUE(CheckStated(again->alignment, read, 1e-6).empty());
    EXPECT_EQ(again->alignment.Start(), c.alignment.Start());
    EXPECT_NEAR(again->alignment.End(), c.alignment.End(), 1e-9);
    ASSERT_EQ(read.equations.size(), c.alignment.equations().size());
    for (std::size_t i = 0; i < read.equations.size(); ++i) {
      EXPECT_EQ(read.equations[i].at, c.alignment.equations()[i].at);
      EXPECT_EQ(read.equations[i].back, c.alignment.equations()[i].back);
      EXPECT_EQ(read.equations[i].ahead, c.alignment.equations()[i].ahead);
    }

    std::vector<double> stations;
    for (const road::Element& e : c.alignment.elements()) {
      stations.push_back(e.start_station);
      stations.push_back(e.end_station);
    }
    for (double s = c.alignment.Start(); s < c.alignment.End(); s += 0.5) stations.push_back(s);
    const auto point = [](const road::Alignment& a, double s) {
      const road::Element& e = a.elements().at(*a.ElementAt(std::min(s, a.End())));
      return *road::PointAt(e, std::clamp(s, e.start_station, e.end_station));
    };
    double worst = 0.0;
    for (const double s : stations) {
      const road::Point p = point(c.alignment, s);
      const road::Point q = point(again->alignment, s);
      worst = std::max(worst, std::hypot(p.x - q.x, p.y - q.y));
    }
    EXPECT_LE(worst, 1e-6);
  }
}

TEST(WriteLandXml, WritesRadiiTurnsAndPoints) {
  const road::Alignment alignment =
      Build({First(0, 10, 0, 0, 0.0, {0, 0}), Next(10, 20, 0, -50), Next(20, 30, -50, 40)});
  WriteOptions options;
  options.name = "a\"b";
  std::string error;
  const std::optional<std::string> xml = WriteLandXml(alignment, options, error);
  ASSERT_TRUE(xml) << error;
  EXPECT_NE(xml->find("<Alignment name=\"a&quot;b\" length=\"30\" staStart=\"0\">"),
            std::string::npos)
      << *xml;
  EXPECT_NE(xml->find("<Line staStart=\"0\" length=\"10\">\n          <Start>0 0</Start>\n"
                      "          <End>10 0</End>"),
            std::string::npos)
      << *xml;
  EXPECT_NE(xml->find("<Spiral rot=\"ccw\" spiType=\"clothoid\" staStart=\"10\" length=\"10\" "
                      "radiusStart=\"INF\" radiusEnd=\"50\">"),
            std::string::npos)
      << *xml;
  // From -1/50 to +1/40 over 10: zero after 10 * (1/50) / (1/50 + 1/40).
  EXPECT_NE(xml->find("<Spiral rot=\"ccw\" spiType=\"clothoid\" staStart=\"20\" length=\""
                      "4.444444444444443\" radiusStart=\"50\" radiusEnd=\"INF\">"),
            std::string::npos)
      << *xml;
  EXPECT_NE(xml->find("<Spiral rot=\"cw\" spiType=\"clothoid\" staStart=\"24.444444444444443\" "
                      "length=\"5.555555555555557\" radiusStart=\"INF\" radiusEnd=\"40\">"),
            std::string::npos)
      << *xml;
}

// A written spiral's PI is where its end tangents meet: for a clothoid
// from straight into radius 50 over 10, its long tangent from the start.
TEST(WriteLandXml, SpiralPiIsWhereItsTangentsMeet) {
  const road::Alignment alignment = Build({First(0, 10, 0, 50, 0.0, {0, 0})});
  std::string error;
  const std::optional<std::string> xml = WriteLandXml(alignment, WriteOptions{}, error);
  ASSERT_TRUE(xml) << error;
  const std::size_t at = xml->find("<PI>");
  ASSERT_NE(at, std::string::npos) << *xml;
  std::istringstream pi(xml->substr(at + 4));
  double north = 0.0, east = 1.0;
  pi >> north >> east;
  EXPECT_NEAR(north, 6.670162076468286, 1e-9);
  EXPECT_NEAR(east, 0.0, 1e-9);
}

}  // namespace
}  // namespace velmora::landxml
