// landxml: the road of an element file written as a LandXML file, for
// design software and field controllers.
#include <chrono>
#include <cstdio>

#include "cli/command.h"
#include "cli/elements.h"
#include "cli/road_command.h"
#include "landxml/writer.h"

namespace velmora::cli {
namespace {

constexpr OptionSpec kOptions[] = {
    kAlignmentOption,
    Optional("--name", "NAME",
             "the alignment's name in the file (the element file's name without its folder "
             "and extension unless given)."),
    kProfileOption,
    kProfileNameOption,
    kCrossSlopesOption,
    kCrossSlopeOption,
    kOutputOption,
};

constexpr CommandSpec kSpec = {
    .name = "landxml",
    .operands = "ELEMENTS",
    .operands_wanted = "one element file",
    .min_operands = 1,
    .max_operands = 1,
    .options = kOptions,
    .summary = "the road of an element file (and its profile) as a LandXML file",
    .description =
        "The alignment of the element file ELEMENTS as a LandXML 1.2 file, for\n"
        "design software and field controllers: each element a Line, a Curve or a\n"
        "clothoid Spiral with its Start and End points, its Center (arcs) or PI\n"
        "(spirals), its length and radii, and the road's station equations.\n"
        "Points are written \"northing easting\", every number with the digits that\n"
        "read back as the same value, so velmora-cli reads the file back to the\n"
        "same road. An element whose curvature changes sign is written as two\n"
        "spirals meeting where the curvature is zero, and a spiral that turns more\n"
        "than a quarter turn in pieces, since a LandXML spiral turns one way and\n"
        "has a PI. No directions are written: programs read those in different\n"
        "conventions, and the points say the same. The units are declared as\n"
        "metres, or as a LandXML input declares them; numbers are never converted.\n"
        "\n"
        "The design profile, from --profile FILE or else the LandXML input's own\n"
        "(chosen by --profile-name where it holds several), is written as the\n"
        "alignment's Profile/ProfAlign: its start and end and each grade change a\n"
        "PVI, or a ParaCurve (a parabola given by its radius is written with its\n"
        "length), UnsymParaCurve or CircCurve, at the stations the road displays.\n"
        "LandXML keeps no plain table of cross slopes: --cross-slopes and\n"
        "--cross-slope are refused (exit status 2), and nothing is written.\n"
        "\n"
        "A design that contradicts itself (a start given that is not where the\n"
        "previous element ends, a LandXML statement its geometry contradicts) is\n"
        "reported on standard error as check reports it, one line each; the\n"
        "output is written all the same, and the exit status is then at least 1.\n",
    .options_before_operands_only = false,
};

// The element file's name without its folder and extension.
std::string BaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) {
    path.remove_prefix(slash + 1);
  }
  const std::size_t dot = path.rfind('.');
  if (dot != std::string_view::npos && dot > 0) {
    path = path.substr(0, dot);
  }
  return std::string(path);
}

int RunLandXml(const CommandSpec& syntax, const ParsedArgs& args, System& system) {
  if (args.Has("--cross-slopes") || args.Has("--cross-slope")) {
    return UsageError(system, syntax,
                      "LandXML keeps no plain table of cross slopes, so none can be written; "
                      "leave --cross-slopes and --cross-slope out");
  }
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
  landxml::WriteOptions options;
  if (const auto name = args.Value("--name")) {
    options.name = std::string(*name);
  } else if (loaded->landxml) {
    options.name = loaded->alignment_name;
  } else {
    const std::string_view operand = args.operands[0];
    options.name = operand == "-" ? "Alignment" : BaseName(operand);
  }
  const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  const auto day = std::chrono::floor<std::chrono::days>(now);
  const std::chrono::year_month_day date(day);
  const std::chrono::hh_mm_ss time(now - day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  options.date = text;
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
  options.time = text;
  options.application = std::string(kProgram);
  options.version = VELMORA_VERSION;
  options.units = loaded->units;
  if (heights->profile) {
    options.profile = &heights->profile->profile;
    options.profile_points = heights->profile->points;
    const std::optional<std::string_view> file = args.Value("--profile");
    options.profile_name =
        file ? (*file == "-" ? std::string("Profile") : BaseName(*file)) : loaded->profile_name;
  }

  std::string error;
  const std::optional<std::string> xml = landxml::WriteLandXml(loaded->alignment, options, error);
  if (!xml) {
    return Fail(system, Printable(loaded->name) + ", " + error);
  }
  std::vector<std::string_view> inputs = {args.operands[0]};
  AddHeightInputs(args, inputs);
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  Writer out(*output->sink, false);
  out.text = *xml;
  return Finish(system, out, FindingsStatus(*loaded));
}

}  // namespace

const Command kLandXmlCommand = {kSpec, RunLandXml};

}  // namespace velmora::cli
