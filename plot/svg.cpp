#include "plot/svg.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "plot/trace.h"
#include "road/geometry.h"
#include "road/stakeout.h"
#include "text/text.h"

namespace velmora::plot {
namespace {

constexpr double kMargin = 90.0;           // pixels kept round the drawing for labels
constexpr double kFontSize = 13.0;         // pixels
constexpr double kChordPixels = 0.2;       // the drawn line's largest distance from the curve
constexpr double kTickPixels = 7.0;        // half a tick
constexpr double kBoundaryPixels = 13.0;   // half a boundary mark, at most
constexpr double kLabelGapPixels = 6.0;    // between a mark's end and its label
constexpr double kTickSpacingPixels = 90;  // the least room between chosen ticks
constexpr std::size_t kMaxTicks = 10'000;
constexpr double kSmallestPicture = 200.0;
constexpr double kLargestPicture = 100'000.0;

struct Colour {
  std::string_view name;
  std::string_view rgb;
};
// Straight, arc, spiral, in the order of road::Kind.
constexpr std::array<Colour, 3> kKindColours = {{
    {"straight (Z)", "#1f5fbf"},
    {"arc (Y)", "#d62728"},
    {"spiral (H)", "#2ca02c"},
}};
constexpr std::string_view kOffsetColour = "#6b6b6b";

const Colour& ColourOf(road::Kind kind) {
  switch (kind) {
    case road::Kind::kArc:
      return kKindColours[1];
    case road::Kind::kSpiral:
      return kKindColours[2];
    case road::Kind::kStraight:
      break;
  }
  return kKindColours[0];
}

// A pixel position, to 0.01 pixel.
void Put(std::string& out, double value) {
  if (std::fabs(value) < 0.005) {
    value = 0.0;
  }
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, 2);
  std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
  // "12.50" -> "12.5", "12.00" -> "12".
  if (text.find('.') != std::string_view::npos) {
    while (text.back() == '0') {
      text.remove_suffix(1);
    }
    if (text.back() == '.') {
      text.remove_suffix(1);
    }
  }
  out += text;
}

// A value as short as it reads back the same.
std::string Shortest(double value) {
  std::array<char, 64> buffer{};
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  if (result.ec != std::errc()) {
    const auto general = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), general.ptr);
  }
  return std::string(buffer.data(), result.ptr);
}

struct Box {
  double min_x = std::numeric_limits<double>::infinity();
  double min_y = std::numeric_limits<double>::infinity();
  double max_x = -std::numeric_limits<double>::infinity();
  double max_y = -std::numeric_limits<double>::infinity();

  void Add(double x, double y) {
    min_x = std::min(min_x, x);
    min_y = std::min(min_y, y);
    max_x = std::max(max_x, x);
    max_y = std::max(max_y, y);
  }
  bool Overlaps(const Box& other) const {
    return min_x < other.max_x && other.min_x < max_x && min_y < other.max_y && other.min_y < max_y;
  }
};

// Roughly how wide a label is drawn: CJK characters count twice.
double TextWidth(std::string_view text) {
  double ems = 0.0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) {
      ems += byte >= 0xE0 ? 1.0 : 0.6;
    }
  }
  return ems * kFontSize;
}

using Svg = SvgText;

// Labels put beside a point, out along a direction, moved farther out while
// they would cover one already placed.
class Labels {
 public:
  // The label's box when placed `distance` pixels from (x, y) along the unit
  // direction (dx, dy); its anchor and baseline are chosen so that it
  // extends away from the point.
  struct Placement {
    double x, y;
    std::string_view anchor;
    Box box;
  };

