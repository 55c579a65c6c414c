// The plan view of a road, independent of any window: what to draw (the
// centre line as polylines per element kind with their colours, the offset
// lines, the main points with code and K-station) and where on the screen
// a point of the ground goes (fit to the window, zoom about a point, pan).
// Screen coordinates are pixels, u to the right (east), v down (south).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/stations.h"
#include "road/alignment.h"
#include "road/geometry.h"

namespace velmora::roadwindow {

struct ScreenPoint {
  double u = 0.0;
  double v = 0.0;
};

// The ground's rectangle: x northing, y easting.
struct Extent {
  double min_x = 0.0, min_y = 0.0, max_x = 0.0, max_y = 0.0;
  bool empty = true;
  void Add(road::Point p);
};

class PlanTransform {
 public:
  // The whole extent, centred, as large as fits inside the window less
  // `margin` pixels on each side, north up.
  void Fit(const Extent& extent, double width, double height, double margin);
  // Keeps the ground point under (u, v) where it is, the scale times `factor`.
  void ZoomAbout(ScreenPoint at, double factor);
  // Moves the picture by (du, dv) pixels.
  void Pan(double du, double dv);

  ScreenPoint ToScreen(road::Point p) const;
  road::Point ToGround(ScreenPoint s) const;
  double scale() const { return scale_; }  // pixels per length unit

  // The closest and farthest a picture zooms: a road of millions of units
  // still draws, and a millimetre still fills the window.
  static constexpr double kLeastScale = 1e-6;
  static constexpr double kMostScale = 1e6;

 private:
  // The ground point shown at screen (0, 0), and pixels per unit.
  double north_ = 0.0;
  double east_ = 0.0;
  double scale_ = 1.0;
};

// Colours as 0x00BBGGRR, as GDI takes them.
inline constexpr std::uint32_t kStraightColour = 0x00B05A1E;  // blue
inline constexpr std::uint32_t kArcColour = 0x002020D0;       // red
inline constexpr std::uint32_t kSpiralColour = 0x0030A030;    // green
inline constexpr std::uint32_t kOffsetColour = 0x00909090;    // grey
std::uint32_t ColourOf(road::Kind kind);

struct Polyline {
  road::Kind kind = road::Kind::kStraight;
  bool offset_line = false;
  std::uint32_t colour = kStraightColour;
  std::vector<road::Point> points;
};

struct MainPoint {
  road::Point at;
  std::string code;     // ZH, HY, ... (road::BoundaryCode)
  std::string station;  // "K0+100.000"
};

struct PlanDrawing {
  std::vector<Polyline> lines;  // centre line elements first, then offset lines
  std::vector<MainPoint> points;
  Extent extent;
  bool complete = true;  // false when an element could not be traced
};

// The drawing of `alignment`: each element a polyline within `tolerance`
// of the line, each offset's line per element, and every element boundary.
PlanDrawing DrawRoad(const road::Alignment& alignment, const std::vector<double>& offsets,
                     double tolerance, model::StationFormat stations, int decimals);

// A tolerance that draws smoothly: a fraction of a pixel at the fitted
// scale of a road of this extent in a window of this many pixels across.
double DrawingTolerance(const Extent& extent, double pixels_across);

}  // namespace velmora::roadwindow
