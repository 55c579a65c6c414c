// check, stakeout and locate run in memory: the element file and its
// refusals, the rows and their azimuths against calc's, the reverse, and
// the command-line conventions that one parser gives every command.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "arith/angle.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "model/stations.h"
#include "tests/cli/memory_system.h"
#include "text/csv.h"

namespace velmora::cli {
namespace {

// A road north from (1000, 500): straight, spiral, arc, spiral, straight.
const std::string kRoad =
    "start,end,start_radius,end_radius,start_azimuth,x,y\n"
    "0,100,0,0,0,1000,500\n"
    "100,160,0,300,,,\n"
    "160,260,300,300\n"
    "260,320,300,0,,,\n"
    "320,400,0,0,,,\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::vector<std::string>> Rows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string_view> fields;
  std::string unquoted;
  std::size_t at = 0;
  while (at < csv.size()) {
    const std::size_t end = csv.find('\n', at);
    std::string_view line(csv.data() + at, end - at);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    EXPECT_TRUE(text::SplitCsvLine(line, fields, unquoted)) << line;
    rows.emplace_back(fields.begin(), fields.end());
    at = end + 1;
  }
  return rows;
}

Outcome WithFiles(const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& files, std::string in = "") {
  MemorySystem system;
  system.files = files;
  system.in = std::move(in);
  return RunCli(args, system);
}

// The lines of the manual page.
std::vector<std::string> ManPage() {
  std::ifstream file(VELMORA_MAN_PAGE);
  return Lines(std::string(std::istreambuf_iterator<char>(file), {}));
}

// The options a line of the page names ("--every", "-o").
void OptionsOf(std::string line, std::set<std::string>& into) {
  std::erase(line, '\\');  // the page writes --every as \-\-every
  for (std::size_t at = line.find('-'); at != std::string::npos; at = line.find('-', at)) {
    std::size_t end = at;
    while (end < line.size() && (line[end] == '-' || (line[end] >= 'a' && line[end] <= 'z'))) {
      ++end;
    }
    const std::string word = line.substr(at, end - at);
    if ((word.starts_with("--") && word.size() > 2) || word == "-o") {
      into.insert(word);
    }
    at = end;
  }
}

TEST(ElementFile, EveryKindOfBadFileHasOneMessageStatusTwoAndNoOutput) {
  const std::string first = "0,100,0,0,0,1000,500\n";
  const struct {
    std::string file, message;
  } cases[] = {
      {first + "110,200,0,0\n",
       "line 2: the start 110 is not the end of the previous element, 100: each element starts "
       "where the one before ends"},
      {first + "100,100,0,0\n", "line 2: the end 100 is not after the start 100"},
      {first + "100,90,0,0\n", "line 2: the end 90 is not after the start 100"},
      {first + "# a comment\n\n100,200,abc,0\n", "line 4: start_radius \"abc\" is not a number"},
      {first + "100,200,0,1e999\n", "line 2: end_radius \"1e999\" is not a number"},
      {first + "100,2OO,0,0\n", "line 2: end \"2OO\" is not a station (1234.5 or K1+234.5)"},
      {first + "100,K0+1000,0,0\n",
       "line 2: end \"K0+1000\" is not a station (1234.5 or K1+234.5)"},
      {first + "100,200,0,0,,1,\n", "line 2: y \"\" is not a number"},
      {first + "100,200,0,0,x\n", "line 2: start_azimuth \"x\" is not a number"},
      {"0,100,0,0,,1000,500\n",
       "line 1: the first element needs its start azimuth and start point (start_azimuth, x, y): "
       "there is nothing to carry them on from"},
      {"# road\n0,100,0,0,45\n",
       "line 2: the first element needs its start azimuth and start point (start_azimuth, x, y): "
       "there is nothing to carry them on from"},
      {"0,100,0,0,30.75,1000,500\n",
       "line 1: start_azimuth \"30.75\" is refused: 角度输入有误，请重新输入。"},
      {"0,100,0,0,360.0001,1000,500\n",
       "line 1: start_azimuth \"360.0001\" is refused: 角度输入有误，请重新输入。"},
      {"0,100,0\n",
       "line 1: it has 3 fields; an element has 7 "
       "(start,end,start_radius,end_radius,start_azimuth,x,y), the last three may be left empty"},
      {first + "100,200,0,0,,,,\n",
       "line 2: it has 8 fields; an element has 7 "
       "(start,end,start_radius,end_radius,start_azimuth,x,y), the last three may be left empty"},
      {"\"0,100,0,0,0,1000,500\n", "line 1: a quote is out of place"},
      {first + "100,200,0,0\xC0\x80\n", "line 2: it is not UTF-8 text"},
      {first + "\xEF\xBB\xBF"
               "100,200,0,0\n",
       "line 2: start \"\xEF\xBB\xBF"
       "100\" is not a station (1234.5 or K1+234.5)"},
      {first + std::string(text::kMaxLineBytes + 1, '1') + "\n",
       "line 2: it is longer than 65536 bytes"},
      {"", "it holds no element (one a line: start,end,start_radius,end_radius,start_azimuth,x,y)"},
      {"start,end,start_radius,end_radius,start_azimuth,x,y\n# nothing yet\n",
       "it holds no element (one a line: start,end,start_radius,end_radius,start_azimuth,x,y)"},
  };
  for (const auto& c : cases) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"check", "e.csv", "-o", "out.csv"},
          {"stakeout", "e.csv", "--every", "10", "-o", "out.csv"},
          {"locate", "e.csv", "1", "2", "-o", "out.csv"}}) {
      MemorySystem system;
      system.files = {{"e.csv", c.file}, {"out.csv", "kept"}};
      const Outcome got = RunCli(args, system);
      EXPECT_EQ(got.err, "velmora-cli: e.csv, " + c.message + "\n") << args[0] << ": " << c.file;
      EXPECT_EQ(got.status, 2) << c.file;
      EXPECT_EQ(got.out, "");
      EXPECT_EQ(system.files["out.csv"], "kept") << "written over: " << c.file;
    }
  }
}

