// The height files against a road: the worked example of the highway
// standard's vertical curve, a PVI past a station equation, and each refusal.
#include "model/heights.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "model/road.h"

namespace velmora::model {
namespace {

// K4+900 to K5+200, east; then a road with the equation 100 = 150 (gap).
const std::string kRoad = "K4+900,K5+200,0,0,90,1000,500\n";
const std::string kGapRoad = "0,100,0,0,0,1000,500\nequation,100,150\n150,250,0,0\n";
const std::string kOverlapRoad = "0,100,0,0,0,1000,500\nequation,100,80\n80,180,0,0\n";
const std::string kHeader = "station,elevation,radius\n";
// The PVI K5+030 at 427.68 between +5 % and -4 %, R 2000.
const std::string kWorked = kHeader + "K4+900,421.18,\nK5+030,427.68,2000\nK5+200,420.88,0\n";

road::Alignment AlignmentOf(const std::string& elements) {
  auto road = Load(elements, "road.csv");
  return std::get<Road>(road).alignment;
}

TEST(ProfileFile, WorkedExampleAndAPviPastAStationEquation) {
  auto read = ReadProfile(kWorked, "p.csv", AlignmentOf(kRoad));
  const ProfileFile& file = std::get<ProfileFile>(read);
  const auto table = file.profile.CurveTable();
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(file.lines[table[0].point], 3u);
  EXPECT_NEAR(table[0].length, 180.0, 1e-9);
  EXPECT_NEAR(table[0].tangent_in, 90.0, 1e-9);
  EXPECT_NEAR(table[0].external, 2.025, 1e-9);
  EXPECT_NEAR(*file.profile.ElevationAt(5000.0), 427.68 - 30 * 0.05 - 60.0 * 60 / 4000, 1e-9);

  // Displayed 150 is 100 along the road; displayed 180 is 15 before the
  // curve's end (R 1000, T 45): 105 - 0.04 * 30 - 15^2/2000.
  auto past =
      ReadProfile(kHeader + "0,100\n150,105,1000\n250,101\n", "p.csv", AlignmentOf(kGapRoad));
  EXPECT_NEAR(*std::get<ProfileFile>(past).profile.ElevationAt(130.0), 103.6875, 1e-9);
}

TEST(ProfileFile, EachRefusalNamesTheFileAndTheLine) {
  const struct {
    const std::string& road;
    std::string file, message;
  } cases[] = {
      {kRoad, "4900,421\n5000,425\n",
       "p.csv, line 1: the first line is the header "
       "station,elevation,radius; put it first"},
      {kRoad, kHeader + "4900,421\n4800,420\n",
       "p.csv, line 3: its station 4800 is not after the previous line's 4900 along the road; "
       "give the lines in order of station, each once"},
      {kRoad, kHeader + "4900,421\n5000,426,-1\n5200,420\n",
       "p.csv, line 3: its vertical curve's radius -1 is negative; give a positive amount, or 0 "
       "for a plain grade break"},
      // T 90 + T 45 (1000 x 0.09 / 2) between PVIs 100 apart; T 90 with 60 to the end.
      {kRoad, kHeader + "4900,421\n5000,426,2000\n5100,422,1000\n5200,427\n",
       "p.csv, line 3: its vertical curve (T 90) and the next PVI's (T 45) overlap: together "
       "135, more than the 100 between the PVIs; shorten a curve or move the PVIs apart"},
      {kRoad, kHeader + "4900,421\n5140,433,2000\n5200,430.6\n",
       "p.csv, line 3: its vertical curve ends 90 after the PVI, more than the 60 to the "
       "profile's end; shorten the curve or end later"},
      {kRoad, kHeader + "4900,x\n",
       "p.csv, line 2: elevation \"x\" is not a number; write it as a number"},
      {kGapRoad, kHeader + "0,100\n125,101\n",
       "p.csv, line 3: station 125 falls in the gap of the station equation 100 = 150: no "
       "point of the road has it"},
      {kOverlapRoad, kHeader + "0,100\n90,101\n",
       "p.csv, line 3: station 90 occurs twice, on both sides of the station equation 100 = 80; "
       "give a station that occurs once"},
  };
  for (const auto& c : cases) {
    auto read = ReadProfile(c.file, "p.csv", AlignmentOf(c.road));
    ASSERT_TRUE(std::holds_alternative<LoadError>(read)) << c.file;
    EXPECT_EQ(std::get<LoadError>(read).Text(), c.message);
  }
}

TEST(CrossSlopeFile, LinearBetweenLinesConstantBeyond) {
  auto read = ReadCrossSlopes("station,left,right\nK4+950,-2,-2\nK5+050,-2,4\n", "c.csv",
                              AlignmentOf(kRoad));
  const road::CrossSlopes& slopes = std::get<road::CrossSlopes>(read);
  EXPECT_EQ(slopes.At(5000.0).right, 1.0);
  EXPECT_EQ(slopes.At(4000.0).right, -2.0);
  EXPECT_EQ(slopes.At(6000.0).right, 4.0);
  auto bad = ReadCrossSlopes("station,left,right\n5000,-2\n", "c.csv", AlignmentOf(kRoad));
  EXPECT_EQ(std::get<LoadError>(bad).Text(),
            "c.csv, line 2: it has 2 fields; a line is station,left,right");
}

}  // namespace
}  // namespace velmora::model
