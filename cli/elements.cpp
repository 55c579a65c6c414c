#include "cli/elements.h"

#include <array>
#include <cmath>

#include "arith/angle.h"
#include "cli/csv.h"
#include "cli/output.h"
#include "cli/stations.h"
#include "platform/numtext.h"

namespace velmora::cli {
namespace {

constexpr std::array<std::string_view, 7> kColumns = {
    "start", "end", "start_radius", "end_radius", "start_azimuth", "x", "y"};
constexpr std::size_t kLeastFields = 4;  // the azimuth and the point carried on

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

bool IsHeader(const std::vector<std::string_view>& fields) {
  if (fields.size() != kColumns.size()) {
    return false;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string_view field = Trim(fields[i]);
    if (field.size() != kColumns[i].size()) {
      return false;
    }
    for (std::size_t j = 0; j < field.size(); ++j) {
      const char c = field[j];
      if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kColumns[i][j]) {
        return false;
      }
    }
  }
  return true;
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  quoted += Printable(text);
  quoted += '"';
  return quoted;
}

// One line's fields read into an element; the reason in `error` when they
// are not one.
bool ReadLine(const std::vector<std::string_view>& fields, road::ElementInput& element,
              std::string& azimuth_text, std::string& error) {
  if (fields.size() < kLeastFields || fields.size() > kColumns.size()) {
    error = "it has " + std::to_string(fields.size()) +
            " fields; an element has 7 (start,end,start_radius,end_radius,start_azimuth,x,y), "
            "the last three may be left empty";
    return false;
  }
  const auto field = [&fields](std::size_t i) {
    return i < fields.size() ? Trim(fields[i]) : std::string_view();
  };
  const auto station = [&](std::size_t i, double& value) {
    const std::optional<double> read = ParseStation(field(i));
    if (!read) {
      error = std::string(kColumns[i]) + " " + Quoted(field(i)) +
              " is not a station (1234.5 or K1+234.5)";
      return false;
    }
    value = *read;
    return true;
  };
  const auto number = [&](std::size_t i, double& value) {
    const NumberReading read = ReadNumber(field(i));
    if (!read.is_number || !std::isfinite(read.value)) {
      error = std::string(kColumns[i]) + " " + Quoted(field(i)) + " is not a number";
      return false;
    }
    value = read.value;
    return true;
  };
  if (!station(0, element.start_station) || !station(1, element.end_station) ||
      !number(2, element.start_radius) || !number(3, element.end_radius)) {
    return false;
  }
  azimuth_text = std::string(field(4));
  element.start_azimuth.reset();
  if (!azimuth_text.empty()) {
    double packed = 0.0;
    if (!number(4, packed)) {
      return false;
    }
    // The window's own checks: above 360 first, then the conversion's.
    std::string prompt;
    std::optional<double> radians;
    if (packed > kDegreesPerTurn) {
      prompt = kBadAnglePrompt;
    } else {
      radians = DmsToRad(
          packed, [&prompt](const std::string& text, const std::string&, int) { prompt = text; });
    }
    if (!radians) {
      error = "start_azimuth " + Quoted(azimuth_text) + " is refused: " + prompt;
      return false;
    }
    element.start_azimuth = *radians;
  }
  element.start.reset();
  if (!field(5).empty() || !field(6).empty()) {
    road::Point point;
    if (!number(5, point.x) || !number(6, point.y)) {
      return false;
    }
    element.start = point;
  }
  return true;
}

}  // namespace