TEST(ElementFile, ByteOrderMarkQuotesCrlfCommentsAndKStationsAreRead) {
  const std::string file =
      "\xEF\xBB\xBF# the road of the design table\r\n"
      "Start,End,Start_Radius,End_Radius,Start_Azimuth,X,Y\r\n"
      "\"K0+000\",K0+100,0,0,\"90\",1000,500\r\n"
      "  # a comment after blanks\r\n"
      "K0+100,K0+200.5,0,0\r\n";
  const Outcome got = WithFiles({"check", "e.csv", "--station-format=k"}, {{"e.csv", file}});
  ASSERT_EQ(got.status, 0) << got.err;
  const auto rows = Rows(got.out);
  ASSERT_EQ(rows.size(), 3U);
  EXPECT_EQ(rows[1],
            (std::vector<std::string>{"1", "3", "straight", "K0+000.000", "K0+100.000", "100.0000",
                                      "0", "0", "90度0分0秒", "90", "90度0分0秒", "90", "1000.0000",
                                      "500.0000", "1000.0000", "600.0000"}));
  EXPECT_EQ(rows[2][1], "5");
  EXPECT_EQ(rows[2][4], "K0+200.500");
  EXPECT_EQ(rows[2][5], "100.5000");
}

TEST(Check, KindsAndEachGivenStartThatDiffersFromTheCarriedOne) {
  // The second element repeats the first one's end as given values; the
  // third gives a point 0.05 off and an azimuth 10 seconds off.
  const std::string file =
      "0,100,0,0,0,1000,500\n"
      "100,200,0,500,0,1100,500\n"
      "200,300,500,500,0.1510,1199.0000,504.9\n";
  const Outcome got = WithFiles({"check", "e.csv"}, {{"e.csv", file}});
  EXPECT_EQ(got.status, 1);
  const auto rows = Rows(got.out);
  ASSERT_EQ(rows.size(), 4U);
  EXPECT_EQ(rows[0][0], "element");
  EXPECT_EQ(rows[1][2], "straight");
  EXPECT_EQ(rows[2][2], "spiral");
  EXPECT_EQ(rows[3][2], "arc");
  // The spiral turns 100 / (2 * 500) radians: 5°43'46.5".
  EXPECT_EQ(rows[2][10], "5度43分46.5秒");
  EXPECT_EQ(rows[2][11], "5.43465");
  EXPECT_NE(got.err.find("velmora-cli: e.csv, line 3: the start point given is "),
            std::string::npos)
      << got.err;
  EXPECT_NE(got.err.find("velmora-cli: e.csv, line 3: the start azimuth given differs"),
            std::string::npos)
      << got.err;
  EXPECT_EQ(got.err.find("line 2"), std::string::npos) << got.err;
}

TEST(Stakeout, RowsCodesOffsetsAndKStations) {
  const Outcome got =
      WithFiles({"stakeout", "e.csv", "--every", "50", "--at", "K0+105", "--at", "150", "--offset",
                 "-10", "--offset", "2.5", "--station-format", "k"},
                {{"e.csv", kRoad}});
  ASSERT_EQ(got.status, 0) << got.err;
  const auto rows = Rows(got.out);
  EXPECT_EQ(rows[0],
            (std::vector<std::string>{"station", "point", "x", "y", "azimuth", "packed",
                                      "x_left_10", "y_left_10", "x_right_2.5", "y_right_2.5"}));
  std::vector<std::string> stations, codes;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 10U);
    stations.push_back(rows[i][0]);
    codes.push_back(rows[i][1]);
  }
  EXPECT_EQ(stations, (std::vector<std::string>{
                          "K0+000.000", "K0+050.000", "K0+100.000", "K0+105.000", "K0+150.000",
                          "K0+160.000", "K0+200.000", "K0+250.000", "K0+260.000", "K0+300.000",
                          "K0+320.000", "K0+350.000", "K0+400.000"}));
  EXPECT_EQ(codes, (std::vector<std::string>{"QD", "", "ZH", "", "", "HY", "", "", "YH", "", "HZ",
                                             "", "ZD"}));
  // On the first straight, north: the offsets lie east and west.
  EXPECT_EQ(rows[2],
            (std::vector<std::string>{"K0+050.000", "", "1050.0000", "500.0000", "0度0分0秒", "0",
                                      "1050.0000", "490.0000", "1050.0000", "502.5000"}));
}

