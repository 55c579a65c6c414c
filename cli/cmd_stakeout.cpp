// stakeout: the station coordinate table of a whole road.
#include <algorithm>
#include <cmath>
#include <vector>

#include "arith/angle.h"
#include "cli/command.h"
#include "cli/elements.h"
#include "cli/road_command.h"
#include "report/geojson.h"
#include "report/table.h"
#include "road/geometry.h"
#include "road/stakeout.h"
#include "text/csv.h"
#include "text/numtext.h"

namespace velmora::cli {
namespace {

constexpr OptionSpec kOptions[] = {
    Needed("--every", "STEP", "a row at every whole multiple of STEP along the road.",
           ValueKind::kStep),
    Repeated("--at", "S", "a row at station S too (1234.5 or K1+234.5).", ValueKind::kStation),
    Repeated("--offset", "D",
             "two more columns, X and Y of the point D to the right of the centre line "
             "(negative: to the left).",
             ValueKind::kLength),
    Flag("--geojson",
         "write the table as GeoJSON instead of CSV: a point for each row and offset, and the "
         "centre and offset lines, [easting, northing] in the file's own system."),
    kProfileOption,
    kCrossSlopesOption,
    kCrossSlopeOption,
    kAlignmentOption,
    kStationFormatOption,
    kDecimalsOption,
    kBomOption,
    kOutputOption,
};

constexpr CommandSpec kSpec = {
    .name = "stakeout",
    .operands = "ELEMENTS",
    .operands_wanted = "one element file",
    .min_operands = 1,
    .max_operands = 1,
    .options = kOptions,
    .summary = "the station coordinate table of the road of an element file",
    .description =
        "The station coordinate table of the road of the element file ELEMENTS,\n"
        "as CSV: every element boundary, every whole multiple of STEP (each a\n"
        "product, so nothing drifts) and each --at station, in station order,\n"
        "each once. Columns: station, point (the boundary's code: QD start, ZD\n"
        "end, ZH, HY, YH, HZ, ZY, YZ, GQ where two curves share a tangent, JD\n"
        "where two straights meet), x, y, azimuth\n"
        "(as the window shows it), packed (as it is typed), then x and y of each\n"
        "--offset, named x_left_10, y_left_10, x_right_10, ...\n"
        "\n"
        "--geojson writes the same rows as a GeoJSON FeatureCollection: a Point\n"
        "for each row and offset (properties station, code, azimuth, offset, x, y\n"
        "and more), then a LineString for the centre line and each offset line\n"
        "(within 0.001 length units of the curve). Coordinates are [easting,\n"
        "northing], east first as GIS programs read them, in the element file's\n"
        "own projected system: nothing is transformed, so they are not the WGS 84\n"
        "longitude and latitude RFC 7946 expects; the collection says so in its\n"
        "member \"velmora:coordinates\".\n"
        "\n"
        "With --profile FILE each row has the design elevation h of the centre\n"
        "line after x and y, and with cross slopes (--cross-slopes FILE or\n"
        "--cross-slope P) the elevation of each offset point after its x and y,\n"
        "named h_left_10, h_right_10, ...: the centre's elevation plus |offset|\n"
        "times that side's slope / 100 (slopes in percent, negative falling away\n"
        "from the centre line). A station outside the profile has an empty h,\n"
        "the reason on standard error, and the exit status is then 1. --geojson\n"
        "then writes each point's [easting, northing, elevation] and its\n"
        "property h (offset points only with cross slopes; the lines stay\n"
        "[easting, northing]).\n"
        "\n"
        "Stations are those read on the road after its station equations. A --at\n"
        "station that an equation skips is refused, naming the equation; one that\n"
        "an equation repeats gives a row at each place, in order along the road.\n"
        "\n"
        "A design that contradicts itself (a start given that is not where the\n"
        "previous element ends, a LandXML statement its geometry contradicts) is\n"
        "reported on standard error as check reports it, one line each; the\n"
        "output is written all the same, and the exit status is then at least 1.\n"
        "\n"
        "Example (road.csv as in 'velmora-cli check --help'):\n"
        "  $ velmora-cli stakeout road.csv --every 50 --offset -5 --station-format k\n"
        "  station,point,x,y,azimuth,packed,x_left_5,y_left_5\n"
        "  K0+000.000,QD,1000.0000,500.0000,0度0分0秒,0,1000.0000,495.0000\n"
        "  K0+050.000,,1050.0000,500.0000,0度0分0秒,0,1050.0000,495.0000\n"
        "  K0+100.000,ZH,1100.0000,500.0000,0度0分0秒,0,1100.0000,495.0000\n"
        "  K0+150.000,,1149.8096,503.2463,11度11分26.1秒,11.11261,1150.7800,498.3414\n"
        "  K0+164.000,ZD,1163.3477,506.7769,18度20分4.7秒,18.20047,1164.9206,502.0307\n",
    .options_before_operands_only = false,
};

int RunStakeout(const CommandSpec& syntax, const ParsedArgs& args, System& system) {
  const RoadFormat format = ReadRoadFormat(args);
  const double step = *args.Number("--every");
  const std::vector<double> offsets = args.Numbers("--offset");
  const bool geojson = args.Has("--geojson");
  if (geojson && format.bom) {
    return UsageError(system, syntax, "--bom is for CSV: JSON text has no byte-order mark");
  }
  const std::optional<LoadedAlignment> loaded =
      LoadAlignment(system, args.operands[0], ReadLoadOptions(args), format.decimals);
  if (!loaded) {
    return kExitUsage;
  }
  const std::optional<Heights> heights =
      ReadHeights(syntax, args, system, loaded->alignment, args.operands[0] == "-");
  if (!heights) {
    return kExitUsage;
  }
  report::TableRequest request;
  request.step = step;
  request.step_text = std::string(*args.Value("--every"));
  request.at = args.Numbers("--at");
  request.offsets = offsets;
  request.stations = format.stations;
  request.decimals = format.decimals;
  if (const std::optional<report::Refusal> refusal = report::CheckTable(*loaded, request)) {
    return Fail(system, refusal->message);
  }
  std::vector<std::string_view> inputs = {args.operands[0]};
  AddHeightInputs(args, inputs);
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  Writer out(*output->sink, format.bom && !geojson);
  Writer err(system.Err(), false);
  int status = kExitAnswered;
  const auto gap = [&](const std::string& problem) {
    status = kExitRefused;
    err.Line(std::string(kProgram) + ": " + problem);
  };
  if (geojson) {
    report::WriteTableGeoJson(out, *loaded, *heights, request, loaded->name, gap);
  } else {
    if (format.bom) {
      out.text += kByteOrderMark;
    }
    report::WriteTableCsv(out, *loaded, *heights, request, gap);
  }
  err.Finish();
  return Finish(system, out, std::max(status, FindingsStatus(*loaded)));
}

}  // namespace

const Command kStakeoutCommand = {kSpec, RunStakeout};

}  // namespace velmora::cli
