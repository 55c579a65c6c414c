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
#include "text/numtext.h"

namespace velmora::cli {
namespace {

constexpr OptionSpec kOptions[] = {
    Needed("--every", "STEP", "a row at every whole multiple of STEP along the road."),
    Repeated("--at", "S", "a row at station S too (1234.5 or K1+234.5)."),
    Repeated("--offset", "D",
             "two more columns, X and Y of the point D to the right of the centre line "
             "(negative: to the left)."),
    Flag("--geojson",
         "write the table as GeoJSON instead of CSV: a point for each row and offset, and the "
         "centre and offset lines, [easting, northing] in the file's own system."),
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
        "end, ZH, HY, YH, HZ, ZY, YZ, GQ for any other junction), x, y, azimuth\n"
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

std::string OffsetName(double offset) {
  if (offset == 0.0) {
    return "offset_0";
  }
  return (offset < 0.0 ? "left_" : "right_") + NumberToText(std::fabs(offset));
}

int RunStakeout(const CommandSpec& syntax, const ParsedArgs& args, System& system) {
  const std::optional<RoadFormat> format = ReadRoadFormat(syntax, args, system);
  if (!format) {
    return kExitUsage;
  }
  const std::string_view every = *args.Value("--every");
  const NumberReading step = ReadNumber(every);
  if (!step.is_number || !std::isfinite(step.value) || !(step.value > 0.0)) {
    return UsageError(system, syntax,
                      "--every takes a step above 0, not \"" + Printable(every) + "\"");
  }
  std::vector<double> offsets;
  for (const std::string_view text : args.Values("--offset")) {
    const NumberReading offset = ReadNumber(text);
    if (!offset.is_number || !std::isfinite(offset.value)) {
      return UsageError(system, syntax,
                        "--offset takes a distance, not \"" + Printable(text) + "\"");
    }
    offsets.push_back(offset.value);
  }
  std::vector<double> stations;
  for (const std::string_view text : args.Values("--at")) {
    const std::optional<double> station = model::ParseStation(text);
    if (!station) {
      return UsageError(
          system, syntax,
          "--at takes a station (1234.5 or K1+234.5), not \"" + Printable(text) + "\"");
    }
    stations.push_back(*station);
  }

  const std::optional<LoadedAlignment> loaded =
      LoadAlignment(system, args.operands[0], ReadLoadOptions(args), format->decimals);
  if (!loaded) {
    return kExitUsage;
  }
  const road::Alignment& alignment = loaded->alignment;
  std::vector<double> extra;
  for (const double station : stations) {
    const std::vector<double> distances = alignment.DistancesOf(station);
    if (distances.empty()) {
      std::string problem = "station ";
      model::AppendStation(problem, station, format->stations);
      // A station that an equation skips is named with it.
      if (const road::StationEquation* equation = alignment.GapHolding(station)) {
        problem += " of --at falls in the gap of the station equation ";
        model::AppendStation(problem, equation->back, format->stations);
        problem += " = ";
        model::AppendStation(problem, equation->ahead, format->stations);
        problem += ": no point of the road has it";
        return Fail(system, problem);
      }
      problem += " of --at is not on the road, which runs from ";
      model::AppendStation(problem, alignment.DisplayStation(alignment.Start()), format->stations);
      problem += " to ";
      model::AppendStation(problem, alignment.DisplayEndStation(alignment.End()), format->stations);
      return Fail(system, problem);
    }
    extra.insert(extra.end(), distances.begin(), distances.end());
  }

  const bool geojson = args.Has("--geojson");
  if (geojson && format->bom) {
    return UsageError(system, syntax, "--bom is for CSV: JSON text has no byte-order mark");
  }

  const std::string_view inputs[] = {args.operands[0]};
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  if (geojson) {
    Writer out(*output->sink, false);
    Writer err(system.Err(), false);
    int status = kExitAnswered;
    WriteStakeoutGeoJson(out, alignment, step.value, extra, offsets, format->stations,
                         format->decimals, loaded->name, [&](const std::string& problem) {
                           status = kExitRefused;
                           err.Line(std::string(kProgram) + ": " + problem);
                         });
    err.Finish();
    return Finish(system, out, std::max(status, FindingsStatus(*loaded)));
  }
  Writer out(*output->sink, format->bom);
  if (format->bom) {
    out.text += kByteOrderMark;
  }
  out.text += "station,point,x,y,azimuth,packed";
  for (const double offset : offsets) {
    const std::string name = OffsetName(offset);
    out.text += ",x_" + name + ",y_" + name;
  }
  out.EndLine();

  Writer err(system.Err(), false);
  int status = kExitAnswered;
  const int decimals = format->decimals;
  const auto point = [&](std::string& t, const road::Element& e, double distance, double offset) {
    const std::optional<road::Point> p = road::PointAt(e, distance, offset);
    if (p) {
      AppendFixed(t, p->x, decimals);
      t += ',';
      AppendFixed(t, p->y, decimals);
    } else {
      t += ',';
    }
    return p.has_value();
  };
  // Along a straight the azimuth stays: its texts are written once.
  double last_azimuth = std::nan("");
  std::string last_azimuth_text;
  road::StakeoutStations(alignment, step.value, extra, [&](const road::StakeoutRow& row) {
    const road::Element& e = alignment.elements[row.element];
    std::string& t = out.text;
    const std::size_t row_start = t.size();
    model::AppendStation(t, alignment.DisplayStation(row.distance), format->stations);
    const std::size_t station_end = t.size();
    t += ',';
    t += row.code;
    t += ',';
    bool ok = point(t, e, row.distance, 0.0);
    t += ',';
    if (const std::optional<double> azimuth = road::AzimuthAt(e, row.distance)) {
      if (*azimuth == last_azimuth) {
        t += last_azimuth_text;
      } else {
        const std::size_t from = t.size();
        AppendAzimuth(t, *azimuth);
        last_azimuth = *azimuth;
        last_azimuth_text.assign(t, from);
      }
    } else {
      ok = false;
      t += ',';
    }
    for (const double offset : offsets) {
      t += ',';
      ok = point(t, e, row.distance, offset) && ok;
    }
    if (!ok) {
      status = kExitRefused;
      err.Line(std::string(kProgram) + ": station " + t.substr(row_start, station_end - row_start) +
               ": the point cannot be computed on its element");
    }
    out.EndLine();
    return out.ok();
  });
  err.Finish();
  return Finish(system, out, std::max(status, FindingsStatus(*loaded)));
}

}  // namespace

const Command kStakeoutCommand = {kSpec, RunStakeout};

}  // namespace velmora::cli
