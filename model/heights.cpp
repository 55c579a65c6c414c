#include "model/heights.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "model/stations.h"
#include "text/csv.h"
#include "text/numtext.h"
#include "text/text.h"

namespace velmora::model {
namespace {

using text::Trim;

using text::Quoted;

std::string StationText(double station) {
  std::string text;
  AppendStation(text, station, StationFormat::kPlain);
  return text;
}

}  // namespace

std::optional<std::string> DistanceOfStation(const road::Alignment& alignment, double station,
                                             double& distance) {
  const std::vector<double> distances = alignment.DistancesOf(station);
  if (distances.size() == 1) {
    distance = distances[0];
    return std::nullopt;
  }
  const auto equation_text = [](const road::StationEquation& e) {
    return StationText(e.back) + " = " + StationText(e.ahead);
  };
  if (distances.size() > 1) {
    const std::optional<road::Alignment::OverlapSide> side = alignment.OverlapAt(distances[0]);
    return "station " + StationText(station) + " occurs twice, on both sides of the station " +
           "equation " + (side ? equation_text(*side->equation) : std::string("there")) +
           "; give a station that occurs once";
  }
  if (const road::StationEquation* equation = alignment.GapHolding(station)) {
    return "station " + StationText(station) + " falls in the gap of the station equation " +
           equation_text(*equation) + ": no point of the road has it";
  }
  // Off the road: counted on from its start or its end.
  const double first = alignment.DisplayStation(alignment.Start());
  distance = station < first
                 ? alignment.Start() - (first - station)
                 : alignment.End() + (station - alignment.DisplayEndStation(alignment.End()));
  return std::nullopt;
}

namespace {

// The lines of a height file: the header checked, then each line's fields
// handed to `take` with its number, which says what is wrong or nothing.
class HeightReader {
 public:
  HeightReader(std::string_view name, std::array<std::string_view, 3> columns, std::size_t least)
      : columns_(columns), least_(least) {
    error.file = std::string(name);
    error.kind = LoadError::Kind::kHeightFile;
  }

  LoadError error;

  template <typename Take>
  bool Read(std::string_view bytes, Take take) {
    text::BytesSource in(bytes);
    text::CsvReader reader(in, true);
    text::CsvReader::Record record;
    bool header = false;
    while (reader.Next(record)) {
      line_ = record.line;
      if (record.problem != text::CsvReader::Problem::kNone) {
        return Refuse(text::CsvReader::Describe(record.problem));
      }
      if (!header) {
        if (!IsHeader(record.fields)) {
          return Refuse("the first line is the header " + Columns() + "; put it first");
        }
        header = true;
        continue;
      }
      if (record.fields.size() < least_ || record.fields.size() > columns_.size()) {
        return Refuse("it has " + std::to_string(record.fields.size()) + " fields; a line is " +
                      Columns());
      }
      if (std::optional<std::string> problem = take(record.fields, record.line)) {
        return Refuse(std::move(*problem));
      }
    }
    if (!header) {
      line_ = 0;
      return Refuse("it holds nothing; it starts with the header " + Columns());
    }
    return true;
  }

  bool Refuse(std::string problem) {
    error.line = line_;
    error.message =
        (line_ > 0 ? "line " + std::to_string(line_) + ": " : std::string()) + std::move(problem);
    return false;
  }
  bool RefuseLine(std::uint64_t line, std::string problem) {
    line_ = line;
    return Refuse(std::move(problem));
  }

  // A station as the road displays it, its distance along the road in
  // `distance`; what is wrong otherwise.
  static std::optional<std::string> Distance(const road::Alignment& alignment,
                                             std::string_view field, double& distance) {
    const std::optional<double> station = ParseStation(Trim(field));
    if (!station) {
      return "station " + Quoted(Trim(field)) + " is not a station (1234.5 or K1+234.5)";
    }
    return DistanceOfStation(alignment, *station, distance);
  }

  // A number field, or what is wrong with it; empty is `empty` when given.
  std::optional<std::string> Number(std::string_view field, std::size_t column, double& value,
                                    std::optional<double> empty = std::nullopt) const {
    field = Trim(field);
    if (field.empty() && empty) {
      value = *empty;
      return std::nullopt;
    }
    const NumberReading read = ReadNumber(field);
    if (!read.is_number || !std::isfinite(read.value)) {
      return std::string(columns_[column]) + " " + Quoted(field) +
             " is not a number; write it "
             "as a number";
    }
    value = read.value;
    return std::nullopt;
  }

