#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "road/profile.h"

namespace velmora::road {
namespace {

using K = VerticalCurveKind;
using LD = long double;

// The exact height in long double, each curve from its own start forward;
// circles through their angles, centre and tangent points.
LD Exact(const std::vector<ProfilePoint>& p, LD s) {
  auto grade = [&](std::size_t i) {
    return ((LD)p[i + 1].elevation - p[i].elevation) / ((LD)p[i + 1].station - p[i].station);
  };
  for (std::size_t i = 1; i + 1 < p.size(); ++i) {
    if (s < p[i - 1].station || s > p[i + 1].station) continue;
    const LD g1 = grade(i - 1), g2 = grade(i), w = g2 - g1, sp = p[i].station, zp = p[i].elevation;
    const LD l = p[i].curve == K::kRadius ? p[i].radius * fabsl(w) : p[i].length;
    const LD l1 = p[i].length_in, l2 = p[i].length_out, gm = (l1 * g1 + l2 * g2) / (l1 + l2);
    if ((p[i].curve == K::kRadius || p[i].curve == K::kLength) && l > 0 && fabsl(s - sp) <= l / 2) {
      const LD x = s - (sp - l / 2);
      return zp - g1 * l / 2 + g1 * x + w * x * x / (2 * l);
    } else if (p[i].curve == K::kAsymmetric && sp - l1 <= s && s <= sp) {
      const LD x = s - (sp - l1);
      return zp - g1 * l1 + g1 * x + (gm - g1) * x * x / (2 * l1);
    } else if (p[i].curve == K::kAsymmetric && sp < s && s <= sp + l2) {
      const LD x = s - sp, zm = zp - g1 * l1 + l1 * (g1 + gm) / 2;
      return zm + gm * x + (g2 - gm) * x * x / (2 * l2);
    } else if (p[i].curve == K::kCircle) {
      const LD t1 = atanl(g1), t2 = atanl(g2), r = p[i].radius, sg = w > 0 ? 1 : -1;
      const LD t = r * tanl(fabsl(t2 - t1) / 2);  // along the grade lines
      const LD s1 = sp - t * cosl(t1), z1 = zp - t * sinl(t1);
      const LD sc = s1 - sg * r * sinl(t1), zc = z1 + sg * r * cosl(t1);
      if (s1 <= s && s <= sp + t * cosl(t2)) return zc - sg * sqrtl(r * r - (s - sc) * (s - sc));
    }
  }
  std::size_t i = 0;
  while (i + 2 < p.size() && s > p[i + 1].station) ++i;
  return p[i].elevation + grade(i) * (s - p[i].station);
}

Profile Built(const std::vector<ProfilePoint>& points) {
  ProfileError error;
  auto profile = BuildProfile(points, error);
  EXPECT_TRUE(profile) << error.what;
  return *profile;
}

// K5+030.00, 427.68, +5 % in, -4 % out, R 2000, worked by hand:
// omega = -0.04 - 0.05 = -0.09 (crest); L = 2000 * 0.09 = 180; T = 90;
// E = 90^2 / 4000 = 2.025. Start K4+940, 427.68 - 90 * 0.05 = 423.18; end
// K5+120, 427.68 - 90 * 0.04 = 424.08. At K5+000, 60 into the curve: tangent
// 427.68 - 30 * 0.05 = 426.18, less 60^2 / 4000 = 0.9: 425.28, grade 5 -
// 100 * 60 / 2000 = 2 %. At the PVI 427.68 - 2.025 = 425.655. At K5+100, 20
// before the end: 427.68 - 70 * 0.04 = 424.88, less 20^2 / 4000: 424.78.
TEST(RoadProfileTest, TextbookCrest) {
  const Profile profile = Built({{4900, 421.18}, {5030, 427.68, K::kRadius, 2000}, {5200, 420.88}});
  const VerticalCurveRow row = profile.CurveTable().at(0);
  const double expected[] = {5030, 427.68, 5,     -4,   -0.09,  2000, 2000,  180,
                             90,   90,     2.025, 4940, 423.18, 5120, 424.08};
  const double got[] = {row.station,         row.elevation,   row.grade_in,     row.grade_out,
                        row.omega,           row.radius_in,   row.radius_out,   row.length,
                        row.tangent_in,      row.tangent_out, row.external,     row.start_station,
                        row.start_elevation, row.end_station, row.end_elevation};
  for (int i = 0; i < 15; ++i) EXPECT_NEAR(got[i], expected[i], 1e-9) << i;
  EXPECT_EQ(row.bend, Bend::kCrest);
  for (const auto& [s, z] :
       {std::pair{5000.0, 425.28}, {5030, 425.655}, {5100, 424.78}, {4900, 421.18}, {5200, 420.88}})
    EXPECT_NEAR(*profile.ElevationAt(s), z, 1e-9) << s;
  EXPECT_NEAR(*profile.GradeAt(5000), 2, 1e-12);
  EXPECT_FALSE(profile.ElevationAt(4899.999) || profile.ElevationAt(5200.001) ||
               profile.GradeAt(NAN));
}

TEST(RoadProfileTest, EachKindAgreesWithTheExactCurve) {
  struct Case {
    ProfilePoint pvi;
    double out;  // elevation at the end, station 400
    Bend bend;
    double external;  // by hand
  };
  // From 0 at 0 to the PVI at 200, elevation 10: +5 % in.
  const std::vector<Case> cases = {
      {{200, 10, K::kRadius, 3000}, 4, Bend::kCrest, 120 * 120 / 6000.0},   // to -3 %
      {{200, 10, K::kRadius, 1500}, 30, Bend::kSag, 37.5 * 37.5 / 3000.0},  // to +10 %
      {{200, 10, K::kLength, 0, 160}, 4, Bend::kCrest, 0.08 * 160 / 8},     // E = |w| L / 8
      {{200, 10, K::kAsymmetric, 0, 0, 150, 50}, 4, Bend::kCrest, 0.08 * 150 * 50 / 400},
      {{200, 10, K::kCircle, 3000, 999}, 4, Bend::kCrest, 0},
      {{200, 10, K::kCircle, 2000}, 28, Bend::kSag, 0},
      {{200, 10, K::kRadius, 0}, 4, Bend::kCrest, 0},    // plain grade break
      {{200, 10, K::kCircle, 1e6}, 20, Bend::kNone, 0},  // no grade change: no curve
  };
  for (const Case& c : cases) {
    const std::vector<ProfilePoint> points = {{0, 0}, c.pvi, {400, c.out}};
    const Profile profile = Built(points);
    const VerticalCurveRow row = profile.CurveTable().at(0);
    EXPECT_EQ(row.bend, c.bend);
    const LD exact_e = fabsl(Exact(points, 200) - 10);
    EXPECT_NEAR(row.external, (double)exact_e, 1e-9);
    EXPECT_NEAR(row.external, c.external > 0 ? c.external : row.external, 1e-9);  // by hand
    const LD turn = fabsl(atanl((c.out - 10) / 200.0L) - atanl(0.05L));
    EXPECT_NEAR(row.arc_length, c.pvi.curve == K::kCircle ? (double)(c.pvi.radius * turn) : 0,
                1e-9);
    EXPECT_NEAR(row.start_elevation, (double)Exact(points, row.start_station), 1e-9);
    EXPECT_NEAR(row.end_elevation, (double)Exact(points, row.end_station), 1e-9);
    for (double s = 0; s <= 400; s += 2.5) {
      EXPECT_NEAR(*profile.ElevationAt(s), (double)Exact(points, s), 1e-9) << s;
      if (s == 200 && row.curve == K::kNone) continue;
      // Central differences inside, one-sided at the ends (on grade lines).
      const LD h = 1e-5L, b = s == 0 ? h : s == 400 ? s : s + h / 2;
      const LD slope = (Exact(points, b) - Exact(points, b - h)) / h;
      EXPECT_NEAR(*profile.GradeAt(s), (double)(100 * slope), 1e-6) << s;
    }
  }
}

// 50 km with 500 PVIs every 100, parabolas and circles by turns,
// elevations near 5000, grades up to 10 % and radii from 100 to 1,000,000
// (as large as 100 between PVIs allows).
TEST(RoadProfileTest, LongProfileWithinAMicrometre) {
  std::vector<ProfilePoint> points = {{0, 4990}};
  unsigned seed = 12345;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) / 4294967296.0; };
  for (int i = 1; i <= 501; ++i) {
    const double grade = (i % 50 == 0 ? 0.1 : i % 50 > 25 ? 4e-5 : 2e-3) * (2 * next() - 1);
    points.push_back({100.0 * i, points.back().elevation + 100 * grade,
                      i % 2 ? K::kRadius : K::kCircle, std::pow(10.0, 2 + 4 * next())});
  }
  points.back().curve = K::kNone;
  for (std::size_t i = 1; i + 1 < points.size(); ++i) {
    const double w = std::fabs(
        (points[i + 1].elevation - 2 * points[i].elevation + points[i - 1].elevation) / 100);
    points[i].radius = std::fmin(points[i].radius, 99 / w);
  }
  const Profile profile = Built(points);
  double worst = 0;
  for (double s = 0; s <= 50100; s += 3.7)
    worst = std::fmax(worst, std::fabs(*profile.ElevationAt(s) - (double)Exact(points, s)));
  EXPECT_LT(worst, 1e-6);
}

