#include "report/table.h"

#include <algorithm>
#include <cmath>

#include "arith/angle.h"
#include "road/geometry.h"
#include "text/csv.h"
#include "text/text.h"

namespace velmora::report {
namespace {

using model::AppendStation;
using text::AppendFixed;

constexpr double kMostRows = 10'000'000;

// Why a station asked for has no row, or nothing.
std::optional<Refusal> CheckAt(const road::Alignment& alignment, double station,
                               model::StationFormat format) {
  if (!alignment.DistancesOf(station).empty()) {
    return std::nullopt;
  }
  std::string problem = "station ";
  AppendStation(problem, station, format);
  // A station that an equation skips is named with it.
  if (const road::StationEquation* equation = alignment.GapHolding(station)) {
    problem += " of --at falls in the gap of the station equation ";
    AppendStation(problem, equation->back, format);
    problem += " = ";
    AppendStation(problem, equation->ahead, format);
    return Refusal{problem + ": no point of the road has it"};
  }
  problem += " of --at is not on the road, which runs from ";
  AppendStation(problem, alignment.DisplayStation(alignment.Start()), format);
  problem += " to ";
  AppendStation(problem, alignment.DisplayEndStation(alignment.End()), format);
  return Refusal{problem};
}

// Why the table of a step would be too long to write, or nothing. Each
// stretch between station equations holds at most its length over the step
// plus one multiple; each element boundary and asked station adds a row.
std::optional<Refusal> TooManyRows(const road::Alignment& alignment, double step,
                                   const std::string& step_text, std::size_t asked) {
  const double stretches = static_cast<double>(alignment.equations().size()) + 1.0;
  const double rows = std::floor((alignment.End() - alignment.Start()) / step) + stretches +
                      static_cast<double>(alignment.elements().size() + 1 + asked);
  if (!(rows <= kMostRows)) {
    std::string problem = "--every " + step_text + " asks for ";
    if (std::isfinite(rows)) {
      problem += "up to ";
      AppendFixed(problem, rows, 0);
    } else {
      problem += "countless";
    }
    return Refusal{problem + " rows, more than 10000000; choose a longer step"};
  }
  // Multiples counted one by one stay exact only below 2^52.
  double largest = std::max(std::fabs(alignment.Start()), std::fabs(alignment.End()));
  for (const road::StationEquation& equation : alignment.equations()) {
    largest = std::max({largest, std::fabs(equation.back), std::fabs(equation.ahead)});
  }
  if (!(largest / step < 0x1p52)) {
    return Refusal{"--every " + step_text + " is too fine for stations as large as " +
                   NumberToText(largest) + "; choose a longer step"};
  }
  return std::nullopt;
}

}  // namespace

std::vector<double> AtDistances(const road::Alignment& alignment, std::span<const double> at) {
  std::vector<double> extra;
  for (const double station : at) {
    const std::vector<double> distances = alignment.DistancesOf(station);
    extra.insert(extra.end(), distances.begin(), distances.end());
  }
  return extra;
}

std::optional<Refusal> CheckTable(const model::Road& road, const TableRequest& request) {
  const std::string step_text =
      request.step_text.empty() ? NumberToText(request.step) : text::Printable(request.step_text);
  if (!(request.step > 0.0) || !std::isfinite(request.step)) {
    return Refusal{"--every " + step_text + " is not a step along the road; give one above 0"};
  }
  if (request.decimals < 0 || request.decimals > kMostDecimals) {
    return Refusal{"--decimals " + std::to_string(request.decimals) + " is not 0 to 12"};
  }
  const road::Alignment& alignment = road.alignment;
  for (const double station : request.at) {
    if (auto refusal = CheckAt(alignment, station, request.stations)) {
      return refusal;
    }
  }
  return TooManyRows(alignment, request.step, step_text, AtDistances(alignment, request.at).size());
}

std::string OffsetName(double offset) {
  if (offset == 0.0) {
    return "offset_0";
  }
  return (offset < 0.0 ? "left_" : "right_") + NumberToText(std::fabs(offset));
}

std::string ProfileEnds(const road::Alignment& alignment, const road::Profile& profile,
                        model::StationFormat stations, int decimals) {
  std::string text;
  AppendStation(text, alignment.DisplayStation(profile.Start()), stations, decimals);
  text += " to ";
  AppendStation(text, alignment.DisplayStation(profile.End()), stations, decimals);
  return text;
}

bool TableRow::Complete() const {
  for (const std::optional<road::Point>& point : points) {
    if (!point) {
      return false;
    }
  }
  return azimuth.has_value();
}

void TableRows(const road::Alignment& alignment, double step, std::span<const double> extra,
               std::span<const double> offsets, model::StationFormat stations,
               const std::function<bool(const TableRow&)>& take) {
  TableRow out;
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

Gaps WriteTableCsv(LineOut& out, const model::Road& road, const Heights& heights,
                   const TableRequest& request) {
  Gaps gaps;
  WriteTableCsv(out, road, heights, request,
                [&gaps](const std::string& message) { gaps.messages.push_back(message); });
  return gaps;
}

void WriteTableCsv(LineOut& out, const model::Road& road, const Heights& heights,
                   const TableRequest& request, const GapSink& gap) {
  // A step of 0, or one that would make rows past counting, never starts.
  if (const std::optional<Refusal> refusal = CheckTable(road, request)) {
    gap(refusal->message);
    return;
  }
  const road::Alignment& alignment = road.alignment;
  const road::Profile* profile = heights.profile ? &heights.profile->profile : nullptr;
  const road::CrossSlopes* slopes = heights.slopes ? &*heights.slopes : nullptr;
  const std::vector<double>& offsets = request.offsets;
  const int decimals = request.decimals;
  out.text += profile ? "station,point,x,y,h,azimuth,packed" : "station,point,x,y,azimuth,packed";
  for (const double offset : offsets) {
    const std::string name = OffsetName(offset);
    out.text += ",x_" + name + ",y_" + name;
    if (slopes) {
      out.text += ",h_" + name;
    }
  }
  out.EndLine();
  const std::vector<double> extra = AtDistances(alignment, request.at);
  TableRows(alignment, request.step, extra, offsets, request.stations, [&](const TableRow& row) {
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
        AppendFixed(t, row.points[i]->x, decimals);
        t += ',';
        AppendFixed(t, row.points[i]->y, decimals);
      } else {
        t += ',';
      }
      if (profile && (i == 0 || slopes)) {
        t += ',';
        if (h) {
          AppendFixed(t, OffsetElevation(*h, slope, i == 0 ? 0.0 : offsets[i - 1]), decimals);
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
      gap("station " + row.station + ": the point cannot be computed on its element");
    }
    if (profile && !h) {
      gap("station " + row.station + ": no design elevation: the profile runs from " +
          ProfileEnds(alignment, *profile, request.stations) + "; extend the profile to cover it");
    }
    out.EndLine();
    return out.ok();  // a failed write ends the table
  });
}

}  // namespace velmora::report
