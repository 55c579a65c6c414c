// The height files of a road, read against its alignment:
//
// - the profile file (纵断面), one point a line of CSV after the header
//   "station,elevation,radius": the profile's start, each PVI (变坡点) with
//   the radius of its vertical curve (竖曲线半径; 0 or empty: a plain grade
//   break), the profile's end (radius 0 or empty). Each curve is the
//   symmetric parabola of its radius R: L = R|omega|, T = L/2,
//   E = T^2/(2R).
// - the cross-slope file (横坡, 超高表), after the header
//   "station,left,right": the slopes of each side in percent, negative
//   falling away from the centre line; linear between lines, the first
//   before the first line and the last after the last.
//
// The reading rules are the element file's (UTF-8 with or without a
// byte-order mark, RFC 4180 quoting, '#' comment lines and blank lines
// skipped), but the header line is required. Stations are plain or
// K-stations and are those the road displays: past a station equation the
// station counted on from it. A station that an equation skips, or one it
// makes occur twice, is refused; a station before the road's start or past
// its end is counted on from there. Elevations are in the road's length
// unit. Pure: nothing here reads a file or prints.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/error.h"
#include "road/alignment.h"
#include "road/profile.h"

namespace velmora::model {

inline constexpr std::string_view kProfileHeader = "station,elevation,radius";
inline constexpr std::string_view kCrossSlopeHeader = "station,left,right";

struct ProfileFile {
  road::Profile profile;                   // stations along the road (alignment.h)
  std::vector<road::ProfilePoint> points;  // as given, stations along the road
  std::vector<std::uint64_t> lines;        // each point's line, from 1
};

// The distance along `alignment` of the station `station` as it displays
// it; what is wrong when an equation skips that station or makes it occur
// twice. A station before the start or past the end is counted on from
// there.
std::optional<std::string> DistanceOfStation(const road::Alignment& alignment, double station,
                                             double& distance);

// Reads the profile file `bytes` named `name` against `alignment`; the
// error names the file and the line (LoadError::Kind::kHeightFile).
std::variant<ProfileFile, LoadError> ReadProfile(std::string_view bytes, std::string_view name,
                                                 const road::Alignment& alignment);

// Reads the cross-slope file `bytes` named `name` against `alignment`.
std::variant<road::CrossSlopes, LoadError> ReadCrossSlopes(std::string_view bytes,
                                                           std::string_view name,
                                                           const road::Alignment& alignment);

}  // namespace velmora::model
