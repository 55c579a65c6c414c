// What check, stakeout and locate share: the options that say how a road's
// numbers are written, and azimuth texts as the window writes them.
#pragma once

#include <optional>
#include <string>

#include "cli/elements.h"
#include "cli/options.h"
#include "cli/stations.h"
#include "cli/streams.h"

namespace velmora::cli {

inline constexpr int kDefaultDecimals = 4;

inline constexpr OptionSpec kDecimalsOption =
    Optional("--decimals", "N", "decimals of coordinates and offsets (0 to 12; 4 unless given).",
             ValueKind::kDecimals);

inline constexpr OptionSpec kAlignmentOption = Optional(
    "--alignment", "NAME", "the alignment called NAME, of a LandXML file that holds several.");

// What loading the road takes from the command line (--alignment).
LoadOptions ReadLoadOptions(const ParsedArgs& args);

struct RoadFormat {
  StationFormat stations = StationFormat::kPlain;
  int decimals = kDefaultDecimals;
  bool bom = false;
};

// The options above as given.
RoadFormat ReadRoadFormat(const ParsedArgs& args);

// Appends the azimuth as the window shows it ("45度30分15秒"), a comma, and
// the same packed as it is typed ("45.3015"); two empty fields for an
// azimuth with no text.
void AppendAzimuth(std::string& out, double radians);

}  // namespace velmora::cli