 private:
  bool IsHeader(const std::vector<std::string_view>& fields) const {
    if (fields.size() != columns_.size()) {
      return false;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (!text::EqualsIgnoringCase(Trim(fields[i]), columns_[i])) {
        return false;
      }
    }
    return true;
  }
  std::string Columns() const {
    return std::string(columns_[0]) + "," + std::string(columns_[1]) + "," +
           std::string(columns_[2]);
  }

  std::array<std::string_view, 3> columns_;
  std::size_t least_;
  std::uint64_t line_ = 0;
};

// Stations along the road must increase; what is wrong otherwise, in the
// stations the file gives.
std::optional<std::string> NotAfter(const road::Alignment& alignment, double distance,
                                    double previous) {
  if (distance > previous) {
    return std::nullopt;
  }
  return "its station " + StationText(alignment.DisplayStation(distance)) +
         " is not after the previous line's " + StationText(alignment.DisplayStation(previous)) +
         " along the road; give the lines in order of station, each once";
}

}  // namespace

std::variant<ProfileFile, LoadError> ReadProfile(std::string_view bytes, std::string_view name,
                                                 const road::Alignment& alignment) {
  HeightReader reader(name, {"station", "elevation", "radius"}, 2);
  std::vector<road::ProfilePoint> points;
  std::vector<std::uint64_t> lines;
  const bool read =
      reader.Read(bytes, [&](const std::vector<std::string_view>& fields, std::uint64_t line) {
        road::ProfilePoint point;
        point.curve = road::VerticalCurveKind::kRadius;
        std::optional<std::string> problem =
            HeightReader::Distance(alignment, fields[0], point.station);
        if (!problem) {
          problem = reader.Number(fields[1], 1, point.elevation);
        }
        if (!problem) {
          problem = reader.Number(fields.size() > 2 ? fields[2] : "", 2, point.radius, 0.0);
        }
        if (!problem && !points.empty()) {
          problem = NotAfter(alignment, point.station, points.back().station);
        }
        points.push_back(point);
        lines.push_back(line);
        return problem;
      });
  if (!read) {
    return reader.error;
  }
  road::ProfileError why;
  std::optional<road::Profile> profile = road::BuildProfile(points, why);
  if (!profile) {
    if (points.empty()) {
      reader.Refuse("it holds no point; give the profile's start and end at least");
    } else {
      reader.RefuseLine(lines[std::min(why.point, lines.size() - 1)], why.what);
    }
    return reader.error;
  }
  return ProfileFile{std::move(*profile), std::move(points), std::move(lines)};
}

std::variant<road::CrossSlopes, LoadError> ReadCrossSlopes(std::string_view bytes,
                                                           std::string_view name,
                                                           const road::Alignment& alignment) {
  HeightReader reader(name, {"station", "left", "right"}, 3);
  std::vector<road::CrossSlope> slopes;
  std::vector<std::uint64_t> lines;
  const bool read =
      reader.Read(bytes, [&](const std::vector<std::string_view>& fields, std::uint64_t line) {
        road::CrossSlope slope;
        std::optional<std::string> problem =
            HeightReader::Distance(alignment, fields[0], slope.station);
        if (!problem) {
          problem = reader.Number(fields[1], 1, slope.left);
        }
        if (!problem) {
          problem = reader.Number(fields[2], 2, slope.right);
        }
        if (!problem && !slopes.empty()) {
          problem = NotAfter(alignment, slope.station, slopes.back().station);
        }
        slopes.push_back(slope);
        lines.push_back(line);
        return problem;
      });
  if (!read) {
    return reader.error;
  }
  road::ProfileError why;
  std::optional<road::CrossSlopes> built = road::BuildCrossSlopes(slopes, why);
  if (!built) {
    if (slopes.empty()) {
      reader.Refuse("it holds no cross slope; give at least one line");
    } else {
      reader.RefuseLine(lines[std::min(why.point, lines.size() - 1)], why.what);
    }
    return reader.error;
  }
  return *built;
}

}  // namespace velmora::model
