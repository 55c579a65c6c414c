// A picture of an alignment as SVG: the centre line coloured by element
// kind, each element boundary marked with its code and station, station
// ticks with labels, offset lines dashed, a legend, a north arrow and a
// scale bar.
//
// The picture is drawn in a local frame: x is easting and y is southing, in
// pixels from the picture's corner, so coordinates of millions of units
// keep their precision (the corner is taken off in double before any
// number is written).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "road/alignment.h"

namespace velmora::plot {

struct PlotOptions {
  // The stations that get a tick and a label: every whole multiple of this
  // displayed station; 0 chooses a round interval that leaves room for the
  // labels.
  double tick_interval = 0.0;
  std::vector<double> offsets;  // lines drawn dashed, right of the centre line positive
  double width = 1600.0;        // the picture, in pixels
  double height = 1000.0;
  std::string title;  // drawn at the top when not empty
  // A displayed station as a label shows it ("K1+200"); nothing given:
  // the shortest number that reads back as the station ("1200", "12.5").
  std::function<std::string(double)> station_text;
  // What a main point's label adds after its station, and an offset line's
  // after its offset, at a station along the road (alignment.h) and an
  // offset: a design elevation ("H=103.250"); empty adds nothing.
  std::function<std::string(double, double)> height_text;
};

// Where a point of the ground is in the picture.
struct Frame {
  double east = 0.0;   // the easting at x = origin_x
  double north = 0.0;  // the northing at y = origin_y
  double origin_x = 0.0;
  double origin_y = 0.0;
  double scale = 1.0;  // pixels per length unit

  double X(road::Point p) const { return origin_x + (p.y - east) * scale; }
  double Y(road::Point p) const { return origin_y + (north - p.x) * scale; }
};

struct Picture {
  std::string svg;
  Frame frame;
};

// The picture, or nothing with the reason in `error` (an element that
// cannot be computed, a size or interval that is not a positive number).
std::optional<Picture> PlotSvg(const road::Alignment& alignment, const PlotOptions& options,
                               std::string& error);

// The largest of 1, 2 and 5 times a power of ten that is at most `limit`
// (> 0).
double RoundLengthBelow(double limit);

// The smallest of them that is at least `least` (> 0).
double RoundLengthAbove(double least);

// A text as it can stand in SVG text or an attribute, whatever its bytes
// (text::AppendXmlText).
std::string XmlText(std::string_view text);

// Appends a pixel position as the pictures write them: to 0.01 pixel,
// without trailing zeros ("12.5", "12").
void AppendPixels(std::string& out, double value);

// SVG elements written as the pictures write them, gathered in `text`.
class SvgText {
 public:
  std::string text;

  // The XML declaration and the svg element's start, `width` by `height`
  // pixels with a viewBox to match; its tag is left open for the picture's
  // own attributes.
  void Open(double width, double height);
  // A <text> at (x, y) with its text-anchor, any `extra` attributes, and
  // the label escaped.
  void Text(double x, double y, std::string_view anchor, std::string_view label,
            std::string_view extra = {});
  // The same turned `degrees` clockwise about its anchor.
  void Turned(double x, double y, double degrees, std::string_view anchor, std::string_view label);
  void Line(double x1, double y1, double x2, double y2);
};

}  // namespace velmora::plot
