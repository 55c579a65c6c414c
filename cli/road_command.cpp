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

LoadOptions ReadLoadOptions(const ParsedArgs& args, bool heights) {
  LoadOptions options;
  options.alignment = args.Value("--alignment");
  if (heights) {
    options.profile_name = args.Value("--profile-name");
    options.profile = !args.Has("--profile");
  }
  return options;
}

std::optional<Heights> ReadHeights(const CommandSpec& syntax, const ParsedArgs& args,
                                   System& system, const LoadedAlignment& road, bool stdin_taken) {
  const road::Alignment& alignment = road.alignment;
  const std::optional<std::string_view> profile = args.Value("--profile");
  if (profile && args.Has("--profile-name")) {
    UsageError(system, syntax,
               "--profile-name chooses the LandXML file's own profile, and --profile FILE "
               "replaces it: give one of them");
    return std::nullopt;
  }
  const std::optional<std::string_view> file = args.Value("--cross-slopes");
  const std::optional<double> slope = args.Number("--cross-slope");
  if (file && slope) {
    UsageError(system, syntax, "give --cross-slopes FILE or --cross-slope P, not both");
    return std::nullopt;
  }
  if ((file || slope) && !profile && !road.profile) {
    UsageError(system, syntax,
               "cross slopes give heights beside the centre line: give --profile FILE too");
    return std::nullopt;
  }
  std::optional<Heights> heights =
      LoadHeights(system, alignment, profile, file, slope, stdin_taken);
  if (heights && !profile && road.profile) {
    heights->profile = road.profile;
  }
  return heights;
}

std::string ProfileEnds(const road::Alignment& alignment, const road::Profile& profile,
                        StationFormat stations, int decimals) {
  std::string text;
  AppendStation(text, alignment.DisplayStation(profile.Start()), stations, decimals);
  text += " to ";
  AppendStation(text, alignment.DisplayStation(profile.End()), stations, decimals);
  return text;
}

void AddHeightInputs(const ParsedArgs& args, std::vector<std::string_view>& inputs) {
  for (const std::string_view name : {"--profile", "--cross-slopes"}) {
    if (const auto file = args.Value(name)) {
      inputs.push_back(*file);
    }
  }
}

bool StakeoutTableRow::Complete() const {
  for (const std::optional<road::Point>& point : points) {
    if (!point) {
      return false;
    }
  }
  return azimuth.has_value();
}

void StakeoutTable(const road::Alignment& alignment, double step, std::span<const double> extra,
                   std::span<const double> offsets, StationFormat stations,
                   const std::function<bool(const StakeoutTableRow&)>& take) {
  StakeoutTableRow out;
  road::StakeoutStations(alignment, step, extra, [&](const road::StakeoutRow& row) {
    const road::Element& e = alignment.elements()[row.element];
    out.row = &row;
    out.displayed = alignment.DisplayStation(row.distance);
    out.station.clear();
    AppendStation(out.station, out.displayed, stations);
    const std::optional<double> azimuth = road::AzimuthAt(e, row.distance);
    // Along a straight the azimuth stays: its texts are made once.
    if (!azimuth || !out.azimuth || *azimuth != *out.azimuth) {
      out.azimuth_text = azimuth ? RadToDms(*azimuth) : std::string();
      out.packed = out.azimuth_text.empty() ? std::string()
                                            : PackedFromDisplay(out.azimuth_text).value_or("");
    }
    out.azimuth = azimuth;
    out.points.clear();
    // One pose a row, from the alignment's fixed points; each offset from it.
    const std::optional<road::Pose> pose = alignment.PoseAt(row.element, row.distance);
    const auto at = [&pose](double offset) {
      return pose && std::isfinite(offset) ? std::optional(road::OffsetFrom(*pose, offset))
                                           : std::nullopt;
    };
    out.points.push_back(at(0.0));
    for (const double offset : offsets) {
      out.points.push_back(at(offset));
    }
    return take(out);
  });
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
