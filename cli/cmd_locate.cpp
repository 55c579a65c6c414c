// locate: the station and offset of points, the reverse of stakeout.
#include <cmath>
#include <vector>

#include "cli/command.h"
#include "cli/elements.h"
#include "cli/road_command.h"
#include "road/locate.h"
#include "text/csv.h"
#include "text/numtext.h"
#include "text/text.h"

namespace velmora::cli {
namespace {

constexpr OptionSpec kOptions[] = {
    Optional("--points", "FILE",
             "locate each point of FILE ('-': standard input), one a line: name,x,y or x,y.",
             ValueKind::kFile),
    Optional("--max-offset", "D", "refuse a point farther than D from the centre line.",
             ValueKind::kDistance),
    kAlignmentOption,
    kStationFormatOption,
    Optional("--decimals", "N", "decimals of stations and offsets (0 to 12; 4 unless given).",
             ValueKind::kDecimals),
    kBomOption,
    kOutputOption,
};

constexpr CommandSpec kSpec = {
    .name = "locate",
    .operands = "ELEMENTS [X Y]",
    .operands_wanted = "an element file and then X and Y, or the element file alone with --points",
    .min_operands = 1,
    .max_operands = 3,
    .options = kOptions,
    .summary = "the station and offset of points beside the road of an element file",
    .description =
        "The station and offset of the point X Y, or of each point of --points\n"
        "FILE, against the road of the element file ELEMENTS: the foot of the\n"
        "perpendicular from the point to the centre line. One CSV line a point,\n"
        "in the input's order: name, x, y (as given), station, offset (right of\n"
        "the centre line positive), azimuth and packed azimuth at the foot, the\n"
        "element's number, and the reason when the point has no station: before\n"
        "the start, beyond the end, farther than --max-offset, or a line of FILE\n"
        "that is not a point. The exit status is 1 when a point has none. For a\n"
        "point whose station a station equation repeats, the message says which\n"
        "of the two it is (\"back of the station equation 1420 = 1405\", or\n"
        "\"ahead of ...\").\n"
        "\n"
        "A design that contradicts itself (a start given that is not where the\n"
        "previous element ends, a LandXML statement its geometry contradicts) is\n"
        "reported on standard error as check reports it, one line each; the\n"
        "output is written all the same, and the exit status is then at least 1.\n"
        "\n"
        "Example (road.csv as in 'velmora-cli check --help'):\n"
        "  $ velmora-cli locate road.csv 1150 500\n"
        "  name,x,y,station,offset,azimuth,packed,element,message\n"
        "  ,1150,500,149.5676,-3.2223,10度59分52.3秒,10.59523,2,\n",
    .options_before_operands_only = false,
};

constexpr std::string_view kHeader = "name,x,y,station,offset,azimuth,packed,element,message";

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
  return (fields.size() == 3 && is(fields[0], "name") && is(fields[1], "x") &&
          is(fields[2], "y")) ||
         (fields.size() == 2 && is(fields[0], "x") && is(fields[1], "y"));
}

class PointWriter {
 public:
  PointWriter(const road::Alignment& alignment, const RoadFormat& format,
              std::optional<double> max_offset, Writer& out)
      : alignment_(alignment),
        locator_(alignment),
        format_(format),
        max_offset_(max_offset),
        out_(out) {}

  bool all_located = true;

  // A point's line: the name and the coordinates as given, then what it is.
  void Point(std::string_view name, std::string_view x_text, std::string_view y_text) {
    Echo(name, x_text, y_text);
    const NumberReading x = ReadNumber(x_text);
    const NumberReading y = ReadNumber(y_text);
    if (!x.is_number || !std::isfinite(x.value) || !y.is_number || !std::isfinite(y.value)) {
      Refused(!x.is_number || !std::isfinite(x.value) ? "x is not a number" : "y is not a number");
      return;
    }
    const road::LocateResult result = locator_.Locate({x.value, y.value}, max_offset_);
    if (!result.location) {
      Refused(Reason(result.refusal));
      return;
    }
    const road::Location& at = *result.location;
    std::string& t = out_.text;
    model::AppendStation(t, alignment_.DisplayStation(at.distance), format_.stations,
                         format_.decimals);
    t += ',';
    AppendFixed(t, at.offset, format_.decimals);
    t += ',';
    AppendAzimuth(t, at.azimuth);
    t += ',';
    t += std::to_string(at.element + 1);
    t += ',';
    text::AppendCsvField(t, OverlapNote(at.distance));
    out_.EndLine();
  }

