// The LandXML reader on the files of data/, whose points were integrated
// independently (data/make_files.py, reference in data/reference.txt), and
// on broken documents. In the Windows builds the same tests run with
// XmlLite as the parser, so both parsers give the same alignments.
#include "landxml/reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "landxml/xml.h"
#include "tests/landxml/read_data.h"

namespace velmora::landxml {
namespace {

using test::ReadData;

struct Reference {
  double start_n, start_e, azimuth, end_n, end_e, length;
};

// data/reference.txt: alignment -> its elements.
std::map<std::string, std::vector<Reference>> LoadReference() {
  std::map<std::string, std::vector<Reference>> out;
  std::istringstream lines(ReadData("reference.txt"));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name;
    int index = 0;
    Reference r{};
    fields >> name >> index >> r.start_n >> r.start_e >> r.azimuth >> r.end_n >> r.end_e >>
        r.length;
    out[name].push_back(r);
  }
  return out;
}

double AngleDifference(double a, double b) {
  const double d = std::fmod(a - b, 2.0 * std::numbers::pi);
  return std::fabs(std::remainder(d, 2.0 * std::numbers::pi));
}

Document MustRead(const std::string& file) {
  std::string error;
  std::optional<Document> document = ReadLandXml(ReadData(file), error);
  EXPECT_TRUE(document) << file << ": " << error;
  return document.value_or(Document{});
}

struct FileCase {
  const char* file;
  const char* road;  // in reference.txt
  const char* name;  // of the alignment
  double sta_start;
  double point_tolerance;    // the file's rounding of its points
  double azimuth_tolerance;  // what that rounding does to directions
  double length_tolerance;   // 0: lengths stated
};

class ReadFile : public testing::TestWithParam<FileCase> {};

// Each element starts at the stated Start, heads where its points say
// (whatever the convention of the file's directions, which then agree and
// leave no note), and is as long as stated or as its points make it.
TEST_P(ReadFile, GivesTheReferenceGeometry) {
  const FileCase& c = GetParam();
  const auto reference = LoadReference().at(c.road);
  const Document document = MustRead(c.file);
  ASSERT_EQ(document.alignments.size(), 1u);
  const ReadAlignment& alignment = document.alignments[0];
  EXPECT_EQ(alignment.name, c.name);
  EXPECT_EQ(alignment.error, "");
  EXPECT_TRUE(alignment.notes.empty()) << alignment.notes.front();
  EXPECT_EQ(alignment.sta_start, c.sta_start);
  ASSERT_EQ(alignment.elements.size(), reference.size());
  double station = c.sta_start;
  for (std::size_t i = 0; i < reference.size(); ++i) {
    SCOPED_TRACE(i);
    const road::ElementInput& e = alignment.elements[i].input;
    const Reference& r = reference[i];
    ASSERT_TRUE(e.start && e.start_azimuth);
    EXPECT_NEAR(e.start->x, r.start_n, c.point_tolerance);
    EXPECT_NEAR(e.start->y, r.start_e, c.point_tolerance);
    EXPECT_LE(AngleDifference(*e.start_azimuth, r.azimuth), c.azimuth_tolerance);
    EXPECT_EQ(e.start_station, station);
    if (c.length_tolerance == 0.0) {
      EXPECT_EQ(e.end_station - e.start_station, r.length);
    } else {
      EXPECT_NEAR(e.end_station - e.start_station, r.length, c.length_tolerance);
    }
    station = e.end_station;
    ASSERT_TRUE(alignment.elements[i].end);
    EXPECT_NEAR(alignment.elements[i].end->x, r.end_n, c.point_tolerance);
    EXPECT_NEAR(alignment.elements[i].end->y, r.end_e, c.point_tolerance);
  }
  // The road's turns: right for the main road, left for the other.
  const auto radius = [&](std::size_t i) { return alignment.elements[i].input.end_radius; };
  if (std::string(c.road) == "road") {
    EXPECT_EQ(radius(1), 300.0);
    EXPECT_EQ(alignment.elements[3].input.start_radius, 300.0);
    EXPECT_EQ(radius(3), 0.0);
  } else if (std::string(c.road) == "left") {
    EXPECT_EQ(radius(1), -150.0);
    EXPECT_EQ(radius(2), -150.0);
  } else {
    EXPECT_EQ(alignment.elements[2].input.start_radius, 200.0);
    EXPECT_EQ(radius(2), 80.0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadFile,
    testing::Values(FileCase{"road.xml", "road", "Main road", 1000, 5e-5, 2e-6, 0},
                    FileCase{"dir-ccw-north-radians.xml", "road", "Main road", 1000, 5e-5, 2e-6, 0},
                    FileCase{"dir-ccw-east-grads.xml", "road", "Main road", 1000, 5e-5, 2e-6, 0},
                    FileCase{"no-lengths.xml", "road", "Main road", 1000, 5e-7, 2e-7, 5e-5},
                    FileCase{"left.xml", "left", "Left", 0, 5e-7, 2e-7, 0},
                    FileCase{"prefixed.xml", "compound", "Compound \xE2\x80\x94 Roads & Bridges", 0,
                             5e-5, 5e-6, 0},
                    FileCase{"utf16.xml", "compound", "Compound", 0, 5e-7, 2e-7, 0}),
    [](const testing::TestParamInfo<FileCase>& info) {
      std::string name;
      for (const char* p = info.param.file; *p != '.'; ++p) name += std::isalnum(*p) ? *p : '_';
      return name;
    });

TEST(ReadLandXml, ManyAlignmentsAreListedAndChosenByName) {
  const Document document = MustRead("many.xml");
  ASSERT_EQ(document.alignments.size(), 11u);
  std::string error;
  EXPECT_EQ(SelectAlignment(document, "", error), nullptr);
  EXPECT_NE(error.find("11 alignments"), std::string::npos) << error;
  EXPECT_NE(error.find("\n  Ramp A\n  Ramp B\n"), std::string::npos) << error;
  EXPECT_NE(error.find("\n  Chained"), std::string::npos) << error;

  const ReadAlignment* ramp = SelectAlignment(document, "Ramp J", error);
  ASSERT_NE(ramp, nullptr);
  EXPECT_EQ(ramp->sta_start, 90.0);
  EXPECT_EQ(ramp->elements.size(), 5u);
  EXPECT_EQ(ramp->error, "");

  // The length-0 element at the start of Ramp C is skipped with a note.
  const ReadAlignment* c = SelectAlignment(document, "Ramp C", error);
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(c->elements.size(), 5u);
  EXPECT_EQ(c->elements[0].position, 1u);
  EXPECT_EQ(c->elements[0].input.start_station, 20.0);
  ASSERT_EQ(c->notes.size(), 1u);
  EXPECT_NE(c->notes[0].find("length 0"), std::string::npos) << c->notes[0];

  // The chain makes only its own alignment unusable.
  const ReadAlignment* chained = SelectAlignment(document, "Chained", error);
  ASSERT_NE(chained, nullptr);
  EXPECT_NE(chained->error.find("<Chain>"), std::string::npos) << chained->error;
  EXPECT_TRUE(chained->elements.empty());

  EXPECT_EQ(SelectAlignment(document, "Ramp Z", error), nullptr);
  EXPECT_NE(error.find("no alignment named \"Ramp Z\""), std::string::npos) << error;
}

TEST(ReadLandXml, StationEquations) {
  // Prefixed, as landxml:StaEquation.
  const Document prefixed = MustRead("prefixed.xml");
  ASSERT_EQ(prefixed.alignments.size(), 1u);
  ASSERT_EQ(prefixed.alignments[0].equations.size(), 1u);
  EXPECT_EQ(prefixed.alignments[0].equations[0].at, 100.0);
  EXPECT_EQ(prefixed.alignments[0].equations[0].ahead, 120.0);

  const Document document = MustRead("equations.xml");
  ASSERT_EQ(document.alignments.size(), 1u);
  const auto& equations = document.alignments[0].equations;
  ASSERT_EQ(equations.size(), 2u);
  EXPECT_EQ(equations[0].at, 1150.0);
  EXPECT_EQ(equations[0].back, 1150.0);
  EXPECT_EQ(equations[0].ahead, 1170.0);
  EXPECT_EQ(equations[1].at, 1400.0);
  EXPECT_EQ(equations[1].back, 1420.0);
  EXPECT_EQ(equations[1].ahead, 1405.0);
}

// Documents built around one CoordGeom.
std::string WithGeometry(const std::string& geometry, const std::string& alignment_tail = "") {
  return "<?xml version=\"1.0\"?>\n<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\">"
         "<Alignments><Alignment name=\"A\" staStart=\"0\"><CoordGeom>" +
         geometry + "</CoordGeom>" + alignment_tail + "</Alignment></Alignments></LandXML>";
}

const std::string kLine = "<Line><Start>0 0</Start><End>0 10</End></Line>";

std::string WithPoints(std::string xml, const std::string& points) {
  return xml.insert(xml.find("</LandXML>"), "<CgPoints>" + points + "</CgPoints>");
}

// A LandXML document whose elements are nested `depth` deep.
std::string Nested(int depth) {
  std::string xml = "<LandXML>";
  for (int i = 1; i < depth; ++i) xml += "<Feature>";
  for (int i = 1; i < depth; ++i) xml += "</Feature>";
  return xml + "</LandXML>";
}

TEST(ReadLandXml, WhatTheFileSaysBesideTheGeometry) {
  struct Case {
    std::string xml;
    double azimuth;  // of element 0, radians
    double length;
    double end_radius;
    const char* note;  // a part of the only note, or ""
  };
  const double quarter = std::numbers::pi / 2.0;
  const Case cases[] = {
      // Due east: the length from the points.
      {WithGeometry(kLine), quarter, 10.0, 0.0, ""},
      // A direction that fits no convention is only a note.
      {WithGeometry("<Line dir=\"123\"><Start>0 0</Start><End>0 10</End></Line>"), quarter, 10.0,
       0.0, "dir \"123\""},
      {WithGeometry("<Line dir=\"north-east\"><Start>0 0</Start><End>0 10</End></Line>"), quarter,
       10.0, 0.0, "dir \"north-east\""},
      // A quarter arc to the right about (0, 10) starting north, no length,
      // its rot told by its PI.
      {WithGeometry("<Curve radius=\"10\"><Start>0 0</Start><Center>0 10</Center>"
                    "<End>10 10</End><PI>10 0</PI></Curve>"),
       0.0, 5.0 * std::numbers::pi, 10.0, ""},
      // The same arc to the left of a start heading south.
      {WithGeometry("<Curve rot=\"ccw\"><Start>0 0</Start><Center>0 10</Center>"
                    "<End>-10 10</End></Curve>"),
       std::numbers::pi, 5.0 * std::numbers::pi, -10.0, ""},
      // Points by reference to CgPoints defined after the alignment.
      {WithGeometry("<Line><Start pntRef=\"p1\"/><End pntRef=\"p2\"/></Line>"), 0.0, 0.0, 0.0, ""},
      // A spiral with no spiType is a clothoid, with a note; the length
      // from its points: it turns 0.1 radian at half curvature 1/100.
      {WithGeometry("<Spiral radiusStart=\"INF\" radiusEnd=\"50\" rot=\"cw\"><Start>0 0</Start>"
                    "<PI>10 0</PI><End>" +
                    std::to_string(10.0 + 10.0 * std::cos(0.1)) + " " +
                    std::to_string(10.0 * std::sin(0.1)) + "</End></Spiral>"),
       0.0, 10.0, 50.0, "no spiType"},
      // Without rot, the way its points turn: here to the left.
      {WithGeometry("<Spiral radiusStart=\"INF\" radiusEnd=\"50\" spiType=\"clothoid\">"
                    "<Start>0 0</Start><PI>10 0</PI><End>" +
                    std::to_string(10.0 + 10.0 * std::cos(0.1)) + " " +
                    std::to_string(-10.0 * std::sin(0.1)) + "</End></Spiral>"),
       0.0, 10.0, -50.0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xml);
    std::string xml = c.xml;
    if (xml.find("pntRef") != std::string::npos) {
      xml.insert(xml.find("</LandXML>"),
                 "<CgPoints><CgPoint name=\"p1\">5 5</CgPoint><CgPoint name=\"p2\">9 8</CgPoint>"
                 "</CgPoints>");
    }
    std::string error;
    const std::optional<Document> document = ReadLandXml(xml, error);
    ASSERT_TRUE(document) << error;
    const ReadAlignment& a = document->alignments.at(0);
    ASSERT_EQ(a.error, "");
    ASSERT_EQ(a.elements.size(), 1u);
    const road::ElementInput& e = a.elements[0].input;
    if (xml.find("pntRef") != std::string::npos) {
      EXPECT_EQ(e.start->x, 5.0);
      EXPECT_EQ(e.start->y, 5.0);
      EXPECT_EQ(e.end_station, 5.0);
      continue;
    }
    EXPECT_NEAR(*e.start_azimuth, c.azimuth, 1e-12);
    EXPECT_NEAR(e.end_station - e.start_station, c.length, 1e-5);
    EXPECT_EQ(e.end_radius, c.end_radius);
    if (*c.note == '\0') {
      EXPECT_TRUE(a.notes.empty()) << a.notes.front();
    } else {
      ASSERT_EQ(a.notes.size(), 1u);
      EXPECT_NE(a.notes[0].find(c.note), std::string::npos) << a.notes[0];
    }
  }
}

// However many directions fit no convention, and in whatever unit the file
// says it writes them, one note; an element of length 0 has no direction.
TEST(ReadLandXml, DirectionsAreOnlyACrossCheck) {
  const struct {
    std::string units, geometry;
    std::size_t notes;
    const char* note;
  } cases[] = {
      {"radians",
       "<Line dir=\"1\"><Start>0 0</Start><End>0 10</End></Line>"
       "<Line dir=\"2\"><Start>0 10</Start><End>0 20</End></Line>",
       1, "the directions of 2 elements fit no convention; the first: child 0"},
      // Degrees in a file that says radians, counter-clockwise from east.
      {"radians",
       "<Line dir=\"0\"><Start>0 0</Start><End>0 10</End></Line>"
       "<Line dir=\"90\"><Start>0 10</Start><End>10 10</End></Line>"
       "<Line dir=\"45\" length=\"0\"><Start>10 10</Start><End>10 10</End></Line>",
       1, "has length 0"},
      // Due east is 90 degrees: 0.05 degrees off is a note, 0.01 is rounding.
      {"decimal degrees",
       "<Line dir=\"90.05\"><Start>0 0</Start><End>0 10</End></Line>"
       "<Line dir=\"90.01\"><Start>0 10</Start><End>0 20</End></Line>",
       1, "child 0 of its CoordGeom (Line at station 0.000): its dir \"90.05\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.geometry);
    std::string xml = WithGeometry(c.geometry);
    xml.insert(xml.find("<Alignments>"), "<Units><Metric angularUnit=\"" + c.units +
                                             "\" directionUnit=\"" + c.units + "\"/></Units>");
    std::string error;
    const std::optional<Document> document = ReadLandXml(xml, error);
    ASSERT_TRUE(document) << error;
    const ReadAlignment& a = document->alignments.at(0);
    ASSERT_EQ(a.notes.size(), c.notes);
    EXPECT_NE(a.notes[0].find(c.note), std::string::npos) << a.notes[0];
  }
}

TEST(ReadLandXml, RefusesWhatItCannotComputeSayingWhatAndWhere) {
  struct Case {
    std::string xml;
    const char* error;  // a part of the document's error, or of the alignment's
  };
  const Case cases[] = {
      {"", "not well-formed XML"},
      {"<LandXML><Alignments>", "not well-formed XML"},
      {"<LandXML><a:b/></LandXML>", "not well-formed XML"},  // an undeclared prefix
      {"\xEF\xBB\xBF<kml><Document/></kml>", "root element is <kml>"},
      {"<LandXML><Units/></LandXML>", "holds no alignment"},
      {"<LandXML><Alignments><Alignment name=\"A\"><Profile/></Alignment></Alignments></LandXML>",
       "no alignment of the LandXML file has horizontal geometry"},
      {WithGeometry(""), "holds no element with a length"},
      {WithGeometry(kLine +
                    "<Spiral spiType=\"biquadratic\" radiusStart=\"INF\" radiusEnd=\"10\" "
                    "rot=\"cw\" length=\"5\"><Start>0 10</Start><PI>0 12</PI><End>1 15</End>"
                    "</Spiral>"),
       "child 1 of its CoordGeom (Spiral at station 10.000) is a spiral of type \"biquadratic\""},
      {WithGeometry(kLine + "<IrregularLine><Start>0 10</Start><End>0 20</End></IrregularLine>"),
       "child 1 of its CoordGeom is a <IrregularLine>"},
      {WithGeometry("<Line><Start>0 0</Start></Line>"), "has no End point"},
      {WithGeometry("<Line><Start>0 x</Start><End>0 1</End></Line>"),
       "its Start point \"0 x\" is not \"northing easting [elevation]\""},
      {WithGeometry("<Line><Start>0 0 0 0</Start><End>0 1</End></Line>"),
       "child 0 of its CoordGeom (Line at station 0.000): its Start point \"0 0 0 0\" has more "
       "numbers"},
      // A loop of references, named as the file names its points.
      {WithPoints(WithGeometry("<Line><Start pntRef=\"P1\"/><End>0 1</End></Line>"),
                  "<CgPoint name=\"P1\" pntRef=\"P2\"/><CgPoint name=\"P2\" pntRef=\"P1\"/>"),
       "its Start point (CgPoint \"P2\") refers to itself through CgPoint \"P1\""},
      {WithPoints(WithGeometry("<Line><Start pntRef=\"P1\"/><End>0 1</End></Line>"),
                  "<CgPoint name=\"P1\">1 y</CgPoint>"),
       "its Start point (CgPoint \"P1\") \"1 y\" is not"},
      // A CSV saved as UTF-16 is neither XML nor an element table.
      {std::string("\xFF\xFE"
                   "0\0,\0"
                   "1\0\n\0",
                   10),
       "a UTF-16 text file, not XML; save it as UTF-8"},
#ifndef _WIN32
      // expat counts columns from 0, messages from 1. (Wine's XmlLite lets
      // this character through, so the case is the expat reader's.)
      {"<LandXML>\n  \x01</LandXML>", "line 2, column 3: "},
#endif
      {WithGeometry("<Line length=\"-1\"><Start>0 0</Start><End>0 1</End></Line>"),
       "its length \"-1\" is not a length"},
      {WithGeometry(
           "<Curve rot=\"up\"><Start>0 0</Start><Center>0 1</Center><End>1 1</End></Curve>"),
       "rot \"up\""},
      {WithGeometry("<Curve length=\"1\"><Start>0 0</Start><Center>0 1</Center></Curve>"),
       "has no rot"},
      {WithGeometry("<Spiral rot=\"cw\" spiType=\"clothoid\" radiusStart=\"INF\" radiusEnd=\"9\" "
                    "length=\"2\"><Start>0 0</Start><End>0 2</End></Spiral>"),
       "has no PI point"},
      {WithGeometry("<Line><Start pntRef=\"nowhere\"/><End>0 1</End></Line>"),
       "a point \"nowhere\" the file does not hold"},
      {Nested(256), "the LandXML file holds no alignment"},
      {Nested(257), "elements nested more than 256 deep"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xml.substr(0, 400));
    std::string error;
    const std::optional<Document> document = ReadLandXml(c.xml, error);
    if (document) {
      ASSERT_EQ(document->alignments.size(), 1u);
      error = document->alignments[0].error;
      EXPECT_TRUE(document->alignments[0].elements.empty());
    }
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

// StaEquations on a line from 0 to 100: staBack is the station counted at
// staInternal; without staInternal the equation is where its staBack is
// counted; what cannot be meant is refused naming the equation.
TEST(ReadLandXml, StationEquationsAsTheFormatAllows) {
  const auto equation = [](const std::string& attributes) {
    return "<StaEquation " + attributes + "/>";
  };
  const std::string at40 = equation("staInternal=\"40\" staAhead=\"50\"");
  const struct {
    std::string equations;
    const char* read;  // "at back ahead" each, or a part of the alignment's error
  } cases[] = {
      {at40 + equation("staInternal=\"80\" staAhead=\"100\""), "40 40 50;80 90 100;"},
      {equation("staInternal=\"80\" staAhead=\"100\"") + at40, "40 40 50;80 90 100;"},
      {at40 + equation("staBack=\"90\" staAhead=\"100\""), "40 40 50;80 90 100;"},
      {equation("staInternal=\"40\" staBack=\"40.0009\" staAhead=\"50\""), "40 40.0009 50;"},
      {equation("staInternal=\"40\" staBack=\"45\" staAhead=\"50\""),
       "its StaEquation staInternal=\"40\" staBack=\"45\" staAhead=\"50\": its staBack 45.000 "
       "is not the station 40.000 counted at its staInternal 40.000"},
      {equation("staInternal=\"40\" staAhead=\"20\" staIncrement=\"decreasing\""),
       "staIncrement=\"decreasing\": stations that decrease along the road are not supported"},
      {equation("staInternal=\"-50\" staAhead=\"10\""), "before its start, 0.000"},
      {equation("staInternal=\"150\" staAhead=\"10\""), "beyond its end, 100.000"},
      {equation("staInternal=\"40\""), "has no staAhead"},
      {equation("staAhead=\"5\""), "has neither staInternal nor staBack"},
  };
  for (const auto& c : cases) {
    std::string error;
    const std::optional<Document> document = ReadLandXml(
        WithGeometry("<Line><Start>0 0</Start><End>0 100</End></Line>", c.equations), error);
    ASSERT_TRUE(document) << error;
    const ReadAlignment& a = document->alignments.at(0);
    std::ostringstream read;
    for (const road::StationEquation& e : a.equations) {
      read << e.at << ' ' << e.back << ' ' << e.ahead << ';';
    }
    EXPECT_NE((a.error.empty() ? read.str() : a.error).find(c.read), std::string::npos)
        << c.equations << ": " << a.error << read.str();
  }
}

// What the parser hands on: local names, attribute values with references
// resolved, text; the same from expat and from XmlLite.
TEST(ParseXml, NamesAttributesAndText) {
  struct Recorder : XmlHandler {
    std::string log;
    void Start(std::string_view name, std::span<const XmlAttribute> attributes) override {
      log += "<" + std::string(name);
      for (const XmlAttribute& a : attributes) {
        log += " " + std::string(a.name) + "=" + std::string(a.value);
      }
      log += ">";
    }
    void Text(std::string_view text) override { log += text; }
    void End(std::string_view name) override { log += "</" + std::string(name) + ">"; }
  } recorder;
  std::string error;
  ASSERT_TRUE(
      ParseXml("<?xml version=\"1.0\"?><!-- c --><p:a xmlns:p=\"urn:x\" xmlns=\"urn:y\" "
               "p:k=\"1 &amp; 2\" m=\"&#x41;\"><b/>x&lt;<![CDATA[<y>]]></p:a>",
               recorder, error))
      << error;
  EXPECT_EQ(recorder.log, "<a k=1 & 2 m=A><b></b>x<<y></a>");
}

}  // namespace
}  // namespace velmora::landxml