TEST(Stakeout, EachAzimuthIsCalcsForItsElementsTexts) {
  // Every element gives its start azimuth; carried values play no part.
  const std::vector<std::vector<std::string>> elements = {
      {"1000", "1137.5", "0", "0", "45.3015"},    {"1137.5", "1200", "0", "-450", "45.3015"},
      {"1200", "1333.3", "-450", "-450", "41.1"}, {"1333.3", "1400", "-450", "900", "24.0701"},
      {"1400", "1460", "900", "0", "22.5"},       {"1460", "1500", "0", "0", "359.5959"},
  };
  std::string file;
  for (const auto& e : elements) {
    file += e[0] + "," + e[1] + "," + e[2] + "," + e[3] + "," + e[4] + ",0,0\n";
  }
  const Outcome got =
      WithFiles({"stakeout", "e.csv", "--every", "7", "--at", "1333.31"}, {{"e.csv", file}});
  // A station typed with hundreds of decimals is written with at most twelve.
  const Outcome tiny =
      WithFiles({"stakeout", "e.csv", "--every", "1000", "--at", "1000.000000001e-300"},
                {{"e.csv", "0,100,0,0,0,1000,500\n"}});
  EXPECT_NE(tiny.out.find("\n0,,"), std::string::npos) << tiny.out;
  EXPECT_LT(tiny.out.size(), 400U) << tiny.out;
  // The starts given are not the carried ones: reported (a point from line 2
  // on, an azimuth from line 3 on), the table written all the same.
  ASSERT_EQ(got.status, 1) << got.err;
  EXPECT_EQ(std::count(got.err.begin(), got.err.end(), '\n'), 9) << got.err;
  const auto rows = Rows(got.out);
  ASSERT_GT(rows.size(), 70U);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const double station = std::stod(rows[i][0]);
    std::size_t n = 0;  // the later element at a junction
    while (n + 1 < elements.size() && station >= std::stod(elements[n + 1][0])) {
      ++n;
    }
    const auto& e = elements[n];
    const Outcome calc = RunCli({"calc", e[0], e[1], e[2], e[3], rows[i][0], e[4]});
    ASSERT_EQ(calc.status, 0) << rows[i][0];
    EXPECT_EQ(rows[i][4] + "\n", calc.out) << "station " << rows[i][0];
    EXPECT_EQ(rows[i][5], *PackedFromDisplay(rows[i][4]));
  }
}

TEST(Stakeout, AFailedWriteEndsTheTableOrTheGeoJsonWithStatusTwo) {
  class FullDisk final : public Sink {
   public:
    std::size_t offered = 0;
    bool Write(std::string_view bytes) override {
      offered += bytes.size();
      return false;
    }
  };
  class FullDiskSystem final : public System {
   public:
    FullDisk out;
    std::string err_text;
    StringSink err{err_text};
    std::string none;
    StringSource in{none};
    Sink& Out() override { return out; }
    Sink& Err() override { return err; }
    Source& In() override { return in; }
    std::unique_ptr<Source> OpenInput(const std::string&, std::string&) override {
      return std::make_unique<StringSource>(kRoad);
    }
  };
  // 400,001 rows, some 30 MB as CSV and 140 MB as GeoJSON, unless the
  // writing stops at the first failure.
  for (const bool geojson : {false, true}) {
    SCOPED_TRACE(geojson ? "GeoJSON" : "CSV");
    FullDiskSystem system;
    std::vector<std::string> args = {"stakeout", "e.csv", "--every", "0.001"};
    if (geojson) {
      args.emplace_back("--geojson");
    }
    EXPECT_EQ(velmora::cli::Run(args, system), 2);
    EXPECT_LT(system.out.offered, 1U << 20);
    EXPECT_EQ(system.err_text, "velmora-cli: the output could not be written\n");
  }
}

TEST(Stakeout, JunctionCodesAndStationsOffTheRoad) {
  const std::string file =
      "0,50,0,0,10,0,0\n"     // straight
      "50,80,200,200\n"       // arc: ZY
      "80,90,400,400\n"       // another arc: GQ
      "90,120,0,0\n"          // straight: YZ
      "120,140,0,100\n"       // spiral: ZH
      "140,150,100,50\n"      // spiral between radii: GQ
      "150,170,-300,-300\n";  // arc of the other hand: HY
  const Outcome got = WithFiles({"stakeout", "e.csv", "--every", "1000"}, {{"e.csv", file}});
  ASSERT_EQ(got.status, 0) << got.err;
  std::vector<std::string> codes;
  for (const auto& row : Rows(got.out)) {
    codes.push_back(row[1]);
  }
  EXPECT_EQ(codes,
            (std::vector<std::string>{"point", "QD", "ZY", "GQ", "YZ", "ZH", "GQ", "HY", "ZD"}));
  const Outcome off =
      WithFiles({"stakeout", "e.csv", "--every", "10", "--at", "K0+170.001"}, {{"e.csv", file}});
  EXPECT_EQ(off.status, 2);
  EXPECT_EQ(off.out, "");
  EXPECT_EQ(off.err,
            "velmora-cli: station 170.001 of --at is not on the road, which runs from 0 to 170\n");
}

