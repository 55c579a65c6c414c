#include "cli/road_command.h"

#include <charconv>

#include "arith/angle.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "text/csv.h"

namespace velmora::cli {

std::optional<RoadFormat> ReadRoadFormat(const CommandSpec& syntax, const ParsedArgs& args,
                                         System& system) {
  RoadFormat format;
  format.bom = args.Has("--bom");
  if (const auto text = args.Value("--station-format")) {
    const auto stations = model::ParseStationFormat(*text);
    if (!stations) {
      UsageError(system, syntax,
                 "--station-format takes plain or k, not \"" + Printable(*text) + "\"");
      return std::nullopt;
    }
    format.stations = *stations;
  }
  if (const auto text = args.Value("--decimals")) {
    int decimals = -1;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), decimals);
    if (ec != std::errc() || end != text->data() + text->size() || decimals < 0 ||
        decimals > kMostDecimals) {
      UsageError(system, syntax,
                 "--decimals takes a whole number from 0 to " + std::to_string(kMostDecimals) +
                     ", not \"" + Printable(*text) + "\"");
      return std::nullopt;
    }
    format.decimals = decimals;
  }
  return format;
}

LoadOptions ReadLoadOptions(const ParsedArgs& args) {
  LoadOptions options;
  options.alignment = args.Value("--alignment");
  return options;
}

void AppendAzimuth(std::string& out, double radians) {
  const std::string display = RadToDms(radians);
  text::AppendCsvField(out, display);
  out += ',';
  if (!display.empty()) {
    text::AppendCsvField(out, PackedFromDisplay(display).value_or(""));
  }
}

}  // namespace velmora::cli
