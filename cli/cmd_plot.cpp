// plot: a picture of the road of an element file, as SVG.
#include <cmath>
#include <vector>

#include "cli/command.h"
#include "cli/elements.h"
#include "cli/road_command.h"
#include "model/stations.h"
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
        "A design that contradicts itself (a start given that is not where the\n"
        "previous element ends, a LandXML statement its geometry contradicts) is\n"
        "reported on standard error as check reports it, one line each; the\n"
        "output is written all the same, and the exit status is then at least 1.\n",
    .options_before_operands_only = false,
};

int RunPlot(const CommandSpec&, const ParsedArgs& args, System& system) {
  plot::PlotOptions options;
  const StationFormat stations =
      ParseStationFormat(args.Value("--station-format").value_or("plain"))
          .value_or(StationFormat::kPlain);
  options.tick_interval = args.Number("--every").value_or(0.0);
  options.offsets = args.Numbers("--offset");
  if (args.Has("--size")) {
    options.width = *args.Number("--size");
    options.height = *args.Height("--size");
  }
  // Labels as road documents write stations, without the zeros a whole
  // station would end in ("K1+200", "K0+150.25").
  options.station_text = [stations](double station) {
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

  const std::optional<LoadedAlignment> loaded =
      LoadAlignment(system, args.operands[0], ReadLoadOptions(args));
  if (!loaded) {
    return kExitUsage;
  }
  options.title = args.Value("--title").value_or(args.operands[0] == "-" ? "" : loaded->name);
  std::string error;
  const std::optional<plot::Picture> picture = plot::PlotSvg(loaded->alignment, options, error);
  if (!picture) {
    return Fail(system, loaded->name + ": " + error);
  }

  const std::string_view inputs[] = {args.operands[0]};
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

}  // namespace velmora::cli
