// The console program run in memory: its answers against Form1's, its
// refusals, the stake-out table and the CSV reader and writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "arith/angle.h"
#include "cli/commands.h"
#include "tests/cli/memory_system.h"
#include "text/csv.h"
#include "text/numtext.h"
#include "text/text.h"
#include "window/calculate.h"
#include "window/memory_form.h"

namespace velmora::cli {
namespace {

TEST(Calc, WorkedResultsAndEveryRefusalWithItsExitStatus) {
  const struct {
    std::vector<std::string> args;
    std::string out, err;
    int status;
  } cases[] = {
      {{"0", "100", "0", "200", "50", "0"}, "3度34分51.6秒\n", "", 0},
      {{"1000", "1200", "500", "500", "1100", "45.3015"}, "56度57分48秒\n", "", 0},
      {{"500", "560", "300", "0", "560", "90"}, "95度43分46.5秒\n", "", 0},
      {{"--", "1000", "1200", "500", "500", "1100", "45.3015"}, "56度57分48秒\n", "", 0},
      {{"0", "100", "0", "200", "101", "0"}, "", std::string(kPointAfterEndPrompt) + "\n", 1},
      {{"0", "100", "0", "200", "-1", "0"}, "", std::string(kPointBeforeStartPrompt) + "\n", 1},
      {{"", "100", "-", "200", "50", "0"}, "", std::string(kEmptyInputPrompt) + "\n", 1},
      {{"0", "100", "-", "-", "50", "0"}, "", "起点半径不是数字。\n", 1},
      {{"0", "100", "0", "-", "50", "0"}, "", "终点半径不是数字。\n", 1},
      {{"0", "100", "0", "0", "50", "360.0001"}, "", "角度输入有误，请重新输入。\n", 1},
      {{"0", "100", "0", "0", "50", "30.75"}, "", "角度输入有误，请重新输入。\n", 1},
      {{"100", "100", "0", "0", "100", "0"}, "", std::string(kCannotCalculatePrompt) + "\n", 1},
      {{"12a", "100", "0", "0", "50", "0"}, "", "起点桩号不是数字：\"12a\"\n", 2},
      {{"0", "100", "--", "0", "50", "0"}, "", "起点半径不是数字：\"--\"\n", 2},
      {{"0", "100", "0", "0", "-", "0"}, "", "计算点桩号不是数字：\"-\"\n", 2},
      {{"0", "100", "0", "0", "50", "a\n\"\xff"}, "", "起点方位角不是数字：\"a\\n\\\"\\xff\"\n", 2},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"calc"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Outcome got = RunCli(args);
    EXPECT_EQ(got.out, c.out) << c.args[0] << " " << c.args[4];
    EXPECT_EQ(got.err, c.err) << c.args[0] << " " << c.args[4];
    EXPECT_EQ(got.status, c.status) << c.args[0] << " " << c.args[4];
  }
}

TEST(Calc, CommandLineMistakesGiveTheUsageAndStatusTwo) {
  const std::vector<std::vector<std::string>> mistakes = {
      {},
      {"calc", "1", "2", "3", "4", "5"},
      {"calc", "1", "2", "3", "4", "5", "6", "7"},
      {"--frob"},
      {"frob"},
      {"csv", "--frob"},
      {"table", "--start"}};
  for (const auto& args : mistakes) {
    const Outcome got = RunCli(args);
    EXPECT_EQ(got.status, 2) << args.size();
    EXPECT_NE(got.err.find("usage: velmora-cli"), std::string::npos) << got.err;
    EXPECT_EQ(got.out, "");
  }
  EXPECT_EQ(RunCli({"--version"}).out, "velmora-cli 1.00\n");
  const Outcome help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("table --start S"), std::string::npos);
}

// Texts a person types or pastes, numbers at the edges of every check among
// them.
std::string RandomText(std::mt19937_64& random, std::size_t field) {
  static const std::vector<std::string> odd = {
      "",      "-",     "--",       "12a",   " 12 ",     "+5",    "5.",  ".5",
      "1e",    "1e999", "-1e999",   "-0",    "0x10",     "一二",  "1,5", "4e-324",
      "1e308", "360",   "360.0001", "30.75", "-45.3015", "1.2.3", "\t7"};
  const auto whole = [&random](int n) {
    return static_cast<int>(random() % static_cast<unsigned>(n));
  };
  if (whole(6) == 0) {
    return odd[static_cast<std::size_t>(whole(static_cast<int>(odd.size())))];
  }
  const double scale = field == 5 ? 400.0 : 2000.0;
  const double value = (static_cast<double>(random() >> 11) * 0x1.0p-53 - 0.2) * scale;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", whole(5), value);
  return buf;
}

// Random texts: each is refused with the name of the first field that would
// not keep it (exit 2), or answered as the window answers the six texts left
// in its fields: its result (exit 0) or its message (exit 1).
TEST(Calc, RandomTextsGetTheWindowsAnswerOrNameTheFieldThatRefusesThem) {
  const char* const captions[] = {"起点桩号", "终点桩号",   "起点半径",
                                  "终点半径", "计算点桩号", "起点方位角"};
  std::mt19937_64 random(20261208);
  int answered = 0;
  int refused = 0;
  int not_kept = 0;
  for (int n = 0; n < 4000; ++n) {
    std::array<std::string, kInputFields.size()> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      texts[i] = RandomText(random, i);
    }
    if (n % 3 == 0) {  // a point inside the element, so that results are common
      texts[0] = "100";
      texts[1] = "900";
      texts[4] = std::to_string(100 + n % 800);
    }
    std::vector<std::string> args = {"calc", "--"};
    args.insert(args.end(), texts.begin(), texts.end());
    const Outcome got = RunCli(args);
    std::string context;
    for (const std::string& t : texts) {
      context += "[" + t + "]";
    }

    // A field keeps a number or nothing, a radius field also a lone "-".
    std::size_t first_not_kept = texts.size();
    for (std::size_t i = 0; i < texts.size() && first_not_kept == texts.size(); ++i) {
      const bool radius = i == 2 || i == 3;
      if (!(texts[i].empty() || IsNumber(texts[i]) || (radius && texts[i] == "-"))) {
        first_not_kept = i;
      }
    }
    if (first_not_kept < texts.size()) {
      ++not_kept;
      EXPECT_EQ(got.status, 2) << context;
      EXPECT_EQ(got.out, "") << context;
      EXPECT_TRUE(got.err.starts_with(std::string(captions[first_not_kept]) + "不是数字：\""))
          << context << " " << got.err;
      continue;
    }

    MemoryForm window;
    window.Fill(texts);
    window.Click();
    const std::string& result = window[Field::Textcia];
    if (!result.empty()) {
      ++answered;
      EXPECT_EQ(got.status, 0) << context;
      EXPECT_EQ(got.out, result + "\n") << context;
      EXPECT_EQ(got.err, "") << context;
      continue;
    }
    ++refused;
    EXPECT_EQ(got.status, 1) << context;
    EXPECT_EQ(got.out, "") << context;
    if (!window.messages().empty()) {
      EXPECT_EQ(got.err, window.messages().front().prompt + "\n") << context;
    } else {
      // Only a radius emptied without a word leaves no result and no box.
      EXPECT_EQ(got.err, texts[2] == "-" ? "起点半径不是数字。\n" : "终点半径不是数字。\n")
          << context;
    }
  }
  // Every way out is taken often.
  EXPECT_GT(answered, 400);
  EXPECT_GT(refused, 400);
  EXPECT_GT(not_kept, 400);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

TEST(Table, EachRowIsTheWindowsAnswerAtThatStation) {
  const struct {
    std::string start, end, ra, rb, ca, every;
    std::vector<std::string> at;
    std::vector<std::string> stations;
  } cases[] = {
      {"0", "100", "0", "0", "90", "20", {}, {"0", "20", "40", "60", "80", "100"}},
      {"1000",
       "1200",
       "500",
       "500",
       "45.3015",
       "30",
       {},
       {"1000", "1020", "1050", "1080", "1110", "1140", "1170", "1200"}},
      {"0", "64", "0", "100", "45.3015", "32", {}, {"0", "32", "64"}},
      {"500",
       "560",
       "300",
       "-800",
       "90",
       "25",
       {"512.5", "500", "550"},
       {"500", "512.5", "525", "550", "560"}},
      {"0", "0.5", "-200", "-200", "10", "0.1", {}, {"0", "0.1", "0.2", "0.3", "0.4", "0.5"}},
      {"-10", "15", "0", "300", "0", "20", {}, {"-10", "0", "15"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"table", "--start",         c.start, "--end",
                                     c.end,   "--start-radius",  c.ra,    "--end-radius",
                                     c.rb,    "--start-azimuth", c.ca,    "--every=" + c.every};
    for (const std::string& at : c.at) {
      args.insert(args.end(), {"--at", at});
    }
    const Outcome got = RunCli(args);
    ASSERT_EQ(got.status, 0) << got.err;
    const std::vector<std::string> lines = Lines(got.out);
    ASSERT_EQ(lines.size(), c.stations.size() + 1) << got.out;
    EXPECT_EQ(lines[0], "station,azimuth,packed");
    for (std::size_t i = 0; i < c.stations.size(); ++i) {
      // Each row is what calc says at its station.
      const Outcome calc = RunCli({"calc", "--", c.start, c.end, c.ra, c.rb, c.stations[i], c.ca});
      ASSERT_EQ(calc.status, 0) << c.stations[i];
      const std::string azimuth = calc.out.substr(0, calc.out.size() - 1);
      EXPECT_EQ(lines[i + 1], c.stations[i] + "," + azimuth + "," + *PackedFromDisplay(azimuth));
    }
  }
}

TEST(Table, ASpiralWorkedByHand) {
  // From a straight into a radius of 100 over 64: curvature 0 to 0.01, so
  // the tangent turns by d^2 / 12800 radians after d. At 32: 0.08 rad =
  // 4°35'01.18"; at 50: 0.1953125 rad = 11°11'26.10"; at 64: 0.32 rad =
  // 18°20'04.74"; each added to 45°30'15".
  const Outcome got =
      RunCli({"table", "--start", "0", "--end", "64", "--start-radius", "0", "--end-radius", "100",
              "--start-azimuth", "45.3015", "--every", "32", "--at", "50"});
  EXPECT_EQ(got.status, 0);
  EXPECT_EQ(got.out,
            "station,azimuth,packed\n"
            "0,45度30分15秒,45.3015\n"
            "32,50度5分16.2秒,50.05162\n"
            "50,56度41分41.1秒,56.41411\n"
            "64,63度50分19.7秒,63.50197\n");
  EXPECT_EQ(got.err, "");
}

TEST(Table, RefusalsAndImpossibleSteps) {
  const std::vector<std::string> element = {"table", "--start",         "0", "--end",
                                            "100",   "--start-radius",  "0", "--end-radius",
                                            "0",     "--start-azimuth", "45"};
  const auto with = [&element](std::vector<std::string> more) {
    std::vector<std::string> args = element;
    args.insert(args.end(), more.begin(), more.end());
    return RunCli(args);
  };
  for (const std::string step : {"0", "-5", "abc", "1e999", "", "0.000001"}) {
    const Outcome got = with({"--every", step});
    EXPECT_EQ(got.status, 2) << step;
    EXPECT_EQ(got.out, "") << step;
  }
  EXPECT_EQ(with({"--every", "10", "--every", "5"}).status, 2);
  EXPECT_EQ(with({"--every", "10", "--at", "x"}).err, "计算点桩号不是数字：\"x\"\n");
  // A station outside the element: its row has no azimuth, the rest stand.
  const Outcome outside = with({"--every", "50", "--at", "150"});
  EXPECT_EQ(outside.status, 1);
  EXPECT_EQ(Lines(outside.out).size(), 5U);
  EXPECT_EQ(Lines(outside.out).back(), "150,,");
  EXPECT_EQ(outside.err, std::string("150: ") + kPointAfterEndPrompt + "\n");
  // What the window says at the start it says everywhere: no table.
  std::vector<std::string> bad_angle = element;
  bad_angle[10] = "400";
  bad_angle.insert(bad_angle.end(), {"--every", "10"});
  const Outcome refused = RunCli(bad_angle);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "角度输入有误，请重新输入。\n");
}

struct CsvCase {
  const char* name;
  std::string input;
  std::string output;
  int status;
};

TEST(Csv, HeaderQuotesAndEveryKindOfBadLine) {
  const std::string answer = ",56度57分48秒,";
  const std::string row = "1000,1200,500,500,1100,45.3015";
  const CsvCase cases[] = {
      {"header copied", "start,end,start_radius,end_radius,point,start_azimuth\n" + row + "\n",
       "start,end,start_radius,end_radius,point,start_azimuth,azimuth,message\n" + row + answer +
           "\n",
       0},
      {"quotes, CRLF, no last line end", "\"1000\",\"1200\",500,500,1100,\"45.3015\"\r\n" + row,
       row + answer + "\n" + row + answer + "\n", 0},
      {"byte-order mark and blank lines", "\xEF\xBB\xBF" + row + "\n\n\r\n" + row + "\n",
       row + answer + "\n" + row + answer + "\n", 0},
      {"refusals", "0,100,0,200,101,0\n1,5,\"1,5\",0,0,0\n",
       "0,100,0,200,101,0,," + std::string(kPointAfterEndPrompt) +
           "\n1,5,\"1,5\",0,0,0,,\"起点半径不是数字：\"\"1,5\"\"\"\n",
       1},
      {"a carriage return inside a field is quoted", "0,100,0,200,5\r0,0\n",
       "0,100,0,200,\"5\r0\",0,,\"计算点桩号不是数字：\"\"5\\x0d0\"\"\"\n", 1},
      {"wrong field count", "1,2,3\n" + row + ",7\n",
       ",,,,,,,第1行有3个字段，应为6个。\n,,,,,,,第2行有7个字段，应为6个。\n", 1},
      {"bad quoting", "\"1000,1200,500,500,1100,0\n10\"00,1200,500,500,1100,0\n\"1\"x,2,3,4,5,6\n",
       ",,,,,,,第1行的引号有误。\n,,,,,,,第2行的引号有误。\n,,,,,,,第3行的引号有误。\n", 1},
      {"not UTF-8", "1000,1200,500,500,1100,\xC0\xAF\n" + row + "\n",
       ",,,,,,,第1行不是UTF-8文本。\n" + row + answer + "\n", 1},
      {"too long", std::string(70000, '1') + "\n" + row + "\n",
       ",,,,,,,第1行超过65536字节。\n" + row + answer + "\n", 1},
      {"header later is a bad line",
       row + "\nstart,end,start_radius,end_radius,point,start_azimuth\n",
       row + answer + "\n" +
           "start,end,start_radius,end_radius,point,start_azimuth,,"
           "\"起点桩号不是数字：\"\"start\"\"\"\n",
       1},
  };
  for (const CsvCase& c : cases) {
    MemorySystem system;
    system.files["in.csv"] = c.input;
    const Outcome got = RunCli({"csv", "in.csv"}, system);
    EXPECT_EQ(got.out, c.output) << c.name;
    EXPECT_EQ(got.status, c.status) << c.name;
  }
}

TEST(Csv, ByteOrderMarkFilesAndMistakes) {
  MemorySystem system;
  system.files["in.csv"] = "0,100,0,200,50,0\n";
  EXPECT_EQ(RunCli({"csv", "--bom", "-o", "out.csv", "in.csv"}, system).status, 0);
  EXPECT_EQ(system.files["out.csv"],
            "\xEF\xBB\xBF"
            "0,100,0,200,50,0,3度34分51.6秒,\r\n");
  EXPECT_EQ(system.out, "");
  // Writing over the file being read would lose it.
  EXPECT_EQ(RunCli({"csv", "-o", "in.csv", "in.csv"}, system).status, 2);
  EXPECT_EQ(system.files["in.csv"], "0,100,0,200,50,0\n");
  EXPECT_EQ(RunCli({"csv", "missing.csv"}).status, 2);
  EXPECT_EQ(RunCli({"csv", "a.csv", "b.csv"}).status, 2);
  EXPECT_EQ(RunCli({"csv", "-o"}).status, 2);
  EXPECT_EQ(RunCli({"csv"}).out, "");  // empty standard input: nothing to do
}

TEST(Csv, EveryMalformedUtf8FormAndALaterByteOrderMarkAreRefused) {
  const std::string row = "0,100,0,200,50,0";
  const std::pair<const char*, std::string> malformed[] = {
      {"stray continuation", "\x80"},
      {"continuation after ASCII", "a\xBF"},
      {"overlong two bytes (C0)", "\xC0\xAF"},
      {"overlong two bytes (C1)", "\xC1\xBF"},
      {"overlong three bytes", "\xE0\x80\xAF"},
      {"overlong three bytes, top", "\xE0\x9F\xBF"},
      {"overlong four bytes", "\xF0\x80\x80\xAF"},
      {"overlong four bytes, top", "\xF0\x8F\xBF\xBF"},
      {"high surrogate", "\xED\xA0\x80"},
      {"low surrogate", "\xED\xBF\xBF"},
      {"above U+10FFFF", "\xF4\x90\x80\x80"},
      {"lead F5", "\xF5\x80\x80\x80"},
      {"lead FF", "\xFF"},
      {"two bytes cut short", "\xC3"},
      {"three bytes cut short", "\xE4\xB8"},
      {"four bytes cut short", "\xF0\x9F\x98"},
      {"lead then ASCII",
       "\xE4"
       "a\xB8"},
      {"five-byte lead", "\xF8\x88\x80\x80\x80"},
  };
  for (const auto& [name, bytes] : malformed) {
    EXPECT_FALSE(text::IsValidUtf8(bytes)) << name;
    MemorySystem system;
    system.files["in.csv"] = row + "\n0,100,0,200," + bytes + ",0\n" + row + "\n";
    const Outcome got = RunCli({"csv", "in.csv"}, system);
    EXPECT_EQ(got.status, 1) << name;
    const std::string answered = row + ",3度34分51.6秒,\n";
    EXPECT_EQ(got.out, answered + ",,,,,,,第2行不是UTF-8文本。\n" + answered) << name;
  }
  // The largest of each length is UTF-8.
  EXPECT_TRUE(text::IsValidUtf8("\x7F\xDF\xBF\xEF\xBF\xBF\xF4\x8F\xBF\xBF\xEE\x80\x80"));
  // A byte-order mark is skipped on the first line only: later it is a
  // text the start field does not keep.
  MemorySystem system;
  system.files["in.csv"] = "\xEF\xBB\xBF" + row + "\n\xEF\xBB\xBF" + row + "\n";
  const Outcome got = RunCli({"csv", "in.csv"}, system);
  EXPECT_EQ(got.status, 1);
  const std::string bom = "\xEF\xBB\xBF";
  EXPECT_EQ(got.out, row + ",3度34分51.6秒,\n" + bom + row + ",,\"起点桩号不是数字：\"\"" + bom +
                         "0\"\"\"\n");
}

}  // namespace
}  // namespace velmora::cli
