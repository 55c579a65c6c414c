#include "cli/commands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "arith/angle.h"
#include "cli/csv.h"
#include "platform/numtext.h"
#include "window/calculate.h"
#include "window/design.h"

#ifndef VELMORA_VERSION
#error "VELMORA_VERSION names the program's version"
#endif

namespace velmora::cli {
namespace {

constexpr std::string_view kProgram = "velmora-cli";
constexpr std::string_view kUsage =
    "usage: velmora-cli calc [--] KA KB RA RB KI CA\n"
    "       velmora-cli table --start S --end E --start-radius RA --end-radius RB\n"
    "                         --start-azimuth CA --every STEP [--at S]...\n"
    "       velmora-cli csv [--bom] [-o FILE] [FILE]\n"
    "       velmora-cli --help | --version\n";
constexpr std::string_view kHelp =
    "\n"
    "The azimuth at a station of one alignment element: a straight (both radii\n"
    "0), a circular arc (equal radii) or a transition spiral between two radii.\n"
    "Every answer is the one Velmora's window gives for the same six texts.\n"
    "\n"
    "  calc   the six texts of the window, in its order: start station, end\n"
    "         station, start radius, end radius, point station and start\n"
    "         azimuth (packed: 45.3015 is 45 degrees 30 minutes 15 seconds).\n"
    "         A text that begins with '-' is a text, not an option. Prints the\n"
    "         point's azimuth, or the window's message on stderr.\n"
    "  table  a stake-out table as CSV: the start station, every whole\n"
    "         multiple of STEP between start and end, the end station, and\n"
    "         each --at station; columns station, azimuth, and the azimuth\n"
    "         packed to 0.1 second, ready to paste as a start azimuth.\n"
    "  csv    one point a line of FILE (or standard input), six fields\n"
    "         separated by commas; an optional header line\n"
    "           start,end,start_radius,end_radius,point,start_azimuth\n"
    "         is copied. Each line is written back with two more fields,\n"
    "         azimuth and message. --bom writes a UTF-8 byte-order mark and\n"
    "         CRLF line ends for spreadsheet programs; -o FILE writes to FILE.\n"
    "\n"
    "Exit status: 0 when every point has an azimuth, 1 when the window refused\n"
    "one, 2 for a wrong command line or a failed read or write.\n";
constexpr std::string_view kCsvHeader = "start,end,start_radius,end_radius,point,start_azimuth";
constexpr std::string_view kTableHeader = "station,azimuth,packed";
constexpr std::string_view kNotANumber = "不是数字";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kMaxTableRows = 10'000'000;
// Whole multiples of the step are counted exactly up to 2^53.
constexpr double kLargestExactWhole = 9007199254740992.0;
constexpr std::size_t kFlushBytes = 64 * 1024;

std::string_view Caption(Field field) { return LabelForField(field).caption; }

// Output gathered into large writes, always ending at a line end.
class Writer {
 public:
  Writer(Sink& sink, bool crlf) : sink_(sink), crlf_(crlf) { text.reserve(2 * kFlushBytes); }

  std::string text;

  void EndLine() {
    text += crlf_ ? "\r\n" : "\n";
    if (text.size() >= kFlushBytes) {
      Flush();
    }
  }
  void Line(std::string_view line) {
    text += line;
    EndLine();
  }
  // False when anything failed to go out.
  bool Finish() {
    Flush();
    return ok_ && sink_.Finish();
  }

 private:
  void Flush() {
    if (!text.empty()) {
      ok_ = sink_.Write(text) && ok_;
      text.clear();
    }
  }

