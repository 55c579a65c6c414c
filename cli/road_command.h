// What check, stakeout and locate share: the options that say how a road's
// numbers are written, and azimuth texts as the window writes them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/elements.h"
#include "cli/options.h"
#include "cli/streams.h"
#include "model/stations.h"
#include "report/table.h"

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
             "each PVI with its vertical curve radius, the end).",
             ValueKind::kFile);
inline constexpr OptionSpec kCrossSlopesOption =
    Optional("--cross-slopes", "FILE",
             "cross slopes from FILE (station,left,right in percent, negative falling away from "
             "the centre line; linear between lines); needs --profile.",
             ValueKind::kFile);
inline constexpr OptionSpec kCrossSlopeOption =
    Optional("--cross-slope", "P",
             "one cross slope of P percent on both sides (-2: a normal crown); needs --profile.",
             ValueKind::kLength);

// The heights the options above give; nothing, with the message on
// standard error, when they cannot be read or are given without --profile
// (the command then ends with kExitUsage). `stdin_taken`: another input is
// standard input already.
std::optional<Heights> ReadHeights(const CommandSpec& syntax, const ParsedArgs& args,
                                   System& system, const road::Alignment& alignment,
                                   bool stdin_taken);

// Adds the height files given to `inputs`, the files -o must not replace.
void AddHeightInputs(const ParsedArgs& args, std::vector<std::string_view>& inputs);

// What loading the road takes from the command line (--alignment).
LoadOptions ReadLoadOptions(const ParsedArgs& args);

struct RoadFormat {
  model::StationFormat stations = model::StationFormat::kPlain;
  int decimals = kDefaultDecimals;
  bool bom = false;
};

// The options above as given.
RoadFormat ReadRoadFormat(const ParsedArgs& args);

// The table's pieces the commands share (report/table.h).
using report::AppendAzimuth;
using report::OffsetElevation;
using report::ProfileEnds;

}  // namespace velmora::cli
