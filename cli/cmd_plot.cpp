// plot: a picture of the road of an element file, as SVG; plot-profile: its
// longitudinal section.
#include <cmath>
#include <vector>

#include "cli/command.h"
#include "cli/elements.h"
#include "cli/road_command.h"
#include "model/stations.h"
#include "plot/section.h"
#include "plot/svg.h"
#include "text/numtext.h"

namespace velmora::cli {
namespace {

constexpr OptionSpec kOptions[] = {
    Optional("--every", "STEP",
             "a tick and a label at every whole multiple of STEP (a round interval that "
             "leaves the labels room unless given).",
             ValueKind::kStep),
    Repeated("--offset", "D",
             "a dashed line D to the right of the centre line (negative: to the left).",
             ValueKind::kLength),
    Optional("--station-format", "plain|k",
             "label stations plainly (1234.5, the default) or as K-stations (K1+234.5).",
             ValueKind::kStationFormat),
    Optional("--size", "WxH", "the picture's width and height in pixels (1600x1000 unless given).",
             ValueKind::kPixels),
    Optional("--title", "TEXT", "the title at the top (the element file's name unless given)."),
    kProfileOption,
    kProfileNameOption,
    kCrossSlopesOption,
    kCrossSlopeOption,
    kAlignmentOption,
    kOutputOption,
};

constexpr CommandSpec kSpec = {
    .name = "plot",
    .operands = "ELEMENTS",
    .operands_wanted = "one element file",
    .min_operands = 1,
    .max_operands = 1,
    .options = kOptions,
    .summary = "a picture of the road of an element file, as SVG",
    .description =
        "A picture of the road of the element file ELEMENTS as SVG, for a screen or\n"
        "a web page: the centre line coloured by element kind (straight, arc,\n"
        "spiral, with a legend), each element boundary marked with its code and\n"
        "station, a tick and a label at every multiple of STEP, each --offset line\n"
        "dashed, a north arrow (northing is up) and a scale bar in the file's\n"
        "length unit. The drawn line keeps within 0.2 pixel of the road.\n"
        "\n"
        "With --profile FILE each main point's label adds its design elevation\n"
        "(H=103.250), and each --offset line's label the design elevation at the\n"
        "road's end, with --cross-slopes or --cross-slope beside the centre line.\n"
        "\n"
        "A design that contradicts itself (a start given that is not where the\n"
        "previous element ends, a LandXML statement its geometry contradicts) is\n"
        "reported on standard error as check reports it, one line each; the\n"
        "output is written all the same, and the exit status is then at least 1.\n",
    .options_before_operands_only = false,
};

// Labels as road documents write stations, without the zeros a whole
// station would end in ("K1+200", "K0+150.25").
std::function<std::string(double)> StationLabels(const ParsedArgs& args) {
  const StationFormat stations =
      ParseStationFormat(args.Value("--station-format").value_or("plain"))
          .value_or(StationFormat::kPlain);
  return [stations](double station) {
    std::string text;
    model::AppendStation(text, station, stations, stations == model::StationFormat::kK ? 3 : -1);
    if (stations == model::StationFormat::kK && text.find('.') != std::string::npos) {
      while (text.back() == '0') {
        text.pop_back();
      }
      if (text.back() == '.') {
        text.pop_back();
      }
    }
    return text;
  };
}

int RunPlot(const CommandSpec& syntax, const ParsedArgs& args, System& system) {
  plot::PlotOptions options;
  options.tick_interval = args.Number("--every").value_or(0.0);
  options.offsets = args.Numbers("--offset");
  if (args.Has("--size")) {
    options.width = *args.Number("--size");
    options.height = *args.Height("--size");
  }
  options.station_text = StationLabels(args);

  const std::optional<LoadedAlignment> loaded =
      LoadAlignment(system, args.operands[0], ReadLoadOptions(args, true));
  if (!loaded) {
    return kExitUsage;
  }
  const std::optional<Heights> heights =
      ReadHeights(syntax, args, system, *loaded, args.operands[0] == "-");
  if (!heights) {
    return kExitUsage;
  }
  if (heights->profile) {
    const road::Profile& profile = heights->profile->profile;
    const road::CrossSlopes slopes = heights->slopes.value_or(road::CrossSlopes(0.0));
    options.height_text = [&profile, slopes](double distance, double offset) {
      const std::optional<double> h = road::DesignElevation(profile, slopes, distance, offset);
      std::string text;
      if (h) {
        text = "H=";
        AppendFixed(text, *h, 3);
      }
      return text;
    };
  }
  options.title = args.Value("--title").value_or(args.operands[0] == "-" ? "" : loaded->name);
  std::string error;
  const std::optional<plot::Picture> picture = plot::PlotSvg(loaded->alignment, options, error);
  if (!picture) {
    return Fail(system, loaded->name + ": " + error);
  }

  std::vector<std::string_view> inputs = {args.operands[0]};
  AddHeightInputs(args, inputs);
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  Writer out(*output->sink, false);
  out.text += picture->svg;
  return Finish(system, out, FindingsStatus(*loaded));
}

constexpr OptionSpec kProfileOptions[] = {
    kProfileOption,
    kProfileNameOption,
    Optional("--exaggeration", "N",
             "draw elevations N times larger than stations (10 unless given).", ValueKind::kStep),
    Optional("--every", "STEP",
             "a station line and label at every whole multiple of STEP (a round interval that "
             "leaves the labels room unless given).",
             ValueKind::kStep),
    Optional("--station-format", "plain|k",
             "label stations plainly (1234.5, the default) or as K-stations (K1+234.5).",
             ValueKind::kStationFormat),
    Optional("--size", "WxH", "the picture's width and height in pixels (1600x1000 unless given).",
             ValueKind::kPixels),
    Optional("--title", "TEXT", "the title at the top (the element file's name unless given)."),
    kAlignmentOption,
    kOutputOption,
};

constexpr CommandSpec kProfileSpec = {
    .name = "plot-profile",
    .operands = "ELEMENTS",
    .operands_wanted = "one element file",
    .min_operands = 1,
    .max_operands = 1,
    .options = kProfileOptions,
    .summary = "the longitudinal section of a road's profile, as SVG",
    .description =
        "The longitudinal section of the profile of --profile FILE (or of a\n"
        "LandXML road's own) along the road of ELEMENTS, as SVG: stations\n"
        "along, elevations up and drawn N times larger (--exaggeration, written\n"
        "on the drawing), the design line with its vertical curves as computed\n"
        "(within 0.2 pixel), the grade lines dashed through each PVI, each grade\n"
        "with its percentage and length (+3% L=200), each PVI with its station,\n"
        "elevation (H), and curve (R, T, E; an asymmetric curve's two halves as\n"
        "R1/R2 and T1/T2), each curve's start (BVC) and end (EVC), and a grid\n"
        "with stations below and elevations on the left.\n"
        "\n"
        "Example:\n"
        "  $ velmora-cli plot-profile road.csv --profile profile.csv \\\n"
        "      --station-format k -o section.svg\n",
    .options_before_operands_only = false,
};

int RunPlotProfile(const CommandSpec& syntax, const ParsedArgs& args, System& system) {
  plot::SectionOptions options;
  options.exaggeration = args.Number("--exaggeration").value_or(10.0);
  options.tick_interval = args.Number("--every").value_or(0.0);
  if (args.Has("--size")) {
    options.width = *args.Number("--size");
    options.height = *args.Height("--size");
  }
  options.station_text = StationLabels(args);
  const std::optional<LoadedAlignment> loaded =
      LoadAlignment(system, args.operands[0], ReadLoadOptions(args, true));
  if (!loaded) {
    return kExitUsage;
  }
  const std::optional<Heights> heights =
      ReadHeights(syntax, args, system, *loaded, args.operands[0] == "-");
  if (!heights) {
    return kExitUsage;
  }
  if (!heights->profile) {
    return UsageError(
        system, syntax,
        "plot-profile draws a profile: give --profile FILE (the road has none of its own)");
  }
  options.title = args.Value("--title").value_or(args.operands[0] == "-" ? "" : loaded->name);
  std::string error;
  const std::optional<plot::SectionPicture> picture =
      plot::SectionSvg(loaded->alignment, heights->profile->profile, options, error);
  if (!picture) {
    return Fail(system, loaded->name + ": " + error);
  }
  std::vector<std::string_view> inputs = {args.operands[0]};
  AddHeightInputs(args, inputs);
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  Writer out(*output->sink, false);
  out.text += picture->svg;
  return Finish(system, out, FindingsStatus(*loaded));
}

}  // namespace

const Command kPlotCommand = {kSpec, RunPlot};
const Command kPlotProfileCommand = {kProfileSpec, RunPlotProfile};

}  // namespace velmora::cli
