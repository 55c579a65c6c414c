#include "window/calculate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/memory_form.h"

namespace velmora {
namespace {

using Inputs = std::array<std::string, 6>;

constexpr const char* kBadAngle = "角度输入有误，请重新输入。";
constexpr const char* kLower = "计算点桩号不能小于起点桩号，请重新输入。";
constexpr const char* kUpper = "计算点桩号不能大于终点桩号，请重新输入。";
constexpr const char* kEmpty = "输入数据不能为空";
constexpr const char* kCannot = "无法计算，请检查桩号和半径。";

MemoryForm FormWith(const Inputs& inputs) {
  MemoryForm form;
  form.Fill(inputs);
  return form;
}

TEST(Calculate, WorkedResults) {
  const struct {
    Inputs inputs;
    const char* result;
  } cases[] = {
      {{"0", "100", "0", "200", "50", "0"}, "3度34分51.6秒"},
      {{"1000", "1200", "500", "500", "1100", "45.3015"}, "56度57分48秒"},
      {{"500", "560", "300", "0", "560", "90"}, "95度43分46.5秒"},
      {{"0", "100", "0", "0", "0", "360"}, "360度0分0秒"},      // 360 itself passes
      {{"0", "100", "0", "0", "100", "-5.3"}, "354度30分0秒"},  // no lower bound
  };
  for (const auto& c : cases) {
    MemoryForm form = FormWith(c.inputs);
    Calculate(form);
    EXPECT_EQ(form[Field::Textcia], c.result) << c.inputs[5];
    EXPECT_TRUE(form.messages().empty());
    for (std::size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(form[kInputFields[i]], c.inputs[i]) << "input fields are left as typed";
    }
  }
}

TEST(Calculate, PointAtEitherEndIsAccepted) {
  for (const char* point : {"1000", "1200"}) {
    MemoryForm form = FormWith({"1000", "1200", "500", "500", point, "45"});
    Calculate(form);
    EXPECT_FALSE(form[Field::Textcia].empty()) << point;
    EXPECT_TRUE(form.messages().empty()) << point;
  }
}

// What each refusal shows, which field it empties, and in what order.
TEST(Calculate, RefusalsShowTheirMessageAndEmptyTheFieldToBlame) {
  const struct {
    const char* what;
    Inputs inputs;
    std::vector<std::string> log;  // after "set Textcia="
  } cases[] = {
      {"two empty fields: one message, nothing emptied",
       {"", "100", "0", "", "50", "0"},
       {std::string("box ") + kEmpty}},
      {"empty field before a bad radius",
       {"", "100", "-", "0", "50", "0"},
       {std::string("box ") + kEmpty}},
      {"start radius not a number: emptied silently",
       {"0", "100", "-", "0", "50", "0"},
       {"set Textra=", "change Textra", "set Textra="}},
      {"both radii bad: only the start radius goes",
       {"0", "100", "1..2", "x", "50", "0"},
       {"set Textra=", "change Textra", "set Textra="}},
      {"end radius not a number",
       {"0", "100", "0", "-", "50", "0"},
       {"set Textrb=", "change Textrb", "set Textrb="}},
      {"point one unit before the start: emptied, then the box",
       {"100", "200", "0", "0", "99", "0"},
       {"set Textki=", "change Textki", std::string("box ") + kLower}},
      {"point after the end",
       {"100", "200", "0", "0", "200.001", "0"},
       {"set Textki=", "change Textki", std::string("box ") + kUpper}},
      {"start after end, point below the start",
       {"200", "100", "0", "0", "150", "0"},
       {"set Textki=", "change Textki", std::string("box ") + kLower}},
      {"start after end, point at the start",
       {"200", "100", "0", "0", "200", "0"},
       {"set Textki=", "change Textki", std::string("box ") + kUpper}},
      {"start azimuth above 360: the box, then emptied",
       {"0", "100", "0", "0", "50", "360.0001"},
       {std::string("box ") + kBadAngle, "set Textca=", "change Textca"}},
      {"infinite start azimuth",
       {"0", "100", "0", "0", "50", "1e999"},
       {std::string("box ") + kBadAngle, "set Textca=", "change Textca"}},
      {"75 minutes: the conversion's box, nothing emptied",
       {"0", "100", "0", "0", "50", "30.75"},
       {std::string("box ") + kBadAngle}},
      {"negative angle with 75 minutes",
       {"0", "100", "0", "0", "50", "-45.75"},
       {std::string("box ") + kBadAngle}},
      {"equal stations: cannot calculate, nothing emptied",
       {"100", "100", "500", "500", "100", "45"},
       {std::string("box ") + kCannot}},
      {"radius too small to invert",
       {"0", "100", "1e-309", "0", "50", "45"},
       {std::string("box ") + kCannot}},
      {"azimuth too large for degrees",
       {"0", "1e300", "1e-7", "1e-7", "1e300", "0"},
       {std::string("box ") + kCannot}},
  };
  for (const auto& c : cases) {
    MemoryForm form = FormWith(c.inputs);
    form.Put(Field::Textcia, "old result");
    form.StartLog();
    Calculate(form);
    std::vector<std::string> expected = {"set Textcia=", "change Textcia"};
    expected.insert(expected.end(), c.log.begin(), c.log.end());
    EXPECT_EQ(form.log(), expected) << c.what;
    EXPECT_EQ(form[Field::Textcia], "") << c.what;
    EXPECT_LE(form.messages().size(), 1U) << c.what;
    for (const auto& message : form.messages()) {
      EXPECT_EQ(message.title, "提示信息");
      EXPECT_EQ(message.style, 64);
    }
  }
}

TEST(Calculate, KeepsTheStationFieldsItDoesNotCheckAsTheyAre) {
  // Text the change rule would have kept out of a station field is read for
  // its leading number and never emptied by the command.
  MemoryForm form;
  form.Fill({"0abc", "100", "0", "200", "50", "0"});
  Calculate(form);
  EXPECT_EQ(form[Field::Textcia], "3度34分51.6秒");
  EXPECT_EQ(form[Field::Textka], "0abc");
}

TEST(Calculate, RunsAgainFromTheFieldsAlone) {
  MemoryForm form = FormWith({"0", "100", "0", "200", "50", "0"});
  Calculate(form);
  Calculate(form);
  EXPECT_EQ(form[Field::Textcia], "3度34分51.6秒");
  form.Put(Field::Textki, "150");
  Calculate(form);
  EXPECT_EQ(form[Field::Textcia], "");
  EXPECT_EQ(form[Field::Textki], "");
}

}  // namespace
}  // namespace velmora
