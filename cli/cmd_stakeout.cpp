// stakeout: the station coordinate table of a whole road.
#include <algorithm>
#include <cmath>
#include <vector>

#include "arith/angle.h"
#include "cli/command.h"
#include "cli/elements.h"
#include "cli/geojson.h"
#include "cli/road_command.h"
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
    kProfileNameOption,
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
        "A LandXML road's own design profile (its ProfAlign; --profile-name NAME\n"
        "where it holds several) serves as --profile FILE does, unless FILE is\n"
        "given.\n"
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

constexpr double kMostRows = 10'000'000;

// Why the table of a step would be too long to write, or nothing. Each
// stretch between station equations holds at most its length over the step
// plus one multiple; each element boundary and --at station adds a row.
std::optional<std::string> TooManyRows(const road::Alignment& alignment, double step,
                                       std::string_view step_text, std::size_t asked) {
  const double stretches = static_cast<double>(alignment.equations().size()) + 1.0;
  const double rows = std::floor((alignment.End() - alignment.Start()) / step) + stretches +
                      static_cast<double>(alignment.elements().size() + 1 + asked);
  if (!(rows <= kMostRows)) {
    std::string problem = "--every " + Printable(step_text) + " asks for ";
    if (std::isfinite(rows)) {
      problem += "up to ";
      AppendFixed(problem, rows, 0);
    } else {
      problem += "countless";
    }
    return problem + " rows, more than 10000000; choose a longer step";
  }
  // Multiples counted one by one stay exact only below 2^52.
  double largest = std::max(std::fabs(alignment.Start()), std::fabs(alignment.End()));
  for (const road::StationEquation& equation : alignment.equations()) {
    largest = std::max({largest, std::fabs(equation.back), std::fabs(equation.ahead)});
  }
  if (!(largest / step < 0x1p52)) {
    return "--every " + Printable(step_text) + " is too fine for stations as large as " +
           NumberToText(largest) + "; choose a longer step";
  }
  return std::nullopt;
}

std::string OffsetName(double offset) {
  if (offset == 0.0) {
    return "offset_0";
  }
  return (offset < 0.0 ? "left_" : "right_") + NumberToText(std::fabs(offset));
}

// The distances along the road of the --at stations; nothing, with the
// reason on standard error, for one no point of the road has.
std::optional<std::vector<double>> AtDistances(const road::Alignment& alignment,
                                               std::span<const double> stations,
                                               StationFormat format, System& system) {
  std::vector<double> extra;
  for (const double station : stations) {
    const std::vector<double> distances = alignment.DistancesOf(station);
    if (distances.empty()) {
      std::string problem = "station ";
      AppendStation(problem, station, format);
      // A station that an equation skips is named with it.
      if (const road::StationEquation* equation = alignment.GapHolding(station)) {
        problem += " of --at falls in the gap of the station equation ";
        AppendStation(problem, equation->back, format);
        problem += " = ";
        AppendStation(problem, equation->ahead, format);
        Fail(system, problem + ": no point of the road has it");
        return std::nullopt;
      }
      problem += " of --at is not on the road, which runs from ";
      AppendStation(problem, alignment.DisplayStation(alignment.Start()), format);
      problem += " to ";
      AppendStation(problem, alignment.DisplayEndStation(alignment.End()), format);
      Fail(system, problem);
      return std::nullopt;
    }
    extra.insert(extra.end(), distances.begin(), distances.end());
  }
  return extra;
}

