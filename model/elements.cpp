#include "model/elements.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "arith/angle.h"
#include "landxml/check.h"
#include "landxml/reader.h"
#include "model/stations.h"
#include "text/csv.h"
#include "text/numtext.h"
#include "text/text.h"

namespace velmora::model {
namespace {

constexpr std::array<std::string_view, 7> kColumns = {
    "start", "end", "start_radius", "end_radius", "start_azimuth", "x", "y"};
constexpr std::size_t kLeastFields = 4;  // the azimuth and the point carried on

using text::Trim;

bool IsHeader(const std::vector<std::string_view>& fields) {
  if (fields.size() != kColumns.size()) {
    return false;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!text::EqualsIgnoringCase(Trim(fields[i]), kColumns[i])) {
      return false;
    }
  }
  return true;
}

using text::Quoted;

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
  return text::EqualsIgnoringCase(Trim(field), "equation");
}

// Whether two stations are one: as typed, or as sums of typed numbers.
bool SameStation(double a, double b) {
  return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
}

}  // namespace

std::optional<ElementFile> ReadElements(text::Source& in, LoadError& error) {
  ElementFile file;
  text::CsvReader reader(in, true);
  text::CsvReader::Record record;
  const std::vector<std::string_view>& fields = record.fields;
  bool header_allowed = true;
  // The previous element's stations as written, and after an equation the
  // station the next element starts at.
  double written_start = 0.0;
  double written_end = 0.0;
  double expected_start = 0.0;
  double shift = 0.0;  // distance along the road minus the station written
  bool equation_pending = false;
  const auto refuse = [&](std::string problem) {
    error.kind = LoadError::Kind::kElementFile;
    error.line = record.line;
    error.message = "line " + std::to_string(record.line) + ": " + std::move(problem);
    return std::nullopt;
  };
  while (reader.Next(record)) {
    if (record.problem != text::CsvReader::Problem::kNone) {
      return refuse(text::CsvReader::Describe(record.problem));
    }
    if (header_allowed && IsHeader(fields)) {
      header_allowed = false;
      continue;
    }
    header_allowed = false;
    if (IsEquationKeyword(fields[0])) {
      // equation,BACK,AHEAD: after the element it falls in.
      if (fields.size() != 3) {
        return refuse(
            "an equation line is equation,BACK,AHEAD: the station back of it and the station "
            "ahead of it");
      }
      const std::optional<double> back = ParseStation(Trim(fields[1]));
      const std::optional<double> ahead = ParseStation(Trim(fields[2]));
      if (!back || !ahead) {
        return refuse("the equation's " + std::string(back ? "ahead" : "back") + " station " +
                      Quoted(Trim(fields[back ? 2 : 1])) +
                      " is not a station (1234.5 or K1+234.5)");
      }
      if (file.elements.empty() || equation_pending) {
        return refuse(file.elements.empty() ? "an equation line follows the element it falls in, "
                                              "and there is none before it"
                                            : "a second equation in one element");
      }
      if (*back == written_start && file.elements.size() > 1) {
        return refuse("the equation's back station " + NumberToText(*back) +
                      " is the start of the element before it: put the line after the element "
                      "that ends there");
      }
      if (!(*back > written_start && *back <= written_end)) {
        return refuse("the equation's back station " + NumberToText(*back) +
                      " is not on the element before it, from " + NumberToText(written_start) +
                      " to " + NumberToText(written_end));
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
      return refuse(std::move(problem));
    }
    if (!(element.end_station > element.start_station)) {
      return refuse("the end " + NumberToText(element.end_station) + " is not after the start " +
                    NumberToText(element.start_station));
    }
    if (file.elements.empty()) {
      if (!element.start_azimuth || !element.start) {
        return refuse(
            "the first element needs its start azimuth and start point (start_azimuth, x, y): "
            "there is nothing to carry them on from");
      }
    } else if (equation_pending ? !SameStation(element.start_station, expected_start)
                                : element.start_station != written_end) {
      std::string problem = "the start " + NumberToText(element.start_station) +
                            " is not the end of the previous element, ";
      if (equation_pending) {
        // The end as read ahead of the equation, which is what this line
        // must start at.
        problem += NumberToText(expected_start) + " (its end " + NumberToText(written_end) +
                   " read ahead of the equation " + NumberToText(file.equations.back().back) +
                   " = " + NumberToText(file.equations.back().ahead) + ")";
      } else {
        problem += NumberToText(written_end);
      }
      return refuse(problem + ": each element starts where the one before ends");
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
    file.lines.push_back(record.line);
    file.azimuth_texts.push_back(std::move(azimuth_text));
  }
  if (in.failed) {
    error.kind = LoadError::Kind::kUnreadable;
    error.message = "it could not be read";
    return std::nullopt;
  }
  if (file.elements.empty()) {
    error.kind = LoadError::Kind::kElementFile;
    error.message = "it holds no element (one a line: " + std::string(kElementHeader) + ")";
    return std::nullopt;
  }
  return file;
}

std::optional<road::Built> JoinElements(const ElementFile& file, const road::Tolerance& tolerance,
                                        LoadError& error) {
  std::string road_error;
  std::optional<road::Built> built =
      road::BuildAlignment(file.elements, file.equations, tolerance, road_error);
  if (built) {
    return built;
  }
  if (std::string ignored; road::BuildAlignment(file.elements, {}, tolerance, ignored)) {
    // The elements join: an equation does not fit them, and names itself.
    error.kind = LoadError::Kind::kJoin;
    error.message = road_error;
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
  error.kind = LoadError::Kind::kJoin;
  error.line = file.lines[bad - 1];
  error.element = bad - 1;
  error.message = "line " + std::to_string(error.line) + ": the element " + std::string(what);
  return std::nullopt;
}

}  // namespace velmora::model