TEST(Locate, StationOffsetOrRefusalForEachPointInOrder) {
  const std::string points =
      "name,x,y\n"
      "P1,1050,503\n"      // right of the straight going north
      "P2,1020,497.25\n"   // left
      "\"P,3\",999,500\n"  // before the start
      "1020,500\n"         // no name
      "P5,x,1\n"           // not a number
      "1,2,3,4\n"          // not a point
      "P7,1050,530\n"      // too far with --max-offset 20
      "P8,1050,470\n";     // as far to the left
  MemorySystem system;
  system.files = {{"e.csv", kRoad}, {"p.csv", points}};
  const Outcome got = RunCli({"locate", "e.csv", "--points", "p.csv", "--max-offset", "20",
                              "--decimals", "3", "--station-format", "k"},
                             system);
  EXPECT_EQ(got.status, 1);
  EXPECT_EQ(got.err, "");
  const auto rows = Rows(got.out);
  const std::vector<std::vector<std::string>> want = {
      {"name", "x", "y", "station", "offset", "azimuth", "packed", "element", "message"},
      {"P1", "1050", "503", "K0+050.000", "3.000", "0度0分0秒", "0", "1", ""},
      {"P2", "1020", "497.25", "K0+020.000", "-2.750", "0度0分0秒", "0", "1", ""},
      {"P,3", "999", "500", "", "", "", "", "", "before the start of the road"},
      {"", "1020", "500", "K0+020.000", "0.000", "0度0分0秒", "0", "1", ""},
      {"P5", "x", "1", "", "", "", "", "", "x is not a number"},
      {"", "", "", "", "", "", "", "", "line 7: 4 fields; a point is name,x,y or x,y"},
      {"P7", "1050", "530", "", "", "", "", "", "farther from the centre line than --max-offset"},
      {"P8", "1050", "470", "", "", "", "", "", "farther from the centre line than --max-offset"},
  };
  EXPECT_EQ(rows, want);
  // One point on the command line; a negative coordinate is no option.
  const Outcome one = WithFiles({"locate", "e.csv", "1030", "-5e2"}, {{"e.csv", kRoad}});
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(Rows(one.out).at(1).at(3), "30.0000");
  EXPECT_EQ(Rows(one.out).at(1).at(4), "-1000.0000");
  const Outcome point = WithFiles({"locate", "e.csv", "-.5", "3"}, {{"e.csv", kRoad}});
  EXPECT_EQ(Rows(point.out).at(1), (std::vector<std::string>{"", "-.5", "3", "", "", "", "", "",
                                                             "before the start of the road"}));
  const Outcome beyond = WithFiles({"locate", "e.csv", "2000", "500"}, {{"e.csv", kRoad}});
  EXPECT_EQ(beyond.status, 1);
  EXPECT_EQ(Rows(beyond.out).at(1).at(8), "beyond the end of the road");
}

// Values at the edge of what is taken, and runs refused before any output:
// an existing output file keeps its text.
TEST(CommandLine, EdgeValuesAndRefusalsThatKeepTheOutputFile) {
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      {{"check", "e.csv", "--tolerance", "0", "-o", "o"}, 0, ""},
      {{"check", "e.csv", "--decimals", "12", "-o", "o"}, 0, ""},
      // 400 / 2^-17 = 52428800 multiples, the start, five boundaries and the end.
      {{"stakeout", "e.csv", "--every", "0.00000762939453125", "-o", "o"},
       2,
       "velmora-cli: --every 0.00000762939453125 asks for up to 52428807 rows, more than "
       "10000000; choose a longer step\n"},
      {{"landxml", "bad.csv", "-o", "o"}, 2, "velmora-cli: bad.csv, line 1: "},
      // 1000 length units coiled into a circle 0.2 across: ticks by length.
      {{"plot", "coil.csv", "-o", "o"}, 0, ""},
  };
  for (const auto& c : cases) {
    MemorySystem system;
    system.files = {{"e.csv", kRoad},
                    {"bad.csv", "0,100,0,0,0,1000\n"},
                    {"coil.csv", "0,1000,0.1,0.1,0,0,0\n"},
                    {"o", "kept"}};
    const Outcome got = RunCli(c.args, system);
    EXPECT_EQ(got.status, c.status) << c.args[0] << got.err;
    EXPECT_TRUE(got.err.starts_with(c.err)) << got.err;
    EXPECT_EQ(system.files["o"] == "kept", c.status == 2) << c.args[0];
  }
}

