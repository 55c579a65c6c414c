// PI files at the console: the table of curves against values worked by
// the textbook formulas, a drawing's number found mistyped, every refusal,
// and the round trips through elements and check --pi.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/memory_system.h"

namespace velmora::cli {
namespace {

// BP, a spiral curve turning right 90° (R 200, Ls 60), a plain arc turning
// left 90° (R 300), EP; BP at K1+000.
const std::string kPi =
    "name,x,y,radius,spiral_in,spiral_out,station,T1,ZH,note\n"
    "BP,0,0,,,,K1+000\n"
    "JD1,500,0,200,60,60,,230.7269,1269.2731,drawing 3\n"
    "# the second curve\n"
    "JD2,500,1100,300,0,0,,300.0000,2212.705\n"
    "EP,1100,1100\n";

Outcome RunOn(const std::vector<std::string>& args, std::map<std::string, std::string>& files) {
  MemorySystem system;
  system.files = files;
  Outcome got = RunCli(args, system);
  files = system.files;
  return got;
}

std::vector<std::vector<std::string>> Cells(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(csv);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> row(1);
    for (const char c : line) {
      if (c == ',') {
        row.emplace_back();
      } else {
        row.back().push_back(c);
      }
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(PiFile, CheckTablesEachCurveAsWorkedByHand) {
  std::map<std::string, std::string> files = {{"pi.csv", kPi}};
  const Outcome got = RunOn({"check", "pi.csv", "--decimals", "9"}, files);
  ASSERT_EQ(got.status, 0) << got.err;
  const auto rows = Cells(got.out);
  ASSERT_EQ(rows.size(), 5U);
  const std::vector<std::string>& head = rows[0];
  // p = Ls²/24R - Ls⁴/2688R³ + Ls⁶/506880R⁵, q = Ls/2 - Ls³/240R² + Ls⁵/34560R⁴,
  // T = (R + p) tan(α/2) + q, E = (R + p) sec(α/2) - R, J = 2T - L.
  const std::map<std::string, std::string> want[] = {
      {{"jd", "JD1"},
       {"station", "1500"},
       {"deflection", "90度0分0秒"},
       {"turn", "right"},
       {"A1", "109.544511501"},
       {"p1", "0.749397609"},
       {"q2", "29.977514063"},
       {"T1", "230.726911672"},
       {"L", "374.159265359"},
       {"Ly", "254.159265359"},
       {"E", "83.902520737"},
       {"J", "87.294557984"},
       {"ZH", "1269.273088328"},
       {"HY", "1329.273088328"},
       {"QZ", "1456.352721008"},
       {"YH", "1583.432353687"},
       {"HZ", "1643.432353687"},
       {"straight", "269.273088328"}},
      {{"jd", "JD2"},
       {"station", "2512.705442016"},
       {"turn", "left"},
       {"Ls1", "0"},
       {"T2", "300"},
       {"L", "471.238898038"},
       {"E", "124.264068712"},
       {"J", "128.761101962"},
       {"ZH", "2212.705442016"},
       {"HY", ""},
       {"QZ", "2448.324891035"},
       {"YH", ""},
       {"HZ", "2683.944340054"},
       {"straight", "569.273088328"},
       {"azimuth_packed", "90"}},
      {{"jd", "EP"}, {"station", "2983.944340054"}, {"straight", "300"}},
  };
  for (std::size_t r = 0; r < std::size(want); ++r) {
    for (const auto& [column, value] : want[r]) {
      const auto at = std::find(head.begin(), head.end(), column);
      ASSERT_NE(at, head.end()) << column;
      const std::string& cell = rows[r + 2][at - head.begin()];
      char* end = nullptr;
      const double number = std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0') {
        EXPECT_EQ(cell, value) << column;
      } else {
        EXPECT_NEAR(std::stod(cell), number, 2e-6) << rows[r + 2][0] << " " << column;
      }
    }
  }
}

TEST(PiFile, MistypedDrawingNumberIsFoundAndEveryRefusalNamesItsLines) {
  std::map<std::string, std::string> files = {{"pi.csv", kPi}};
  files["typo.csv"] = kPi;
  files["typo.csv"].replace(files["typo.csv"].find("230.7269"), 8, "203.7269");
  Outcome got = RunOn({"stakeout", "typo.csv", "--every", "500"}, files);
  EXPECT_EQ(got.err,
            "velmora-cli: typo.csv, line 3: JD1's T1 is 203.7269 in the file and 230.7269 "
            "computed\n");
  EXPECT_EQ(got.status, 1);
  const std::string head = "name,x,y,radius,spiral_in,spiral_out\n";
  const struct {
    std::string file, message;
  } cases[] = {
      {head + "BP,0,0\nJD1,500,0,-200\nEP,500,500\n",
       "line 3: JD1 (point 1): the radius R -200.0000 is negative; give 0 or more (the JDs "
       "tell right from left)"},
      {head + "BP,0,0\nJD1,500,0,600,60,60\nEP,500,500\n",
       "lines 2 and 3: BP (point 0) and JD1 (point 1) overlap by 130.2475: T1 630.2475 of JD1 "
       "(point 1) is longer than the 500.0000 between them; lower a radius or a spiral, or "
       "correct the coordinates"},
      {head + "BP,0,0,10\nEP,500,500\n",
       "line 2: BP (point 0) has a radius or a spiral; curves belong to JDs: leave R, Ls1 and "
       "Ls2 of the start and end points 0"},
      {head + "BP,0,0\nJD1,500,0\nEP,500,500\n",
       "line 3: JD1 (point 1) turns 90°00′00.0″ but has no radius; give its R"},
      {head + "BP,0,0\nEP,x,500\n", "line 3: x \"x\" is not a number"},
      {head + "BP,0,0\n",
       "it holds 1 points; a PI file gives at least BP and EP, one a line "
       "after the header"},
      {"name,x,radius,spiral_in,spiral_out\n",
       "line 1: the header has no column y; a PI file's header is "
       "name,x,y,radius,spiral_in,spiral_out"},
  };
  for (const auto& c : cases) {
    files["bad.csv"] = c.file;
    got = RunOn({"check", "bad.csv", "-o", "out.csv"}, files);
    EXPECT_EQ(got.err, "velmora-cli: bad.csv, " + c.message + "\n");
    EXPECT_EQ(got.status, 2);
    EXPECT_EQ(files.count("out.csv"), 0U);
  }
  files["arcs.csv"] =
      "0,100,0,0,0,1000,500\n100,160,0,300,,,\n160,200,300,100,,,\n200,300,100,100,,,\n";
  got = RunOn({"check", "--pi", "arcs.csv"}, files);
  EXPECT_EQ(got.status, 2);
  EXPECT_EQ(
      got.err,
      std::string(
          "velmora-cli: arcs.csv, line 3: the road is not a table of JDs: the spiral into the "
          "radius 300.0000 goes on into neither an arc of that radius nor a spiral out of it\n"))
      << got.err;
}

// PI -> elements -> PI gives the points back; an element file with an
// equation -> elements -> stake-out gives the same stations and points.
TEST(PiFile, RoundTripsThroughElementsAndCheckPi) {
  std::map<std::string, std::string> files = {{"pi.csv", kPi}};
  ASSERT_EQ(RunOn({"elements", "pi.csv", "-o", "e.csv"}, files).status, 0);
  ASSERT_EQ(RunOn({"check", "--pi", "e.csv", "-o", "back.csv"}, files).status, 0);
  const auto given = Cells(kPi);
  const auto back = Cells(files["back.csv"]);
  ASSERT_EQ(back.size(), 5U);
  EXPECT_EQ(back[1][6], "1000");
  for (std::size_t r = 1; r < back.size(); ++r) {
    const auto& from = given[r + (r >= 3 ? 1 : 0)];
    for (std::size_t c : {1, 2, 3, 4, 5}) {
      const double want = c >= from.size() || from[c].empty() ? 0.0 : std::stod(from[c]);
      EXPECT_NEAR(std::stod(back[r][c]), want, 1e-9 * 1100) << r << "," << c;
    }
  }
  files["road.csv"] =
      "0,100,0,0,359.59599,1000,500\n100,160,0,-300,,,\n160,260,-300,-300\n"
      "equation,200,250\n310,370,-300,0,,,\n370,450,0,0,,,\n";
  ASSERT_EQ(RunOn({"elements", "road.csv", "-o", "copy.csv"}, files).status, 0);
  const std::vector<std::string> stake = {"stakeout", "", "--every", "7", "--decimals", "6"};
  auto args = stake;
  args[1] = "road.csv";
  const Outcome original = RunOn(args, files);
  args[1] = "copy.csv";
  const Outcome copy = RunOn(args, files);
  EXPECT_EQ(copy.status, 0) << copy.err;
  EXPECT_EQ(copy.out, original.out);
  // Two equations on one LandXML line: the element file cuts it at the first.
  files["two.xml"] =
      "<LandXML><Alignments><Alignment name=\"A\" staStart=\"1000\"><CoordGeom>"
      "<Line length=\"300\"><Start>0 0</Start><End>0 300</End></Line></CoordGeom>"
      "<StaEquation staInternal=\"1100\" staBack=\"1100\" staAhead=\"1120\"/>"
      "<StaEquation staInternal=\"1200\" staBack=\"1220\" staAhead=\"1210\"/>"
      "</Alignment></Alignments></LandXML>";
  ASSERT_EQ(RunOn({"elements", "two.xml", "-o", "two.csv"}, files).status, 0);
  const Outcome located = RunOn({"locate", "two.csv", "5", "250"}, files);
  EXPECT_EQ(located.status, 0) << located.err;
  EXPECT_NE(located.out.find(",1260.0000,-5.0000,"), std::string::npos) << located.out;
}

}  // namespace
}  // namespace velmora::cli
