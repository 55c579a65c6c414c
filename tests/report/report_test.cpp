// A front end's string sink gets the console's bytes: the station table
// and a located point of the road of 'velmora-cli check --help' (100 m due
// north from 1000,500, then a spiral to R 100), against rows worked by hand
// on the straight and against the console run in memory.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "model/road.h"
#include "report/geojson.h"
#include "report/locate.h"
#include "report/table.h"
#include "tests/cli/memory_system.h"

namespace velmora::report {
namespace {

constexpr std::string_view kRoad =
    "start,end,start_radius,end_radius,start_azimuth,x,y\n"
    "0,100,0,0,0,1000,500\n"
    "100,164,0,100,,,\n";

std::string Console(std::vector<std::string> args) {
  cli::MemorySystem system;
  system.files["road.csv"] = std::string(kRoad);
  system.files["points.csv"] = "p,1050,503\nq,2000,500\n";
  cli::Run(args, system);
  return system.out;
}

TEST(Report, StringSinkHoldsTheConsolesBytes) {
  const model::Road road = std::get<model::Road>(model::Load(kRoad, "road.csv"));
  TableRequest table;
  table.step = 50;
  table.offsets = {-5};
  table.stations = model::StationFormat::kK;
  LineOut csv;
  EXPECT_TRUE(WriteTableCsv(csv, road, {}, table).messages.empty());
  // Due north: x grows with the station, the left offset is 5 m west.
  EXPECT_TRUE(
      csv.text.starts_with("station,point,x,y,azimuth,packed,x_left_5,y_left_5\n"
                           "K0+000.000,QD,1000.0000,500.0000,0度0分0秒,0,1000.0000,495.0000\n"
                           "K0+050.000,,1050.0000,500.0000,0度0分0秒,0,1050.0000,495.0000\n"));
  EXPECT_EQ(csv.text, Console({"stakeout", "road.csv", "--every", "50", "--offset", "-5",
                               "--station-format", "k"}));

  // 3 m east of station 50 is 3 right; 2000 north is past the end (164).
  LineOut located(true);
  const auto gaps = WriteLocateCsv(located, road, {}, {}, "p,1050,503\nq,2000,500\n", "points.csv");
  ASSERT_TRUE(std::holds_alternative<Gaps>(gaps));
  EXPECT_EQ(std::get<Gaps>(gaps).messages,
            std::vector<std::string>{"line 2: beyond the end of the road"});
  EXPECT_EQ(LocateOne(road, {}, {}, {"p", "1050", "503", {}}).line,
            "p,1050,503,50.0000,3.0000,0度0分0秒,0,1,");
  std::string console = Console({"locate", "road.csv", "--points", "points.csv", "--bom"});
  console.erase(0, 3);  // the byte-order mark, which goes with --bom's CR LF line ends
  EXPECT_EQ(located.text, console);
}

// A request the console refuses writes nothing, and says why as it does.
TEST(Report, RefusedTableWritesNothing) {
  const model::Road road = std::get<model::Road>(model::Load(kRoad, "road.csv"));
  // 164 m at 2^-16 m: 164 * 65536 multiples, 1 stretch, 2 elements and the end.
  const struct {
    double step;
    std::vector<double> at;
    std::string message;
  } cases[] = {
      {0, {}, "--every 0 is not a step along the road; give one above 0"},
      {10, {99999}, "station 99999 of --at is not on the road, which runs from 0 to 164"},
      {0x1p-16,
       {},
       "--every 0.0000152587890625 asks for up to 10747908 rows, more than "
       "10000000; choose a longer step"},
  };
  for (const auto& c : cases) {
    TableRequest request;
    request.step = c.step;
    request.at = c.at;
    request.step_text = c.step == 0x1p-16 ? "0.0000152587890625" : "";
    LineOut csv, geojson;
    EXPECT_EQ(WriteTableCsv(csv, road, {}, request).messages, std::vector{c.message});
    EXPECT_EQ(WriteTableGeoJson(geojson, road, {}, request, "").messages, std::vector{c.message});
    EXPECT_EQ(csv.text + geojson.text, "");
  }
}

}  // namespace
}  // namespace velmora::report
