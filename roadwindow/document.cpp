#include "roadwindow/document.h"

#include <cmath>

#include "landxml/reader.h"
#include "landxml/writer.h"
#include "model/heights.h"
#include "plot/svg.h"
#include "report/curve_tables.h"
#include "report/geojson.h"
#include "text/text.h"

namespace velmora::roadwindow {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool EndsWith(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) {
    return false;
  }
  for (std::size_t i = 0; i < end.size(); ++i) {
    char c = text[text.size() - end.size() + i];
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
    if (c != end[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

LandXmlChoices ChoicesOf(std::string_view bytes) {
  LandXmlChoices choices;
  if (!model::LooksLikeXml(bytes)) {
    return choices;
  }
  std::string error;
  const std::optional<landxml::Document> document = landxml::ReadLandXml(bytes, error);
  if (!document) {
    return choices;  // the road's loading says why
  }
  for (const landxml::ReadAlignment& alignment : document->alignments) {
    choices.alignments.push_back(alignment.name);
    std::vector<std::string>& names = choices.profiles.emplace_back();
    for (const landxml::ReadProfile& profile : alignment.profiles) {
      names.push_back(profile.name);
    }
  }
  return choices;
}

std::variant<OpenRoad, model::LoadError> LoadRoad(std::string_view bytes, std::string_view name,
                                                  std::optional<std::string> alignment,
                                                  std::optional<std::string> profile) {
  model::LoadOptions options;
  if (alignment) {
    options.alignment = *alignment;
  }
  options.profile = true;
  if (profile) {
    options.profile_name = *profile;
  }
  auto loaded = model::Load(bytes, name, options);
  if (auto* error = std::get_if<model::LoadError>(&loaded)) {
    return std::move(*error);
  }
  OpenRoad open{std::move(std::get<model::Road>(loaded)), {}, std::string(name), {}};
  open.heights.profile = open.road.profile;
  open.profile_name = open.road.profile_name;
  return open;
}

std::optional<model::LoadError> LoadProfile(OpenRoad& open, std::string_view bytes,
                                            std::string_view name) {
  auto read = model::ReadProfile(bytes, name, open.road.alignment);
  if (auto* error = std::get_if<model::LoadError>(&read)) {
    return std::move(*error);
  }
  open.heights.profile = std::move(std::get<model::ProfileFile>(read));
  const std::size_t slash = name.find_last_of("/\\");
  open.profile_name = name.substr(slash == std::string_view::npos ? 0 : slash + 1);
  return std::nullopt;
}

std::optional<model::LoadError> LoadCrossSlopes(OpenRoad& open, std::string_view bytes,
                                                std::string_view name) {
  auto read = model::ReadCrossSlopes(bytes, name, open.road.alignment);
  if (auto* error = std::get_if<model::LoadError>(&read)) {
    return std::move(*error);
  }
  open.heights.slopes = std::move(std::get<road::CrossSlopes>(read));
  return std::nullopt;
}

report::TableRequest RequestOf(const TableSettings& settings) {
  report::TableRequest request;
  request.step = settings.step;
  request.at = settings.at;
  request.offsets = settings.offsets;
  request.stations = settings.stations;
  request.decimals = settings.decimals;
  return request;
}

Output TableCsv(const OpenRoad& open, const TableSettings& settings) {
  Output output;
  const report::TableRequest request = RequestOf(settings);
  if (auto refusal = report::CheckTable(open.road, request)) {
    output.refusal = std::move(refusal->message);
    return output;
  }
  // At most the road's length over the step, a multiple more in each
  // stretch between station equations, each boundary and asked station.
  const road::Alignment& alignment = open.road.alignment;
  const double rows = std::floor((alignment.End() - alignment.Start()) / settings.step) +
                      static_cast<double>(alignment.equations().size() + 1 +
                                          alignment.elements().size() + 1 + settings.at.size());
  if (!(rows <= kMostWindowRows)) {
    std::string text = "间距 ";
    text::AppendFixed(text, settings.step, settings.decimals);
    text += " 会得到约 ";
    text::AppendFixed(text, rows, 0);
    text += " 行，窗口最多显示 1000000 行；请加大间距，或用 velmora-cli stakeout 输出";
    output.refusal = std::move(text);
    return output;
  }
  report::LineOut out(true);
  out.text = kBom;
  output.gaps = report::WriteTableCsv(out, open.road, open.heights, request).messages;
  output.bytes = std::move(out.text);
  return output;
}

ExportKind ExportKindOf(std::string_view file_name) {
  if (EndsWith(file_name, ".geojson") || EndsWith(file_name, ".json")) {
    return ExportKind::kGeoJson;
  }
  if (EndsWith(file_name, ".xml")) {
    return ExportKind::kLandXml;
  }
  if (EndsWith(file_name, ".svg")) {
    return ExportKind::kSvg;
  }
  return ExportKind::kCsv;
}

Output Export(const OpenRoad& open, const TableSettings& settings, ExportKind kind,
              std::string_view date, std::string_view time) {
  if (kind == ExportKind::kCsv) {
    return TableCsv(open, settings);
  }
  Output output;
  std::string error;
  if (kind == ExportKind::kGeoJson) {
    const report::TableRequest request = RequestOf(settings);
    if (auto refusal = report::CheckTable(open.road, request)) {
      output.refusal = std::move(refusal->message);
      return output;
    }
    report::LineOut out;
    output.gaps =
        report::WriteTableGeoJson(out, open.road, open.heights, request, open.source).messages;
    output.bytes = std::move(out.text);
  } else if (kind == ExportKind::kLandXml) {
    landxml::WriteOptions options;
    options.name = open.road.landxml ? open.road.alignment_name : open.source;
    options.date = date;
    options.time = time;
    options.application = "VelmoraRoad";
    options.version = "1.00";
    options.units = open.road.units;
    if (open.heights.profile) {
      options.profile = &open.heights.profile->profile;
      options.profile_points = open.heights.profile->points;
      options.profile_name = open.profile_name;
    }
    if (auto text = landxml::WriteLandXml(open.road.alignment, options, error)) {
      output.bytes = std::move(*text);
    } else {
      output.refusal = error;
    }
  } else {
    plot::PlotOptions options;
    options.offsets = settings.offsets;
    options.title = open.source;
    const model::StationFormat stations = settings.stations;
    options.station_text = [stations](double station) {
      std::string text;
      model::AppendStation(text, station, stations, stations == model::StationFormat::kK ? 0 : -1);
      return text;
    };
    if (auto picture = plot::PlotSvg(open.road.alignment, options, error)) {
      output.bytes = std::move(picture->svg);
    } else {
      output.refusal = error;
    }
  }
  return output;
}

Located LocatePoint(const OpenRoad& open, const TableSettings& settings, std::string_view x,
                    std::string_view y, std::string_view z) {
  report::LocateRequest request;
  request.stations = settings.stations;
  request.decimals = settings.decimals;
  report::LocatePoint point;
  point.x = x;
  point.y = y;
  if (!z.empty()) {
    point.z = std::string(z);
  }
  Located located;
  located.header = report::LocateHeader(open.heights, point.z.has_value());
  located.answer = report::LocateOne(open.road, open.heights, request, point);
  return located;
}

Output LocateFile(const OpenRoad& open, const TableSettings& settings, std::string_view points,
                  std::string_view points_name) {
  report::LocateRequest request;
  request.stations = settings.stations;
  request.decimals = settings.decimals;
  report::LineOut out(true);
  out.text = kBom;
  Output output;
  auto written = report::WriteLocateCsv(out, open.road, open.heights, request, points, points_name);
  if (auto* refusal = std::get_if<report::Refusal>(&written)) {
    output.refusal = std::move(refusal->message);
    return output;
  }
  output.gaps = std::move(std::get<report::Gaps>(written).messages);
  output.bytes = std::move(out.text);
  return output;
}

std::string CurveTables(const OpenRoad& open, const TableSettings& settings) {
  report::LineOut out;
  if (open.road.pi) {
    report::WritePiTable(out, *open.road.pi, settings.stations, settings.decimals);
  }
  if (open.heights.profile) {
    if (!out.text.empty()) {
      out.EndLine();
    }
    report::WriteVerticalCurveTable(out, open.road, *open.heights.profile, settings.stations,
                                    settings.decimals);
  }
  return std::move(out.text);
}

}  // namespace velmora::roadwindow
