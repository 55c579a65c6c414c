#include "text/numtext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "arith/angle.h"

namespace velmora {
namespace {

TEST(IsNumber, WholeTextMustBeOneNumber) {
  const struct {
    const char* text;
    bool number;
  } cases[] = {
      {"5", true},     {"5.", true},     {".5", true},    {"-5", true},       {"+5", true},
      {"0.25", true},  {"12.75", true},  {" 5 ", true},   {"\t-1.5\t", true}, {"1e5", true},
      {"1E-5", true},  {"1.5e+3", true}, {"1e999", true}, {"-.5e-2", true},   {"", false},
      {".", false},    {"-", false},     {"+", false},    {" ", false},       {"-.", false},
      {"1e", false},   {"1e+", false},   {"e5", false},   {"1.2.3", false},   {"--5", false},
      {"-+5", false},  {"1,000", false}, {"&H10", false}, {"$5", false},      {"12a", false},
      {"1 2", false},  {"5-", false},    {"0x10", false}, {"nan", false},     {"inf", false},
      {"１２", false}, {"1e5.5", false}, {"5 .", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsNumber(c.text), c.number) << '"' << c.text << '"';
  }
}

TEST(ValueOf, ReadsTheLongestNumberAtTheStart) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12", 12},
      {"-5", -5},
      {"0.25", 0.25},
      {"12abc", 12},
      {"1e", 1},
      {"1e+", 1},
      {"-", 0},
      {"", 0},
      {"abc", 0},
      {" 7 ", 7},
      {"+3.5", 3.5},
      {"5.", 5},
      {".5", 0.5},
      {"1.5e2x", 150},
      {"1.2.3", 1.2},
      {"--5", 0},
      {"45.3015", 45.3015},
      {"-0", -0.0},
      {"1e-400", 0},
      {"1,5", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ValueOf(c.text), c.value) << '"' << c.text << '"';
  }
  EXPECT_TRUE(std::signbit(ValueOf("-0")));
  EXPECT_TRUE(std::signbit(ValueOf("-1e-400")));
}

TEST(ValueOf, NumbersBeyondTheDoubleRangeAreInfinite) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(ValueOf("1e999"), inf);
  EXPECT_EQ(ValueOf("-1e999"), -inf);
  EXPECT_EQ(ValueOf("1e99999999999999999999999"), inf);
  EXPECT_EQ(ValueOf("0.0000001e-99999999999999999999"), 0.0);
  EXPECT_EQ(ValueOf(std::string(400, '9')), inf);
  EXPECT_EQ(ValueOf("0." + std::string(400, '0') + "1"), 0.0);
  EXPECT_EQ(ValueOf(std::string(400, '0') + "1e-3"), 0.001);
}

TEST(ValueOf, CorrectlyRoundedLikeTheCLibrary) {
  const char* cases[] = {
      "0.1",
      "45.3015",
      "2.2250738585072011e-308",
      "4.9e-324",
      "1.7976931348623157e308",
      "9007199254740993",
      "0.30000000000000004",
      "123456789012345678901234567890",
      "3.14159265358979",
      "1.00000000000000011102230246251565404236316680908203125",
  };
  for (const char* text : cases) {
    EXPECT_EQ(ValueOf(text), std::strtod(text, nullptr)) << text;
  }
}

TEST(ValueOf, ShortDecimalsCorrectlyRoundedToo) {
  // Up to fifteen digits with the point anywhere, the way stations, radii
  // and angles are typed, and sixteen (the long way round).
  std::mt19937_64 random(15);
  for (int n = 0; n < 200000; ++n) {
    const int digits = 1 + static_cast<int>(random() % 16);
    std::string text = random() % 4 == 0 ? "-" : "";
    const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
    for (int i = 0; i < digits; ++i) {
      if (i == point) {
        text += '.';
      }
      text += static_cast<char>('0' + random() % 10);
    }
    const double value = ValueOf(text);
    const double wanted = std::strtod(text.c_str(), nullptr);
    ASSERT_EQ(std::memcmp(&value, &wanted, sizeof value), 0) << text;
  }
}