TEST(RoadProfileTest, RefusalsNameThePointAndTheAmounts) {
  using enum ProfileError::Reason;
  using enum VerticalCurveKind;
  struct Case {
    ProfilePoint pvi, next;  // between {0, 0} and {300, 6}
    ProfileError::Reason reason;
    std::size_t point;
    double amount, limit;
    std::string what;
  };
  // Grades of +6 %, -6 %, +6 % where the elevations are 6 and 0.
  const std::vector<Case> cases = {
      {{100, NAN}, {200, 0}, kNotFinite, 1, 0, 0, "a number is not finite; give"},
      {{100, 1}, {100, 2}, kNotIncreasing, 2, 100, 100, "not after the previous point's 100"},
      {{100, 1, kRadius, -5}, {200, 0}, kNegative, 1, -5, 0, "radius -5 is negative"},
      {{100, 1, kCircle, 0, 30}, {200, 0}, kIncomplete, 1, 0, 0, "has no radius"},
      {{100, 6, kAsymmetric, 0, 0, 30, 0}, {200, 0}, kIncomplete, 1, 0, 0, "0 on one side"},
      {{100, 6, kLength, 0, 120}, {200, 0, kLength, 0, 100}, kOverlap, 1, 110, 100, "T 60) and"},
      {{100, 6, kAsymmetric, 0, 0, 100.5, 10}, {200, 0}, kPastStart, 1, 100.5, 100, "100.5 before"},
      {{100, 6}, {200, 0, kAsymmetric, 0, 0, 10, 100.5}, kPastEnd, 2, 100.5, 100, "100.5 after"},
  };
  for (const Case& c : cases) {
    ProfileError error;
    EXPECT_FALSE(BuildProfile(std::vector<ProfilePoint>{{0, 0}, c.pvi, c.next, {300, 6}}, error));
    EXPECT_EQ(error.reason, c.reason) << error.what;
    EXPECT_EQ(error.point, c.point) << error.what;
    EXPECT_NEAR(error.amount, c.amount, 1e-9) << error.what;
    EXPECT_NEAR(error.limit, c.limit, 1e-9) << error.what;
    EXPECT_NE(error.what.find(c.what), std::string::npos) << error.what;
    EXPECT_NE(error.what.find("; "), std::string::npos) << error.what;
  }
  ProfileError error;
  EXPECT_FALSE(BuildProfile(std::vector<ProfilePoint>{{0, 0}}, error));
  EXPECT_EQ(error.reason, kTooFewPoints);
  EXPECT_FALSE(BuildProfile(std::vector<ProfilePoint>{{0, 0}, {9, 0, kLength, 0, 1}}, error));
  EXPECT_EQ(error.what,
            "the profile's end carries a vertical curve; a curve belongs to a PVI "
            "between the start and the end");
  // Curves that touch are accepted, even where rounding makes T 3.217 +
  // 96.783 exceed the 100 between the PVIs by 3e-14.
  EXPECT_TRUE(BuildProfile(std::vector<ProfilePoint>{{107.185, 0},
                                                     {207.185, 6, kLength, 0, 6.434},
                                                     {307.185, 0, kLength, 0, 193.566},
                                                     {407.185, 6}},
                           error));
  EXPECT_FALSE(BuildCrossSlopes(std::vector<CrossSlope>{{10, -2, -2}, {5, 1, 1}}, error));
  EXPECT_EQ(error.point, 1u);
}

