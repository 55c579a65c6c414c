// An alignment written as a LandXML 1.2 file, for design software and
// field controllers: each element as a Line, a Curve or a clothoid Spiral
// with its Start, End and Center or PI points ("northing easting"), its
// length and radii, and the station equations. The reader (reader.h) reads
// it back to the same alignment.
//
// A LandXML spiral turns one way only, so an element whose curvature
// changes sign is written as two spirals meeting where the curvature is
// zero; and a spiral that turns more than a quarter turn is written in
// pieces that turn less, so that each has a PI near it. No directions are
// written (`dir`, `dirStart`): programs read them in different
// conventions, and the points say the same. Numbers are written with as
// many digits as it takes to read back the same double.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "landxml/reader.h"
#include "road/alignment.h"
#include "road/profile.h"

namespace velmora::landxml {

struct WriteOptions {
  std::string name;         // of the alignment
  std::string date;         // of the file: "2026-12-08"
  std::string time;         // "14:05:00"
  std::string application;  // "velmora-cli", with its version
  std::string version;
  // Declared as read (an Imperial file stays Imperial); the numbers are
  // never converted. Metres when the road came from an element file.
  Units units;
  // A design profile, written as Profile/ProfAlign `profile_name` when
  // given: `profile_points` are the points it was built from, stations
  // along the road; each is written with the station the alignment
  // displays there, as PVI, ParaCurve, UnsymParaCurve or CircCurve. A
  // parabola given by its radius is written as a ParaCurve of its length, a
  // circle without a stated length with its horizontal length.
  const road::Profile* profile = nullptr;
  std::vector<road::ProfilePoint> profile_points;
  std::string profile_name;
};

// The file's text (UTF-8). No value, with the reason in `error`, when an
// element cannot be computed.
std::optional<std::string> WriteLandXml(const road::Alignment& alignment,
                                        const WriteOptions& options, std::string& error);

}  // namespace velmora::landxml
