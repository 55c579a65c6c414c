#include "cli/elements.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "arith/angle.h"
#include "cli/csv.h"
#include "cli/output.h"
#include "cli/stations.h"
#include "landxml/check.h"
#include "landxml/reader.h"
#include "platform/numtext.h"

namespace velmora::cli {
namespace {

constexpr double kPi = std::numbers::pi;

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

bool IsEquationKeyword(std::string_view field) {
  field = Trim(field);
  constexpr std::string_view kKeyword = "equation";
  if (field.size() != kKeyword.size()) {
    return false;
  }
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kKeyword[i]) {
      return false;
    }
  }
  return true;
}

// Whether two stations are one: as typed, or as sums of typed numbers.
bool SameStation(double a, double b) {
  return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
}

}  // namespace

std::optional<ElementFile> ReadElements(Source& in, std::string& error) {
  ElementFile file;
  LineReader reader(in);
  LineReader::Line line{};
  std::vector<std::string_view> fields;
  std::string unquoted;
  bool header_allowed = true;
  // The previous element's stations as written, and after an equation the
  // station the next element starts at.
  double written_start = 0.0;
  double written_end = 0.0;
  double expected_start = 0.0;
  double shift = 0.0;  // distance along the road minus the station written
  bool equation_pending = false;
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
    if (IsEquationKeyword(fields[0])) {
      // equation,BACK,AHEAD: after the element it falls in.
      if (fields.size() != 3) {
        error = at +
                "an equation line is equation,BACK,AHEAD: the station back of it and "
                "the station ahead of it";
        return std::nullopt;
      }
      const std::optional<double> back = ParseStation(Trim(fields[1]));
      const std::optional<double> ahead = ParseStation(Trim(fields[2]));
      if (!back || !ahead) {
        error = at + "the equation's " + (back ? "ahead" : "back") + " station " +
                Quoted(Trim(fields[back ? 2 : 1])) + " is not a station (1234.5 or K1+234.5)";
        return std::nullopt;
      }
      if (file.elements.empty() || equation_pending) {
        error = at + (file.elements.empty() ? "an equation line follows the element it falls in, "
                                              "and there is none before it"
                                            : "a second equation in one element");
        return std::nullopt;
      }
      if (!(*back > written_start && *back <= written_end)) {
        error = at + "the equation's back station " + NumberToText(*back) +
                " is not on the element before it, from " + NumberToText(written_start) + " to " +
                NumberToText(written_end);
        return std::nullopt;
      }
      const road::ElementInput& previous = file.elements.back();
      road::StationEquation equation;
      equation.at = *back == written_end ? previous.end_station : *back + shift;
      equation.back = *back;
      equation.ahead = *ahead;
      file.equations.push_back(equation);
      shift = equation.at - *ahead;
      expected_start = written_end - *back + *ahead;
      equation_pending = true;
      continue;
    }
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
    } else if (equation_pending ? !SameStation(element.start_station, expected_start)
                                : element.start_station != written_end) {
      error = at + "the start " + NumberToText(element.start_station) +
              " is not the end of the previous element, ";
      if (equation_pending) {
        // The end as read ahead of the equation, which is what this line
        // must start at.
        error += NumberToText(expected_start) + " (its end " + NumberToText(written_end) +
                 " read ahead of the equation " + NumberToText(file.equations.back().back) + " = " +
                 NumberToText(file.equations.back().ahead) + ")";
      } else {
        error += NumberToText(written_end);
      }
      error += ": each element starts where the one before ends";
      return std::nullopt;
    }
    written_start = element.start_station;
    written_end = element.end_station;
    // Stations along the road: as written until the first equation, then
    // counted on from the previous element's end.
    if (!file.elements.empty() && shift != 0.0) {
      element.start_station = file.elements.back().end_station;
      element.end_station = element.start_station + (written_end - written_start);
    } else if (equation_pending) {
      element.start_station = file.elements.back().end_station;
    }
    equation_pending = false;
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
  std::optional<road::Built> built =
      road::BuildAlignment(file.elements, file.equations, tolerance, road_error);
  if (built) {
    return built;
  }
  if (std::string ignored; road::BuildAlignment(file.elements, {}, tolerance, ignored)) {
    // The elements join: an equation does not fit them, and names itself.
    error = road_error;
    return std::nullopt;
  }
  // The first element that cannot be joined: the shortest failing run of
  // elements from the start ends with it.
  std::size_t good = 0;  // the first `good` elements join
  std::size_t bad = file.elements.size();
  while (bad - good > 1) {
    const std::size_t middle = good + (bad - good) / 2;
    std::string ignored;
    if (road::BuildAlignment(std::span(file.elements).first(middle), {}, tolerance, ignored)) {
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

namespace {

// The first bytes of a stream, read to tell what it holds, and then the
// rest of it.
class ReplaySource final : public Source {
 public:
  ReplaySource(std::string_view head, Source& rest) : head_(head), rest_(rest) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    if (!head_.empty()) {
      const std::size_t count = std::min(size, head_.size());
      std::copy_n(head_.data(), count, buffer);
      head_.remove_prefix(count);
      return count;
    }
    const std::size_t count = rest_.Read(buffer, size);
    failed = rest_.failed;
    return count;
  }

 private:
  std::string_view head_;
  Source& rest_;
};

// Reads up to `limit` bytes into `bytes`; false on a read error.
bool ReadUpTo(Source& in, std::string& bytes, std::size_t limit) {
  constexpr std::size_t kChunk = 64 * 1024;
  while (bytes.size() < limit) {
    const std::size_t at = bytes.size();
    bytes.resize(at + std::min(kChunk, limit - at));
    const std::size_t count = in.Read(bytes.data() + at, bytes.size() - at);
    bytes.resize(at + count);
    if (count == 0) {
      return !in.failed;
    }
  }
  return true;
}

// The alignment of a LandXML file: the one --alignment names, or the only
// one. Each element starts at its own stated Start point with the direction
// its points give; the stated End points are checked after the join.
// Directions between elements are not compared: the file states none, and
// one that is off moves the element's computed end away from its End.
bool LoadLandXml(const std::string& bytes, const LoadOptions& options, LoadedAlignment& loaded,
                 std::string& error) {
  const std::optional<landxml::Document> document = landxml::ReadLandXml(bytes, error);
  if (!document) {
    return false;
  }
  const landxml::ReadAlignment* read =
      landxml::SelectAlignment(*document, options.alignment.value_or(""), error);
  if (read == nullptr) {
    return false;
  }
  loaded.landxml = true;
  loaded.units = document->units;
  loaded.alignment_name = read->name;
  const std::string which = "alignment \"" + Printable(read->name) + "\"";
  if (!read->error.empty()) {
    error = which + ": " + read->error;
    return false;
  }
  for (const std::string& note : read->notes) {
    loaded.notes.push_back(which + ": " + note);
  }
  loaded.file.elements = landxml::Inputs(*read);
  loaded.file.lines.assign(read->elements.size(), 0);
  loaded.file.azimuth_texts.assign(read->elements.size(), std::string());
  loaded.file.equations = read->equations;
  for (const landxml::ReadElement& element : read->elements) {
    loaded.kinds.push_back(element.kind);
  }
  road::Tolerance tolerance = options.tolerance;
  tolerance.angle = kPi;
  std::string road_error;
  std::optional<road::Built> built =
      road::BuildAlignment(loaded.file.elements, read->equations, tolerance, road_error);
  if (!built) {
    error = which + ", " + road_error;
    return false;
  }
  loaded.alignment = std::move(built->alignment);
  loaded.discrepancies = std::move(built->discrepancies);
  loaded.contradictions = landxml::CheckStated(loaded.alignment, *read, options.tolerance.distance);
  return true;
}

}  // namespace

std::string LoadedAlignment::Place(std::size_t element) const {
  if (!landxml) {
    return "line " + std::to_string(element < file.lines.size() ? file.lines[element] : 0);
  }
  std::string place =
      "alignment \"" + Printable(alignment_name) + "\", element " + std::to_string(element + 1);
  if (element < kinds.size() && element < alignment.elements().size()) {
    place += " (" + kinds[element] + ") at station ";
    AppendStation(place, alignment.DisplayStation(alignment.elements()[element].start_station),
                  StationFormat::kPlain, 3);
  }
  return place;
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
  // What the file holds, from its first bytes: LandXML or an element table.
  std::string bytes;
  constexpr std::size_t kHead = 4096;
  bool ok = ReadUpTo(*input->source, bytes, kHead);
  if (ok && landxml::LooksLikeXml(bytes)) {
    if (!ReadUpTo(*input->source, bytes, kMaxLandXmlBytes + 1)) {
      error = "it could not be read";
      ok = false;
    } else if (bytes.size() > kMaxLandXmlBytes) {
      error = "it is larger than " + std::to_string(kMaxLandXmlBytes >> 20) +
              " MiB, more than a LandXML file is read";
      ok = false;
    } else {
      ok = LoadLandXml(bytes, options, loaded, error);
    }
    if (!ok) {
      Fail(system, Printable(loaded.name) + ", " + error);
      return std::nullopt;
    }
    for (const std::string& note : loaded.notes) {
      Complain(system, std::string(kProgram) + ": " + Printable(loaded.name) + ", " + note, 0);
    }
    return loaded;
  }
  if (!ok) {
    Fail(system, Printable(loaded.name) + ", it could not be read");
    return std::nullopt;
  }
  if (options.alignment) {
    Fail(system, Printable(loaded.name) +
                     ": --alignment chooses an alignment of a LandXML file, and this is an "
                     "element table");
    return std::nullopt;
  }
  ReplaySource source(bytes, *input->source);
  std::optional<ElementFile> file = ReadElements(source, error);
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
