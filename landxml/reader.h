// Horizontal alignments from a LandXML 1.2 file: each alignment's elements
// (Line, Curve, Spiral in its CoordGeom) as the road geometry takes them,
// with the End points the file states, for checking, and its station
// equations.
//
// The geometry comes from the points, never from the direction attributes:
// each element starts at its own Start point; its start azimuth is that of
// Start->End (Line), of the radius Start->Center turned a quarter against
// `rot` (Curve), or of Start->PI (Spiral); its length is the `length`
// attribute, or where that is missing the one its points give. The
// directions a file writes (`dir`, `dirStart`) are only checked against the
// points, in each of the conventions files use (azimuth clockwise from
// north, counter-clockwise from north or from east; radians, degrees,
// grads), and a direction no convention explains is a note.
//
// Points are "northing easting [elevation]": X is northing, Y easting, as
// everywhere in road/. Lengths are not converted. Stations: element i
// starts at the alignment's staStart plus the lengths before it (the
// internal station, the distance along the road); StaEquation maps those to
// the stations displayed: each at its staInternal (or, where the file
// leaves that out, at its staBack as counted along the road), its staBack
// the station counted there (and checked against the one stated).
//
// The Units the file declares are kept to be written back: lengths are
// never converted, and the unit of directions serves only to read them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "road/alignment.h"
#include "road/profile.h"

namespace velmora::landxml {

struct ReadElement {
  road::ElementInput input;        // start point and start azimuth always given
  std::optional<road::Point> end;  // the End point the file states
  std::string kind;                // "Line", "Curve" or "Spiral"
  std::size_t position = 0;        // among the CoordGeom's children, from 0
  // What else the file states, for the cross-check (check.h).
  std::optional<double> length;       // `length`
  std::optional<double> radius;       // a Curve's `radius`
  int rot = 0;                        // `rot`: +1 cw, -1 ccw, 0 not stated
  std::optional<road::Point> center;  // a Curve's Center
  std::optional<road::Point> pi;      // a Spiral's PI (a Curve's too, when given)
};

// A design profile of an alignment (Profile/ProfAlign): its points in
// order, the first and the last being the profile's ends. Each is
// "station elevation" text with the curve its element names: PVI none,
// ParaCurve a symmetric parabola of `length`, UnsymParaCurve one of
// `lengthIn` before and `lengthOut` after the PVI, CircCurve a circle of
// `radius` (its `length` only stated, for the cross-check). Stations are
// those the alignment displays (station equations honoured).
struct ReadProfile {
  std::string name;
  std::vector<road::ProfilePoint> points;
  std::vector<std::string> kinds;                     // each point's element name
  std::vector<std::optional<double>> stated_lengths;  // a CircCurve's `length`
  // What makes the profile unreadable (a number that is none, an element
  // that is not a profile point): empty when it can be read.
  std::string error;
};

struct ReadAlignment {
  std::string name;
  double sta_start = 0.0;
  std::vector<ReadElement> elements;  // the ones with a length
  std::vector<road::StationEquation> equations;
  std::vector<ReadProfile> profiles;  // the design profiles (ProfAlign), in file order
  std::size_t ground_profiles = 0;    // ProfSurf: the ground, not read
  // Elements skipped (no length) and directions that no convention
  // explains: read on, but worth saying.
  std::vector<std::string> notes;
  // Why this alignment cannot be computed (an element of a kind that is not
  // computed, a point missing): empty when it can. Other alignments of the
  // file may still be used.
  std::string error;
};

// The units a file declares (<Units><Metric .../> or <Imperial .../>), as
// written; empty where it declares none.
struct Units {
  bool imperial = false;
  std::string linear = "meter";
  std::string area;
  std::string volume;
  std::string angular;
  std::string direction;
};

struct Document {
  std::vector<ReadAlignment> alignments;  // those with a CoordGeom, in file order
  Units units;
};

// Reads a LandXML document. No value, with the reason in `error`, when it
// is not well-formed XML (or UTF-16 text that is no XML at all), not
// LandXML, or holds no alignment with horizontal geometry.
std::optional<Document> ReadLandXml(std::string_view bytes, std::string& error);

// The alignment called `name`, or the only one when `name` is empty. No
// value, with the reason in `error` (for several alignments and no name:
// their names, one a line), when there is none or more than one.
const ReadAlignment* SelectAlignment(const Document& document, std::string_view name,
                                     std::string& error);

}  // namespace velmora::landxml
