#include "plot/section.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "plot/svg.h"
#include "road/stakeout.h"
#include "road/trig.h"
#include "text/text.h"

namespace velmora::plot {
namespace {

constexpr double kMargin = 90.0;        // pixels round the drawing, for the axes' labels
constexpr double kLabelBand = 80.0;     // inside it, above and below, for the PVIs' labels
constexpr double kFontSize = 13.0;      // pixels
constexpr double kChordPixels = 0.2;    // the drawn line's largest distance from the curve
constexpr double kGridPixels = 40.0;    // the least room between elevation lines
constexpr double kTickPixels = 90.0;    // the least room between station ticks
constexpr double kLeaderPixels = 30.0;  // from a PVI to its label
constexpr std::size_t kMaxTicks = 10'000;
constexpr std::size_t kMaxChords = 20'000;  // of one curve
constexpr double kSmallestPicture = 200.0;
constexpr double kLargestPicture = 100'000.0;
constexpr double kDegrees = 57.295779513082320876798;  // a radian's

constexpr std::string_view kDesignColour = "#d62728";
constexpr std::string_view kTangentColour = "#1f5fbf";

// The shortest text that reads back as the same double.
std::string Shortest(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

// A value to three decimals ("103.250"), or without the trailing zeros
// ("2.5", "200") when `trim`.
std::string Decimals3(double value, bool trim) {
  std::string text;
  text::AppendFixed(text, value, 3);
  if (trim && text.find('.') != std::string::npos) {
    while (text.back() == '0') {
      text.pop_back();
    }
    if (text.back() == '.') {
      text.pop_back();
    }
  }
  return text == "-0" ? "0" : text;
}

// "a" when both read the same, else "a/b": an asymmetric curve's halves.
std::string Pair(double in, double out, bool trim) {
  const std::string a = Decimals3(in, trim);
  const std::string b = Decimals3(out, trim);
  return a == b ? a : a + '/' + b;
}

class Svg : public SvgText {
 public:
  void Point(const SectionFrame& frame, double s, double z) {
    if (text.back() != '"') {
      text += ' ';
    }
    AppendPixels(text, frame.X(s));
    text += ',';
    AppendPixels(text, frame.Y(z));
  }
};

// The points of the tangent polygon: the start, each PVI, the end.
struct Vertex {
  double station;
  double elevation;
};

std::vector<Vertex> Polygon(const road::Profile& profile,
                            const std::vector<road::VerticalCurveRow>& rows) {
  std::vector<Vertex> points = {{profile.Start(), *profile.ElevationAt(profile.Start())}};
  for (const road::VerticalCurveRow& row : rows) {
    points.push_back({row.station, row.elevation});
  }
  points.push_back({profile.End(), *profile.ElevationAt(profile.End())});
  return points;
}

bool CheckOptions(const SectionOptions& options, std::string& error) {
  const auto in_range = [](double v) { return v >= kSmallestPicture && v <= kLargestPicture; };
  if (!in_range(options.width) || !in_range(options.height)) {
    error = "the picture's size is from 200 to 100000 pixels";
    return false;
  }
  if (!std::isfinite(options.tick_interval) || options.tick_interval < 0.0) {
    error = "the tick interval is a number above 0";
    return false;
  }
  if (!std::isfinite(options.exaggeration) || !(options.exaggeration > 0.0)) {
    error = "the vertical exaggeration is a number above 0";
    return false;
  }
  return true;
}

// The frame that fits the tangent polygon (which holds every vertical
// curve) between the margins and the PVIs' label bands, under the title.
std::optional<SectionFrame> FitFrame(const std::vector<Vertex>& polygon,
                                     const SectionOptions& options, std::string& error) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (const Vertex& v : polygon) {
    low = std::min(low, v.elevation);
    high = std::max(high, v.elevation);
  }
  const double title_room = options.title.empty() ? 0.0 : 2.0 * kFontSize;
  const double room_x = options.width - 2.0 * kMargin;
  const double room_y =
      std::max(options.height - 2.0 * (kMargin + kLabelBand) - title_room, kGridPixels);
  const double span_s = std::max(polygon.back().station - polygon.front().station, 1e-9);
  const double span_z = std::max(high - low, 1e-9);
  SectionFrame frame;
  frame.exaggeration = options.exaggeration;
  frame.scale = std::min(room_x / span_s, room_y / (span_z * options.exaggeration));
  frame.station = (polygon.front().station + polygon.back().station) / 2.0;
  frame.elevation = (low + high) / 2.0;
  frame.origin_x = options.width / 2.0;
  frame.origin_y = (options.height + title_room) / 2.0;
  if (!std::isfinite(frame.scale) || !(frame.scale > 0.0) ||
      !std::isfinite(frame.scale * frame.exaggeration)) {
    error = "the profile is too large to draw";
    return std::nullopt;
  }
  return frame;
}

void Opening(Svg& svg, const SectionOptions& options, const SectionFrame& frame) {
  std::string& out = svg.text;
  svg.Open(options.width, options.height);
  // x = origin_x + (station - s) * scale,
  // y = origin_y - (elevation - z) * scale * exaggeration.
  out += " data-velmora-section=\"" + Shortest(frame.station) + ' ' + Shortest(frame.elevation) +
         ' ' + Shortest(frame.origin_x) + ' ' + Shortest(frame.origin_y) + ' ' +
         Shortest(frame.scale) + ' ' + Shortest(frame.exaggeration) + "\"";
  out += " font-family=\"DejaVu Sans, Noto Sans, WenQuanYi Zen Hei, sans-serif\" font-size=\"";
  AppendPixels(out, kFontSize);
  out += "\">\n";
  out += "<!-- x: station along the road, y: elevation downwards. The point at (" +
         Shortest(frame.origin_x) + ", " + Shortest(frame.origin_y) + ") is station " +
         Shortest(frame.station) + ", elevation " + Shortest(frame.elevation) + "; " +
         Shortest(frame.scale) + " pixels a length unit along, " + Shortest(frame.exaggeration) +
         " times that upwards. -->\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
}

// Horizontal lines at round elevations across the drawing, labelled on the
// left.
void ElevationGrid(Svg& grid, Svg& labels, const SectionFrame& frame, double left, double right,
                   double top, double bottom) {
  const double up = frame.scale * frame.exaggeration;
  const double step = RoundLengthAbove(kGridPixels / up);
  const double z_top = frame.elevation + (frame.origin_y - top) / up;
  const double z_bottom = frame.elevation + (frame.origin_y - bottom) / up;
  const double first = std::ceil(z_bottom / step);
  const double last = std::floor(z_top / step);
  for (double k = first; k <= last; ++k) {
    const double z = k * step;
    const double y = frame.Y(z);
    grid.Line(left, y, right, y);
    labels.Text(left - 6.0, y + kFontSize * 0.35, "end", Shortest(z));
  }
}

// Vertical lines at the stations that are multiples of the interval, with
// the stations below; false, with the reason in `error`, for an interval
// given that makes too many.
bool StationGrid(Svg& grid, Svg& labels, const road::Alignment& alignment,
                 const road::Profile& profile, const SectionOptions& options,
                 const SectionFrame& frame, double top, double bottom, std::string& error) {
  double interval = options.tick_interval;
  if (interval == 0.0) {
    const double length = std::max(profile.End() - profile.Start(), 1e-9);
    interval = std::max(RoundLengthAbove(kTickPixels / frame.scale),
                        RoundLengthAbove(length / (kMaxTicks / 2)));
  }
  std::size_t ticks = 0;
  bool too_many = false;
  road::StakeoutStations(alignment, interval, {}, [&](const road::StakeoutRow& row) {
    if (row.distance < profile.Start()) {
      return true;
    }
    if (row.distance > profile.End()) {
      return false;
    }
    const double station = alignment.DisplayStation(row.distance);
    const double multiple = station / interval;
    if (std::fabs(multiple - std::round(multiple)) > 1e-9 * std::max(1.0, std::fabs(multiple))) {
      return true;  // an element boundary between multiples
    }
    if (++ticks > kMaxTicks) {
      too_many = options.tick_interval != 0.0;
      return false;
    }
    const double x = frame.X(row.distance);
    grid.Line(x, top, x, bottom);
    const double shown = std::round(multiple) * interval;
    labels.Text(x, bottom + 6.0 + kFontSize, "middle",
                options.station_text ? options.station_text(shown) : Shortest(shown));
    return true;
  });
  if (too_many) {
    error = "a tick every " + Shortest(interval) + " makes more than " + std::to_string(kMaxTicks) +
            " ticks";
    return false;
  }
  return true;
}

// The design line: straight between the curves, each curve in chords short
// enough that none strays more than kChordPixels from it.
void DesignLine(Svg& svg, const road::Profile& profile,
                const std::vector<road::VerticalCurveRow>& rows, const SectionFrame& frame) {
  std::vector<double> stations = {profile.Start()};
  const double up = frame.scale * frame.exaggeration;
  for (const road::VerticalCurveRow& row : rows) {
    if (row.curve == road::VerticalCurveKind::kNone) {
      stations.push_back(row.station);
      continue;
    }
    // A chord h long under a curve of radius R misses it by h^2 / (8 R)
    // (drawn `up` times larger); a circle bends more than its radius says
    // where the grade is steep: a fifth spared for it.
    const double radius = 0.8 * std::min(row.radius_in, row.radius_out);
    const double chord = std::sqrt(8.0 * kChordPixels * radius / up);
    const double n =
        std::clamp(std::ceil(row.length / chord), 2.0, static_cast<double>(kMaxChords));
    for (double i = 0; i <= n; ++i) {
      const double s = i == n ? row.end_station : row.start_station + row.length * (i / n);
      if (s > stations.back()) {
        stations.push_back(s);
      }
    }
  }
  if (profile.End() > stations.back()) {
    stations.push_back(profile.End());
  }
  svg.text += "<polyline class=\"design\" fill=\"none\" stroke=\"";
  svg.text += kDesignColour;
  svg.text += "\" stroke-width=\"2.5\" stroke-linejoin=\"round\" points=\"";
  for (const double s : stations) {
    svg.Point(frame, s, profile.ElevationAt(s).value_or(0.0));
  }
  svg.text += "\"/>\n";
}

// The grade lines through each curve's PVI, thin and dashed.
void Tangents(Svg& svg, const std::vector<road::VerticalCurveRow>& rows,
              const SectionFrame& frame) {
  svg.text += "<g class=\"tangents\" fill=\"none\" stroke=\"";
  svg.text += kTangentColour;
  svg.text += "\" stroke-width=\"1\" stroke-dasharray=\"6 4\">\n";
  for (const road::VerticalCurveRow& row : rows) {
    if (row.curve == road::VerticalCurveKind::kNone) {
      continue;
    }
    svg.text += "<polyline points=\"";
    svg.Point(frame, row.start_station, row.start_elevation);
    svg.Point(frame, row.station, row.elevation);
    svg.Point(frame, row.end_station, row.end_elevation);
    svg.text += "\"/>\n";
  }
  svg.text += "</g>\n";
}

// Each grade's percentage and length, along its line above its middle.
void Grades(Svg& labels, const std::vector<Vertex>& polygon, const SectionFrame& frame) {
  for (std::size_t i = 0; i + 1 < polygon.size(); ++i) {
    const Vertex& a = polygon[i];
    const Vertex& b = polygon[i + 1];
    const double grade = (b.elevation - a.elevation) / (b.station - a.station) * 100.0;
    const std::string percent = Decimals3(grade, true);
    const std::string label = (grade > 0.0 && percent != "0" ? "+" : "") + percent +
                              "% L=" + Decimals3(b.station - a.station, true);
    const double x1 = frame.X(a.station), y1 = frame.Y(a.elevation);
    const double x2 = frame.X(b.station), y2 = frame.Y(b.elevation);
    const double degrees = road::detail::AngleOf(y2 - y1, x2 - x1) * kDegrees;
    // Above the line's middle: the normal to the left of it.
    const double length = std::hypot(x2 - x1, y2 - y1);
    const double nx = length > 0.0 ? (y2 - y1) / length : 0.0;
    const double ny = length > 0.0 ? -(x2 - x1) / length : -1.0;
    labels.Turned((x1 + x2) / 2.0 + 5.0 * nx, (y1 + y2) / 2.0 + 5.0 * ny, degrees, "middle", label);
  }
}

// Each PVI: a ring, a leader out to its label (up at a crest, down at a
// sag), the station, the elevation and the curve; each curve's ends marked
// across the line and named at the drawing's foot.
void Pvis(Svg& marks, Svg& leaders, Svg& labels, const road::Alignment& alignment,
          const std::vector<road::VerticalCurveRow>& rows, const SectionOptions& options,
          const SectionFrame& frame, double bottom) {
  const auto station_text = [&](double s) {
    const double shown = alignment.DisplayStation(s);
    return options.station_text ? options.station_text(shown) : Shortest(shown);
  };
  std::vector<double> edges_up, edges_down;  // each level's labels' right edge
  for (const road::VerticalCurveRow& row : rows) {
    const double x = frame.X(row.station);
    const double y = frame.Y(row.elevation);
    const double side = row.bend == road::Bend::kSag ? 1.0 : -1.0;  // down, or up
    marks.text += "<circle cx=\"";
    AppendPixels(marks.text, x);
    marks.text += "\" cy=\"";
    AppendPixels(marks.text, y);
    marks.text += "\" r=\"3.5\"/>\n";
    std::vector<std::string> lines = {"PVI " + station_text(row.station),
                                      "H=" + Decimals3(row.elevation, false)};
    if (row.curve != road::VerticalCurveKind::kNone) {
      lines.push_back("R=" + Pair(row.radius_in, row.radius_out, true) +
                      " T=" + Pair(row.tangent_in, row.tangent_out, false) +
                      " E=" + Decimals3(row.external, false));
    }
    const double line_height = kFontSize * 1.2;
    // Close PVIs: a label that would cover the one before on its side goes
    // a block farther out, its leader with it.
    double width = 0.0;
    for (const std::string& line : lines) {
      width = std::max(width, 0.6 * kFontSize * static_cast<double>(line.size()));
    }
    std::vector<double>& edges = side < 0 ? edges_up : edges_down;
    std::size_t level = 0;
    while (level < edges.size() && edges[level] > x - width / 2.0) {
      ++level;
    }
    if (level == edges.size()) {
      edges.push_back(0.0);
    }
    edges[level] = x + width / 2.0 + 6.0;
    const double out = kLeaderPixels + static_cast<double>(level) * 3.0 * line_height;
    marks.Line(x, y + side * 4.0, x, y + side * out);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      // Up: the last line nearest the leader's end; down: the first.
      const double k =
          side < 0 ? static_cast<double>(lines.size() - 1 - i) : static_cast<double>(i);
      const double baseline =
          side < 0 ? y - out - 4.0 - k * line_height : y + out + kFontSize + k * line_height;
      labels.Text(x, baseline, "middle", lines[i], i == 0 ? "font-weight=\"bold\"" : "");
    }
    if (row.curve == road::VerticalCurveKind::kNone) {
      continue;
    }
    const std::pair<const char*, double> ends[] = {{"BVC ", row.start_station},
                                                   {"EVC ", row.end_station}};
    const double elevations[] = {row.start_elevation, row.end_elevation};
    for (std::size_t e = 0; e < 2; ++e) {
      const double ex = frame.X(ends[e].second);
      const double ey = frame.Y(elevations[e]);
      marks.Line(ex, ey - 8.0, ex, ey + 8.0);
      // Named at the foot of the drawing, reading upwards, clear of the
      // PVIs' labels, a dotted line up to the mark.
      leaders.Line(ex, ey + 8.0, ex, bottom);
      labels.Turned(ex + kFontSize * 0.35, bottom - 4.0, -90.0, "start",
                    ends[e].first + station_text(ends[e].second));
    }
  }
}

}  // namespace

