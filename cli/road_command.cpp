#include "cli/road_command.h"

#include <cmath>

#include "arith/angle.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "road/geometry.h"
#include "text/csv.h"

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

std::optional<Heights> ReadHeights(const CommandSpec& syntax, const ParsedArgs& args,
                                   System& system, const road::Alignment& alignment,
                                   bool stdin_taken) {
  const std::optional<std::string_view> profile = args.Value("--profile");
  const std::optional<std::string_view> file = args.Value("--cross-slopes");
  const std::optional<double> slope = args.Number("--cross-slope");
  if (file && slope) {
    UsageError(system, syntax, "give --cross-slopes FILE or --cross-slope P, not both");
    return std::nullopt;
  }
  if ((file || slope) && !profile) {
    UsageError(system, syntax,
               "cross slopes give heights beside the centre line: give --profile FILE too");
    return std::nullopt;
  }
  return LoadHeights(system, alignment, profile, file, slope, stdin_taken);
}

void AddHeightInputs(const ParsedArgs& args, std::vector<std::string_view>& inputs) {
  for (const std::string_view name : {"--profile", "--cross-slopes"}) {
    if (const auto file = args.Value(name)) {
      inputs.push_back(*file);
    }
  }
}

}  // namespace velmora::cli
