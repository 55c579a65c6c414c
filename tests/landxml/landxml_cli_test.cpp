// velmora-cli with LandXML files and station equations, in memory: check
// on every test file, the choice among alignments, the landxml command read
// back, equation lines in element files, and stations that an equation
// skips or repeats.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "tests/cli/memory_system.h"
#include "tests/landxml/read_data.h"

namespace velmora::cli {
namespace {

using landxml::test::ReadData;

Outcome Cli(const std::vector<std::string>& args, MemorySystem& system) {
  system.out.clear();
  system.err.clear();
  return RunCli(args, system);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// Every test file checks: each stated End within the file's own gaps.
TEST(LandXmlCli, CheckReproducesEveryFilesEnds) {
  const struct {
    const char* file;
    const char* alignment;
    std::size_t elements;
    const char* note;  // a part of standard error, or ""
  } cases[] = {
      {"road.xml", nullptr, 5, ""},
      {"dir-ccw-north-radians.xml", nullptr, 5, ""},
      {"dir-ccw-east-grads.xml", nullptr, 5, ""},
      {"no-lengths.xml", nullptr, 5, ""},
      {"gaps.xml", nullptr, 5, ""},
      {"equations.xml", nullptr, 5, ""},
      {"left.xml", nullptr, 5, ""},
      {"prefixed.xml", nullptr, 6, ""},
      {"utf16.xml", nullptr, 6, ""},
      {"many.xml", "Ramp C", 5, "has length 0"},
      {"many.xml", "Ramp J", 5, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    MemorySystem system;
    system.files["road.xml"] = ReadData(c.file);
    std::vector<std::string> args = {"check", "road.xml"};
    if (c.alignment) args.insert(args.end(), {"--alignment", c.alignment});
    const Outcome outcome = Cli(args, system);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(Lines(outcome.out).size(), c.elements + 1) << outcome.out;
    if (*c.note == '\0') {
      EXPECT_EQ(outcome.err, "");
    } else {
      EXPECT_NE(outcome.err.find(c.note), std::string::npos) << outcome.err;
    }
  }
}

TEST(LandXmlCli, ChoosingAnAlignmentAndWhatIsRefused) {
  MemorySystem system;
  system.files["many.xml"] = ReadData("many.xml");
  system.files["road.csv"] = "0,100,0,0,0,1000,500\n";
  system.files["rot.xml"] =
      "<LandXML><Alignments><Alignment name=\"A\"><CoordGeom><Curve rot=\"ccw\"><Start>0 0</Start>"
      "<Center>0 100</Center><End>100 100</End></Curve></CoordGeom></Alignment></Alignments>"
      "</LandXML>";
  system.files["moved.xml"] = ReadData("road.xml");
  std::string& moved = system.files["moved.xml"];
  const std::string end = "<End>3512608.4495 512565.5980</End>";
  moved.replace(moved.find(end), end.size(), "<End>3512608.4495 512565.6030</End>");
  const std::string start = "<Start>3512633.9716 512641.3510</Start>";
  moved.replace(moved.rfind(start), start.size(), "<Start>3512633.9716 512641.3560</Start>");
  const struct {
    std::vector<std::string> args;
    int status;
    std::vector<const char*> err;  // parts of standard error
  } cases[] = {
      {{"check", "many.xml"},
       2,
       {"many.xml, the file holds 11 alignments; choose one with --alignment NAME:\n  Ramp A\n",
        "\n  Chained\n"}},
      {{"stakeout", "many.xml", "--every", "10"}, 2, {"choose one with --alignment NAME"}},
      {{"check", "many.xml", "--alignment", "Ramp Q"}, 2, {"no alignment named \"Ramp Q\""}},
      {{"locate", "many.xml", "--alignment", "Chained", "0", "0"},
       2,
       {"alignment \"Chained\": child 0 of its CoordGeom is a <Chain>"}},
      {{"check", "road.csv", "--alignment", "A"}, 2, {"and this is an element table"}},
      // Tighter than the file's rounding (0.1 mm), every element differs.
      {{"check", "moved.xml", "--tolerance", "0.00001"},
       1,
       {"element 1 (Line) at station 1000.000: the End point the file states is 0.0000",
        "element 4 (Spiral) at station 1350.000: the start point given is 0.0001"}},
      {{"check", "moved.xml", "--tolerance", "-1"}, 2, {"--tolerance takes a distance"}},
      // A wrong rot, though the arc read the long way round ends at its End.
      {{"check", "rot.xml"},
       1,
       {"rot.xml, alignment \"A\", element 1 (Curve) at station 0.000: the rot the file states "
        "turns it the other way from its points"}},
      // The arc's End 5 mm off, and the last line's Start too (which moves
      // its end): each named by its number and station.
      {{"check", "moved.xml"},
       1,
       {"element 3 (Curve) at station 1200.000: the End point the file states is 0.005",
        "element 5 (Line) at station 1430.000: the start point given is 0.0050 from",
        "element 5 (Line) at station 1430.000: the End point the file states is 0.004"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    const Outcome outcome = Cli(c.args, system);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    for (const char* part : c.err) {
      EXPECT_NE(outcome.err.find(part), std::string::npos) << outcome.err;
    }
    if (c.status == 2) {
      EXPECT_EQ(outcome.out, "");
    }
  }
}

// A road typed from a design table, with a station equation inside its arc:
// written as LandXML and read back, check and stakeout give the same
// stations and points as from the element file.
TEST(LandXmlCli, LandXmlCommandReadsBackToTheSameRoad) {
  MemorySystem system;
  system.files["road.csv"] =
      "start,end,start_radius,end_radius,start_azimuth,x,y\n"
      "K0+000,K0+100,0,0,45.3015,3512345.678,512345.678\n"
      "100,160,0,300\n"
      "160,260,300,300\n"
      "equation,200,230\n"
      "290,350,300,-250\n"
      "350,400,-250,-250\n"
      "equation,K0+400,K0+390\n"
      "390,420,-250,0\n";
  Outcome outcome = Cli({"landxml", "road.csv", "-o", "road.xml"}, system);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "");
  const std::string& xml = system.files["road.xml"];
  EXPECT_NE(xml.find("<Alignment name=\"road\""), std::string::npos);
  // The alignment is named after the file, whatever bytes its name holds:
  // what is written still reads as XML.
  system.files["r\x01\xFF.csv"] = system.files["road.csv"];
  ASSERT_EQ(Cli({"landxml", "r\x01\xFF.csv", "-o", "odd.xml"}, system).status, 0);
  outcome = Cli({"check", "odd.xml"}, system);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(xml.find("<StaEquation staInternal=\"200\" staBack=\"200\" staAhead=\"230\"/>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<StaEquation staInternal=\"370\" staBack=\"400\" staAhead=\"390\"/>"),
            std::string::npos)
      << xml;

  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"check", "--decimals", "6"},
        std::vector<std::string>{"stakeout", "--every", "10", "--offset", "-3.5", "--decimals",
                                 "6"}}) {
    std::vector<std::string> from_csv = command;
    from_csv.insert(from_csv.begin() + 1, "road.csv");
    std::vector<std::string> from_xml = command;
    from_xml.insert(from_xml.begin() + 1, "road.xml");
    const Outcome a = Cli(from_csv, system);
    const Outcome b = Cli(from_xml, system);
    EXPECT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(b.status, 0) << b.err;
    std::vector<std::string> lines_a = Lines(a.out);
    std::vector<std::string> lines_b = Lines(b.out);
    if (command[0] == "check") {
      // The element file's reverse spiral is two LandXML spirals; the line
      // column is empty for LandXML. Compare the elements' stations and
      // points without those.
      ASSERT_EQ(lines_b.size(), lines_a.size() + 1);
      EXPECT_NE(lines_a[3].find(",160,290,100.000000,300,300,"), std::string::npos) << lines_a[3];
      EXPECT_NE(lines_b[3].find(",160,290,100.000000,300,300,"), std::string::npos) << lines_b[3];
      const auto points = [](const std::string& line) {
        std::size_t at = line.size();
        for (int i = 0; i < 4; ++i) at = line.rfind(',', at - 1);
        return line.substr(at);
      };
      EXPECT_EQ(points(lines_a[3]), points(lines_b[3]));
      EXPECT_EQ(points(lines_a.back()), points(lines_b.back()));
    } else {
      // The stake-out rows: the same stations and points to the µm, and one
      // more row where the reverse spiral is cut in two; codes may differ.
      const auto drop_code = [](std::string line) {
        const std::size_t a = line.find(',');
        const std::size_t b = line.find(',', a + 1);
        return line.erase(a, b - a);
      };
      ASSERT_EQ(lines_b.size(), lines_a.size() + 1);
      std::size_t j = 0;
      for (std::size_t i = 0; i < lines_a.size(); ++i, ++j) {
        if (drop_code(lines_a[i]) != drop_code(lines_b[j])) ++j;
        ASSERT_LT(j, lines_b.size());
        EXPECT_EQ(drop_code(lines_a[i]), drop_code(lines_b[j]));
      }
    }
  }
}

// The units a LandXML file declares are the units it is written in, the
// numbers as they were; a UTF-16 table is named for what it is.
TEST(LandXmlCli, UnitsAsDeclaredAndUtf16Text) {
  MemorySystem system;
  std::string& feet = system.files["feet.xml"] = ReadData("road.xml");
  const std::string metric =
      "<Metric linearUnit=\"meter\" areaUnit=\"squareMeter\" "
      "volumeUnit=\"cubicMeter\" angularUnit=\"decimal degrees\" "
      "directionUnit=\"decimal degrees\"/>";
  const std::string imperial =
      "<Imperial linearUnit=\"USSurveyFoot\" areaUnit=\"squareFoot\" "
      "volumeUnit=\"cubicYard\" angularUnit=\"decimal degrees\" "
      "directionUnit=\"decimal degrees\"/>";
  ASSERT_NE(feet.find(metric), std::string::npos);
  feet.replace(feet.find(metric), metric.size(), imperial);
  Outcome outcome = Cli({"landxml", "feet.xml", "-o", "out.xml"}, system);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  const std::string& out = system.files["out.xml"];
  EXPECT_NE(out.find("<Units>\n    " + imperial + "\n  </Units>"), std::string::npos) << out;
  EXPECT_NE(out.find("<Line staStart=\"1000\" length=\"120\">\n          "
                     "<Start>3512345.678 512345.678</Start>"),
            std::string::npos)
      << out;

  system.files["table.csv"] = std::string(
      "\xFF\xFE"
      "0\0,\0"
      "1\0\n\0",
      10);
  outcome = Cli({"check", "table.csv"}, system);
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.err,
            "velmora-cli: table.csv, it is UTF-16 text, and an element file is UTF-8: save it as "
            "UTF-8 (\"CSV UTF-8\")\n");
}

TEST(ElementFileEquations, ReadOrRefused) {
  const std::string first = "0,100,0,0,0,1000,500\n";
  const struct {
    std::string file;
    int status;
    const char* expected;  // a part of standard output, or of standard error
  } cases[] = {
      // At the element's end: the next element starts at the ahead station.
      {first + "equation,100,120\n120,150,0,0\n", 0, "\n2,3,straight,120,150,30.0000,"},
      // Ending at it: the end as counted back of it.
      {first + "equation,100,120\n120,150,0,0\n", 0, "\n1,1,straight,0,100,100.0000,"},
      {first + "100,150,0,0\nequation,100,120\n", 2,
       "line 3: the equation's back station 100 is the start of the element before it: put the "
       "line after the element that ends there"},
      // Inside it: the element's end as counted back of it.
      {first + "equation,60,50\n90,150,0,0\n", 0, "\n2,3,straight,90,150,60.0000,"},
      {"equation,0,10\n" + first, 2, "line 1: an equation line follows the element it falls in"},
      {first + "equation,100,120\nequation,100,130\n", 2, "line 3: a second equation"},
      {first + "equation,100.5,120\n", 2,
       "the equation's back station 100.5 is not on the element before it, from 0 to 100"},
      {first + "equation,100,x\n", 2, "the equation's ahead station \"x\" is not a station"},
      {first + "equation,100\n", 2, "an equation line is equation,BACK,AHEAD"},
      {first + "equation,60,50\n100,150,0,0\n", 2,
       "the start 100 is not the end of the previous element, 90 (its end 100 read ahead of the "
       "equation 60 = 50)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    MemorySystem system;
    system.files["road.csv"] = c.file;
    const Outcome outcome = Cli({"check", "road.csv"}, system);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    const std::string& where = c.status == 0 ? outcome.out : outcome.err;
    EXPECT_NE(where.find(c.expected), std::string::npos) << where;
  }
}

// A station in a gap is refused naming the equation; one in an overlap
// gives a row on each side of it; locate says which side a point is on.
TEST(StationEquations, GapsAndOverlapsAsSurveyorsRead) {
  MemorySystem system;
  system.files["road.xml"] = ReadData("equations.xml");  // 1150 = 1170, 1420 = 1405
  Outcome outcome = Cli({"stakeout", "road.xml", "--every", "1000", "--at", "1160"}, system);
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("station 1160 of --at falls in the gap of the station equation "
                             "1150 = 1170: no point of the road has it"),
            std::string::npos)
      << outcome.err;

  outcome = Cli({"stakeout", "road.xml", "--every", "1000", "--at", "1410"}, system);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  const std::vector<std::string> rows = Lines(outcome.out);
  std::vector<std::string> at_1410;
  for (const std::string& row : rows) {
    if (row.starts_with("1410,")) at_1410.push_back(row);
  }
  ASSERT_EQ(at_1410.size(), 2u) << outcome.out;
  EXPECT_NE(at_1410[0], at_1410[1]);  // two points, one station

  // The points of those two rows, located: the same station, each side.
  for (std::size_t i = 0; i < 2; ++i) {
    std::vector<std::string_view> fields;
    std::string row = at_1410[i];
    std::vector<std::string> parts;
    std::istringstream in(row);
    std::string part;
    while (std::getline(in, part, ',')) parts.push_back(part);
    outcome = Cli({"locate", "road.xml", parts[2], parts[3]}, system);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find(i == 0 ? ",back of the station equation 1420.0000 = 1405.0000"
                                      : ",ahead of the station equation 1420.0000 = 1405.0000"),
              std::string::npos)
        << outcome.out;
    EXPECT_NE(outcome.out.find(",1410.0000,"), std::string::npos) << outcome.out;
  }
}

}  // namespace
}  // namespace velmora::cli