TEST(CommandLine, UsageErrorsByTheirTextAndStatus) {
  const struct {
    std::vector<std::string> args;
    std::string first_line;
  } cases[] = {
      {{}, "a command is needed"},
      {{"frob"}, "unknown command 'frob'"},
      {{"--frob"}, "unknown option '--frob'"},
      {{"calc", "1", "2"}, "calc takes six texts, 2 given"},
      {{"csv", "a.csv", "b.csv"}, "csv takes one file at most, 2 given"},
      {{"csv", "--output"}, "option --output needs a value (FILE)"},
      {{"csv", "-o"}, "option --output needs a value (FILE)"},
      {{"csv", "--bom=yes"}, "option --bom takes no value"},
      {{"table", "--start", "0"}, "table needs --end"},
      {{"check"}, "check takes one element file, 0 given"},
      {{"check", "e.csv", "--station-format", "km"},
       "--station-format takes plain or k, not \"km\""},
      {{"check", "e.csv", "--decimals", "13"},
       "--decimals takes a whole number from 0 to 12, not \"13\""},
      {{"check", "e.csv", "--decimals=2.5"},
       "--decimals takes a whole number from 0 to 12, not \"2.5\""},
      {{"stakeout", "e.csv"}, "stakeout needs --every"},
      {{"stakeout", "e.csv", "--every"}, "option --every needs a value (STEP)"},
      {{"stakeout", "e.csv", "--every", "0"}, "--every takes a step above 0, not \"0\""},
      {{"stakeout", "e.csv", "--every=1e999"}, "--every takes a step above 0, not \"1e999\""},
      {{"stakeout", "e.csv", "--every", "10", "--every", "5"}, "option --every given twice"},
      {{"stakeout", "e.csv", "--every", "10", "--frob"}, "unknown option '--frob' for stakeout"},
      {{"stakeout", "--every", "10"}, "stakeout takes one element file, 0 given"},
      {{"stakeout", "e.csv", "--every", "10", "--at", "K1+"},
       "--at takes a station (1234.5 or K1+234.5), not \"K1+\""},
      {{"stakeout", "e.csv", "--every", "10", "--offset", "left"},
       "--offset takes a distance, not \"left\""},
      {{"locate", "e.csv"}, "locate takes the element file and then X and Y, or --points FILE"},
      {{"locate", "e.csv", "1", "2", "--points", "p.csv"},
       "locate with --points takes the element file alone"},
      {{"locate", "e.csv", "1", "2", "--max-offset", "-1"},
       "--max-offset takes a distance of 0 or more, not \"-1\""},
      {{"locate", "-", "--points", "-"},
       "the element file and the points cannot both be standard input"},
      {{"locate", "e.csv", "1", "2", "--max-offset", "1e999"},
       "--max-offset takes a distance of 0 or more, not \"1e999\""},
      {{"check", "e.csv", "--tolerance", "-0.1"},
       "--tolerance takes a distance of 0 or more, not \"-0.1\""},
      {{"check", "e.csv", "-o", ""}, "--output takes a file's name, not \"\""},
      {{"table", "--start", "0", "--end", "9", "--start-radius", "0", "--end-radius", "0",
        "--start-azimuth", "0", "--every", "0"},
       "--every takes a step above 0, not \"0\""},
      {{"plot", "e.csv", "--size", "0x0"},
       "--size takes a width and height from 200 to 100000 pixels, as 1600x1000, not \"0x0\""},
  };
  for (const auto& c : cases) {
    const Outcome got = WithFiles(c.args, {{"e.csv", kRoad}});
    EXPECT_EQ(got.status, 2) << c.first_line;
    EXPECT_EQ(got.out, "") << c.first_line;
    EXPECT_EQ(got.err.substr(0, got.err.find('\n')), "velmora-cli: " + c.first_line);
    EXPECT_NE(got.err.find("\nusage: velmora-cli"), std::string::npos) << got.err;
  }
}