std::optional<ElementFile> ReadElements(Source& in, std::string& error) {
  ElementFile file;
  LineReader reader(in);
  LineReader::Line line{};
  std::vector<std::string_view> fields;
  std::string unquoted;
  bool header_allowed = true;
  while (reader.Next(line)) {
    const std::string at = "line " + std::to_string(line.number) + ": ";
    std::string_view text = line.text;
    if (line.number == 1 && text.starts_with(kByteOrderMark)) {
      text.remove_prefix(kByteOrderMark.size());
    }
    if (line.too_long) {
      error = at + "it is longer than " + std::to_string(kMaxLineBytes) + " bytes";
      return std::nullopt;
    }
    if (!IsValidUtf8(text)) {
      error = at + "it is not UTF-8 text";
      return std::nullopt;
    }
    if (Trim(text).empty() || Trim(text).starts_with('#')) {
      continue;
    }
    if (!SplitCsvLine(text, fields, unquoted)) {
      error = at + "a quote is out of place";
      return std::nullopt;
    }
    if (header_allowed && IsHeader(fields)) {
      header_allowed = false;
      continue;
    }
    header_allowed = false;
    road::ElementInput element;
    std::string azimuth_text;
    std::string problem;
    if (!ReadLine(fields, element, azimuth_text, problem)) {
      error = at + problem;
      return std::nullopt;
    }
    if (!(element.end_station > element.start_station)) {
      error = at + "the end " + NumberToText(element.end_station) + " is not after the start " +
              NumberToText(element.start_station);
      return std::nullopt;
    }
    if (file.elements.empty()) {
      if (!element.start_azimuth || !element.start) {
        error = at +
                "the first element needs its start azimuth and start point (start_azimuth, x, "
                "y): there is nothing to carry them on from";
        return std::nullopt;
      }
    } else if (element.start_station != file.elements.back().end_station) {
      error = at + "the start " + NumberToText(element.start_station) +
              " is not the end of the previous element, " +
              NumberToText(file.elements.back().end_station) +
              ": each element starts where the one before ends";
      return std::nullopt;
    }
    file.elements.push_back(element);
    file.lines.push_back(line.number);
    file.azimuth_texts.push_back(std::move(azimuth_text));
  }
  if (in.failed) {
    error = "it could not be read";
    return std::nullopt;
  }
  if (file.elements.empty()) {
    error = "it holds no element (one a line: " + std::string(kElementHeader) + ")";
    return std::nullopt;
  }
  return file;
}

std::optional<road::Built> JoinElements(const ElementFile& file, const road::Tolerance& tolerance,
                                        std::string& error) {
  std::string road_error;
  std::optional<road::Built> built = road::BuildAlignment(file.elements, tolerance, road_error);
  if (built) {
    return built;
  }
  // The first element that cannot be joined: the shortest failing run of
  // elements from the start ends with it.
  std::size_t good = 0;  // the first `good` elements join
  std::size_t bad = file.elements.size();
  while (bad - good > 1) {
    const std::size_t middle = good + (bad - good) / 2;
    std::string ignored;
    if (road::BuildAlignment(std::span(file.elements).first(middle), tolerance, ignored)) {
      good = middle;
    } else {
      bad = middle;
    }
  }
  // What is wrong, without the element's index: the line names it.
  std::string_view what = road_error;
  if (const std::size_t colon = what.find(": ");
      what.starts_with("element ") && colon != std::string_view::npos) {
    what.remove_prefix(colon + 2);
  }
  error = "line " + std::to_string(file.lines[bad - 1]) + ": the element " + std::string(what);
  return std::nullopt;
}

std::optional<LoadedAlignment> LoadAlignment(System& system, std::string_view path,
                                             const LoadOptions& options) {
  std::optional<Input> input = OpenInput(system, path);
  if (!input) {
    return std::nullopt;
  }
  LoadedAlignment loaded;
  loaded.name = input->name;
  std::string error;
  std::optional<ElementFile> file = ReadElements(*input->source, error);
  std::optional<road::Built> built;
  if (file) {
    built = JoinElements(*file, options.tolerance, error);
  }
  if (!built) {
    Fail(system, Printable(loaded.name) + ", " + error);
    return std::nullopt;
  }
  loaded.file = std::move(*file);
  loaded.alignment = std::move(built->alignment);
  loaded.discrepancies = std::move(built->discrepancies);
  return loaded;
}

}  // namespace velmora::cli
