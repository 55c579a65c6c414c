// The command line of every command, read by one parser from a table of the
// command's options, and the command's usage and help written from the same
// table.
//
// Conventions, the same for every command:
// - "--name VALUE" and "--name=VALUE"; a short form ("-o FILE") where the
//   table gives one. The value is the next argument whatever it starts with.
// - "--" ends the options: every later argument is an operand, so a file
//   named like an option can be read.
// - "-" is an operand (standard input, where the command reads a file).
// - An argument that starts with "-" and then a digit or "." is an operand
//   (a negative number), not an option.
// - An option given twice is a mistake unless the table says it repeats.
// - "-h" or "--help" among the options prints the command's help.
// Commands whose operands are texts that may start with "-" (calc) read
// options only before the first operand.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

// What an option's value must be. The parser refuses any other text, naming
// the option, so a command reads only values it can use.
enum class ValueKind {
  kText,           // any text
  kFile,           // a file's name, not empty
  kStation,        // 1234.5 or K1+234.5
  kStep,           // a number above 0
  kDistance,       // a number of 0 or more
  kLength,         // any number (an offset: negative to the left)
  kStationFormat,  // plain or k
  kDecimals,       // a whole number from 0 to kMostDecimals
  kPixels,         // WxH, each from kFewestPixels to kMostPixels
};

inline constexpr int kMostDecimals = 12;
inline constexpr double kFewestPixels = 200;
inline constexpr double kMostPixels = 100000;

struct OptionSpec {
  std::string_view name;        // "--every"
  std::string_view short_name;  // "-o", or empty
  std::string_view value;       // what the value is ("STEP"); empty for a flag
  std::string_view help;        // one sentence or two, for the command's help
  bool required = false;
  bool repeats = false;
  ValueKind kind = ValueKind::kText;
};

// The options of a table, written briefly.
constexpr OptionSpec Flag(std::string_view name, std::string_view help) {
  return {name, {}, {}, help, false, false};
}
constexpr OptionSpec Needed(std::string_view name, std::string_view value, std::string_view help,
                            ValueKind kind = ValueKind::kText) {
  return {name, {}, value, help, true, false, kind};
}
constexpr OptionSpec Optional(std::string_view name, std::string_view value, std::string_view help,
                              ValueKind kind = ValueKind::kText) {
  return {name, {}, value, help, false, false, kind};
}
constexpr OptionSpec Repeated(std::string_view name, std::string_view value, std::string_view help,
                              ValueKind kind = ValueKind::kText) {
  return {name, {}, value, help, false, true, kind};
}
constexpr OptionSpec Short(OptionSpec option, std::string_view short_name) {
  option.short_name = short_name;
  return option;
}

// Options that several commands take, alike in each.
inline constexpr OptionSpec kBomOption =
    Flag("--bom",
         "start with a UTF-8 byte-order mark and end lines with CR LF, for spreadsheet "
         "programs.");
inline constexpr OptionSpec kOutputOption = Short(
    Optional("--output", "FILE", "write to FILE instead of standard output.", ValueKind::kFile),
    "-o");
inline constexpr OptionSpec kStationFormatOption =
    Optional("--station-format", "plain|k",
             "write stations plainly (1234.5, the default) or as K-stations (K1+234.500).",
             ValueKind::kStationFormat);

struct CommandSpec {
  std::string_view name;             // "stakeout"
  std::string_view operands;         // as the usage names them: "ELEMENTS [FILE]"
  std::string_view operands_wanted;  // for a wrong count: "six texts"
  std::size_t min_operands = 0;
  std::size_t max_operands = 0;
  std::span<const OptionSpec> options;
  std::string_view summary;      // a line for the program's help
  std::string_view description;  // paragraphs for the command's help
  bool options_before_operands_only = false;
};

class ParsedArgs {
 public:
  bool help = false;
  std::vector<std::string> operands;

  // The value of an option given once, or nothing.
  std::optional<std::string_view> Value(std::string_view name) const;
  // Every value of a repeated option, in the order given.
  std::vector<std::string_view> Values(std::string_view name) const;
  // Whether a flag (or any option) was given.
  bool Has(std::string_view name) const;
  // The number an option's value stands for (a station, a step, a
  // distance, decimals; for WxH the width), or nothing.
  std::optional<double> Number(std::string_view name) const;
  // The numbers of a repeated option, in the order given.
  std::vector<double> Numbers(std::string_view name) const;
  // The height of a WxH option, or nothing.
  std::optional<double> Height(std::string_view name) const;

  struct Given {
    std::string_view name;
    std::string text;
    double number = 0.0;
    double height = 0.0;
  };
  std::vector<Given> given;
};

// Reads `args` (the arguments after the command's name). Nothing, with the
// mistake in `error` ("option --every needs a value"), for a command line
// the command does not take.
std::optional<ParsedArgs> ParseArgs(const CommandSpec& command, std::span<const std::string> args,
                                    std::string& error);

// "usage: velmora-cli stakeout ELEMENTS --every STEP [--at S]...", wrapped
// to fit 79 columns; `first` says whether it starts with "usage:".
std::string UsageLines(const CommandSpec& command, bool first);

// The usage, the description and a line for each option.
std::string CommandHelp(const CommandSpec& command);

}  // namespace velmora::cli
