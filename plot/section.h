// The longitudinal section of a road as SVG: the design line of its
// profile against station, elevations drawn larger than stations by the
// vertical exaggeration; the grade lines dashed through each PVI with the
// vertical curves drawn as computed, each grade with its percentage and
// length, each PVI with its station, elevation and curve (R, T, E), the
// curves' ends marked, and a grid labelled with stations and elevations.
//
// x grows with the station along the road, y downwards as the elevation
// falls, in pixels from the picture's corner; the frame's numbers are
// written on the svg element (data-velmora-section) so that a reader can
// take points back to stations and elevations.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "road/alignment.h"
#include "road/profile.h"

namespace velmora::plot {

struct SectionOptions {
  double exaggeration = 10.0;  // the vertical scale over the horizontal one
  // Station ticks at every whole multiple of this displayed station; 0
  // chooses a round interval that leaves room for the labels.
  double tick_interval = 0.0;
  double width = 1600.0;  // pixels
  double height = 1000.0;
  std::string title;
  // A displayed station as a label shows it; nothing given: the shortest
  // number that reads back as the station.
  std::function<std::string(double)> station_text;
};

struct SectionFrame {
  double station = 0.0;    // the station along the road at x = origin_x
  double elevation = 0.0;  // the elevation at y = origin_y
  double origin_x = 0.0;
  double origin_y = 0.0;
  double scale = 1.0;  // pixels a length unit along the road
  double exaggeration = 1.0;

  double X(double s) const { return origin_x + (s - station) * scale; }
  double Y(double z) const { return origin_y - (z - elevation) * (scale * exaggeration); }
};

struct SectionPicture {
  std::string svg;
  SectionFrame frame;
};

// The section of `profile` (stations along `alignment`, which displays
// them), or nothing with the reason in `error`: a size, exaggeration or
// tick interval out of range, or ticks too many.
std::optional<SectionPicture> SectionSvg(const road::Alignment& alignment,
                                         const road::Profile& profile,
                                         const SectionOptions& options, std::string& error);

}  // namespace velmora::plot
