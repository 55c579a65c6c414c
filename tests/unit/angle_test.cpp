#include "arith/angle.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace velmora {
namespace {

struct Boxes {
  std::vector<std::string> prompts;
  MessageBoxFn Fn() {
    return [this](const std::string& prompt, const std::string& title, int style) {
      EXPECT_EQ(title, "提示信息");
      EXPECT_EQ(style, 64);
      prompts.push_back(prompt);
    };
  }
};

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

double Radians(double degrees) { return degrees * kPi / 180.0; }
double RadiansOf(double d, double m, double s) { return Radians(d + m / 60.0 + s / 3600.0); }

TEST(DmsToRad, AcceptedAnglesGiveTheseRadiansToTheBit) {
  const struct {
    double packed;
    double radians;
  } cases[] = {
      {45.3015, 0.7941975317124753},  // remainder kept in single precision
      {45.3, 0.7941248096574192},     // 45°30'0" exactly, although 45.3 is stored low
      {45, 0.7853981633974475},        {180, kPi}, {360, 6.28318530717958}, {0, 0.0},
      {-45.3015, -0.7941975317124753},
  };
  for (const auto& c : cases) {
    Boxes boxes;
    const auto radians = DmsToRad(c.packed, boxes.Fn());
    ASSERT_TRUE(radians.has_value()) << c.packed;
    EXPECT_TRUE(boxes.prompts.empty()) << c.packed;
    EXPECT_EQ(Bits(*radians), Bits(c.radians)) << c.packed << " gave " << *radians;
  }
}

TEST(DmsToRad, NegativeAnglesAndTheirTextsToTheBit) {
  // Whole parts toward zero and toward minus infinity either side of -0.5,
  // where the nearest whole number lies on the other side of the value.
  const struct {
    double packed;
    double radians;
    const char* text;  // of the radians
  } cases[] = {
      {-0.3015, -0.0087993683150277835, "359度29分45秒"},
      {-0.5959, -0.017448444370417433, "359度0分1秒"},
      {-0.003, -0.00014544411011229008, "359度59分30秒"},
      {-359.5959, -6.2831804590300546, "0度0分1秒"},
  };
  for (const auto& c : cases) {
    Boxes boxes;
    const auto radians = DmsToRad(c.packed, boxes.Fn());
    ASSERT_TRUE(radians.has_value()) << c.packed;
    EXPECT_EQ(Bits(*radians), Bits(c.radians)) << c.packed << " gave " << *radians;
    EXPECT_EQ(RadToDms(c.radians), c.text) << c.packed;
  }
}

TEST(DmsToRad, DecimalDegreesKeepTheSinglePrecisionRemainder) {
  Boxes boxes;
  // 45.50416666683223 decimal degrees: above 45 + 30/60 + 15/3600 because the
  // seconds travel in single precision.
  EXPECT_EQ(Bits(*DmsToRad(45.3015, boxes.Fn())), Bits((45.50416666683223 * kPi) / 180.0));
  // -45.75 would be -46.25° had its -75 minutes been let through.
  EXPECT_FALSE(DmsToRad(-45.75, boxes.Fn()).has_value());
}

TEST(DmsToRad, RejectedAnglesShowOneMessageAndGiveNoValue) {
  const double cases[] = {
      45.6,     // 60 minutes
      45.3075,  // 75 seconds
      45.306,   // 60 seconds
      361,      // whole degrees above 360
      400.1,
      -45.75,    // -75 minutes
      -45.3075,  // -75 seconds
      -45.306,   // -60 seconds
      -45.6,     // -60 minutes: as out of range as +60
      // 29.9999999 minutes is not 30 minutes but 29 and 99.99999 seconds:
      // only a hair of rounding error (45.3 is stored low) makes a whole.
      45.2999999999,
      -32769,  // beyond a 16-bit whole degree
      -1e10,
      40000,
      -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::quiet_NaN(),
  };
  for (const double packed : cases) {
    Boxes boxes;
    EXPECT_FALSE(DmsToRad(packed, boxes.Fn()).has_value()) << packed;
    ASSERT_EQ(boxes.prompts.size(), 1U) << packed;
    EXPECT_EQ(boxes.prompts[0], "角度输入有误，请重新输入。");
  }
}

TEST(DmsToRad, BoundaryAnglesThatPass) {
  const double cases[] = {45.30599, 360.5959, -45.3015, -32768, 360, 0.0001, -0.0, 359.5959};
  for (const double packed : cases) {
    Boxes boxes;
    EXPECT_TRUE(DmsToRad(packed, boxes.Fn()).has_value()) << packed;
    EXPECT_TRUE(boxes.prompts.empty()) << packed;
  }
}

TEST(RadToDms, WritesTheAngleAsTheSurveyorReadsIt) {
  Boxes boxes;
  const struct {
    double radians;
    const char* text;
  } cases[] = {
      {0.0, "0度0分0秒"},
      {-0.0, "0度0分0秒"},
      {*DmsToRad(0.05, boxes.Fn()), "0度5分0秒"},  // rounding of doubles bites here
      {*DmsToRad(45.3, boxes.Fn()), "45度30分0秒"},
      {0.7941975317124753, "45度30分15秒"},
      {45.5 * kPi / 180.0, "45度30分0秒"},
      {RadiansOf(45, 30, 15.5), "45度30分15.5秒"},
      {RadiansOf(0, 0, 0.5), "0度0分0.5秒"},
      {2 * kPi, "360度0分0秒"},
      {*DmsToRad(360.5959, boxes.Fn()), "0度59分59秒"},
      {Radians(-5.5), "354度30分0秒"},
      {-RadiansOf(45, 30, 15), "314度29分45秒"},
      {-RadiansOf(0, 0, 15), "359度59分45秒"},
      {0.0625, "3度34分51.6秒"},
      {Radians(90), "90度0分0秒"},
      {Radians(180), "180度0分0秒"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RadToDms(c.radians), c.text) << c.radians;
  }
}

TEST(RadToDms, SecondsThatRoundTo60CarryIntoMinutesAndDegrees) {
  const struct {
    double radians;
    const char* text;
  } cases[] = {
      {RadiansOf(359, 59, 59.97), "360度0分0秒"},  // never "359度59分60秒"
      {RadiansOf(0, 59, 59.96), "1度0分0秒"},
      {RadiansOf(10, 20, 59.96), "10度21分0秒"},
      {RadiansOf(10, 20, 59.93), "10度20分59.9秒"},
      {-RadiansOf(0, 0, 0.02), "360度0分0秒"},  // just short of a full turn
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RadToDms(c.radians), c.text) << c.radians;
  }
}

