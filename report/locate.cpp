#include "report/locate.h"

#include <cmath>
#include <utility>
#include <vector>

#include "road/profile.h"
#include "text/csv.h"
#include "text/numtext.h"
#include "text/text.h"

namespace velmora::report {
namespace {

using text::AppendFixed;
using text::Trim;

constexpr std::string_view kHeader = "name,x,y,station,offset,azimuth,packed,element,message";
constexpr std::string_view kHeightHeader =
    "name,x,y,z,station,offset,azimuth,packed,element,h,dh,message";

std::string_view Reason(road::Refusal refusal) {
  switch (refusal) {
    case road::Refusal::kBeforeStart:
      return "before the start of the road";
    case road::Refusal::kBeyondEnd:
      return "beyond the end of the road";
    case road::Refusal::kTooFar:
      return "farther from the centre line than --max-offset";
  }
  return "";
}

bool IsPointsHeader(const std::vector<std::string_view>& fields) {
  const auto is = text::EqualsIgnoringCase;
  return (fields.size() == 4 && is(fields[0], "name") && is(fields[1], "x") && is(fields[2], "y") &&
          is(fields[3], "z")) ||
         (fields.size() == 3 && is(fields[0], "name") && is(fields[1], "x") &&
          is(fields[2], "y")) ||
         (fields.size() == 2 && is(fields[0], "x") && is(fields[1], "y"));
}

bool IsFiniteNumber(const NumberReading& reading) {
  return reading.is_number && std::isfinite(reading.value);
}

// The name and the coordinates as given, each followed by a comma.
void Echo(std::string& t, bool heights, std::string_view name, std::string_view x,
          std::string_view y, std::string_view z) {
  text::AppendCsvField(t, name);
  t += ',';
  text::AppendCsvField(t, x);
  t += ',';
  text::AppendCsvField(t, y);
  t += ',';
  if (heights) {
    text::AppendCsvField(t, z);
    t += ',';
  }
}

// The rest of a row without an answer: empty columns and the reason.
void Refused(LocateAnswer& answer, bool heights, std::string_view reason) {
  answer.line += heights ? ",,,,,,," : ",,,,,";
  text::AppendCsvField(answer.line, reason);
  answer.message = std::string(reason);
}

}  // namespace

std::string LocateHeader(const Heights& heights, bool /*with_z*/) {
  return std::string(heights.profile ? kHeightHeader : kHeader);
}

PointLocator::PointLocator(const model::Road& road, const Heights& heights,
                           const LocateRequest& request)
    : alignment_(road.alignment),
      profile_(heights.profile ? &heights.profile->profile : nullptr),
      slopes_(heights.slopes.value_or(road::CrossSlopes(0.0))),
      locator_(road.alignment),
      request_(request) {}

// For a foot whose station a station equation makes occur twice: which of
// the two it is ("back of the station equation 1420 = 1405" or "ahead of ...").
std::string PointLocator::OverlapNote(double distance) const {
  const std::optional<road::Alignment::OverlapSide> side = alignment_.OverlapAt(distance);
  if (!side) {
    return "";
  }
  std::string note = side->ahead ? "ahead of" : "back of";
  note += " the station equation ";
  model::AppendStation(note, side->equation->back, request_.stations, request_.decimals);
  note += " = ";
  model::AppendStation(note, side->equation->ahead, request_.stations, request_.decimals);
  return note;
}

LocateAnswer PointLocator::Unreadable(std::string_view reason) const {
  LocateAnswer answer;
  Echo(answer.line, profile_ != nullptr, "", "", "", "");
  Refused(answer, profile_ != nullptr, reason);
  return answer;
}

LocateAnswer PointLocator::Locate(const LocatePoint& point) const {
  LocateAnswer answer;
  const std::string_view z_text = point.z ? std::string_view(*point.z) : std::string_view();
  const bool heights = profile_ != nullptr;
  Echo(answer.line, heights, point.name, point.x, point.y, z_text);
  const NumberReading x = ReadNumber(point.x);
  const NumberReading y = ReadNumber(point.y);
  if (!IsFiniteNumber(x) || !IsFiniteNumber(y)) {
    Refused(answer, heights, !IsFiniteNumber(x) ? "x is not a number" : "y is not a number");
    return answer;
  }
  const road::LocateResult result = locator_.Locate({x.value, y.value}, request_.max_offset);
  if (!result.location) {
    Refused(answer, heights, Reason(result.refusal));
    return answer;
  }
  const road::Location& at = *result.location;
  const int decimals = request_.decimals;
  answer.found = true;
  answer.complete = true;
  answer.station = alignment_.DisplayStation(at.distance);
  answer.offset = at.offset;
  answer.azimuth = at.azimuth;
  std::string& t = answer.line;
  model::AppendStation(t, answer.station, request_.stations, decimals);
  t += ',';
  AppendFixed(t, at.offset, decimals);
  t += ',';
  AppendAzimuth(t, at.azimuth);
  t += ',';
  t += std::to_string(at.element + 1);
  t += ',';
  std::string note = OverlapNote(at.distance);
  if (heights) {
    // h and dh, each followed by a comma; why one is missing added to the note.
    const auto missing = [&](std::string_view why) {
      answer.complete = false;
      note += note.empty() ? "" : "; ";
      note += why;
    };
    answer.h = road::DesignElevation(*profile_, slopes_, at.distance, at.offset);
    if (answer.h) {
      AppendFixed(t, *answer.h, decimals);
    } else {
      missing("no design elevation: the profile runs from " +
              ProfileEnds(alignment_, *profile_, request_.stations, decimals));
    }
    t += ',';
    if (!Trim(z_text).empty()) {
      const NumberReading z = ReadNumber(Trim(z_text));
      if (!IsFiniteNumber(z)) {
        missing("z is not a number");
      } else {
        answer.dh = road::FillCut(*profile_, slopes_, at.distance, at.offset, z.value);
        if (answer.dh) {
          AppendFixed(t, *answer.dh, decimals);
        }
      }
    }
    t += ',';
  }
  text::AppendCsvField(t, note);
  answer.message = note;
  return answer;
}

LocateAnswer LocateOne(const model::Road& road, const Heights& heights,
                       const LocateRequest& request, const LocatePoint& point) {
  return PointLocator(road, heights, request).Locate(point);
}

void LocatePoints(LineOut& out, const PointLocator& locator, bool heights, text::Source& in,
                  const GapSink& gap) {
  text::CsvReader reader(in, true);
  text::CsvReader::Record record;
  const std::vector<std::string_view>& fields = record.fields;
  bool header_allowed = true;
  while (out.ok() && reader.Next(record)) {
    const std::string at = "line " + std::to_string(record.line) + ": ";
    LocateAnswer answer;
    if (record.problem == text::CsvReader::Problem::kTooLong) {
      answer =
          locator.Unreadable(at + "longer than " + std::to_string(text::kMaxLineBytes) + " bytes");
    } else if (record.problem == text::CsvReader::Problem::kNotUtf8) {
      answer = locator.Unreadable(at + "not UTF-8 text");
    } else if (record.problem == text::CsvReader::Problem::kBadQuote) {
      answer = locator.Unreadable(at + "a quote is out of place");
    } else if (std::exchange(header_allowed, false) && IsPointsHeader(fields)) {
      continue;  // only the first line that is read may be the header
    } else if (fields.size() == 2) {
      answer = locator.Locate({"", std::string(fields[0]), std::string(fields[1]), std::nullopt});
    } else if (fields.size() == 3) {
      answer = locator.Locate(
          {std::string(fields[0]), std::string(fields[1]), std::string(fields[2]), std::nullopt});
    } else if (fields.size() == 4 && heights) {
      answer = locator.Locate({std::string(fields[0]), std::string(fields[1]),
                               std::string(fields[2]), std::string(fields[3])});
    } else {
      answer = locator.Unreadable(at + std::to_string(fields.size()) + " fields; a point is " +
                                  (heights ? "name,x,y,z, name,x,y or x,y" : "name,x,y or x,y"));
    }
    out.Line(answer.line);
    if (!answer.complete) {
      gap(answer.message.starts_with(at) ? answer.message : at + answer.message);
    }
  }
}

std::variant<Gaps, Refusal> WriteLocateCsv(LineOut& out, const model::Road& road,
                                           const Heights& heights, const LocateRequest& request,
                                           std::string_view points_bytes,
                                           std::string_view points_name) {
  out.Line(LocateHeader(heights, heights.profile.has_value()));
  text::BytesSource in(points_bytes);
  Gaps gaps;
  LocatePoints(out, PointLocator(road, heights, request), heights.profile.has_value(), in,
               [&gaps](const std::string& message) { gaps.messages.push_back(message); });
  if (in.failed) {
    return Refusal{text::Printable(points_name) + ": the points could not be read"};
  }
  return gaps;
}

}  // namespace velmora::report