TEST(CommandLine, StandardInputDoubleDashAndHelpForEveryCommand) {
  const std::string point = "1000,1100,0,0,1050,45\n";
  const struct {
    std::vector<std::string> args;
    std::map<std::string, std::string> files;
    std::string in;
    std::string expect_in_out;
  } cases[] = {
      {{"csv", "-"}, {}, point, "45度0分0秒"},
      {{"check", "-"}, {}, kRoad, "straight"},
      {{"stakeout", "-", "--every=400"}, {}, kRoad, "\n400,ZD,"},
      {{"locate", "-", "1050", "500"}, {}, kRoad, ",50.0000,"},
      {{"locate", "e.csv", "--points", "-"}, {{"e.csv", kRoad}}, "1050,500\n", ",50.0000,"},
      // After "--", a file named like an option is read.
      {{"check", "--", "--every"}, {{"--every", kRoad}}, "", "straight"},
      {{"stakeout", "--every", "400", "--", "-e.csv"}, {{"-e.csv", kRoad}}, "", "ZD"},
      {{"csv", "--", "-o"}, {{"-o", point}}, "", "45度0分0秒"},
      // An option's value is the next argument, whatever it is.
      {{"locate", "e.csv", "--points", "--"},
       {{"e.csv", kRoad}, {"--", "1050,500\n"}},
       "",
       ",50.0000,"},
      {{"plot", "-", "-o", "-"}, {}, kRoad, "</svg>"},
      {{"plot", "--", "-e.csv"}, {{"-e.csv", kRoad}}, "", "</svg>"},
      {{"plot-profile", "-", "--profile", "p.csv"},
       {{"p.csv", "station,elevation,radius\n0,100,\n200,104,1000\n400,100,\n"}},
       kRoad,
       ">PVI 200<"},
      {{"landxml", "-"}, {}, kRoad, "<LandXML"},
      {{"landxml", "--", "--every"}, {{"--every", kRoad}}, "", "<Spiral"},
  };
  std::set<std::string> covered;
  for (const auto& c : cases) {
    MemorySystem system;
    system.files = c.files;
    system.in = c.in;
    system.in_chunk = 3;
    std::string context;
    for (const auto& arg : c.args) {
      context += arg + " ";
    }
    const Outcome got = RunCli(c.args, system);
    EXPECT_EQ(got.status, 0) << context << got.err;
    EXPECT_NE(got.out.find(c.expect_in_out), std::string::npos) << context << got.out;
    covered.insert(c.args[0]);
  }
  for (const Command* command : AllCommands()) {
    const std::string name(command->syntax.name);
    // Each command that reads a file reads standard input and a file named
    // like an option above.
    if (command->syntax.operands.find("FILE") != std::string_view::npos ||
        command->syntax.operands.find("ELEMENTS") != std::string_view::npos) {
      EXPECT_TRUE(covered.contains(name)) << name;
    }
    const Outcome help = RunCli({name, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: velmora-cli " + name)) << help.out;
    EXPECT_EQ(help.err, "");
    EXPECT_NE(RunCli({"--help"}).out.find("\n  " + name + " "), std::string::npos) << name;
    // calc reads "--frob" as its first text.
    const Outcome wrong = RunCli({name, "--frob", "x"});
    const std::string problem =
        command->syntax.options_before_operands_only
            ? name + " takes " + std::string(command->syntax.operands_wanted) + ", 2 given"
            : "unknown option '--frob' for " + name;
    EXPECT_EQ(wrong.status, 2) << name;
    EXPECT_EQ(wrong.out, "");
    EXPECT_TRUE(wrong.err.starts_with("velmora-cli: " + problem + "\nusage: velmora-cli " + name))
        << wrong.err;
  }
}

// Each command's SYNOPSIS in the manual page names the options of its table,
// FORMAT standing for those it defines.
TEST(Manual, SynopsisOfEachCommandNamesItsOptions) {
  const std::vector<std::string> page = ManPage();
  ASSERT_FALSE(page.empty()) << VELMORA_MAN_PAGE;
  std::set<std::string> format;
  std::map<std::string, std::set<std::string>> synopsis;
  for (std::size_t i = 0; i < page.size() && page[i] != ".SH DESCRIPTION"; ++i) {
    if (page[i] == "is" && i > 0 && page[i - 1] == ".I FORMAT") {
      for (std::size_t j = i + 1; j < page.size() && page[j] != ".SH DESCRIPTION"; ++j) {
        OptionsOf(page[j], format);
      }
    }
    if (!page[i].starts_with(".B velmora-cli ")) {
      continue;
    }
    std::set<std::string>& named = synopsis[page[i].substr(15)];
    for (++i; i < page.size() && page[i] != ".br"; ++i) {
      OptionsOf(page[i], named);
      if (page[i].find("FORMAT") != std::string::npos) {
        named.insert("FORMAT");  // defined after the synopses
      }
    }
  }
  EXPECT_EQ(format, (std::set<std::string>{"--station-format", "--decimals", "--bom", "-o"}));
  for (const Command* command : AllCommands()) {
    std::set<std::string> want;
    for (const OptionSpec& option : command->syntax.options) {
      want.emplace(option.short_name.empty() ? option.name : option.short_name);
    }
    std::set<std::string> got = synopsis[std::string(command->syntax.name)];
    if (got.erase("FORMAT") != 0) {
      got.insert(format.begin(), format.end());
    }
    EXPECT_EQ(got, want) << command->syntax.name;
  }
}

// Each command's entry under COMMANDS, with the subsections whose titles
// name it ("FORMAT options of check, stakeout and locate"), tells of every
// option the command takes and of no other.
TEST(Manual, EachCommandsEntryDescribesItsOptionsAndNoOthers) {
  const std::vector<std::string> page = ManPage();
  ASSERT_FALSE(page.empty()) << VELMORA_MAN_PAGE;
  std::map<std::string, std::set<std::string>> named;
  for (const Command* command : AllCommands()) {
    named[std::string(command->syntax.name)];
  }
  std::vector<std::string> readers;  // the commands the lines at hand describe
  int depth = 0;                     // of .RS
  auto line = std::find(page.begin(), page.end(), ".SH COMMANDS");
  ASSERT_NE(line, page.end());
  for (++line; line != page.end() && !line->starts_with(".SH"); ++line) {
    depth += *line == ".RS" ? 1 : *line == ".RE" ? -1 : 0;
    if (depth == 0 && *line == ".TP" && line + 1 != page.end() && line[1].starts_with(".B ") &&
        named.contains(line[1].substr(3))) {
      readers = {line[1].substr(3)};
    } else if (line->starts_with(".SS ")) {
      std::istringstream title(line->substr(4));
      readers.clear();
      for (std::string word; title >> word;) {
        std::erase(word, ',');
        if (named.contains(word)) {
          readers.push_back(word);
        }
      }
    }
    for (const std::string& reader : readers) {
      OptionsOf(*line, named[reader]);
    }
  }
  for (const Command* command : AllCommands()) {
    std::set<std::string> takes;
    std::set<std::string> missing;
    std::set<std::string>& told = named[std::string(command->syntax.name)];
    for (const OptionSpec& option : command->syntax.options) {
      takes.insert({std::string(option.name), std::string(option.short_name)});
      if (!told.contains(std::string(option.name)) &&
          !told.contains(std::string(option.short_name))) {
        missing.emplace(option.name);
      }
    }
    std::erase_if(told, [&](const std::string& word) { return takes.contains(word); });
    EXPECT_EQ(missing, std::set<std::string>{}) << command->syntax.name << " leaves out";
    EXPECT_EQ(told, std::set<std::string>{}) << command->syntax.name << " does not take";
  }
}

TEST(Help, EachWorkedExampleIsWhatTheCommandPrints) {
  const std::string road =
      "start,end,start_radius,end_radius,start_azimuth,x,y\n0,100,0,0,0,1000,500\n"
      "100,164,0,100,,,\n";
  int examples = 0;
  for (const std::string command : {"check", "stakeout", "locate"}) {
    const std::string help = RunCli({command, "--help"}).out;
    const std::size_t at = help.find("  $ velmora-cli " + command + " ");
    ASSERT_NE(at, std::string::npos) << command;
    std::vector<std::string> lines;
    for (std::size_t from = at; from < help.size() && help.compare(from, 2, "  ") == 0;) {
      const std::size_t end = help.find('\n', from);
      lines.push_back(help.substr(from + 2, end - from - 2));
      from = end + 1;
    }
    std::vector<std::string> args;
    std::istringstream words(lines[0].substr(std::string("$ velmora-cli ").size()));
    for (std::string word; words >> word;) {
      args.push_back(word);
    }
    const auto printed = Lines(WithFiles(args, {{"road.csv", road}}).out);
    ASSERT_EQ(printed.size(), lines.size() - 1) << lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::string& shown = lines[i];
      if (shown.ends_with("...")) {
        EXPECT_TRUE(printed[i - 1].starts_with(shown.substr(0, shown.size() - 3))) << shown;
      } else {
        EXPECT_EQ(printed[i - 1], shown);
      }
    }
    ++examples;
  }
  EXPECT_EQ(examples, 3);
}

TEST(AppendFixed, AsToCharsWritesEveryValueWithoutANegativeZero) {
  std::mt19937_64 random(15);
  const auto expected = [](double value, int decimals) {
    char buffer[400];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals)
            .ptr;
    std::string text(buffer, end);
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) {
      text.erase(0, 1);
    }
    return text;
  };
  // Ties and near ties (0.125, x.xxxx5), and values of every magnitude.
  std::vector<double> values = {0.0,        -0.0,    0.125,      -0.125,
                                2.5,        0.5,     1e15 + 0.5, 4503599627370495.5,
                                1234.56785, 0.00005, -0.00004,   1e300};
  for (int i = 0; i < 20000; ++i) {
    const int exponent = static_cast<int>(random() % 40) - 20;
    const double mantissa = static_cast<double>(random() >> 11) * 0x1.0p-53;
    values.push_back((i % 2 == 0 ? -1.0 : 1.0) * std::ldexp(mantissa, exponent * 2));
    // Decimal texts, as coordinates are typed.
    values.push_back(static_cast<double>(random() % 100000000) / 10000.0 + 0.00005);
  }
  for (const double value : values) {
    for (int decimals = 0; decimals <= 12; ++decimals) {
      std::string got;
      AppendFixed(got, value, decimals);
      ASSERT_EQ(got, expected(value, decimals)) << value << " to " << decimals;
    }
  }
}

