// csv: a spreadsheet of points, each line written back with the window's
// answer.
#include <cstring>
#include <vector>

#include "cli/command.h"
#include "cli/commands.h"
#include "text/csv.h"
#include "text/text.h"

namespace velmora::cli {
namespace {

constexpr OptionSpec kOptions[] = {kBomOption, kOutputOption};

constexpr CommandSpec kSpec = {
    .name = "csv",
    .operands = "[FILE]",
    .operands_wanted = "one file at most",
    .min_operands = 0,
    .max_operands = 1,
    .options = kOptions,
    .summary = "a spreadsheet of points, each line written back with its azimuth",
    .description =
        "One point a line of FILE (or standard input, also for '-'), six fields\n"
        "separated by commas; an optional header line\n"
        "  start,end,start_radius,end_radius,point,start_azimuth\n"
        "is copied. Each line is written back with two more fields, azimuth and\n"
        "message.\n",
    .options_before_operands_only = false,
};

constexpr std::string_view kCsvHeader = "start,end,start_radius,end_radius,point,start_azimuth";

int RunCsv(const CommandSpec&, const ParsedArgs& args, System& system) {
  const bool bom = args.Has("--bom");
  const std::optional<std::string_view> input_name =
      args.operands.empty() ? std::nullopt : std::optional<std::string_view>(args.operands[0]);
  std::optional<Input> input = OpenInput(system, input_name);
  if (!input) {
    return kExitUsage;
  }
  const std::string_view inputs[] = {input_name.value_or("-")};
  std::optional<Output> output = OpenOutput(system, args.Value("--output"), inputs);
  if (!output) {
    return kExitUsage;
  }
  Source& in = *input->source;
  Writer out(*output->sink, bom);
  if (bom) {
    out.text += kByteOrderMark;
  }

  Calculator calculator;
  text::CsvReader reader(in, false);
  text::CsvReader::Record record;
  const std::vector<std::string_view>& fields = record.fields;
  bool first = true;
  int status = kExitAnswered;
  while (reader.Next(record)) {
    const std::string_view text = record.text;
    std::string bad;
    const auto number = [&record] { return std::to_string(record.line); };
    if (record.problem == text::CsvReader::Problem::kTooLong) {
      bad = "第" + number() + "行超过" + std::to_string(text::kMaxLineBytes) + "字节。";
    } else if (record.problem == text::CsvReader::Problem::kNotUtf8) {
      bad = "第" + number() + "行不是UTF-8文本。";
    } else if (record.problem == text::CsvReader::Problem::kBadQuote) {
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
      text::AppendCsvField(out.text, bad);
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
        text::AppendCsvField(out.text, fields[i]);
        out.text += ',';
      }
    }
    text::AppendCsvField(out.text, answer.azimuth);
    out.text += ',';
    text::AppendCsvField(out.text, answer.message);
    out.EndLine();
    if (answer.azimuth.empty()) {
      status = kExitRefused;
    }
  }
  if (in.failed) {
    out.Abandon();
    return Fail(system, "the input could not be read");
  }
  return Finish(system, out, status);
}

}  // namespace

const Command kCsvCommand = {kSpec, RunCsv};

}  // namespace velmora::cli
