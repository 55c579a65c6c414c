#include "cli/road_command.h"

#include "arith/angle.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/csv.h"

namespace velmora::cli {

RoadFormat ReadRoadFormat(const ParsedArgs& args) {
  RoadFormat format;
  format.bom = args.Has("--bom");
  if (const auto text = args.Value("--station-format")) {
    format.stations = ParseStationFormat(*text).value_or(StationFormat::kPlain);
  }
  format.decimals = static_cast<int>(args.Number("--decimals").value_or(kDefaultDecimals));
  return format;
}

LoadOptions ReadLoadOptions(const ParsedArgs& args) {
  LoadOptions options;
  options.alignment = args.Value("--alignment");
  return options;
}

void AppendAzimuth(std::string& out, double radians) {
  const std::string display = RadToDms(radians);
  AppendCsvField(out, display);
  out += ',';
  if (!display.empty()) {
    AppendCsvField(out, PackedFromDisplay(display).value_or(""));
  }
}

}  // namespace velmora::cli
