// The road the window has open, and everything the window makes of it
// through the same library code as the console: the station table's CSV
// (report/), its GeoJSON, the LandXML (landxml/), the SVG (plot/), the
// located points and the curve tables. Nothing here knows of Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/error.h"
#include "model/road.h"
#include "report/locate.h"
#include "report/table.h"
#include "roadwindow/settings.h"

namespace velmora::roadwindow {

struct OpenRoad {
  model::Road road;
  report::Heights heights;
  std::string source;        // the file's name, as messages and the GeoJSON name it
  std::string profile_name;  // the LandXML profile's, or the profile file's
};

// What the window asks of a LandXML file before it opens it: the names of
// its alignments, and of each one's design profiles (ProfAlign), in file
// order; empty for any other file. The window asks which alignment where
// there are several, then which profile where that alignment has several.
struct LandXmlChoices {
  std::vector<std::string> alignments;
  std::vector<std::vector<std::string>> profiles;  // one list an alignment
};
LandXmlChoices ChoicesOf(std::string_view bytes);

// Reads a road file; `alignment` names the LandXML alignment to take, and
// `profile` its design profile where it holds several. A LandXML road's own
// profile becomes the open road's, as at the console.
std::variant<OpenRoad, model::LoadError> LoadRoad(std::string_view bytes, std::string_view name,
                                                  std::optional<std::string> alignment = {},
                                                  std::optional<std::string> profile = {});
// Reads a profile or cross-slope file against the open road, into it.
std::optional<model::LoadError> LoadProfile(OpenRoad& open, std::string_view bytes,
                                            std::string_view name);
std::optional<model::LoadError> LoadCrossSlopes(OpenRoad& open, std::string_view bytes,
                                                std::string_view name);

report::TableRequest RequestOf(const TableSettings& settings);

// A file's bytes as the window writes it, or why it cannot be written
// (nothing then to write); `gaps` the answers it lacks, as the console
// words them.
struct Output {
  std::string bytes;
  std::optional<std::string> refusal;
  std::vector<std::string> gaps;
};

// The most rows the window holds: its table is kept whole in memory (about
// 100 bytes a row), where the console writes a longer one as it goes.
inline constexpr double kMostWindowRows = 1'000'000;

// The station table as `stakeout --bom` writes it: byte-order mark, CR LF.
// Refused (in Chinese) when it could have more than kMostWindowRows rows.
Output TableCsv(const OpenRoad& open, const TableSettings& settings);

enum class ExportKind { kCsv, kGeoJson, kLandXml, kSvg };
// The kind a file's name asks for by its ending (.geojson/.json, .xml,
// .svg); CSV for any other.
ExportKind ExportKindOf(std::string_view file_name);
// `now` is the LandXML's date and time: "2026-12-08", "14:05:00".
Output Export(const OpenRoad& open, const TableSettings& settings, ExportKind kind,
              std::string_view date, std::string_view time);

// One point located: the console's header and row, and the values.
struct Located {
  std::string header;
  report::LocateAnswer answer;
};
Located LocatePoint(const OpenRoad& open, const TableSettings& settings, std::string_view x,
                    std::string_view y, std::string_view z);
// A points file located row by row, as `locate --points --bom` writes it.
Output LocateFile(const OpenRoad& open, const TableSettings& settings, std::string_view points,
                  std::string_view points_name);

// The curve tables the road has: a PI file's table of curve elements and a
// profile's vertical curves, each as lines of text (header first); empty
// when the road has neither.
std::string CurveTables(const OpenRoad& open, const TableSettings& settings);

}  // namespace velmora::roadwindow