  static Placement Place(double x, double y, double dx, double dy, double distance,
                         std::string_view label) {
    Placement p{x + dx * distance, y + dy * distance, "middle", {}};
    const double width = TextWidth(label);
    double left = p.x - width / 2;
    if (dx > 0.35) {
      p.anchor = "start";
      left = p.x;
    } else if (dx < -0.35) {
      p.anchor = "end";
      left = p.x - width;
    }
    // The baseline: below the point for a label that goes down, above for
    // one that goes up, centred otherwise.
    double baseline = p.y + kFontSize * 0.35;
    if (dy > 0.35) {
      baseline = p.y + kFontSize * 0.8;
    } else if (dy < -0.35) {
      baseline = p.y - kFontSize * 0.1;
    }
    p.y = baseline;
    p.box.Add(left, baseline - kFontSize * 0.8);
    p.box.Add(left + width, baseline + kFontSize * 0.2);
    return p;
  }

  // Places the label and returns where, or nothing when it would cover an
  // earlier label however it is put: a picture too crowded for every label
  // keeps those placed first (the boundaries' before the ticks').
  std::optional<Placement> Add(double x, double y, double dx, double dy, double distance,
                               std::string_view label) {
    constexpr int kTries = 2;
    for (int i = 0; i < kTries; ++i) {
      const Placement p = Place(x, y, dx, dy, distance + i * kFontSize * 1.2, label);
      if (std::none_of(placed_.begin(), placed_.end(),
                       [&](const Box& b) { return b.Overlaps(p.box); })) {
        placed_.push_back(p.box);
        return p;
      }
    }
    return std::nullopt;
  }

 private:
  std::vector<Box> placed_;
};

struct Mark {
  road::Point point;
  double azimuth;  // radians
};

// The points of a polyline, a traced point at a time, as pixels "x,y"
// apart by spaces.
struct PointsWriter {
  std::string& out;
  const Frame& frame;
  bool first = true;

  void operator()(road::Point p) {
    if (!first) {
      out += ' ';
    }
    first = false;
    Put(out, frame.X(p));
    out += ',';
    Put(out, frame.Y(p));
  }
};

std::optional<Mark> MarkAt(const road::Alignment& alignment, std::size_t element, double distance) {
  const road::Element& e = alignment.elements()[element];
  const std::optional<road::Point> p = road::PointAt(e, distance);
  const std::optional<double> azimuth = road::AzimuthAt(e, distance);
  if (!p || !azimuth) {
    return std::nullopt;
  }
  return Mark{*p, *azimuth};
}

}  // namespace

std::string XmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  text::AppendXmlText(out, text);
  return out;
}

void AppendPixels(std::string& out, double value) { Put(out, value); }

void SvgText::Open(double width, double height) {
  text += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  text += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  Put(text, width);
  text += "\" height=\"";
  Put(text, height);
  text += "\" viewBox=\"0 0 ";
  Put(text, width);
  text += ' ';
  Put(text, height);
  text += '"';
}

void SvgText::Text(double x, double y, std::string_view anchor, std::string_view label,
                   std::string_view extra) {
  text += "<text x=\"";
  Put(text, x);
  text += "\" y=\"";
  Put(text, y);
  text += "\" text-anchor=\"";
  text += anchor;
  text += '"';
  if (!extra.empty()) {
    text += ' ';
    text += extra;
  }
  text += '>';
  text += XmlText(label);
  text += "</text>\n";
}

void SvgText::Turned(double x, double y, double degrees, std::string_view anchor,
                     std::string_view label) {
  std::string turn = "transform=\"rotate(";
  Put(turn, degrees);
  turn += ' ';
  Put(turn, x);
  turn += ' ';
  Put(turn, y);
  turn += ")\"";
  Text(x, y, anchor, label, turn);
}

void SvgText::Line(double x1, double y1, double x2, double y2) {
  text += "<line x1=\"";
  Put(text, x1);
  text += "\" y1=\"";
  Put(text, y1);
  text += "\" x2=\"";
  Put(text, x2);
  text += "\" y2=\"";
  Put(text, y2);
  text += "\"/>\n";
}

double RoundLengthBelow(double limit) {
  double power = std::pow(10.0, std::floor(std::log10(limit)));
  // log10 may land a hair off for exact powers of ten.
  if (power > limit) {
    power /= 10.0;
  } else if (power * 10.0 <= limit) {
    power *= 10.0;
  }
  for (const double m : {5.0, 2.0}) {
    if (m * power <= limit) {
      return m * power;
    }
  }
  return power;
}

