// locate: the station and offset of points, the reverse of stakeout.
#include <cmath>
#include <vector>

#include "cli/command.h"
#include "cli/elements.h"
#include "cli/road_command.h"
#include "road/locate.h"
#include "road/profile.h"
#include "text/csv.h"
#include "text/numtext.h"
#include "text/text.h"

namespace velmora::cli {
namespace {

using text::Trim;

constexpr OptionSpec kOptions[] = {
    Optional("--points", "FILE",
             "locate each point of FILE ('-': standard input), one a line: name,x,y or x,y "
             "(name,x,y,z with --profile).",
             ValueKind::kFile),
    Optional("--max-offset", "D", "refuse a point farther than D from the centre line.",
             ValueKind::kDistance),
    kProfileOption,
    kCrossSlopesOption,
    kCrossSlopeOption,
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
        "With --profile FILE the lines of --points may give the surveyed\n"
        "elevation z as a fourth field (name,x,y,z), and each line has z after y\n"
        "and, after the element, h, the design elevation at the point's station\n"
        "and offset (with --cross-slopes or --cross-slope: the centre's plus\n"
        "|offset| times that side's slope / 100; without them the centre's), and\n"
        "dh = h - z: positive fill (the ground must be raised), negative cut. A\n"
        "point outside the profile has an empty h and dh, says so, and the exit\n"
        "status is then 1.\n"
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

class PointWriter {
 public:
  PointWriter(const road::Alignment& alignment, const RoadFormat& format,
              std::optional<double> max_offset, const Heights& heights, Writer& out)
      : alignment_(alignment),
        profile_(heights.profile ? &heights.profile->profile : nullptr),
        slopes_(heights.slopes.value_or(road::CrossSlopes(0.0))),
        locator_(alignment),
        format_(format),
        max_offset_(max_offset),
        out_(out) {}

  bool all_located = true;

  // A point's line: the name and the coordinates as given, then what it is.
  void Point(std::string_view name, std::string_view x_text, std::string_view y_text,
             std::string_view z_text = {}) {
    Echo(name, x_text, y_text, z_text);
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
    std::string note = OverlapNote(at.distance);
    if (profile_) {
      AppendHeights(at, z_text, note);
    }
    text::AppendCsvField(t, note);
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
    Echo("", "", "", "");
    Refused(reason);
  }

 private:
  // h and dh, each followed by a comma; why one is missing added to `note`.
  void AppendHeights(const road::Location& at, std::string_view z_text, std::string& note) {
    std::string& t = out_.text;
    const auto missing = [&](std::string_view why) {
      all_located = false;
      note += note.empty() ? "" : "; ";
      note += why;
    };
    const std::optional<double> h =
        road::DesignElevation(*profile_, slopes_, at.distance, at.offset);
    if (h) {
      AppendFixed(t, *h, format_.decimals);
    } else {
      missing("no design elevation: the profile runs from " +
              ProfileEnds(alignment_, *profile_, format_.stations, format_.decimals));
    }
    t += ',';
    if (!Trim(z_text).empty()) {
      const NumberReading z = ReadNumber(Trim(z_text));
      if (!z.is_number || !std::isfinite(z.value)) {
        missing("z is not a number");
      } else if (const std::optional<double> dh =
                     road::FillCut(*profile_, slopes_, at.distance, at.offset, z.value)) {
        AppendFixed(t, *dh, format_.decimals);
      }
    }
    t += ',';
  }

  void Echo(std::string_view name, std::string_view x, std::string_view y, std::string_view z) {
    text::AppendCsvField(out_.text, name);
    out_.text += ',';
    text::AppendCsvField(out_.text, x);
    out_.text += ',';
    text::AppendCsvField(out_.text, y);
    out_.text += ',';
    if (profile_) {
      text::AppendCsvField(out_.text, z);
      out_.text += ',';
    }
  }
  void Refused(std::string_view reason) {
    all_located = false;
    out_.text += profile_ ? ",,,,,,," : ",,,,,";
    text::AppendCsvField(out_.text, reason);
    out_.EndLine();
  }

  const road::Alignment& alignment_;
  const road::Profile* profile_;
  road::CrossSlopes slopes_;
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
  const std::optional<Heights> heights =
      ReadHeights(syntax, args, system, loaded->alignment,
                  args.operands[0] == "-" || (points && *points == "-"));
  if (!heights) {
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
  AddHeightInputs(args, inputs);
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  Writer out(*output->sink, format.bom);
  if (format.bom) {
    out.text += kByteOrderMark;
  }
  out.Line(heights->profile ? kHeightHeader : kHeader);
  PointWriter writer(loaded->alignment, format, max_offset, *heights, out);
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
    } else if (fields.size() == 4 && heights->profile) {
      writer.Point(fields[0], fields[1], fields[2], fields[3]);
    } else {
      writer.Unreadable(at + std::to_string(fields.size()) + " fields; a point is " +
                        (heights->profile ? "name,x,y,z, name,x,y or x,y" : "name,x,y or x,y"));
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
