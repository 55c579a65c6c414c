// The road window's logic: its settings fields, the table model's cells and
// copies, the plan's transform and drawing, the Chinese load messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <variant>

#include "model/road.h"
#include "roadwindow/document.h"
#include "roadwindow/messages.h"
#include "roadwindow/plan.h"
#include "roadwindow/settings.h"
#include "roadwindow/table_model.h"

namespace velmora::roadwindow {
namespace {

TEST(Settings, FieldsReadOrNameTheFieldAtFault) {
  struct Case {
    SettingsText text;
    std::optional<SettingField> wrong;
    double step;
    std::vector<double> offsets, at;
    int decimals;
  };
  const Case cases[] = {
      {{"20", "", "", true, "4"}, {}, 20, {}, {}, 4},
      {{" 0.5 ", "-5 5", "K0+015，120.5", false, "0"}, {}, 0.5, {-5, 5}, {15, 120.5}, 0},
      {{"1e1", "-7.5、2;3", " k1+000 ", true, "12"}, {}, 10, {-7.5, 2, 3}, {1000}, 12},
      {{"0", "", "", true, "4"}, SettingField::kStep, 0, {}, {}, 0},
      {{"-1", "", "", true, "4"}, SettingField::kStep, 0, {}, {}, 0},
      {{"1e999", "", "", true, "4"}, SettingField::kStep, 0, {}, {}, 0},
      {{"20", "5 x", "", true, "4"}, SettingField::kOffsets, 0, {}, {}, 0},
      {{"20", "", "K1+1000", true, "4"}, SettingField::kAt, 0, {}, {}, 0},
      {{"20", "", "", true, "13"}, SettingField::kDecimals, 0, {}, {}, 0},
      {{"20", "", "", true, "2.5"}, SettingField::kDecimals, 0, {}, {}, 0},
      {{"20", "", "", true, ""}, SettingField::kDecimals, 0, {}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.step + "|" + c.text.offsets + "|" + c.text.at + "|" + c.text.decimals);
    const auto read = ReadSettings(c.text);
    if (c.wrong) {
      ASSERT_TRUE(std::holds_alternative<SettingsError>(read));
      EXPECT_EQ(std::get<SettingsError>(read).field, *c.wrong);
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<TableSettings>(read));
    const TableSettings& s = std::get<TableSettings>(read);
    EXPECT_EQ(s.step, c.step);
    EXPECT_EQ(s.offsets, c.offsets);
    EXPECT_EQ(s.at, c.at);
    EXPECT_EQ(s.decimals, c.decimals);
    EXPECT_EQ(s.stations,
              c.text.k_stations ? model::StationFormat::kK : model::StationFormat::kPlain);
  }
  const auto step = std::get<SettingsError>(ReadSettings({"abc", "", "", true, "4"}));
  EXPECT_EQ(step.message, "间距应为大于 0 的数（如 20），而不是“abc”");
}

TEST(TableModel, CellsAndCopiesOfTheCsv) {
  TableModel table;
  table.Reset("\xEF\xBB\xBFstation,point,x\r\nK0+000,QD,1000\r\n\"a,b\",\"say \"\"hi\"\"\",\n20\n");
  EXPECT_EQ(table.Header(), (std::vector<std::string>{"station", "point", "x"}));
  ASSERT_EQ(table.Rows(), 3u);
  struct Cell {
    std::size_t row, column;
    std::string text;
  };
  for (const Cell& c :
       {Cell{0, 0, "K0+000"}, Cell{0, 2, "1000"}, Cell{1, 0, "a,b"}, Cell{1, 1, "say \"hi\""},
        Cell{1, 2, ""}, Cell{2, 0, "20"}, Cell{2, 1, ""}, Cell{3, 0, ""}}) {
    EXPECT_EQ(table.Cell(c.row, c.column), c.text) << c.row << "," << c.column;
  }
  const std::size_t rows[] = {2, 0};
  EXPECT_EQ(table.CopyRows(rows), "station\tpoint\tx\r\n20\r\nK0+000\tQD\t1000\r\n");
  table.Reset("a\tb,c\n");  // a tab inside a cell keeps the row one line
  EXPECT_EQ(table.Rows(), 0u);
  EXPECT_EQ(table.CopyRows({}), "a b\tc\r\n");
  table.Clear();
  EXPECT_EQ(table.Columns(), 0u);
}

TEST(PlanTransform, FitZoomAndPanKeepTheGroundWhereTheyShould) {
  // 100 north by 200 east in a 420 x 220 window less 10 a side: 2 pixels a
  // unit (the height binds), centre (1050, 600) at the window's centre.
  Extent extent;
  extent.Add({1000, 500});
  extent.Add({1100, 700});
  PlanTransform t;
  t.Fit(extent, 420, 220, 10);
  EXPECT_EQ(t.scale(), 2.0);
  struct Seen {
    road::Point ground;
    double u, v;
  };
  const auto expect = [&t](std::initializer_list<Seen> seen) {
    for (const Seen& s : seen) {
      const ScreenPoint p = t.ToScreen(s.ground);
      EXPECT_NEAR(p.u, s.u, 1e-9);
      EXPECT_NEAR(p.v, s.v, 1e-9);
      const road::Point back = t.ToGround(p);
      EXPECT_NEAR(back.x, s.ground.x, 1e-9);
      EXPECT_NEAR(back.y, s.ground.y, 1e-9);
    }
  };
  expect({{{1050, 600}, 210, 110}, {{1100, 500}, 10, 10}, {{1000, 700}, 410, 210}});
  t.ZoomAbout({10, 10}, 2.0);  // (1100, 500) stays; 4 pixels a unit
  expect({{{1100, 500}, 10, 10}, {{1050, 600}, 410, 210}});
  t.Pan(5, -3);
  expect({{{1100, 500}, 15, 7}, {{1050, 600}, 415, 207}});
  t.ZoomAbout({0, 0}, 1e30);
  EXPECT_EQ(t.scale(), PlanTransform::kMostScale);
}

TEST(DrawRoad, ElementsOffsetLinesAndMainPoints) {
  // North 100 from (1000, 500), then east 100: a JD between two straights.
  auto loaded = model::Load("0,100,0,0,0,1000,500\n100,200,0,0,90,,\n", "r.csv");
  ASSERT_TRUE(std::holds_alternative<model::Road>(loaded));
  const road::Alignment& alignment = std::get<model::Road>(loaded).alignment;
  const PlanDrawing d = DrawRoad(alignment, {5}, 0.01, model::StationFormat::kK, 3);
  EXPECT_TRUE(d.complete);
  ASSERT_EQ(d.lines.size(), 4u);
  EXPECT_EQ(d.lines[0].colour, kStraightColour);
  EXPECT_FALSE(d.lines[1].offset_line);
  EXPECT_TRUE(d.lines[2].offset_line);
  EXPECT_EQ(d.lines[2].colour, kOffsetColour);
  EXPECT_NEAR(d.lines[2].points.front().y, 505, 1e-9);  // 5 right of a line going north
  EXPECT_NEAR(d.lines[3].points.back().x, 1095, 1e-9);  // 5 right of a line going east
  struct Main {
    double x, y;
    std::string code, station;
  };
  const Main want[] = {{1000, 500, "QD", "K0+000.000"},
                       {1100, 500, "JD", "K0+100.000"},
                       {1100, 600, "ZD", "K0+200.000"}};
  ASSERT_EQ(d.points.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(d.points[i].at.x, want[i].x, 1e-9);
    EXPECT_NEAR(d.points[i].at.y, want[i].y, 1e-9);
    EXPECT_EQ(d.points[i].code, want[i].code);
    EXPECT_EQ(d.points[i].station, want[i].station);
  }
  EXPECT_NEAR(d.extent.min_x, 1000, 1e-9);
  EXPECT_NEAR(d.extent.max_y, 600, 1e-9);  // the offset lines stay inside
  EXPECT_NEAR(d.extent.min_y, 500, 1e-9);
}

TEST(TableCsv, TheWindowHoldsAtMostAMillionRows) {
  // 200 long: a step of 0.0002 gives 1,000,000 multiples, plus the
  // boundaries; 0.0004 half as many.
  auto loaded = LoadRoad("0,100,0,0,0,1000,500\n100,200,0,0,90,,\n", "r.csv");
  ASSERT_TRUE(std::holds_alternative<OpenRoad>(loaded));
  TableSettings settings;
  settings.step = 0.0002;
  const Output refused = TableCsv(std::get<OpenRoad>(loaded), settings);
  ASSERT_TRUE(refused.refusal.has_value());
  EXPECT_EQ(*refused.refusal,
            "间距 0.0002 会得到约 1000004 行，窗口最多显示 1000000 行；请加大间距，或用 "
            "velmora-cli stakeout 输出");
  settings.step = 50;
  const Output table = TableCsv(std::get<OpenRoad>(loaded), settings);
  EXPECT_FALSE(table.refusal.has_value());
  EXPECT_EQ(table.bytes.substr(0, 3), "\xEF\xBB\xBF");  // 5 rows, CR LF
  EXPECT_EQ(std::count(table.bytes.begin(), table.bytes.end(), '\n'), 6);
  EXPECT_EQ(std::count(table.bytes.begin(), table.bytes.end(), '\r'), 6);
}

// A LandXML road brings its own design profile into the window, the one
// chosen where it holds several: Design B rises 10 over 1000 from 50, so
// the table's h at station 1500 is 55, worked by hand.
TEST(LoadRoad, ALandXmlRoadsOwnProfileIsTheWindows) {
  constexpr std::string_view kXml =
      R"(<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
<Alignments><Alignment name="Main" length="1000" staStart="1000"><CoordGeom>
<Line length="1000"><Start>5000 2000</Start><End>6000 2000</End></Line></CoordGeom>
<Profile><ProfAlign name="Design A"><PVI>1000 100</PVI><PVI>2000 110</PVI></ProfAlign>
<ProfAlign name="Design B"><PVI>1000 50</PVI><PVI>2000 60</PVI></ProfAlign></Profile>
</Alignment></Alignments></LandXML>)";
  const LandXmlChoices choices = ChoicesOf(kXml);
  EXPECT_EQ(choices.alignments, std::vector<std::string>{"Main"});
  ASSERT_EQ(choices.profiles.size(), 1u);
  EXPECT_EQ(choices.profiles[0], (std::vector<std::string>{"Design A", "Design B"}));
  EXPECT_TRUE(std::holds_alternative<model::LoadError>(LoadRoad(kXml, "two.xml")));
  auto loaded = LoadRoad(kXml, "two.xml", std::nullopt, std::string("Design B"));
  ASSERT_TRUE(std::holds_alternative<OpenRoad>(loaded));
  const OpenRoad& open = std::get<OpenRoad>(loaded);
  EXPECT_EQ(open.profile_name, "Design B");
  TableSettings settings;
  settings.step = 500;
  settings.stations = model::StationFormat::kPlain;
  const Output table = TableCsv(open, settings);
  EXPECT_NE(table.bytes.find("\n1500,,5500.0000,2000.0000,55.0000,"), std::string::npos)
      << table.bytes;
}

TEST(LoadErrorMessage, EachKindHasItsOwnSentenceAndThePlace) {
  using Kind = model::LoadError::Kind;
  std::set<std::string_view> sentences;
  for (const Kind kind :
       {Kind::kUnreadable, Kind::kTooLarge, Kind::kEncoding, Kind::kElementFile, Kind::kJoin,
        Kind::kLandXml, Kind::kAlignment, Kind::kWrongOption, Kind::kHeightFile}) {
    EXPECT_TRUE(sentences.insert(KindSentence(kind)).second);
  }
  model::LoadError error;
  error.file = "r.csv";
  EXPECT_EQ(PlaceText(error), "");
  error.element = 2;
  EXPECT_EQ(PlaceText(error), "元素 3");
  error.line = 7;
  EXPECT_EQ(PlaceText(error), "第 7 行");

  // A real refusal: the second line's end is not after its start.
  const auto loaded = model::Load("0,100,0,0,0,1000,500\n100,90,0,0\n", "坏.csv");
  ASSERT_TRUE(std::holds_alternative<model::LoadError>(loaded));
  const auto& refused = std::get<model::LoadError>(loaded);
  const std::string text = LoadErrorMessage(refused);
  EXPECT_EQ(text.substr(0, text.find("\n\n")),
            "文件：坏.csv\n位置：第 2 行\n原因：元素文件中有一行无法读取。请按提示改正该行。");
  EXPECT_EQ(text.substr(text.find("\n\n") + 2), refused.Text());
}

}  // namespace
}  // namespace velmora::roadwindow