double RoundLengthAbove(double least) {
  const double below = RoundLengthBelow(least);
  if (below >= least) {
    return below;
  }
  // The next after 1, 2 or 5 times a power of ten: 2, 5 or 10 times it.
  const double twice = below * 2.0;
  return RoundLengthBelow(twice) == twice ? twice : below * 2.5;
}

namespace {

// The legend, top left: a line of each kind of element drawn, and the
// offset line's dashes.
void Legend(Svg& svg, const road::Alignment& alignment, const PlotOptions& options) {
  std::string& out = svg.text;
  std::vector<Colour> legend;
  std::array<bool, 3> used{};
  for (const road::Element& e : alignment.elements()) {
    used[static_cast<std::size_t>(road::KindOf(e))] = true;
  }
  for (std::size_t k = 0; k < used.size(); ++k) {
    if (used[k]) {
      legend.push_back(kKindColours[k]);
    }
  }
  const double row = kFontSize * 1.6;
  const double legend_height =
      row * static_cast<double>(legend.size() + (options.offsets.empty() ? 0 : 1)) + 10.0;
  out += "<g>\n<rect x=\"12\" y=\"12\" width=\"150\" height=\"";
  Put(out, legend_height);
  out += "\" fill=\"#ffffff\" fill-opacity=\"0.85\" stroke=\"#999999\"/>\n";
  double ly = 12.0 + 5.0 + row / 2.0;
  // A row: a stretch of the line as drawn, then its name.
  const auto legend_row = [&](std::string_view stroke, std::string_view style,
                              std::string_view name) {
    out += "<line x1=\"22\" x2=\"52\" y1=\"";
    Put(out, ly);
    out += "\" y2=\"";
    Put(out, ly);
    out += "\" stroke=\"";
    out += stroke;
    out += style;
    svg.Text(60, ly + kFontSize * 0.35, "start", name);
    ly += row;
  };
  for (const Colour& c : legend) {
    legend_row(c.rgb, "\" stroke-width=\"3\"/>\n", c.name);
  }
  if (!options.offsets.empty()) {
    legend_row(kOffsetColour, "\" stroke-width=\"1.5\" stroke-dasharray=\"9 6\"/>\n",
               "offset line");
  }
  out += "</g>\n";
}

// The north arrow, top right: northing is up.
void NorthArrow(Svg& svg, const PlotOptions& options) {
  std::string& out = svg.text;
  const double ax = options.width - 40.0;
  out += "<g fill=\"#000000\" stroke=\"#000000\" stroke-width=\"1.5\">\n<path d=\"M ";
  Put(out, ax);
  out += " 30 L ";
  Put(out, ax + 9);
  out += " 62 L ";
  Put(out, ax);
  out += " 55 L ";
  Put(out, ax - 9);
  out += " 62 Z\"/>\n";
  out += "</g>\n";
  svg.Text(ax, 24, "middle", "N", "font-weight=\"bold\" font-size=\"16\"");
}

// The scale bar, bottom left: a round length, in two halves.
void ScaleBar(Svg& svg, const PlotOptions& options, const Frame& frame) {
  std::string& out = svg.text;
  const double room_x = options.width - 2.0 * kMargin;
  const double bar = RoundLengthBelow(0.25 * room_x / frame.scale);
  const double bar_pixels = bar * frame.scale;
  const double bx = 24.0;
  const double by = options.height - 36.0;
  out += "<g stroke=\"#000000\" stroke-width=\"1\">\n<rect x=\"";
  Put(out, bx);
  out += "\" y=\"";
  Put(out, by);
  out += "\" width=\"";
  Put(out, bar_pixels / 2);
  out += "\" height=\"6\" fill=\"#000000\"/>\n<rect x=\"";
  Put(out, bx + bar_pixels / 2);
  out += "\" y=\"";
  Put(out, by);
  out += "\" width=\"";
  Put(out, bar_pixels / 2);
  out += "\" height=\"6\" fill=\"#ffffff\"/>\n</g>\n";
  svg.Text(bx, by + 22, "middle", "0");
  svg.Text(bx + bar_pixels / 2, by + 22, "middle", Shortest(bar / 2));
  svg.Text(bx + bar_pixels, by + 22, "middle", Shortest(bar));
  svg.Text(bx + bar_pixels + TextWidth(Shortest(bar)) / 2 + 8, by + 22, "start", "length units");
}

// The offset lines, dashed, under the centre line.
void OffsetLines(Svg& svg, const road::Alignment& alignment, const PlotOptions& options,
                 const Frame& frame, double tolerance) {
  std::string& out = svg.text;
  if (!options.offsets.empty()) {
    out += "<g fill=\"none\" stroke=\"";
    out += kOffsetColour;
    out += "\" stroke-width=\"1.5\" stroke-dasharray=\"9 6\">\n";
    for (const double offset : options.offsets) {
      out += "<polyline data-offset=\"" + Shortest(offset) + "\" points=\"";
      TraceAlignment(alignment, offset, tolerance, PointsWriter{out, frame});
      out += "\"/>\n";
    }
    out += "</g>\n";
  }
}

// The centre line, an element at a time in its kind's colour; false, with
// the reason in `error`, for an element that cannot be traced.
bool CentreLine(Svg& svg, const road::Alignment& alignment, const Frame& frame, double tolerance,
                std::string& error) {
  std::string& out = svg.text;
  out +=
      "<g fill=\"none\" stroke-width=\"3\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n";
  for (std::size_t i = 0; i < alignment.elements().size(); ++i) {
    const road::Element& e = alignment.elements()[i];
    out += "<polyline stroke=\"";
    out += ColourOf(road::KindOf(e)).rgb;
    out += "\" data-start=\"" + Shortest(e.start_station) + "\" data-end=\"" +
           Shortest(e.end_station) + "\" points=\"";
    if (!TraceElement(alignment, i, 0.0, tolerance, PointsWriter{out, frame})) {
      error = "element " + std::to_string(i) + " cannot be computed";
      return false;
    }
    out += "\"/>\n";
  }
  out += "</g>\n";
  return true;
}

// The options' refusals: a size outside the range drawn, an interval or
// offset that is not a number, or a road of no elements.
bool CheckOptions(const road::Alignment& alignment, const PlotOptions& options,
                  std::string& error) {
  const auto in_range = [](double v) { return v >= kSmallestPicture && v <= kLargestPicture; };
  if (!in_range(options.width) || !in_range(options.height)) {
    error = "the picture's size is from 200 to 100000 pixels";
    return false;
  }
  if (!std::isfinite(options.tick_interval) || options.tick_interval < 0.0) {
    error = "the tick interval is a number above 0";
    return false;
  }
  for (const double offset : options.offsets) {
    if (!std::isfinite(offset)) {
      error = "an offset is not a number";
      return false;
    }
  }
  if (alignment.elements().empty()) {
    error = "the alignment has no elements";
    return false;
  }
  return true;
}

// The frame that fits the centre line and every offset line into the
// picture between its margins, under the title: the extent of each line
// traced coarsely, then widened by as much as the coarse trace may miss.
std::optional<Frame> FitFrame(const road::Alignment& alignment, const PlotOptions& options,
                              std::string& error) {
  std::vector<double> lines = {0.0};
  lines.insert(lines.end(), options.offsets.begin(), options.offsets.end());
  const double length = alignment.End() - alignment.Start();
  const double coarse = std::max(length, 1e-9) / 4000.0;
  Box ground;
  for (const double offset : lines) {
    const bool ok =
        TraceAlignment(alignment, offset, coarse, [&](road::Point p) { ground.Add(p.y, p.x); });
    if (!ok) {
      error = "the alignment cannot be computed along its length";
      return std::nullopt;
    }
  }
  const double title_room = options.title.empty() ? 0.0 : 2.0 * kFontSize;
  const double room_x = options.width - 2.0 * kMargin;
  // The title takes its room from the margins' in the smallest pictures.
  const double room_y =
      std::max(options.height - 2.0 * kMargin - title_room, kSmallestPicture - 2.0 * kMargin);
  const double span_east = std::max(ground.max_x - ground.min_x + 2.0 * coarse, 1e-9);
  const double span_north = std::max(ground.max_y - ground.min_y + 2.0 * coarse, 1e-9);

  Frame frame;
  frame.scale = std::min(room_x / span_east, room_y / span_north);
  frame.east = (ground.min_x + ground.max_x) / 2.0;
  frame.north = (ground.min_y + ground.max_y) / 2.0;
  frame.origin_x = options.width / 2.0;
  frame.origin_y = (options.height + title_room) / 2.0;
  if (!std::isfinite(frame.scale) || !(frame.scale > 0.0)) {
    error = "the alignment is too large to draw";
    return std::nullopt;
  }
  return frame;
}

// The interval between ticks: the one given, or a round one that leaves the
// labels room, never so small that the road's length holds more than half
// the ticks allowed (a long road coiled into a small picture): any road that
// loads gets its ticks.
double TickInterval(const road::Alignment& alignment, const PlotOptions& options,
                    const Frame& frame) {
  if (options.tick_interval != 0.0) {
    return options.tick_interval;
  }
  const double length = alignment.End() - alignment.Start();
  return std::max(RoundLengthAbove(kTickSpacingPixels / frame.scale),
                  RoundLengthAbove(std::max(length, 1e-9) / (kMaxTicks / 2)));
}

// The svg element, with the frame in an attribute and in a comment, and the
// white ground.
void Opening(Svg& svg, const PlotOptions& options, const Frame& frame) {
  std::string& out = svg.text;
  svg.Open(options.width, options.height);
  // x = origin_x + (easting - east) * scale, y = origin_y + (north - northing) * scale.
  out += " data-velmora-frame=\"" + Shortest(frame.east) + ' ' + Shortest(frame.north) + ' ' +
         Shortest(frame.origin_x) + ' ' + Shortest(frame.origin_y) + ' ' + Shortest(frame.scale) +
         "\"";
  out += " font-family=\"DejaVu Sans, Noto Sans, WenQuanYi Zen Hei, sans-serif\" font-size=\"";
  Put(out, kFontSize);
  out += "\">\n";
  out +=
      "<!-- x: easting, y: northing downwards; pixels from the picture's corner. The point "
      "at (" +
      Shortest(frame.origin_x) + ", " + Shortest(frame.origin_y) + ") is easting " +
      Shortest(frame.east) + ", northing " + Shortest(frame.north) + "; " + Shortest(frame.scale) +
      " pixels a length unit. -->\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
}

// A displayed station as its label shows it.
std::string StationText(const PlotOptions& options, double station) {
  return options.station_text ? options.station_text(station) : Shortest(station);
}

// What a label adds for the height there: a space and the text, or nothing.
std::string HeightText(const PlotOptions& options, double distance, double offset) {
  const std::string text = options.height_text ? options.height_text(distance, offset) : "";
  return text.empty() ? text : ' ' + text;
}

// The marks and labels drawn over the lines. They are placed in the order
// their labels are kept when the picture crowds (the boundaries', the
// ticks', the offsets'), each layer gathered apart, and written in the
// order they stack.
struct Overlay {
  Labels placed;
  Svg ticks;
  Svg marks;           // the boundaries'
  Svg station_labels;  // the boundaries' and the ticks'
  Svg offset_labels;
};

// Element boundaries: a mark across the line and the code with the
// station on the left; false, with the reason in `error`, for a boundary
// that cannot be computed.
bool BoundaryMarks(Overlay& overlay, const road::Alignment& alignment, const PlotOptions& options,
                   const Frame& frame, std::string& error) {
  // Marks no longer than a third of the shortest element, so that close
  // boundaries stay apart (and the line between them shows).
  double shortest = std::numeric_limits<double>::infinity();
  for (const road::Element& e : alignment.elements()) {
    shortest = std::min(shortest, e.Length() * frame.scale);
  }
  const double half_mark = std::clamp(shortest / 3.0, 4.0, kBoundaryPixels);
  // The start and the end first: their labels are kept when the others
  // crowd.
  const std::size_t boundaries = alignment.elements().size() + 1;
  for (std::size_t i = 0; i < boundaries; ++i) {
    const std::size_t b = i == 0 ? 0 : i == 1 ? boundaries - 1 : i - 1;
    const bool last = b == alignment.elements().size();
    const std::size_t element = last ? b - 1 : b;
    const double distance = last ? alignment.elements()[element].end_station
                                 : alignment.elements()[element].start_station;
    const std::optional<Mark> mark = MarkAt(alignment, element, distance);
    if (!mark) {
      error = "element " + std::to_string(element) + " cannot be computed at its ends";
      return false;
    }
    const double x = frame.X(mark->point);
    const double y = frame.Y(mark->point);
    // The right-hand normal, in the picture.
    const double nx = std::cos(mark->azimuth);
    const double ny = std::sin(mark->azimuth);
    Svg& marks = overlay.marks;
    marks.Line(x - nx * half_mark, y - ny * half_mark, x + nx * half_mark, y + ny * half_mark);
    marks.text += "<circle cx=\"";
    Put(marks.text, x);
    marks.text += "\" cy=\"";
    Put(marks.text, y);
    marks.text += "\" r=\"";
    Put(marks.text, std::min(3.5, half_mark / 3.0));
    marks.text += "\"/>\n";
    const std::string label = std::string(road::BoundaryCode(alignment, b)) + ' ' +
                              StationText(options, alignment.DisplayStation(distance)) +
                              HeightText(options, distance, 0.0);
    if (const auto p = overlay.placed.Add(x, y, -nx, -ny, half_mark + kLabelGapPixels, label)) {
      overlay.station_labels.Text(p->x, p->y, p->anchor, label, "font-weight=\"bold\"");
    }
  }
  return true;
}

// Ticks at the multiples of the interval, labelled on the right; false,
// with the reason in `error`, for a tick that cannot be computed or an
// interval given that makes too many.
bool Ticks(Overlay& overlay, const road::Alignment& alignment, const PlotOptions& options,
           const Frame& frame, double interval, std::string& error) {
  std::size_t tick_count = 0;
  bool too_many = false;
  bool failed = false;
  road::StakeoutStations(alignment, interval, {}, [&](const road::StakeoutRow& row) {
    const double station = alignment.DisplayStation(row.distance);
    const double multiple = station / interval;
    if (std::fabs(multiple - std::round(multiple)) > 1e-9 * std::max(1.0, std::fabs(multiple))) {
      return true;  // a boundary between multiples
    }
    if (++tick_count > kMaxTicks) {
      too_many = options.tick_interval != 0.0;  // one chosen here stops, unrefused
      return false;
    }
    const std::optional<Mark> mark = MarkAt(alignment, row.element, row.distance);
    if (!mark) {
      failed = true;
      return false;
    }
    const double x = frame.X(mark->point);
    const double y = frame.Y(mark->point);
    const double nx = std::cos(mark->azimuth);
    const double ny = std::sin(mark->azimuth);
    overlay.ticks.Line(x - nx * kTickPixels, y - ny * kTickPixels, x + nx * kTickPixels,
                       y + ny * kTickPixels);
    if (!row.code.empty()) {
      return true;  // a boundary: its own label gives the station
    }
    const std::string label = StationText(options, std::round(multiple) * interval);
    if (const auto p = overlay.placed.Add(x, y, nx, ny, kTickPixels + kLabelGapPixels, label)) {
      overlay.station_labels.Text(p->x, p->y, p->anchor, label);
    }
    return true;
  });
  if (too_many) {
    error = "a tick every " + Shortest(interval) + " makes more than " + std::to_string(kMaxTicks) +
            " ticks";
    return false;
  }
  if (failed) {
    error = "the alignment cannot be computed at a tick";
    return false;
  }
  return true;
}

// Offset values at the end of their lines.
void OffsetLabels(Overlay& overlay, const road::Alignment& alignment, const PlotOptions& options,
                  const Frame& frame) {
  for (const double offset : options.offsets) {
    const road::Element& e = alignment.elements().back();
    const std::optional<road::Point> p = road::PointAt(e, e.end_station, offset);
    const std::optional<double> azimuth = road::AzimuthAt(e, e.end_station);
    if (!p || !azimuth) {
      continue;
    }
    const std::string label =
        (offset > 0.0 ? "+" : "") + Shortest(offset) + HeightText(options, e.end_station, offset);
    // Ahead of the line's end and out to its side: between the forward
    // direction and the normal toward the offset's side.
    const double side = offset > 0.0 ? 1.0 : -1.0;
    const double dx = (std::sin(*azimuth) + side * std::cos(*azimuth)) / std::sqrt(2.0);
    const double dy = (-std::cos(*azimuth) + side * std::sin(*azimuth)) / std::sqrt(2.0);
    if (const auto placed =
            overlay.placed.Add(frame.X(*p), frame.Y(*p), dx, dy, kLabelGapPixels, label)) {
      overlay.offset_labels.Text(placed->x, placed->y, placed->anchor, label);
    }
  }
}

// The overlay over every line: the ticks, the boundary marks, then the
// labels with a white edge.
void DrawOverlay(Svg& svg, const Overlay& overlay) {
  std::string& out = svg.text;
  out += "<g stroke=\"#000000\" stroke-width=\"1.5\">\n" + overlay.ticks.text + "</g>\n";
  out += "<g stroke=\"#000000\" stroke-width=\"1.5\" fill=\"#ffffff\">\n" + overlay.marks.text +
         "</g>\n";
  out +=
      "<g stroke=\"#ffffff\" stroke-width=\"3\" paint-order=\"stroke\" "
      "stroke-linejoin=\"round\">\n";
  out += "<g fill=\"";
  out += kOffsetColour;
  out += "\">\n" + overlay.offset_labels.text + "</g>\n";
  out += overlay.station_labels.text;
  out += "</g>\n";
}

// Where the picture is on the ground, bottom right.
void Whereabouts(Svg& svg, const PlotOptions& options, const Frame& frame) {
  svg.Text(options.width - 16, options.height - 14, "end",
           "centre: E " + Shortest(std::round(frame.east * 1000) / 1000) + "  N " +
               Shortest(std::round(frame.north * 1000) / 1000) + "  (coordinates untransformed)",
           "fill=\"#555555\" font-size=\"11\"");
}

// The title, top centre, when there is one.
void Title(Svg& svg, const PlotOptions& options) {
  if (!options.title.empty()) {
    svg.Text(options.width / 2, 12 + kFontSize * 1.4, "middle", options.title,
             "font-weight=\"bold\" font-size=\"18\"");
  }
}

}  // namespace