std::optional<SectionPicture> SectionSvg(const road::Alignment& alignment,
                                         const road::Profile& profile,
                                         const SectionOptions& options, std::string& error) {
  if (!CheckOptions(options, error)) {
    return std::nullopt;
  }
  const std::vector<road::VerticalCurveRow> rows = profile.CurveTable();
  const std::vector<Vertex> polygon = Polygon(profile, rows);
  const std::optional<SectionFrame> frame = FitFrame(polygon, options, error);
  if (!frame) {
    return std::nullopt;
  }
  const double title_room = options.title.empty() ? 0.0 : 2.0 * kFontSize;
  const double left = frame->X(profile.Start());
  const double right = frame->X(profile.End());
  const double top = kMargin + title_room;
  const double bottom = options.height - kMargin;

  Svg svg;
  Opening(svg, options, *frame);
  Svg grid, grid_labels;
  ElevationGrid(grid, grid_labels, *frame, left, right, top, bottom);
  if (!StationGrid(grid, grid_labels, alignment, profile, options, *frame, top, bottom, error)) {
    return std::nullopt;
  }
  svg.text += "<g class=\"grid\" stroke=\"#d0d0d0\" stroke-width=\"1\">\n" + grid.text + "</g>\n";
  svg.text += "<g class=\"grid-labels\" fill=\"#555555\">\n" + grid_labels.text + "</g>\n";
  Tangents(svg, rows, *frame);
  DesignLine(svg, profile, rows, *frame);
  Svg marks, leaders, labels;
  Pvis(marks, leaders, labels, alignment, rows, options, *frame, bottom);
  svg.text += "<g stroke=\"#8c8c8c\" stroke-width=\"1\" stroke-dasharray=\"2 3\">\n" +
              leaders.text + "</g>\n";
  Grades(labels, polygon, *frame);
  svg.text +=
      "<g stroke=\"#000000\" stroke-width=\"1.2\" fill=\"#ffffff\">\n" + marks.text + "</g>\n";
  svg.text +=
      "<g class=\"labels\" stroke=\"#ffffff\" stroke-width=\"3\" paint-order=\"stroke\" "
      "stroke-linejoin=\"round\">\n" +
      labels.text + "</g>\n";
  svg.Text(options.width - 16, options.height - 14, "end",
           "vertical exaggeration " + Shortest(options.exaggeration) + "\xC3\x97",
           "fill=\"#555555\" font-size=\"11\"");
  if (!options.title.empty()) {
    svg.Text(options.width / 2, 12 + kFontSize * 1.4, "middle", options.title,
             "font-weight=\"bold\" font-size=\"18\"");
  }
  svg.text += "</svg>\n";
  return SectionPicture{std::move(svg.text), *frame};
}

}  // namespace velmora::plot