TEST(ValueOf, LongTextsAreReadWhole) {
  const std::string digits = "1" + std::string(100000, '0');
  EXPECT_EQ(ValueOf("0." + std::string(99990, '0') + "5e99991"), 5.0);
  EXPECT_EQ(ValueOf(std::string(100000, '0') + "42"), 42.0);
  EXPECT_TRUE(IsNumber(digits));
  EXPECT_FALSE(IsNumber(digits + "x"));
  EXPECT_EQ(ValueOf(digits + "e-100000"), 1.0);
}

TEST(ReadNumber, OneReadingGivesBothAnswersToTheBit) {
  // Sixteen digits with a point are past the exact quotient: dividing their
  // rounded whole number would come out one unit off in these three.
  const char* const texts[] = {
      "922332769589.9131",
      "93146.09861406317",
      "910593.3494858065",
      "999999999999999",
      "99999999999999.9",
      "0000000000000001.5",
      "-0",
      "  -834  ",
      "6693.832",
      "1e5",
      "-.5e-2",
      "1e999",
      "-1e-400",
      "12a",
      "1e",
      "1.2.3",
      "-",
      "",
      " ",
      "5 .",
      "\t+3.5\t",
  };
  for (const char* text : texts) {
    const NumberReading reading = ReadNumber(text);
    EXPECT_EQ(reading.is_number, IsNumber(text)) << '"' << text << '"';
    const double value = ValueOf(text);
    EXPECT_EQ(std::memcmp(&reading.value, &value, sizeof value), 0) << '"' << text << '"';
    if (reading.is_number) {
      const double wanted = std::strtod(text, nullptr);
      EXPECT_EQ(std::memcmp(&reading.value, &wanted, sizeof wanted), 0) << '"' << text << '"';
    }
  }
}

// A decimal comma and a point between thousands, as German regional
// settings have them.
class CommaDecimal : public std::numpunct<char> {
 protected:
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

// Puts the classic "C" settings back however the test ends.
struct RestoreClassicLocale {
  ~RestoreClassicLocale() {
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
  }
};

// How a field's text reads whatever the settings: "." is the decimal point
// and nothing groups thousands.
void ExpectTextsReadWithAPoint() {
  const struct {
    const char* text;
    bool number;
    double value;
  } cases[] = {
      {"1.5", true, 1.5},     {"1,5", false, 1},          {"1.234,5", false, 1.234},
      {"-0.25", true, -0.25}, {"45.3015", true, 45.3015}, {"1.000", true, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsNumber(c.text), c.number) << c.text;
    EXPECT_EQ(ValueOf(c.text), c.value) << c.text;
  }
  EXPECT_EQ(NumberToText(1234.5), "1234.5");
  EXPECT_EQ(RadToDms(kPi / 8), "22度30分0秒");
}

TEST(NumericText, IndependentOfTheGlobalCppLocale) {
  RestoreClassicLocale restore;
  std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  // The setting is in force: a stream made now writes and reads a comma.
  std::ostringstream out;
  out << 1234.5;
  ASSERT_EQ(out.str(), "1.234,5");
  double read = 0;
  std::istringstream("1,5") >> read;
  ASSERT_EQ(read, 1.5);

  ExpectTextsReadWithAPoint();
}

// A C locale whose decimal point is a comma: the system's own where it has
// one (Windows, and Wine, have German built in), or the one the build
// compiles for glibc and points LOCPATH at.
const char* CommaCLocale() {
  for (const char* name :
       {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "German", "de-DE"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr &&
        std::string_view(std::localeconv()->decimal_point) == ",") {
      return name;
    }
  }
  std::setlocale(LC_NUMERIC, "C");
  return nullptr;
}

TEST(NumericText, IndependentOfTheCLocale) {
  RestoreClassicLocale restore;
  const char* name = CommaCLocale();
  if (name == nullptr) {
    GTEST_SKIP() << "no C locale with a decimal comma on this system";
  }
  // The setting is in force: the C library reads a comma now.
  ASSERT_EQ(std::strtod("1,5", nullptr), 1.5) << name;
  ASSERT_EQ(std::strtod("1.5", nullptr), 1.0) << name;

  ExpectTextsReadWithAPoint();
}

}  // namespace
}  // namespace velmora