// The table as CSV; the status it earns.
int WriteCsvTable(Writer& out, Writer& err, const road::Alignment& alignment, double step,
                  std::span<const double> extra, std::span<const double> offsets,
                  const RoadFormat& format, const Heights& heights) {
  const road::Profile* profile = heights.profile ? &heights.profile->profile : nullptr;
  const road::CrossSlopes* slopes = heights.slopes ? &*heights.slopes : nullptr;
  if (format.bom) {
    out.text += kByteOrderMark;
  }
  out.text += profile ? "station,point,x,y,h,azimuth,packed" : "station,point,x,y,azimuth,packed";
  for (const double offset : offsets) {
    const std::string name = OffsetName(offset);
    out.text += ",x_" + name + ",y_" + name;
    if (slopes) {
      out.text += ",h_" + name;
    }
  }
  out.EndLine();
  int status = kExitAnswered;
  StakeoutTable(alignment, step, extra, offsets, format.stations, [&](const StakeoutTableRow& row) {
    std::string& t = out.text;
    t += row.station;
    t += ',';
    t += row.row->code;
    // The centre's elevation once a row; each offset's from the slopes.
    const std::optional<double> h =
        profile ? profile->ElevationAt(row.row->distance) : std::nullopt;
    const road::CrossSlope slope = slopes && h ? slopes->At(row.row->distance) : road::CrossSlope{};
    for (std::size_t i = 0; i < row.points.size(); ++i) {
      t += ',';
      if (row.points[i]) {
        AppendFixed(t, row.points[i]->x, format.decimals);
        t += ',';
        AppendFixed(t, row.points[i]->y, format.decimals);
      } else {
        t += ',';
      }
      if (profile && (i == 0 || slopes)) {
        t += ',';
        if (h) {
          AppendFixed(t, OffsetElevation(*h, slope, i == 0 ? 0.0 : offsets[i - 1]),
                      format.decimals);
        }
      }
      if (i == 0) {
        t += ',';
        text::AppendCsvField(t, row.azimuth_text);
        t += ',';
        text::AppendCsvField(t, row.packed);
      }
    }
    if (!row.Complete()) {
      status = kExitRefused;
      err.Line(std::string(kProgram) + ": station " + row.station +
               ": the point cannot be computed on its element");
    }
    if (profile && !h) {
      status = kExitRefused;
      err.Line(std::string(kProgram) + ": station " + row.station +
               ": no design elevation: the profile runs from " +
               ProfileEnds(alignment, *profile, format.stations) +
               "; extend the profile to cover it");
    }
    out.EndLine();
    return out.ok();  // a failed write ends the table
  });
  return status;
}

int RunStakeout(const CommandSpec& syntax, const ParsedArgs& args, System& system) {
  const RoadFormat format = ReadRoadFormat(args);
  const double step = *args.Number("--every");
  const std::vector<double> offsets = args.Numbers("--offset");
  const bool geojson = args.Has("--geojson");
  if (geojson && format.bom) {
    return UsageError(system, syntax, "--bom is for CSV: JSON text has no byte-order mark");
  }
  const std::optional<LoadedAlignment> loaded =
      LoadAlignment(system, args.operands[0], ReadLoadOptions(args, true), format.decimals);
  if (!loaded) {
    return kExitUsage;
  }
  const std::optional<Heights> heights =
      ReadHeights(syntax, args, system, *loaded, args.operands[0] == "-");
  if (!heights) {
    return kExitUsage;
  }
  const road::Alignment& alignment = loaded->alignment;
  const std::optional<std::vector<double>> extra =
      AtDistances(alignment, args.Numbers("--at"), format.stations, system);
  if (!extra) {
    return kExitUsage;
  }
  if (const auto problem = TooManyRows(alignment, step, *args.Value("--every"), extra->size())) {
    return Fail(system, *problem);
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
  if (geojson) {
    WriteStakeoutGeoJson(
        out, alignment, step, *extra, offsets, format.stations, format.decimals, loaded->name,
        [&](const std::string& problem) {
          status = kExitRefused;
          err.Line(std::string(kProgram) + ": " + problem);
        },
        *heights);
  } else {
    status = WriteCsvTable(out, err, alignment, step, *extra, offsets, format, *heights);
  }
  err.Finish();
  return Finish(system, out, std::max(status, FindingsStatus(*loaded)));
}

}  // namespace

const Command kStakeoutCommand = {kSpec, RunStakeout};

}  // namespace velmora::cli