TEST(Stations, ReadAndWrittenPlainlyAndAsKStations) {
  const struct {
    std::string text;
    std::optional<double> value;
  } reads[] = {
      {"1234.5", 1234.5},      {"K1+234.5", 1234.5},
      {"k0+000", 0.0},         {" K12+345.678 ", 12345.678},
      {"-K0+020", -20.0},      {"K1+234.", 1234.0},
      {"-5e2", -500.0},        {"K1+1000", std::nullopt},
      {"K1+", std::nullopt},   {"K+5", std::nullopt},
      {"K1-5", std::nullopt},  {"K1+2e1", std::nullopt},
      {"K1+-5", std::nullopt}, {"KK1+5", std::nullopt},
      {"", std::nullopt},      {"1e999", std::nullopt},
  };
  for (const auto& r : reads) {
    EXPECT_EQ(model::ParseStation(r.text), r.value) << r.text;
  }
  const struct {
    double value;
    int decimals;
    std::string plain, k;
  } writes[] = {
      {1234.5, -1, "1234.5", "K1+234.500"},
      {0.0, -1, "0", "K0+000.000"},
      {-20.0, -1, "-20", "-K0+020.000"},
      {999.9996, -1, "999.9996", "K1+000.000"},
      {12345.678, 1, "12345.7", "K12+345.7"},
      {-0.0001, 2, "0.00", "K0+000.00"},
      {7.25, 0, "7", "K0+007"},
  };
  for (const auto& w : writes) {
    std::string plain, k;
    model::AppendStation(plain, w.value, model::StationFormat::kPlain, w.decimals);
    model::AppendStation(k, w.value, model::StationFormat::kK, w.decimals);
    EXPECT_EQ(plain, w.plain) << w.value;
    EXPECT_EQ(k, w.k) << w.value;
  }
}