std::optional<Picture> PlotSvg(const road::Alignment& alignment, const PlotOptions& options,
                               std::string& error) {
  if (!CheckOptions(alignment, options, error)) {
    return std::nullopt;
  }
  const std::optional<Frame> frame = FitFrame(alignment, options, error);
  if (!frame) {
    return std::nullopt;
  }
  const double tolerance = kChordPixels / frame->scale;
  Svg svg;
  Opening(svg, options, *frame);
  OffsetLines(svg, alignment, options, *frame, tolerance);
  if (!CentreLine(svg, alignment, *frame, tolerance, error)) {
    return std::nullopt;
  }
  Overlay overlay;
  if (!BoundaryMarks(overlay, alignment, options, *frame, error) ||
      !Ticks(overlay, alignment, options, *frame, TickInterval(alignment, options, *frame),
             error)) {
    return std::nullopt;
  }
  OffsetLabels(overlay, alignment, options, *frame);
  DrawOverlay(svg, overlay);
  Legend(svg, alignment, options);
  NorthArrow(svg, options);
  ScaleBar(svg, options, *frame);
  Whereabouts(svg, options, *frame);
  Title(svg, options);
  svg.text += "</svg>\n";
  return Picture{std::move(svg.text), *frame};
}

}  // namespace velmora::plot