TEST(RadToDms, AnglesBeyondOneTurnComeIntoRange) {
  const struct {
    double degrees;
    const char* text;
  } cases[] = {
      {725.5, "5度30分0秒"},                           // more than one turn off
      {365, "5度0分0秒"},       {720, "360度0分0秒"},  // a whole number of turns stays 360
      {-365.5, "354度30分0秒"},                        // more than one turn below zero
      {-360, "0度0分0秒"},      {-720, "0度0分0秒"},
      {-725.5, "354度30分0秒"}, {360 * 1000 + 12.5, "12度30分0秒"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RadToDms(Radians(c.degrees)), c.text) << c.degrees;
  }
}

TEST(RadToDms, AnglesWithNoFiniteDegreesGiveNoText) {
  const double cases[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()};
  for (const double radians : cases) {
    EXPECT_EQ(RadToDms(radians), "") << radians;
  }
  // Huge but finite degrees still give a well-formed angle within a turn.
  const std::string huge = RadToDms(1e300);
  EXPECT_NE(huge, "");
  EXPECT_LE(std::stod(huge), 360.0);
}

TEST(RoundToTenth, HalvesGoToTheEvenTenth) {
  const struct {
    double value, rounded;
  } cases[] = {{12.25, 12.2}, {12.35, 12.4},   {12.75, 12.8},           {0.05, 0.0},
               {59.95, 60.0}, {-12.25, -12.2}, {48.000000000033, 48.0}, {51.59999999, 51.6}};
  for (const auto& c : cases) {
    EXPECT_EQ(RoundToTenth(c.value), c.rounded) << c.value;
  }
}

