// elements: any road (an element file, a PI file, a LandXML alignment)
// written as the element file that reads back as the same road.
#include "cli/command.h"
#include "cli/elements.h"
#include "cli/pi_tables.h"
#include "cli/road_command.h"

namespace velmora::cli {
namespace {

constexpr OptionSpec kOptions[] = {kAlignmentOption, kBomOption, kOutputOption};

constexpr CommandSpec kSpec = {
    .name = "elements",
    .operands = "ROAD",
    .operands_wanted = "one road file",
    .min_operands = 1,
    .max_operands = 1,
    .options = kOptions,
    .summary = "any road as an element file",
    .description =
        "The road ROAD (an element file, a PI file, or a LandXML file: --alignment\n"
        "NAME chooses among several alignments) as an element file,\n"
        "start,end,start_radius,end_radius,start_azimuth,x,y, one element a line\n"
        "with its start azimuth (packed) and start point, every number with the\n"
        "digits that read back as the same value, and each station equation as an\n"
        "equation,BACK,AHEAD line after the element it falls in. Reading the file\n"
        "back gives the same road. An element in which two station equations or\n"
        "more fall is cut at each but the last. A start azimuth whose seconds\n"
        "would be written as 60 is left out, to be carried on from the element\n"
        "before.\n"
        "\n"
        "What the road says against itself is reported on standard error as\n"
        "check reports it; the file is written all the same, and the exit status\n"
        "is then 1.\n"
        "\n"
        "Example (the road of a PI file):\n"
        "  $ velmora-cli elements pi.csv -o road.csv\n",
    .options_before_operands_only = false,
};

int RunElements(const CommandSpec&, const ParsedArgs& args, System& system) {
  const std::optional<LoadedAlignment> loaded =
      LoadAlignment(system, args.operands[0], ReadLoadOptions(args));
  if (!loaded) {
    return kExitUsage;
  }
  const std::string_view inputs[] = {args.operands[0]};
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  const bool bom = args.Has("--bom");
  Writer out(*output->sink, bom);
  if (bom) {
    out.text += kByteOrderMark;
  }
  WriteElementFile(out, loaded->alignment);
  return Finish(system, out, FindingsStatus(*loaded));
}

}  // namespace

const Command kElementsCommand = {kSpec, RunElements};

}  // namespace velmora::cli