// A 1 % grade from 100 at 0; a crown of -2, run into superelevation for a
// right turn between 100 and 150 (left +4, right -4) and out between 250
// and 300. At 125 the slopes are halfway: left +1, right -3.
TEST(RoadProfileTest, OffsetsFollowEachSidesSlope) {
  const Profile profile = Built({{0, 100}, {400, 104}});
  ProfileError error;
  const CrossSlopes slopes = *BuildCrossSlopes(
      std::vector<CrossSlope>{{100, -2, -2}, {150, 4, -4}, {250, 4, -4}, {300, -2, -2}}, error);
  // Station, offset, elevation.
  const double cases[][3] = {{50, -3.5, 100.43},  {50, 3.5, 100.43}, {125, -3.5, 101.285},
                             {125, 3.5, 101.145}, {200, -5, 102.2},  {200, 5, 101.8},
                             {275, -2, 102.77},   {275, 2, 102.69},  {400, 10, 103.8},
                             {200, 0, 102}};
  for (const auto& c : cases)
    EXPECT_NEAR(*DesignElevation(profile, slopes, c[0], c[1]), c[2], 1e-12) << c[0] << " " << c[1];
  EXPECT_NEAR(*DesignElevation(profile, CrossSlopes(-2), 0, -10), 99.8, 1e-12);
  EXPECT_NEAR(*FillCut(profile, slopes, 125, 3.5, 101.0), 0.145, 1e-12);    // fill
  EXPECT_NEAR(*FillCut(profile, slopes, 125, -3.5, 101.5), -0.215, 1e-12);  // cut
  EXPECT_FALSE(DesignElevation(profile, slopes, 400.5, 0) || FillCut(profile, slopes, 1, 1, NAN));
}

}  // namespace
}  // namespace velmora::road