// Heights through the commands: the worked vertical curve (PVI K5+030 at
// 427.68, +5 % / -4 %, R 2000) on a road east from K4+900, a superelevation
// run to +4 % on the right, and a crown of -2 % for locate.
TEST(Heights, CurveTableElevationsOffsetsAndFillCut) {
  const std::map<std::string, std::string> files = {
      {"r.csv", "K4+900,K5+200,0,0,90,1000,500\n"},
      {"p.csv", "station,elevation,radius\nK4+900,421.18,\nK5+030,427.68,2000\nK5+200,420.88\n"},
      {"q.csv", "station,elevation,radius\nK4+950,420\nK5+200,421\n"},
      {"c.csv", "station,left,right\nK4+950,-2,-2\nK5+050,-2,4\n"},
      {"pts.csv", "name,x,y,z\nfill,996,600,425.0\ncut,1004,600,425.5\n"}};
  const struct {
    std::vector<std::string> args;
    int status;
    std::string line;  // lines of the output, or the start of the error
  } cases[] = {
      {{"check", "r.csv", "--profile", "p.csv", "--station-format", "k"},
       0,
       "3,K5+030.000,427.6800,5.0000,-4.0000,-0.090000,2000,180.0000,90.0000,2.0250,"
       "K4+940.000,423.1800,K5+120.000,424.0800,crest"},
      // 427.68 - 30 x 0.05 - 60^2/4000 = 425.28; right slope 1 % there.
      {{"stakeout", "r.csv", "--every", "1000", "--at", "5000", "--offset", "-5", "--offset", "5",
        "--profile", "p.csv", "--cross-slopes", "c.csv"},
       0,
       "5000,,1000.0000,600.0000,425.2800,90度0分0秒,90,1005.0000,600.0000,425.1800,995.0000,"
       "600.0000,425.3300"},
      // 4 m right at -2 %: 425.20; dh = 425.20 - 425.0 fill, then 425.5 cut.
      {{"locate", "r.csv", "--points", "pts.csv", "--profile", "p.csv", "--cross-slope", "-2"},
       0,
       "fill,996,600,425.0,5000.0000,4.0000,90度0分0秒,90,1,425.2000,0.2000,\n"
       "cut,1004,600,425.5,5000.0000,-4.0000,90度0分0秒,90,1,425.2000,-0.3000,"},
      {{"stakeout", "r.csv", "--every", "1000", "--at", "5000", "--profile", "p.csv", "--geojson"},
       0,
       "\"coordinates\":[600.0000,1000.0000,425.2800]},\"properties\":{\"station\":\"5000\""},
      {{"stakeout", "r.csv", "--every", "1000", "--profile", "q.csv"},
       1,
       "velmora-cli: station 4900: no design elevation: the profile runs from 4950 to 5200"},
      {{"stakeout", "r.csv", "--every", "100", "--cross-slope", "-2"},
       2,
       "velmora-cli: cross slopes give heights beside the centre line: give --profile FILE"},
  };
  for (const auto& c : cases) {
    const Outcome got = WithFiles(c.args, files);
    EXPECT_EQ(got.status, c.status) << c.args[0] << got.err;
    if (c.status == 0) {
      EXPECT_NE(got.out.find(c.line), std::string::npos) << got.out;
    } else {
      EXPECT_TRUE(got.err.starts_with(c.line)) << got.err;
    }
  }
}

}  // namespace
}  // namespace velmora::cli