  Sink& sink_;
  bool crlf_;
  bool ok_ = true;
};

int UsageError(System& system, std::string_view problem) {
  Writer err(system.Err(), false);
  err.Line(std::string(kProgram) + ": " + std::string(problem));
  err.text += kUsage;
  err.Finish();
  return kExitUsage;
}

int Fail(System& system, std::string_view problem) {
  Writer err(system.Err(), false);
  err.Line(problem);
  err.Finish();
  return kExitUsage;
}

int Finish(System& system, Writer& out, int status) {
  if (!out.Finish()) {
    return Fail(system, std::string(kProgram) + ": the output could not be written");
  }
  return status;
}

int Calc(std::span<const std::string> args, System& system) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    Writer out(system.Out(), false);
    out.text += kUsage;
    return Finish(system, out, kExitAnswered);
  }
  if (!args.empty() && args[0] == "--") {
    args = args.subspan(1);
  }
  if (args.size() != kInputFields.size()) {
    return UsageError(system, "calc takes six texts, " + std::to_string(args.size()) + " given");
  }
  Calculator calculator;
  const Answer& answer = calculator.Run({args[0], args[1], args[2], args[3], args[4], args[5]});
  if (answer.field_refused) {
    return Fail(system, answer.message);
  }
  if (answer.azimuth.empty()) {
    Writer err(system.Err(), false);
    err.Line(answer.message);
    err.Finish();
    return kExitRefused;
  }
  Writer out(system.Out(), false);
  out.Line(answer.azimuth);
  return Finish(system, out, kExitAnswered);
}

// "--name value" or "--name=value": the option's name and its value, the
// index moved past them. No value when the arguments end.
struct Option {
  std::string_view name;
  std::optional<std::string_view> value;
};

Option NextOption(std::span<const std::string> args, std::size_t& i) {
  const std::string_view arg = args[i++];
  const std::size_t equals = arg.find('=');
  if (arg.starts_with("--") && equals != std::string_view::npos) {
    return {arg.substr(0, equals), arg.substr(equals + 1)};
  }
  if (i < args.size()) {
    return {arg, std::string_view(args[i++])};
  }
  return {arg, std::nullopt};
}

struct Station {
  double value;
  std::string point_text;  // the text pasted into Textki
};

