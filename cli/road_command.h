// What check, stakeout and locate share: the options that say how a road's
// numbers are written, and azimuth texts as the window writes them.
#pragma once

#include <cmath>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/elements.h"
#include "cli/options.h"
#include "cli/streams.h"
#include "model/stations.h"
#include "road/stakeout.h"

namespace velmora::cli {

using model::AppendStation;
using model::ParseStation;
using model::ParseStationFormat;
using model::StationFormat;

inline constexpr int kDefaultDecimals = 4;

inline constexpr OptionSpec kDecimalsOption =
    Optional("--decimals", "N", "decimals of coordinates and offsets (0 to 12; 4 unless given).",
             ValueKind::kDecimals);

inline constexpr OptionSpec kAlignmentOption = Optional(
    "--alignment", "NAME", "the alignment called NAME, of a LandXML file that holds several.");

// Heights: the profile, and the cross slopes of each side. Elevations are
// in the road's length unit, slopes in percent, negative falling away from
// the centre line.
inline constexpr OptionSpec kProfileOption =
    Optional("--profile", "FILE",
             "design elevations from the profile file FILE (station,elevation,radius: the start, "
             "each PVI with its vertical curve radius, the end); for a LandXML road, in place "
             "of its own profile.",
             ValueKind::kFile);
inline constexpr OptionSpec kCrossSlopesOption =
    Optional("--cross-slopes", "FILE",
             "cross slopes from FILE (station,left,right in percent, negative falling away from "
             "the centre line; linear between lines); needs a profile.",
             ValueKind::kFile);
inline constexpr OptionSpec kCrossSlopeOption =
    Optional("--cross-slope", "P",
             "one cross slope of P percent on both sides (-2: a normal crown); needs a profile.",
             ValueKind::kLength);

inline constexpr OptionSpec kProfileNameOption =
    Optional("--profile-name", "NAME",
             "the design profile (ProfAlign) called NAME of a LandXML alignment that holds "
             "several.");

// The heights the options above give, the profile a LandXML road holds
// (chosen by --profile-name) where no --profile is given; nothing, with the message on
// standard error, when they cannot be read or are given without --profile
// (the command then ends with kExitUsage). `stdin_taken`: another input is
// standard input already.
std::optional<Heights> ReadHeights(const CommandSpec& syntax, const ParsedArgs& args,
                                   System& system, const LoadedAlignment& road, bool stdin_taken);

// "4900 to 5200": the stations the profile runs between, as the road
// displays them.
std::string ProfileEnds(const road::Alignment& alignment, const road::Profile& profile,
                        StationFormat stations, int decimals = -1);

// Adds the height files given to `inputs`, the files -o must not replace.
void AddHeightInputs(const ParsedArgs& args, std::vector<std::string_view>& inputs);

// The design elevation `offset` from the centre line whose elevation is
// `centre`, with the slopes there: road::DesignElevation's sum, without
// searching the profile again for each offset.
inline double OffsetElevation(double centre, const road::CrossSlope& slope, double offset) {
  if (offset == 0.0) {
    return centre;
  }
  return centre + std::fabs(offset) * (offset < 0.0 ? slope.left : slope.right) / 100.0;
}

// What loading the road takes from the command line (--alignment; for a
// command that reads heights, `heights`, --profile-name, and the road's own
// profile unless --profile is given).
LoadOptions ReadLoadOptions(const ParsedArgs& args, bool heights = false);

struct RoadFormat {
  model::StationFormat stations = model::StationFormat::kPlain;
  int decimals = kDefaultDecimals;
  bool bom = false;
};

// The options above as given.
RoadFormat ReadRoadFormat(const ParsedArgs& args);

// A row of the stake-out table, as the CSV table and the GeoJSON write it.
struct StakeoutTableRow {
  const road::StakeoutRow* row = nullptr;
  double displayed = 0.0;            // the station read there
  std::string station;               // written as asked
  std::optional<double> azimuth;     // radians
  std::string azimuth_text, packed;  // as the window shows it and as typed; empty without one
  std::vector<std::optional<road::Point>> points;  // on the centre line, then at each offset
  // Whether the azimuth and every point were computed.
  bool Complete() const;
};

// The rows of road::StakeoutStations (`step`, `extra`), in order, until
// `take` returns false.
void StakeoutTable(const road::Alignment& alignment, double step, std::span<const double> extra,
                   std::span<const double> offsets, StationFormat stations,
                   const std::function<bool(const StakeoutTableRow&)>& take);

// Appends the azimuth as the window shows it ("45度30分15秒"), a comma, and
// the same packed as it is typed ("45.3015"); two empty fields for an
// azimuth with no text.
void AppendAzimuth(std::string& out, double radians);

}  // namespace velmora::cli
