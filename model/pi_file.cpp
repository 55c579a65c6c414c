#include "model/pi_file.h"

#include <cmath>
#include <utility>

#include "arith/angle.h"
#include "model/stations.h"
#include "text/numtext.h"
#include "text/text.h"

namespace velmora::model {
namespace {

using text::Trim;

// The columns read, after the drawing's: each has its place in the header.
enum Column : std::size_t { kName, kX, kY, kRadius, kSpiralIn, kSpiralOut, kStation, kRead };
constexpr std::array<std::string_view, kRead> kColumns = {
    "name", "x", "y", "radius", "spiral_in", "spiral_out", "station"};
constexpr std::size_t kNeeded = kStation;  // every column before station must be there
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

using text::Quoted;

bool IsPiOnly(std::string_view field) {
  for (const std::string_view name : {"name", "radius", "spiral_in", "spiral_out"}) {
    if (text::EqualsIgnoringCase(Trim(field), name)) {
      return true;
    }
  }
  return false;
}

std::string PointName(const road::PiTable& table, std::size_t i) {
  if (!table.points[i].name.empty()) {
    return table.points[i].name;
  }
  return i == 0 ? "BP" : i + 1 == table.points.size() ? "EP" : "JD" + std::to_string(i);
}

}  // namespace

bool LooksLikePiFile(std::string_view bytes) {
  text::BytesSource source(bytes);
  text::CsvReader reader(source, true);
  text::CsvReader::Record record;
  if (!reader.Next(record) || record.problem != text::CsvReader::Problem::kNone) {
    return false;
  }
  for (const std::string_view field : record.fields) {
    if (IsPiOnly(field)) {
      return true;
    }
  }
  return false;
}

std::optional<PiFile> ReadPiFile(text::Source& in, LoadError& error) {
  PiFile file;
  text::CsvReader reader(in, true);
  text::CsvReader::Record record;
  const std::vector<std::string_view>& fields = record.fields;
  const auto refuse = [&](std::string problem) {
    error.kind = LoadError::Kind::kElementFile;
    error.line = record.line;
    error.message =
        (record.line == 0 ? "" : "line " + std::to_string(record.line) + ": ") + std::move(problem);
    return std::nullopt;
  };
  std::array<std::size_t, kRead> read;
  read.fill(kNone);
  std::array<std::size_t, kPiDrawnColumns.size()> drawn;
  drawn.fill(kNone);
  std::size_t columns = 0;
  while (reader.Next(record)) {
    if (record.problem != text::CsvReader::Problem::kNone) {
      return refuse(text::CsvReader::Describe(record.problem));
    }
    if (columns == 0) {
      // The header: which column is which.
      columns = fields.size();
      for (std::size_t f = 0; f < fields.size(); ++f) {
        const std::string_view name = Trim(fields[f]);
        for (std::size_t c = 0; c < kRead; ++c) {
          if (text::EqualsIgnoringCase(name, kColumns[c])) {
            if (read[c] != kNone) {
              return refuse("the header names " + std::string(kColumns[c]) + " twice");
            }
            read[c] = f;
          }
        }
        for (std::size_t c = 0; c < drawn.size(); ++c) {
          if (text::EqualsIgnoringCase(name, kPiDrawnColumns[c])) {
            if (drawn[c] != kNone) {
              return refuse("the header names " + std::string(kPiDrawnColumns[c]) + " twice");
            }
            drawn[c] = f;
          }
        }
      }
      for (std::size_t c = 0; c < kNeeded; ++c) {
        if (read[c] == kNone) {
          return refuse("the header has no column " + std::string(kColumns[c]) +
                        "; a PI file's header is name,x,y,radius,spiral_in,spiral_out");
        }
      }
      continue;
    }
    if (fields.size() > columns) {
      return refuse("it has " + std::to_string(fields.size()) + " fields, and the header " +
                    std::to_string(columns));
    }
    const auto field = [&fields](std::size_t f) {
      return f < fields.size() ? Trim(fields[f]) : std::string_view();
    };
    std::string problem;
    // A number of the column `name` at field f; `empty` when it may be left empty.
    const auto number = [&](std::size_t f, std::string_view name, bool may_be_empty,
                            std::optional<double>& value) {
      const std::string_view text = field(f);
      if (text.empty()) {
        if (!may_be_empty) {
          problem = std::string(name) + " is empty; give the point's coordinates";
          return false;
        }
        value.reset();
        return true;
      }
      const NumberReading reading = ReadNumber(text);
      if (!reading.is_number || !std::isfinite(reading.value)) {
        problem = std::string(name) + " " + Quoted(text) + " is not a number";
        return false;
      }
      value = reading.value;
      return true;
    };
    road::PiPoint point;
    point.name = std::string(field(read[kName]));
    std::optional<double> x, y, radius, spiral_in, spiral_out;
    if (!number(read[kX], "x", false, x) || !number(read[kY], "y", false, y) ||
        !number(read[kRadius], "radius", true, radius) ||
        !number(read[kSpiralIn], "spiral_in", true, spiral_in) ||
        !number(read[kSpiralOut], "spiral_out", true, spiral_out)) {
      return refuse(std::move(problem));
    }
    point.point = {*x, *y};
    point.radius = radius.value_or(0.0);
    point.spiral_in = spiral_in.value_or(0.0);
    point.spiral_out = spiral_out.value_or(0.0);
    if (file.table.points.empty() && read[kStation] != kNone && !field(read[kStation]).empty()) {
      const std::optional<double> station = ParseStation(field(read[kStation]));
      if (!station) {
        return refuse("station " + Quoted(field(read[kStation])) +
                      " is not a station (1234.5 or K1+234.5)");
      }
      file.table.start_station = *station;
    }
    std::array<std::optional<double>, kPiDrawnColumns.size()> given;
    for (std::size_t c = 0; c < drawn.size(); ++c) {
      if (drawn[c] == kNone || field(drawn[c]).empty()) {
        continue;
      }
      const std::string_view text = field(drawn[c]);
      if (PiDrawnIsStation(c)) {
        given[c] = ParseStation(text);
        if (!given[c]) {
          return refuse(std::string(kPiDrawnColumns[c]) + " " + Quoted(text) +
                        " is not a station (1234.5 or K1+234.5)");
        }
      } else if (!number(drawn[c], kPiDrawnColumns[c], true, given[c])) {
        return refuse(std::move(problem));
      }
    }
    file.table.points.push_back(std::move(point));
    file.lines.push_back(record.line);
    file.drawn.push_back(given);
  }
  if (in.failed) {
    error.kind = LoadError::Kind::kUnreadable;
    error.message = "it could not be read";
    return std::nullopt;
  }
  if (file.table.points.size() < 2) {
    record.line = 0;
    return refuse("it holds " + std::to_string(file.table.points.size()) +
                  " points; a PI file gives at least BP and EP, one a line after the header");
  }
  return file;
}

double PiDrawnValue(const road::PiCurve& curve, std::size_t column) {
  const double values[] = {curve.tangent_in, curve.tangent_out, curve.length, curve.arc_length,
                           curve.external,   curve.correction,  curve.zh,     curve.hy,
                           curve.qz,         curve.yh,          curve.hz};
  return values[column];
}

std::optional<PiData> ConvertPiFile(PiFile file, double tolerance, LoadError& error) {
  road::PiError fault;
  std::optional<road::PiRoad> road = road::ConvertPi(file.table, fault);
  if (!road) {
    error.kind = LoadError::Kind::kJoin;
    const std::size_t point = std::min(fault.point, file.lines.size() - 1);
    const std::size_t next = std::min(fault.next, file.lines.size() - 1);
    error.line = file.lines[point];
    error.message = next != point ? "lines " + std::to_string(file.lines[point]) + " and " +
                                        std::to_string(file.lines[next])
                                  : "line " + std::to_string(error.line);
    // The names come from the file: escaped as messages quote them.
    error.message += ": " + text::Printable(fault.message);
    return std::nullopt;
  }
  PiData data;
  for (std::size_t i = 1; i + 1 < file.table.points.size(); ++i) {
    const road::PiCurve& curve = road->curves[i - 1];
    for (std::size_t c = 0; c < kPiDrawnColumns.size(); ++c) {
      const std::optional<double>& given = file.drawn[i][c];
      if (!given) {
        continue;
      }
      // A plain arc has no HY or YH: its ZY and YZ are ZH and HZ.
      const double computed = PiDrawnValue(curve, c);
      if ((c == 7 || c == 9) && curve.PlainArc()) {
        continue;
      }
      if (!(std::fabs(*given - computed) <= tolerance)) {
        data.mismatches.push_back({i, c, *given, computed});
      }
    }
  }
  data.file = std::move(file);
  data.road = std::move(*road);
  return data;
}

std::string PiPointName(const road::PiTable& table, std::size_t i) { return PointName(table, i); }

}  // namespace velmora::model