int Table(std::span<const std::string> args, System& system) {
  std::optional<std::string_view> start, end, start_radius, end_radius, start_azimuth, every;
  std::vector<Station> chosen;
  const std::pair<std::string_view, std::optional<std::string_view>*> named[] = {
      {"--start", &start},
      {"--end", &end},
      {"--start-radius", &start_radius},
      {"--end-radius", &end_radius},
      {"--start-azimuth", &start_azimuth},
      {"--every", &every},
  };
  for (std::size_t i = 0; i < args.size();) {
    if (args[i] == "--help" || args[i] == "-h") {
      Writer out(system.Out(), false);
      out.text += kUsage;
      return Finish(system, out, kExitAnswered);
    }
    const Option option = NextOption(args, i);
    if (!option.value) {
      return UsageError(system, "option " + std::string(option.name) + " needs a value");
    }
    if (option.name == "--at") {
      chosen.push_back({ValueOf(*option.value), std::string(*option.value)});
      continue;
    }
    const auto* known = std::find_if(std::begin(named), std::end(named),
                                     [&](const auto& n) { return n.first == option.name; });
    if (known == std::end(named)) {
      return UsageError(system, "unknown option '" + Printable(option.name) + "'");
    }
    if (known->second->has_value()) {
      return UsageError(system, "option " + std::string(option.name) + " given twice");
    }
    *known->second = option.value;
  }
  for (const auto& [name, value] : named) {
    if (!value->has_value()) {
      return UsageError(system, "table needs " + std::string(name));
    }
  }

  Calculator calculator;
  for (const Station& at : chosen) {
    if (const auto refusal = calculator.Refusal(Field::Textki, at.point_text)) {
      return Fail(system, *refusal);
    }
  }
  const double step = ValueOf(*every);
  if (!IsNumber(*every) || !std::isfinite(step) || !(step > 0.0)) {
    return UsageError(system, "--every takes a step above 0, not \"" + Printable(*every) + "\"");
  }

  // The start station first: what the window says of it, it says of every
  // station (except a chosen one outside the element).
  const auto answer_at = [&](std::string_view point) -> const Answer& {
    return calculator.Run({*start, *end, *start_radius, *end_radius, point, *start_azimuth});
  };
  if (const Answer& first = answer_at(*start); first.azimuth.empty()) {
    if (first.field_refused) {
      return Fail(system, first.message);
    }
    Writer err(system.Err(), false);
    err.Line(first.message);
    err.Finish();
    return kExitRefused;
  }

  // The multiples k * step strictly between the start and the end, as
  // products: no sum of steps drifts.
  const double from = ValueOf(*start);
  const double to = ValueOf(*end);
  double first_k = 1.0;
  double last_k = 0.0;
  if (from < to) {
    if (!((to - from) / step <= static_cast<double>(kMaxTableRows)) ||
        !(std::fabs(from / step) < kLargestExactWhole - 2.0) ||
        !(std::fabs(to / step) < kLargestExactWhole - 2.0)) {
      return UsageError(
          system, "the table would have more than " + std::to_string(kMaxTableRows) + " rows");
    }
    first_k = std::floor(from / step);
    while (first_k * step <= from) {
      first_k += 1.0;
    }
    while ((first_k - 1.0) * step > from) {
      first_k -= 1.0;
    }
    last_k = std::ceil(to / step);
    while (last_k * step >= to) {
      last_k -= 1.0;
    }
    while ((last_k + 1.0) * step < to) {
      last_k += 1.0;
    }
  }
  const double multiples = last_k >= first_k ? last_k - first_k + 1.0 : 0.0;
  if (multiples + 2.0 + static_cast<double>(chosen.size()) > static_cast<double>(kMaxTableRows)) {
    return UsageError(system,
                      "the table would have more than " + std::to_string(kMaxTableRows) + " rows");
  }

  std::stable_sort(chosen.begin(), chosen.end(),
                   [](const Station& a, const Station& b) { return a.value < b.value; });
  Writer out(system.Out(), false);
  Writer err(system.Err(), false);
  out.Line(kTableHeader);
  int status = kExitAnswered;
  std::optional<double> last_value;
  const auto row = [&](double value, std::string_view point_text) {
    if (last_value && *last_value == value) {
      return;  // one row a station
    }
    last_value = value;
    const std::string station = NumberToText(value);
    const Answer& answer = answer_at(point_text);
    AppendCsvField(out.text, station);
    out.text += ',';
    AppendCsvField(out.text, answer.azimuth);
    out.text += ',';
    if (!answer.azimuth.empty()) {
      AppendCsvField(out.text, PackedFromDisplay(answer.azimuth).value_or(""));
    } else {
      err.Line(station + ": " + answer.message);
      status = kExitRefused;
    }
    out.EndLine();
  };
  // The grid (start, multiples, end) merged with the chosen stations.
  auto at = chosen.begin();
  const auto chosen_before = [&](double value) {
    while (at != chosen.end() && at->value <= value) {
      row(at->value, at->point_text);
      ++at;
    }
  };
  chosen_before(from);
  row(from, *start);
  for (double k = first_k; k <= last_k; k += 1.0) {
    const double value = k * step;
    chosen_before(value);
    row(value, NumberToText(value));
  }
  chosen_before(to);
  row(to, *end);
  chosen_before(HUGE_VAL);
  err.Finish();
  return Finish(system, out, status);
}

