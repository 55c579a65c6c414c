// The traced lines and the SVG picture: chords within their tolerance of
// the true curve, and the drawn lines through the computed points, in the
// colour of their element's kind, far from the coordinates' origin.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "arith/angle.h"
#include "plot/svg.h"
#include "plot/trace.h"
#include "road/geometry.h"

namespace velmora::plot {
namespace {

double Distance(road::Point a, road::Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

// How far p is from the segment from a to b.
double FromSegment(road::Point p, road::Point a, road::Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  const double t =
      length2 == 0 ? 0 : std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0);
  return Distance(p, {a.x + t * dx, a.y + t * dy});
}

// The alignment from its elements, each starting where the last one ends.
road::Alignment Build(road::Point start, double azimuth,
                      const std::vector<std::array<double, 3>>& elements) {
  std::vector<road::ElementInput> inputs;
  double station = 0.0;
  for (const auto& [length, start_radius, end_radius] : elements) {
    road::ElementInput input;
    input.start_station = station;
    input.end_station = station + length;
    input.start_radius = start_radius;
    input.end_radius = end_radius;
    if (inputs.empty()) {
      input.start_azimuth = azimuth;
      input.start = start;
    }
    inputs.push_back(input);
    station += length;
  }
  std::string error;
  auto built = road::BuildAlignment(inputs, {}, road::Tolerance{}, error);
  EXPECT_TRUE(built) << error;
  return built ? built->alignment : road::Alignment{};
}

// Straight, spiral, arc to the right, spiral, straight, and the same to the
// left, in a projected system with a zone prefix.
road::Alignment Road() {
  return Build({4500000.0, 39500000.0}, 0.7,
               {{150, 0, 0},
                {100, 0, 600},
                {230, 600, 600},
                {100, 600, 0},
                {180, 0, 0},
                {80, 0, -400},
                {160, -400, -400},
                {80, -400, 0},
                {170, 0, 0}});
}

TEST(Trace, ArcPointsLieOnTheirCircleAndChordsWithinTheTolerance) {
  struct Case {
    double radius, offset, tolerance;
  };
  const Case cases[] = {
      {600, 0, 0.001},    {600, 7.5, 0.01},  {-400, 25, 0.002},
      {-250, 7.5, 0.001}, {-250, -30, 0.05}, {12, 20, 0.001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.radius << " " << c.offset << " " << c.tolerance);
    const road::Point start{4500000.0, 39500000.0};
    const double azimuth = 2.0;
    const road::Alignment a = Build(start, azimuth, {{40, 0, 0}, {300, c.radius, c.radius}});
    // The centre of the arc from its start: the radius along the normal to
    // the right of the azimuth there, which the straight before keeps.
    const road::Point arc_start = *road::PointAt(a.elements()[1], 40.0);
    const road::Point centre{arc_start.x - c.radius * std::sin(azimuth),
                             arc_start.y + c.radius * std::cos(azimuth)};
    const double circle = std::fabs(c.radius - c.offset);
    std::vector<road::Point> points;
    ASSERT_TRUE(
        TraceElement(a, 1, c.offset, c.tolerance, [&](road::Point p) { points.push_back(p); }));
    ASSERT_GE(points.size(), 2u);
    EXPECT_LT(Distance(points.front(), *road::PointAt(a.elements()[1], 40.0, c.offset)), 1e-9);
    EXPECT_LT(Distance(points.back(), *road::PointAt(a.elements()[1], 340.0, c.offset)), 1e-9);
    double worst = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_NEAR(Distance(points[i], centre), circle, 1e-6);
      if (i > 0) {
        const road::Point mid{(points[i - 1].x + points[i].x) / 2,
                              (points[i - 1].y + points[i].y) / 2};
        worst = std::max(worst, std::fabs(circle - Distance(mid, centre)));
      }
    }
    EXPECT_LE(worst, c.tolerance);
    // Not wastefully many: the chords use a good share of the tolerance.
    EXPECT_GE(worst, c.tolerance / 8);
  }
}

TEST(Trace, SpiralChordsStayWithinTheToleranceAndElementsJoinOnce) {
  const road::Alignment a = Road();
  constexpr double kTolerance = 0.002;
  for (const double offset : {0.0, -12.0, 25.0}) {
    SCOPED_TRACE(offset);
    std::size_t count = 0;
    road::Point last{};
    std::size_t repeats = 0;
    ASSERT_TRUE(TraceAlignment(a, offset, kTolerance, [&](road::Point p) {
      repeats += count > 0 && p.x == last.x && p.y == last.y;
      last = p;
      ++count;
    }));
    EXPECT_EQ(repeats, 0u);
    std::size_t per_element = 0;
    for (std::size_t e = 0; e < a.elements().size(); ++e) {
      std::vector<road::Point> points;
      ASSERT_TRUE(
          TraceElement(a, e, offset, kTolerance, [&](road::Point p) { points.push_back(p); }));
      per_element += points.size();
      const road::Element& element = a.elements()[e];
      const double step = element.Length() / static_cast<double>(points.size() - 1);
      for (std::size_t i = 1; i < points.size(); ++i) {
        // How far the line between the chord's stations strays from it.
        double farthest = 0.0;
        for (int k = 0; k <= 64; ++k) {
          const double station =
              element.start_station + (static_cast<double>(i - 1) + k / 64.0) * step;
          const road::Point p =
              *road::PointAt(element, std::min(station, element.end_station), offset);
          farthest = std::max(farthest, FromSegment(p, points[i - 1], points[i]));
        }
        EXPECT_LE(farthest, kTolerance) << "element " << e << " chord " << i;
      }
    }
    // Each junction's point given once.
    EXPECT_EQ(count, per_element - (a.elements().size() - 1));
  }
}

TEST(Svg, RoundLengths) {
  const std::pair<double, double> below[] = {{1, 1},       {1.9, 1},   {2, 2},       {4.99, 2},
                                             {5, 5},       {9.9, 5},   {10, 10},     {0.3, 0.2},
                                             {0.07, 0.05}, {3e6, 2e6}, {123.4, 100}, {1000, 1000}};
  for (const auto& [limit, expected] : below) {
    EXPECT_DOUBLE_EQ(RoundLengthBelow(limit), expected) << limit;
  }
  const std::pair<double, double> above[] = {{1, 1},      {1.01, 2}, {2.5, 5}, {6, 10},
                                             {0.11, 0.2}, {42, 50},  {90, 100}};
  for (const auto& [least, expected] : above) {
    EXPECT_DOUBLE_EQ(RoundLengthAbove(least), expected) << least;
  }
}

// The polylines of a picture, in pixels, with their stroke or offset.
struct Polyline {
  std::string stroke;
  std::string offset;  // empty for the centre line
  std::vector<std::pair<double, double>> points;
};

// The value of attribute `name` in `tag`, or empty.
std::string Attribute(std::string_view tag, std::string_view name) {
  const std::string key = " " + std::string(name) + "=\"";
  const std::size_t at = tag.find(key);
  if (at == std::string_view::npos) {
    return {};
  }
  const std::size_t from = at + key.size();
  return std::string(tag.substr(from, tag.find('"', from) - from));
}

// Every element named `name`, as the text of its start tag.
std::vector<std::string_view> Tags(std::string_view svg, std::string_view name) {
  std::vector<std::string_view> tags;
  const std::string open = "<" + std::string(name) + " ";
  for (std::size_t at = svg.find(open); at != std::string_view::npos; at = svg.find(open, at + 1)) {
    tags.push_back(svg.substr(at, svg.find('>', at) - at));
  }
  return tags;
}

std::vector<Polyline> Polylines(const std::string& svg) {
  std::vector<Polyline> lines;
  for (const std::string_view tag : Tags(svg, "polyline")) {
    Polyline line{Attribute(tag, "stroke"), Attribute(tag, "data-offset"), {}};
    std::istringstream points(Attribute(tag, "points"));
    double x = 0, y = 0;
    char comma = 0;
    while (points >> x >> comma >> y) {
      line.points.emplace_back(x, y);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// How far a pixel is from the nearest segment of a polyline.
double PixelsFrom(const Polyline& line, double x, double y) {
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 1; i < line.points.size(); ++i) {
    const auto [ax, ay] = line.points[i - 1];
    const auto [bx, by] = line.points[i];
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    const double t =
        length2 == 0 ? 0 : std::clamp(((x - ax) * dx + (y - ay) * dy) / length2, 0.0, 1.0);
    best = std::min(best, std::hypot(ax + t * dx - x, ay + t * dy - y));
  }
  return best;
}

TEST(Svg, DrawnLinesPassThroughTheComputedPoints) {
  struct Case {
    const char* name;
    road::Alignment alignment;
    std::vector<double> offsets;
    double width;
    double height;
    std::string title;
  };
  const Case cases[] = {
      {"road", Road(), {-7.5, 12}, 1600, 1000, ""},
      // A title leaves the smallest picture 200 - 2 * 90 - 26 pixels high.
      {"smallest titled", Road(), {3}, 200, 200, "Road"},
      // Three units long, 39.5 million units east: drawn at hundreds of
      // pixels a unit, where single precision would be off by whole units.
      {"tiny",
       Build({4500000.125, 39500000.375}, 5.0, {{1, 0, 0}, {1.5, 0, 4}, {0.5, 4, 4}}),
       {0.25},
       1600,
       1000,
       ""},
  };
  const std::string colours[] = {"#1f5fbf", "#d62728", "#2ca02c"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlotOptions options;
    options.offsets = c.offsets;
    options.width = c.width;
    options.height = c.height;
    options.title = c.title;
    std::string error;
    const auto picture = PlotSvg(c.alignment, options, error);
    ASSERT_TRUE(picture) << error;
    const Frame& f = picture->frame;
    const std::vector<Polyline> lines = Polylines(picture->svg);
    ASSERT_EQ(lines.size(), c.alignment.elements().size() + c.offsets.size());
    for (const Polyline& line : lines) {
      for (const auto& [x, y] : line.points) {
        ASSERT_TRUE(x >= 0 && x <= options.width && y >= 0 && y <= options.height) << x << "," << y;
      }
    }
    // The frame the picture states is the one it was drawn with.
    std::istringstream stated(Attribute(Tags(picture->svg, "svg").at(0), "data-velmora-frame"));
    Frame g;
    stated >> g.east >> g.north >> g.origin_x >> g.origin_y >> g.scale;
    EXPECT_EQ(g.east, f.east);
    EXPECT_EQ(g.scale, f.scale);

    const double step = (c.alignment.End() - c.alignment.Start()) / 997.0;
    for (double s = c.alignment.Start(); s <= c.alignment.End(); s += step) {
      const std::size_t e = *c.alignment.ElementAt(s);
      const road::Element& element = c.alignment.elements()[e];
      const road::Point p = *road::PointAt(element, std::min(s, element.end_station));
      // The element's own line, in its kind's colour, passes through it.
      const Polyline& own = lines[(c.offsets.empty() ? 0 : c.offsets.size()) + e];
      EXPECT_EQ(own.stroke, colours[static_cast<int>(road::KindOf(element))]);
      EXPECT_LE(PixelsFrom(own, f.X(p), f.Y(p)), 0.22) << "station " << s;
      for (std::size_t k = 0; k < c.offsets.size(); ++k) {
        const road::Point q =
            *road::PointAt(element, std::min(s, element.end_station), c.offsets[k]);
        EXPECT_LE(PixelsFrom(lines[k], f.X(q), f.Y(q)), 0.22) << "station " << s;
      }
    }
    // A mark at every boundary.
    const std::size_t circles = Tags(picture->svg, "circle").size();
    EXPECT_EQ(circles, c.alignment.elements().size() + 1);
  }
}

TEST(Svg, BoundaryCodesStationsAndTicksAreLabelled) {
  PlotOptions options;
  options.tick_interval = 100;
  std::string error;
  const auto picture = PlotSvg(Road(), options, error);
  ASSERT_TRUE(picture) << error;
  for (const char* label : {">QD 0<", ">ZH 150<", ">HY 250<", ">YH 480<", ">HZ 580<", ">ZH 760<",
                            ">ZD 1250<", ">100<", ">1200<"}) {
    EXPECT_NE(picture->svg.find(label), std::string::npos) << label;
  }
  // Not between the multiples, nor again at a boundary that is one.
  for (const char* label : {">50<", ">1250<"}) {
    EXPECT_EQ(picture->svg.find(label), std::string::npos) << label;
  }
}

// A straight north, east or west, 100 long, with a line 5 to its right:
// northing is up, both ends of the offset line are the centre line's moved
// 5 to the right, tick labels stand to the right and boundary codes to the
// left.
TEST(Svg, NorthIsUpAndLinesAndLabelsKeepTheirSides) {
  const struct {
    const char* name;
    double azimuth;
    double right_x, right_y;  // a pixel step to the right of the road
  } cases[] = {{"north", 0.0, 1, 0}, {"east", 0.5 * kPi, 0, 1}, {"west", 1.5 * kPi, 0, -1}};
  for (const auto& c : cases) {
    PlotOptions options;
    options.tick_interval = 50;
    options.offsets = {5};
    std::string error;
    const auto picture = PlotSvg(Build({0, 0}, c.azimuth, {{100, 0, 0}}), options, error);
    ASSERT_TRUE(picture) << error;
    const std::string& svg = picture->svg;
    std::istringstream frame(Attribute(svg, "data-velmora-frame"));
    double scale = 0;
    for (int i = 0; i < 5; ++i) {
      frame >> scale;
    }
    const auto lines = Polylines(svg);
    const auto offset =
        std::find_if(lines.begin(), lines.end(), [](const Polyline& l) { return l.offset == "5"; });
    ASSERT_NE(offset, lines.end()) << c.name;
    const auto& centre = lines.back().points;  // drawn over the offset line
    const auto [x0, y0] = centre.front();
    const auto [x1, y1] = centre.back();
    EXPECT_NEAR(x1 - x0, std::round(std::sin(c.azimuth)) * 100 * scale, 0.02) << c.name;
    EXPECT_NEAR(y1 - y0, -std::round(std::cos(c.azimuth)) * 100 * scale, 0.02) << c.name;
    for (const auto& [end, moved] : {std::pair{centre.front(), offset->points.front()},
                                     std::pair{centre.back(), offset->points.back()}}) {
      EXPECT_NEAR(moved.first - end.first, c.right_x * 5 * scale, 0.02) << c.name;
      EXPECT_NEAR(moved.second - end.second, c.right_y * 5 * scale, 0.02) << c.name;
    }
    const auto side = [&](const std::string& text, double x, double y) {
      const std::size_t end = svg.find(">" + text + "</text>");
      const std::string_view tag = std::string_view(svg).substr(svg.rfind("<text ", end));
      return (std::stod(Attribute(tag, "x")) - x) * c.right_x +
             (std::stod(Attribute(tag, "y")) - y) * c.right_y;
    };
    EXPECT_GT(side("50", (x0 + x1) / 2, (y0 + y1) / 2), 0) << c.name;
    EXPECT_LT(side("QD 0", x0, y0), 0) << c.name;
  }
}

TEST(Svg, RefusesWhatItCannotDraw) {
  struct Case {
    const char* name;
    road::Alignment alignment;
    PlotOptions options;
    const char* reason;
  };
  PlotOptions small;
  small.width = 50;
  PlotOptions negative;
  negative.tick_interval = -1;
  PlotOptions dense;
  dense.tick_interval = 0.01;  // 125,000 ticks
  PlotOptions nan_offset;
  nan_offset.offsets = {std::numeric_limits<double>::quiet_NaN()};
  const Case cases[] = {
      {"small", Road(), small, "the picture's size is from 200 to 100000 pixels"},
      {"negative", Road(), negative, "the tick interval is a number above 0"},
      {"dense", Road(), dense, "a tick every 0.01 makes more than 10000 ticks"},
      {"nan offset", Road(), nan_offset, "an offset is not a number"},
      {"empty", road::Alignment{}, {}, "the alignment has no elements"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(PlotSvg(c.alignment, c.options, error)) << c.name;
    EXPECT_EQ(error, c.reason) << c.name;
  }
}

}  // namespace
}  // namespace velmora::plot
