// check: an element file as the design table gives it, each element with
// what it computes to, and each given start that differs from the carried
// one.
#include <algorithm>
#include <cmath>

#include "arith/angle.h"
#include "cli/command.h"
#include "cli/elements.h"
#include "cli/pi_tables.h"
#include "cli/road_command.h"
#include "report/curve_tables.h"
#include "road/geometry.h"
#include "text/numtext.h"

namespace velmora::cli {
namespace {

constexpr OptionSpec kOptions[] = {
    kAlignmentOption,
    Optional("--tolerance", "D",
             "report start and End points more than D apart "
             "(0.001 unless given).",
             ValueKind::kDistance),
    Flag("--pi", "write the road's table of JDs as a PI file instead."),
    kProfileOption,
    kCrossSlopesOption,
    kCrossSlopeOption,
    kStationFormatOption,
    kDecimalsOption,
    kBomOption,
    kOutputOption};

constexpr CommandSpec kSpec = {
    .name = "check",
    .operands = "ELEMENTS",
    .operands_wanted = "one element file",
    .min_operands = 1,
    .max_operands = 1,
    .options = kOptions,
    .summary = "an element file as its design table, each element computed",
    .description =
        "The alignment of the element file ELEMENTS as CSV, one element a line:\n"
        "its number, the line of the file, its kind (straight, arc, spiral), start\n"
        "and end station, length, radii, start and end azimuth (as the window\n"
        "shows them, and packed) and start and end point. A start azimuth or start\n"
        "point that the file gives and that differs from the end of the previous\n"
        "element by more than 1 mm (--tolerance) or 1 second is reported on\n"
        "standard error, and the exit status is then 1. The given start is the\n"
        "one used.\n"
        "\n"
        "ELEMENTS may be a LandXML file (--alignment NAME chooses among several\n"
        "alignments). Each element starts at the Start point the file states, in\n"
        "the direction its points give; a Start farther than the tolerance from\n"
        "where the previous element ends, and an End farther than it from where the\n"
        "element ends, are reported, naming the element by its number and\n"
        "station, and the exit status is then 1. Stations are those the road's\n"
        "station equations make.\n"
        "\n"
        "ELEMENTS may be a PI file (its header names name,x,y,radius,spiral_in,\n"
        "spiral_out): check then writes its table of straights, curves and\n"
        "deflections, a line for BP, each JD and EP, and reports each of the\n"
        "drawing's numbers the file gives (columns T1, T2, L, Ly, E, J, ZH, HY, QZ,\n"
        "YH, HZ) that is farther than the tolerance from the computed one (exit\n"
        "status 1). With --pi, the road (of straights and spiral-arc-spiral\n"
        "curves) is written as a PI file instead, every number to its last digit;\n"
        "a road of another shape is refused, naming the element where it stops\n"
        "fitting.\n"

        "With --profile FILE, check writes the vertical curve table of the profile\n"
        "instead of the element table, one line a PVI: its line in FILE, station,\n"
        "elevation, grade_in and grade_out (percent, + rising along the station),\n"
        "omega (the grade change, a fraction), R, L = R|omega|, T = L/2,\n"
        "E = T^2/(2R), the curve's start and end stations and elevations, and\n"
        "bend (crest or sag). --cross-slopes FILE is read and checked too.\n"
        "\n"
        "Example (a straight north, then a spiral into a curve of radius 100):\n"
        "  $ cat road.csv\n"
        "  start,end,start_radius,end_radius,start_azimuth,x,y\n"
        "  0,100,0,0,0,1000,500\n"
        "  100,164,0,100,,,\n"
        "  $ velmora-cli check road.csv\n"
        "  element,line,kind,start,end,length,start_radius,end_radius,start_azimuth,...\n"
        "  1,2,straight,0,100,100.0000,0,0,0度0分0秒,0,0度0分0秒,0,1000.0000,500.0000,...\n"
        "  2,3,spiral,100,164,64.0000,0,100,0度0分0秒,0,18度20分4.7秒,18.20047,...\n",
    .options_before_operands_only = false,
};

constexpr std::string_view kHeader =
    "element,line,kind,start,end,length,start_radius,end_radius,start_azimuth,start_packed,"
    "end_azimuth,end_packed,start_x,start_y,end_x,end_y";

std::string_view KindName(road::Kind kind) {
  switch (kind) {
    case road::Kind::kStraight:
      return "straight";
    case road::Kind::kArc:
      return "arc";
    case road::Kind::kSpiral:
      return "spiral";
  }
  return "";
}

void AppendPoint(std::string& out, const std::optional<road::Point>& point, int decimals) {
  if (point) {
    AppendFixed(out, point->x, decimals);
  }
  out += ',';
  if (point) {
    AppendFixed(out, point->y, decimals);
  }
}

int RunCheck(const CommandSpec& syntax, const ParsedArgs& args, System& system) {
  const RoadFormat format = ReadRoadFormat(args);
  LoadOptions options = ReadLoadOptions(args);
  if (const std::optional<double> tolerance = args.Number("--tolerance")) {
    options.tolerance.distance = *tolerance;
  }
  const std::optional<LoadedAlignment> loaded =
      LoadAlignment(system, args.operands[0], options, format.decimals);
  if (!loaded) {
    return kExitUsage;
  }
  std::optional<road::PiTable> table;
  if (args.Has("--pi")) {
    std::string problem;
    table = PiTableOfRoad(*loaded, problem);
    if (!table) {
      return Fail(system, Printable(loaded->name) + ", " + problem);
    }
  }
  const std::optional<Heights> heights =
      ReadHeights(syntax, args, system, loaded->alignment, args.operands[0] == "-");
  if (!heights) {
    return kExitUsage;
  }
  std::vector<std::string_view> inputs = {args.operands[0]};
  AddHeightInputs(args, inputs);
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  Writer out(*output->sink, format.bom);
  if (format.bom) {
    out.text += kByteOrderMark;
  }
  if (heights->profile) {
    report::WriteVerticalCurveTable(out, *loaded, *heights->profile, format.stations,
                                    format.decimals);
    return Finish(system, out, FindingsStatus(*loaded));
  }
  if (table || loaded->pi) {
    int status = FindingsStatus(*loaded);
    if (table) {
      WritePiFile(out, *table);
      if (!loaded->alignment.equations().empty()) {
        // A PI file has no station equations: its stations run on from BP.
        Complain(system,
                 std::string(kProgram) + ": " + Printable(loaded->name) +
                     ", the road's station equations are not in the PI file: its stations "
                     "run on from BP",
                 0);
        status = kExitRefused;
      }
    } else {
      report::WritePiTable(out, *loaded->pi, format.stations, format.decimals);
    }
    return Finish(system, out, status);
  }
  out.Line(kHeader);
  const std::vector<road::Element>& elements = loaded->alignment.elements();
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const road::Element& e = elements[i];
    std::string& t = out.text;
    t += std::to_string(i + 1);
    t += ',';
    if (!loaded->landxml) {
      t += std::to_string(i < loaded->file.lines.size() ? loaded->file.lines[i] : 0);
    }
    t += ',';
    t += KindName(road::KindOf(e));
    t += ',';
    const road::Alignment& alignment = loaded->alignment;
    AppendStation(t, alignment.DisplayStation(e.start_station), format.stations);
    t += ',';
    AppendStation(t, alignment.DisplayEndStation(e.end_station), format.stations);
    t += ',';
    AppendFixed(t, e.Length(), format.decimals);
    t += ',';
    t += NumberToText(e.start_radius);
    t += ',';
    t += NumberToText(e.end_radius);
    t += ',';
    AppendAzimuth(t, e.start_azimuth);
    t += ',';
    if (const auto end_azimuth = road::AzimuthAt(e, e.end_station)) {
      AppendAzimuth(t, *end_azimuth);
    } else {
      t += ',';
    }
    t += ',';
    AppendPoint(t, e.start, format.decimals);
    t += ',';
    AppendPoint(t, road::PointAt(e, e.end_station), format.decimals);
    out.EndLine();
  }

  return Finish(system, out, FindingsStatus(*loaded));
}

}  // namespace

const Command kCheckCommand = {kSpec, RunCheck};

}  // namespace velmora::cli