  // For a foot whose station a station equation makes occur twice: which
  // of the two it is ("back of the equation 1420 = 1405" or "ahead of ...").
  std::string OverlapNote(double distance) const {
    const std::optional<road::Alignment::OverlapSide> side = alignment_.OverlapAt(distance);
    if (!side) {
      return "";
    }
    std::string note = side->ahead ? "ahead of" : "back of";
    note += " the station equation ";
    model::AppendStation(note, side->equation->back, format_.stations, format_.decimals);
    note += " = ";
    model::AppendStation(note, side->equation->ahead, format_.stations, format_.decimals);
    return note;
  }

  // A line that holds no point, with the reason.
  void Unreadable(std::string_view reason) {
    Echo("", "", "");
    Refused(reason);
  }

 private:
  void Echo(std::string_view name, std::string_view x, std::string_view y) {
    text::AppendCsvField(out_.text, name);
    out_.text += ',';
    text::AppendCsvField(out_.text, x);
    out_.text += ',';
    text::AppendCsvField(out_.text, y);
    out_.text += ',';
  }
  void Refused(std::string_view reason) {
    all_located = false;
    out_.text += ",,,,,";
    text::AppendCsvField(out_.text, reason);
    out_.EndLine();
  }

  const road::Alignment& alignment_;
  road::Locator locator_;
  const RoadFormat& format_;
  std::optional<double> max_offset_;
  Writer& out_;
};

int RunLocate(const CommandSpec& syntax, const ParsedArgs& args, System& system) {
  const RoadFormat format = ReadRoadFormat(args);
  const std::optional<std::string_view> points = args.Value("--points");
  if (points ? args.operands.size() != 1 : args.operands.size() != 3) {
    return UsageError(system, syntax,
                      points ? "locate with --points takes the element file alone"
                             : "locate takes the element file and then X and Y, or --points FILE");
  }
  const std::optional<double> max_offset = args.Number("--max-offset");
  if (points && *points == "-" && args.operands[0] == "-") {
    return UsageError(system, syntax,
                      "the element file and the points cannot both be standard input");
  }

  const std::optional<LoadedAlignment> loaded =
      LoadAlignment(system, args.operands[0], ReadLoadOptions(args), format.decimals);
  if (!loaded) {
    return kExitUsage;
  }
  std::optional<Input> input;
  if (points) {
    input = OpenInput(system, *points);
    if (!input) {
      return kExitUsage;
    }
  }
  std::vector<std::string_view> inputs = {args.operands[0]};
  if (points) {
    inputs.push_back(*points);
  }
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  Writer out(*output->sink, format.bom);
  if (format.bom) {
    out.text += kByteOrderMark;
  }
  out.Line(kHeader);
  PointWriter writer(loaded->alignment, format, max_offset, out);
  if (!points) {
    writer.Point("", args.operands[1], args.operands[2]);
    return Finish(system, out, writer.all_located ? FindingsStatus(*loaded) : kExitRefused);
  }

  Source& in = *input->source;
  text::CsvReader reader(in, true);
  text::CsvReader::Record record;
  const std::vector<std::string_view>& fields = record.fields;
  bool header_allowed = true;
  while (out.ok() && reader.Next(record)) {
    const std::string at = "line " + std::to_string(record.line) + ": ";
    if (record.problem == text::CsvReader::Problem::kTooLong) {
      writer.Unreadable(at + "longer than " + std::to_string(text::kMaxLineBytes) + " bytes");
      continue;
    }
    if (record.problem == text::CsvReader::Problem::kNotUtf8) {
      writer.Unreadable(at + "not UTF-8 text");
      continue;
    }
    if (record.problem == text::CsvReader::Problem::kBadQuote) {
      writer.Unreadable(at + "a quote is out of place");
      continue;
    }
    if (header_allowed && IsPointsHeader(fields)) {
      header_allowed = false;
      continue;
    }
    header_allowed = false;
    if (fields.size() == 2) {
      writer.Point("", fields[0], fields[1]);
    } else if (fields.size() == 3) {
      writer.Point(fields[0], fields[1], fields[2]);
    } else {
      writer.Unreadable(at + std::to_string(fields.size()) + " fields; a point is name,x,y or x,y");
    }
  }
  if (in.failed) {
    out.Abandon();
    return Fail(system, "the points could not be read");
  }
  return Finish(system, out, writer.all_located ? FindingsStatus(*loaded) : kExitRefused);
}

}  // namespace

const Command kLocateCommand = {kSpec, RunLocate};

}  // namespace velmora::cli