int Csv(std::span<const std::string> args, System& system) {
  bool bom = false;
  std::optional<std::string> input_name;
  std::optional<std::string> output_name;
  bool options_end = false;
  for (std::size_t i = 0; i < args.size();) {
    const std::string& arg = args[i];
    if (!options_end && (arg == "--help" || arg == "-h")) {
      Writer out(system.Out(), false);
      out.text += kUsage;
      return Finish(system, out, kExitAnswered);
    }
    if (!options_end && arg == "--") {
      options_end = true;
      ++i;
    } else if (!options_end && arg == "--bom") {
      bom = true;
      ++i;
    } else if (!options_end && (arg == "-o" || arg == "--output" || arg.starts_with("--output="))) {
      const Option option = NextOption(args, i);
      if (!option.value) {
        return UsageError(system, "option " + std::string(option.name) + " needs a file");
      }
      output_name = std::string(*option.value);
    } else if (!options_end && arg.size() > 1 && arg[0] == '-') {
      return UsageError(system, "unknown option '" + Printable(arg) + "'");
    } else if (input_name) {
      return UsageError(system, "csv reads one file");
    } else {
      input_name = arg;
      ++i;
    }
  }
  if (input_name == "-") {
    input_name.reset();
  }

  std::string error;
  std::unique_ptr<Source> input_file;
  if (input_name) {
    input_file = system.OpenInput(*input_name, error);
    if (!input_file) {
      return Fail(system, std::string(kProgram) + ": cannot read \"" + Printable(*input_name) +
                              "\": " + error);
    }
  }
  std::unique_ptr<Sink> output_file;
  if (output_name) {
    // Creating the output first would empty the very file about to be read.
    if (input_name && system.SameFile(*input_name, *output_name)) {
      return UsageError(system, "the output file is the input file");
    }
    output_file = system.OpenOutput(*output_name, error);
    if (!output_file) {
      return Fail(system, std::string(kProgram) + ": cannot write \"" + Printable(*output_name) +
                              "\": " + error);
    }
  }
  Source& in = input_file ? *input_file : system.In();
  Writer out(output_file ? *output_file : system.Out(), bom);
  if (bom) {
    out.text += kByteOrderMark;
  }

  Calculator calculator;
  LineReader reader(in);
  LineReader::Line line{};
  std::vector<std::string_view> fields;
  std::string unquoted;
  bool first = true;
  int status = kExitAnswered;
  while (reader.Next(line)) {
    std::string_view text = line.text;
    if (line.number == 1 && text.starts_with(kByteOrderMark)) {
      text.remove_prefix(kByteOrderMark.size());
    }
    if (text.empty() && !line.too_long) {
      continue;  // a blank line holds no point
    }
    std::string bad;
    const auto number = [&line] { return std::to_string(line.number); };
    if (line.too_long) {
      bad = "第" + number() + "行超过" + std::to_string(kMaxLineBytes) + "字节。";
    } else if (!IsValidUtf8(text)) {
      bad = "第" + number() + "行不是UTF-8文本。";
    } else if (!SplitCsvLine(text, fields, unquoted)) {
      bad = "第" + number() + "行的引号有误。";
    } else if (first && text == kCsvHeader) {
      first = false;
      out.text += text;
      out.Line(",azimuth,message");
      continue;
    } else if (fields.size() != kInputFields.size()) {
      bad = "第" + number() + "行有" + std::to_string(fields.size()) + "个字段，应为6个。";
    }
    first = false;
    if (!bad.empty()) {
      out.text += ",,,,,,,";
      AppendCsvField(out.text, bad);
      out.EndLine();
      status = kExitRefused;
      continue;
    }
    const Answer& answer =
        calculator.Run({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
    if (std::memchr(text.data(), '"', text.size()) == nullptr &&
        std::memchr(text.data(), '\r', text.size()) == nullptr) {
      out.text += text;  // nothing to quote in any field
      out.text += ',';
    } else {
      for (std::size_t i = 0; i < kInputFields.size(); ++i) {
        AppendCsvField(out.text, fields[i]);
        out.text += ',';
      }
    }
    AppendCsvField(out.text, answer.azimuth);
    out.text += ',';
    AppendCsvField(out.text, answer.message);
    out.EndLine();
    if (answer.azimuth.empty()) {
      status = kExitRefused;
    }
  }
  if (in.failed) {
    out.Finish();
    return Fail(system, std::string(kProgram) + ": the input could not be read");
  }
  return Finish(system, out, status);
}

// Why a field would not keep a text: "起点桩号不是数字：\"12a\"".
std::string RefusalMessage(Field field, std::string_view text) {
  std::string message(Caption(field));
  message += kNotANumber;
  message += "：\"";
  message += Printable(text);
  message += '"';
  return message;
}

}  // namespace

bool Calculator::Keeps(Field field, std::string_view text) {
  form_.Put(field, "");
  form_.Replace(field, text);
  return form_[field] == text;
}

std::optional<std::string> Calculator::Refusal(Field field, std::string_view text) {
  if (Keeps(field, text)) {
    return std::nullopt;
  }
  return RefusalMessage(field, text);
}

const Answer& Calculator::Run(const std::array<std::string_view, kInputFields.size()>& texts) {
  answer_.azimuth.clear();
  answer_.message.clear();
  answer_.field_refused = false;
  form_.ClearMessages();
  form_.Put(Field::Textcia, "");
  for (std::size_t i = 0; i < kInputFields.size(); ++i) {
    if (!Keeps(kInputFields[i], texts[i])) {
      answer_.message = RefusalMessage(kInputFields[i], texts[i]);
      answer_.field_refused = true;
      return answer_;
    }
  }
  form_.Click();
  answer_.azimuth = form_[Field::Textcia];
  if (!answer_.azimuth.empty()) {
    return answer_;
  }
  for (const Message& message : form_.messages()) {
    answer_.message += answer_.message.empty() ? "" : " ";
    answer_.message += message.prompt;
  }
  if (answer_.message.empty()) {
    // The window empties a radius that is not a number without a word.
    for (const Field radius : {Field::Textra, Field::Textrb}) {
      if (form_[radius].empty()) {
        answer_.message = std::string(Caption(radius)) + std::string(kNotANumber) + "。";
        return answer_;
      }
    }
    answer_.message = kCannotCalculatePrompt;
  }
  return answer_;
}

std::optional<std::string> PackedFromDisplay(std::string_view display) {
  // <degrees>度<minutes>分<seconds>秒, seconds with at most one decimal.
  const std::size_t degree_mark = display.find("度");
  const std::size_t minute_mark = display.find("分");
  const std::size_t second_mark = display.find("秒");
  if (degree_mark == std::string_view::npos || minute_mark == std::string_view::npos ||
      second_mark == std::string_view::npos || degree_mark > minute_mark ||
      minute_mark > second_mark || second_mark + std::string_view("秒").size() != display.size()) {
    return std::nullopt;
  }
  const std::string_view degrees = display.substr(0, degree_mark);
  const std::size_t minutes_at = degree_mark + std::string_view("度").size();
  const std::string_view minutes = display.substr(minutes_at, minute_mark - minutes_at);
  const std::size_t seconds_at = minute_mark + std::string_view("分").size();
  std::string_view seconds = display.substr(seconds_at, second_mark - seconds_at);
  std::string_view tenths;
  if (const std::size_t point = seconds.find('.'); point != std::string_view::npos) {
    tenths = seconds.substr(point + 1);
    seconds = seconds.substr(0, point);
  }
  const auto digits = [](std::string_view s, std::size_t most) {
    return !s.empty() && s.size() <= most &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(degrees, 3) || !digits(minutes, 2) || !digits(seconds, 2) ||
      !(tenths.empty() || digits(tenths, 1))) {
    return std::nullopt;
  }
  std::string packed(degrees);
  packed += '.';
  packed.append(2 - minutes.size(), '0');
  packed += minutes;
  packed.append(2 - seconds.size(), '0');
  packed += seconds;
  packed += tenths;
  while (packed.back() == '0') {
    packed.pop_back();
  }
  if (packed.back() == '.') {
    packed.pop_back();
  }
  return packed;
}

std::string Printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = byte < 0x80U ? 1 : byte >= 0xF0U ? 4 : byte >= 0xE0U ? 3 : 2;
    if (byte >= 0x80U && (i + length > text.size() || !IsValidUtf8(text.substr(i, length)))) {
      length = 0;  // not UTF-8: the byte alone, escaped
    }
    if (length > 1) {
      out.append(text, i, length);
      i += length;
      continue;
    }
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += static_cast<char>(byte);
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte < 0x20U || byte >= 0x7FU) {
      out += "\\x";
      out += kHex[byte >> 4U];
      out += kHex[byte & 0xFU];
    } else {
      out += static_cast<char>(byte);
    }
    ++i;
  }
  return out;
}

int Run(std::span<const std::string> args, System& system) {
  if (args.empty()) {
    return UsageError(system, "a command is needed");
  }
  const std::string& command = args[0];
  const auto rest = args.subspan(1);
  if (command == "--help" || command == "-h" || command == "help") {
    Writer out(system.Out(), false);
    out.text += kUsage;
    out.text += kHelp;
    return Finish(system, out, kExitAnswered);
  }
  if (command == "--version") {
    Writer out(system.Out(), false);
    out.Line(std::string(kProgram) + " " + VELMORA_VERSION);
    return Finish(system, out, kExitAnswered);
  }
  if (command == "calc") {
    return Calc(rest, system);
  }
  if (command == "table") {
    return Table(rest, system);
  }
  if (command == "csv") {
    return Csv(rest, system);
  }
  return UsageError(system, (command.starts_with('-') ? "unknown option '" : "unknown command '") +
                                Printable(command) + "'");
}

}  // namespace velmora::cli
