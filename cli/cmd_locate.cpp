// locate: the station and offset of points, the reverse of stakeout.
#include <cmath>
#include <vector>

#include "cli/command.h"
#include "cli/elements.h"
#include "cli/road_command.h"
#include "report/locate.h"

namespace velmora::cli {
namespace {

constexpr OptionSpec kOptions[] = {
    Optional("--points", "FILE",
             "locate each point of FILE ('-': standard input), one a line: name,x,y or x,y "
             "(name,x,y,z with --profile).",
             ValueKind::kFile),
    Optional("--max-offset", "D", "refuse a point farther than D from the centre line.",
             ValueKind::kDistance),
    kProfileOption,
    kCrossSlopesOption,
    kCrossSlopeOption,
    kAlignmentOption,
    kStationFormatOption,
    Optional("--decimals", "N", "decimals of stations and offsets (0 to 12; 4 unless given).",
             ValueKind::kDecimals),
    kBomOption,
    kOutputOption,
};

constexpr CommandSpec kSpec = {
    .name = "locate",
    .operands = "ELEMENTS [X Y]",
    .operands_wanted = "an element file and then X and Y, or the element file alone with --points",
    .min_operands = 1,
    .max_operands = 3,
    .options = kOptions,
    .summary = "the station and offset of points beside the road of an element file",
    .description =
        "The station and offset of the point X Y, or of each point of --points\n"
        "FILE, against the road of the element file ELEMENTS: the foot of the\n"
        "perpendicular from the point to the centre line. One CSV line a point,\n"
        "in the input's order: name, x, y (as given), station, offset (right of\n"
        "the centre line positive), azimuth and packed azimuth at the foot, the\n"
        "element's number, and the reason when the point has no station: before\n"
        "the start, beyond the end, farther than --max-offset, or a line of FILE\n"
        "that is not a point. The exit status is 1 when a point has none. For a\n"
        "point whose station a station equation repeats, the message says which\n"
        "of the two it is (\"back of the station equation 1420 = 1405\", or\n"
        "\"ahead of ...\").\n"
        "\n"
        "With --profile FILE the lines of --points may give the surveyed\n"
        "elevation z as a fourth field (name,x,y,z), and each line has z after y\n"
        "and, after the element, h, the design elevation at the point's station\n"
        "and offset (with --cross-slopes or --cross-slope: the centre's plus\n"
        "|offset| times that side's slope / 100; without them the centre's), and\n"
        "dh = h - z: positive fill (the ground must be raised), negative cut. A\n"
        "point outside the profile has an empty h and dh, says so, and the exit\n"
        "status is then 1.\n"
        "\n"
        "A design that contradicts itself (a start given that is not where the\n"
        "previous element ends, a LandXML statement its geometry contradicts) is\n"
        "reported on standard error as check reports it, one line each; the\n"
        "output is written all the same, and the exit status is then at least 1.\n"
        "\n"
        "Example (road.csv as in 'velmora-cli check --help'):\n"
        "  $ velmora-cli locate road.csv 1150 500\n"
        "  name,x,y,station,offset,azimuth,packed,element,message\n"
        "  ,1150,500,149.5676,-3.2223,10度59分52.3秒,10.59523,2,\n",
    .options_before_operands_only = false,
};

int RunLocate(const CommandSpec& syntax, const ParsedArgs& args, System& system) {
  const RoadFormat format = ReadRoadFormat(args);
  const std::optional<std::string_view> points = args.Value("--points");
  if (points ? args.operands.size() != 1 : args.operands.size() != 3) {
    return UsageError(system, syntax,
                      points ? "locate with --points takes the element file alone"
                             : "locate takes the element file and then X and Y, or --points FILE");
  }
  const std::optional<double> max_offset = args.Number("--max-offset");
  if (points && *points == "-" && args.operands[0] == "-") {
    return UsageError(system, syntax,
                      "the element file and the points cannot both be standard input");
  }

  const std::optional<LoadedAlignment> loaded =
      LoadAlignment(system, args.operands[0], ReadLoadOptions(args), format.decimals);
  if (!loaded) {
    return kExitUsage;
  }
  const std::optional<Heights> heights =
      ReadHeights(syntax, args, system, loaded->alignment,
                  args.operands[0] == "-" || (points && *points == "-"));
  if (!heights) {
    return kExitUsage;
  }
  std::optional<Input> input;
  if (points) {
    input = OpenInput(system, *points);
    if (!input) {
      return kExitUsage;
    }
  }
  std::vector<std::string_view> inputs = {args.operands[0]};
  if (points) {
    inputs.push_back(*points);
  }
  AddHeightInputs(args, inputs);
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  Writer out(*output->sink, format.bom);
  if (format.bom) {
    out.text += kByteOrderMark;
  }
  out.Line(report::LocateHeader(*heights, heights->profile.has_value()));
  const report::PointLocator locator(*loaded, *heights,
                                     {max_offset, format.stations, format.decimals});
  bool all_located = true;
  if (!points) {
    const report::LocateAnswer answer = locator.Locate(
        {"", std::string(args.operands[1]), std::string(args.operands[2]), std::nullopt});
    out.Line(answer.line);
    all_located = answer.complete;
  } else {
    Source& in = *input->source;
    report::LocatePoints(out, locator, heights->profile.has_value(), in,
                         [&all_located](const std::string&) { all_located = false; });
    if (in.failed) {
      out.Abandon();
      return Fail(system, "the points could not be read");
    }
  }
  return Finish(system, out, all_located ? FindingsStatus(*loaded) : kExitRefused);
}

}  // namespace

const Command kLocateCommand = {kSpec, RunLocate};

}  // namespace velmora::cli
