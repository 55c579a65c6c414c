// What check, stakeout and locate share: the options that say how a road's
// numbers are written, and azimuth texts as the window writes them.
#pragma once

#include <optional>
#include <string>

#include "cli/elements.h"
#include "cli/options.h"
#include "cli/streams.h"
#include "model/stations.h"

namespace velmora::cli {

inline constexpr int kDefaultDecimals = 4;
inline constexpr int kMostDecimals = 12;

inline constexpr OptionSpec kBomOption =
    Flag("--bom",
         "start with a UTF-8 byte-order mark and end lines with CR LF, for spreadsheet "
         "programs.");
inline constexpr OptionSpec kOutputOption =
    Short(Optional("--output", "FILE", "write to FILE instead of standard output."), "-o");
inline constexpr OptionSpec kStationFormatOption =
    Optional("--station-format", "plain|k",
             "write stations plainly (1234.5, the default) or as K-stations (K1+234.500).");
inline constexpr OptionSpec kDecimalsOption =
    Optional("--decimals", "N", "decimals of coordinates and offsets (0 to 12; 4 unless given).");

inline constexpr OptionSpec kAlignmentOption = Optional(
    "--alignment", "NAME", "the alignment called NAME, of a LandXML file that holds several.");

// What loading the road takes from the command line (--alignment).
LoadOptions ReadLoadOptions(const ParsedArgs& args);

struct RoadFormat {
  model::StationFormat stations = model::StationFormat::kPlain;
  int decimals = kDefaultDecimals;
  bool bom = false;
};

// The options above as given; nothing after a usage error on standard error.
std::optional<RoadFormat> ReadRoadFormat(const CommandSpec& syntax, const ParsedArgs& args,
                                         System& system);

// Appends the azimuth as the window shows it ("45度30分15秒"), a comma, and
// the same packed as it is typed ("45.3015"); two empty fields for an
// azimuth with no text.
void AppendAzimuth(std::string& out, double radians);

}  // namespace velmora::cli