TEST(NumberToText, PlainDecimalWithFifteenSignificantDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {45, "45"},
      {15.5, "15.5"},
      {0.5, "0.5"},
      {-6, "-6"},
      {0.0, "0"},
      {-0.0, "0"},
      {360, "360"},
      {51.6, "51.6"},
      {0.1 + 0.2, "0.3"},  // 0.30000000000000004 to 15 digits
      {1.0 / 3.0, "0.333333333333333"},
      {123456789.123456789, "123456789.123457"},
      {1e20, "100000000000000000000"},
      {1e-7, "0.0000001"},
      {-2.5e-3, "-0.0025"},
      {999999999999999.9, "1000000000000000"},
      // Either side of where whole numbers and tenths are written directly.
      {999999999999999.0, "999999999999999"},
      {-999999999999999.0, "-999999999999999"},
      {1e15, "1000000000000000"},
      {-1e15, "-1000000000000000"},
      {4503599627370497.0, "4503599627370500"},
      {-99999999999999.9, "-99999999999999.9"},
      {123456.75, "123456.75"},
      {-0.05, "-0.05"},
      // Tenths from 10^14 on: fifteen significant digits, as any other value.
      {123456789012345.6, "123456789012346"},
      {-123456789012345.6, "-123456789012346"},
      {100000000000000.1, "100000000000000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberToText(c.value), c.text) << c.value;
  }
  EXPECT_EQ(NumberToText(std::numeric_limits<double>::quiet_NaN()), "");
}

TEST(NumberToText, EveryTenthIsWrittenAsItsDecimal) {
  // Seconds of every angle text are tenths; a neighbouring double keeps the
  // same fifteen digits.
  const auto decimal = [](long long tenths) {
    const long long size = tenths < 0 ? -tenths : tenths;
    std::string text = (tenths < 0 ? "-" : "") + std::to_string(size / 10);
    return size % 10 == 0 ? text : text + "." + std::to_string(size % 10);
  };
  std::vector<long long> all;
  for (long long n = -200000; n <= 200000; ++n) {
    all.push_back(n);
  }
  for (const long long n : {999999999999999LL, -999999999999999LL, 123456789012345LL}) {
    all.push_back(n);
  }
  for (const long long n : all) {
    const double value = static_cast<double>(n) / 10.0;
    ASSERT_EQ(NumberToText(value), n == 0 ? "0" : decimal(n)) << n;
    if (n != 0 && std::llabs(n) < 1000000) {
      ASSERT_EQ(NumberToText(std::nextafter(value, HUGE_VAL)), decimal(n)) << n;
    }
  }
}

TEST(PackedFromDisplay, WritesTheAngleAsItIsTypedBack) {
  const std::pair<std::string, std::string> cases[] = {
      {"3度34分51.6秒", "3.34516"}, {"56度57分48秒", "56.5748"}, {"45度30分0秒", "45.3"},
      {"0度0分0秒", "0"},           {"360度0分0秒", "360"},      {"7度5分5.5秒", "7.05055"},
  };
  for (const auto& [display, packed] : cases) {
    EXPECT_EQ(PackedFromDisplay(display), packed) << display;
    // Typed back into the window, it shows as the same text again.
    const std::optional<double> radians =
        DmsToRad(std::stod(packed), [](const std::string&, const std::string&, int) {});
    ASSERT_TRUE(radians) << packed;
    EXPECT_EQ(RadToDms(*radians), display) << packed;
  }
  EXPECT_EQ(PackedFromDisplay("45度"), std::nullopt);
}

}  // namespace

}  // namespace velmora
