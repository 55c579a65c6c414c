#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "cli/output.h"
#include "model/stations.h"
#include "text/numtext.h"

namespace velmora::cli {
namespace {

constexpr std::size_t kColumns = 79;

bool IsNegativeNumber(std::string_view arg) {
  return arg.size() > 1 && arg[0] == '-' && ((arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.');
}

const OptionSpec* Find(const CommandSpec& command, std::string_view name) {
  for (const OptionSpec& option : command.options) {
    if (option.name == name || (!option.short_name.empty() && option.short_name == name)) {
      return &option;
    }
  }
  return nullptr;
}

// Words joined into lines of at most kColumns, later lines indented.
// The first word goes at `column`, where the line so far ends.
void Wrap(std::string& out, std::span<const std::string> words, std::size_t indent,
          std::size_t column = 0) {
  bool line_start = true;
  for (const std::string& word : words) {
    if (!line_start && column + 1 + word.size() > kColumns) {
      out += '\n';
      out.append(indent, ' ');
      column = indent;
    } else if (!line_start) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    line_start = false;
  }
  out += '\n';
}

std::optional<double> FiniteNumber(std::string_view text) {
  const NumberReading read = ReadNumber(text);
  if (!read.is_number || !std::isfinite(read.value)) {
    return std::nullopt;
  }
  return read.value;
}

// Reads the value of `option` into `given`; what the value should have been
// ("a step above 0") when it is not of the option's kind.
std::optional<std::string> ReadValue(const OptionSpec& option, ParsedArgs::Given& given) {
  const std::string_view text = given.text;
  switch (option.kind) {
    case ValueKind::kText:
      return std::nullopt;
    case ValueKind::kFile:
      if (text.empty()) {
        return "a file's name";
      }
      return std::nullopt;
    case ValueKind::kStation:
      if (const std::optional<double> station = model::ParseStation(text)) {
        given.number = *station;
        return std::nullopt;
      }
      return "a station (1234.5 or K1+234.5)";
    case ValueKind::kStep:
    case ValueKind::kDistance:
    case ValueKind::kLength:
      if (const std::optional<double> value = FiniteNumber(text);
          value && (option.kind == ValueKind::kLength ||
                    (option.kind == ValueKind::kStep ? *value > 0.0 : *value >= 0.0))) {
        given.number = *value;
        return std::nullopt;
      }
      return option.kind == ValueKind::kStep       ? "a step above 0"
             : option.kind == ValueKind::kDistance ? "a distance of 0 or more"
                                                   : "a distance";
    case ValueKind::kStationFormat:
      if (model::ParseStationFormat(text)) {
        return std::nullopt;
      }
      return "plain or k";
    case ValueKind::kDecimals: {
      int decimals = -1;
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), decimals);
      if (ec == std::errc() && end == text.data() + text.size() && decimals >= 0 &&
          decimals <= kMostDecimals) {
        given.number = decimals;
        return std::nullopt;
      }
      return "a whole number from 0 to " + std::to_string(kMostDecimals);
    }
    case ValueKind::kPixels: {
      const std::size_t x = text.find_first_of("xX");
      const std::optional<double> width = FiniteNumber(text.substr(0, x));
      const std::optional<double> height =
          x == std::string_view::npos ? std::nullopt : FiniteNumber(text.substr(x + 1));
      const auto fits = [](double pixels) {
        return pixels >= kFewestPixels && pixels <= kMostPixels;
      };
      if (width && height && fits(*width) && fits(*height)) {
        given.number = *width;
        given.height = *height;
        return std::nullopt;
      }
      return "a width and height from 200 to 100000 pixels, as 1600x1000";
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> ParsedArgs::Number(std::string_view name) const {
  for (const Given& option : given) {
    if (option.name == name) {
      return option.number;
    }
  }
  return std::nullopt;
}

std::vector<double> ParsedArgs::Numbers(std::string_view name) const {
  std::vector<double> numbers;
  for (const Given& option : given) {
    if (option.name == name) {
      numbers.push_back(option.number);
    }
  }
  return numbers;
}

std::optional<double> ParsedArgs::Height(std::string_view name) const {
  for (const Given& option : given) {
    if (option.name == name) {
      return option.height;
    }
  }
  return std::nullopt;
}

std::optional<std::string_view> ParsedArgs::Value(std::string_view name) const {
  for (const Given& option : given) {
    if (option.name == name) {
      return option.text;
    }
  }
  return std::nullopt;
}

std::vector<std::string_view> ParsedArgs::Values(std::string_view name) const {
  std::vector<std::string_view> values;
  for (const Given& option : given) {
    if (option.name == name) {
      values.push_back(option.text);
    }
  }
  return values;
}

bool ParsedArgs::Has(std::string_view name) const { return Value(name).has_value(); }

std::optional<ParsedArgs> ParseArgs(const CommandSpec& command, std::span<const std::string> args,
                                    std::string& error) {
  ParsedArgs parsed;
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (command.options_before_operands_only && !parsed.operands.empty()) {
      options_end = true;
    }
    const bool option_like = !options_end && arg.size() > 1 && arg[0] == '-' &&
                             !(IsNegativeNumber(arg) && Find(command, arg) == nullptr);
    if (!option_like) {
      parsed.operands.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
      continue;
    }
    std::string_view name = arg;
    std::optional<std::string_view> value;
    if (const std::size_t equals = arg.find('=');
        arg.starts_with("--") && equals != std::string_view::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    const OptionSpec* option = Find(command, name);
    if (option == nullptr) {
      if (command.options_before_operands_only) {
        // A text such as "-" or "--5" that names no option is the first
        // operand.
        parsed.operands.emplace_back(arg);
        continue;
      }
      error = "unknown option '" + Printable(name) + "' for " + std::string(command.name);
      return std::nullopt;
    }
    if (option->value.empty()) {
      if (value) {
        error = "option " + std::string(option->name) + " takes no value";
        return std::nullopt;
      }
    } else if (!value) {
      if (i + 1 == args.size()) {
        error = "option " + std::string(option->name) + " needs a value (" +
                std::string(option->value) + ")";
        return std::nullopt;
      }
      value = args[++i];
    }
    if (!option->repeats && parsed.Has(option->name)) {
      error = "option " + std::string(option->name) + " given twice";
      return std::nullopt;
    }
    ParsedArgs::Given given{option->name, std::string(value.value_or(""))};
    if (const std::optional<std::string> wanted = ReadValue(*option, given)) {
      error = std::string(option->name) + " takes " + *wanted + ", not \"" + Printable(given.text) +
              "\"";
      return std::nullopt;
    }
    parsed.given.push_back(std::move(given));
  }
  if (parsed.help) {
    return parsed;
  }
  for (const OptionSpec& option : command.options) {
    if (option.required && !parsed.Has(option.name)) {
      error = std::string(command.name) + " needs " + std::string(option.name);
      return std::nullopt;
    }
  }
  const std::size_t n = parsed.operands.size();
  if (n < command.min_operands || n > command.max_operands) {
    error = std::string(command.name) + " takes " + std::string(command.operands_wanted) + ", " +
            std::to_string(n) + " given";
    return std::nullopt;
  }
  return parsed;
}

std::string UsageLines(const CommandSpec& command, bool first) {
  std::vector<std::string> words = {first ? "usage: velmora-cli" : "       velmora-cli",
                                    std::string(command.name)};
  if (command.options_before_operands_only) {
    words.emplace_back("[--]");
  }
  if (!command.operands.empty()) {
    words.emplace_back(command.operands);
  }
  for (const OptionSpec& option : command.options) {
    std::string word(option.short_name.empty() ? option.name : option.short_name);
    if (!option.value.empty()) {
      word += ' ';
      word += option.value;
    }
    if (!option.required) {
      word = "[" + word + "]";
    }
    if (option.repeats) {
      word += "...";
    }
    words.push_back(word);
  }
  std::string out;
  Wrap(out, words, 20 + command.name.size());
  return out;
}

std::string CommandHelp(const CommandSpec& command) {
  std::string out = UsageLines(command, true);
  out += '\n';
  out += command.description;
  if (!command.options.empty()) {
    out += "\nOptions:\n";
  }
  for (const OptionSpec& option : command.options) {
    std::string name = "  ";
    if (!option.short_name.empty()) {
      name += option.short_name;
      name += ", ";
    }
    name += option.name;
    if (!option.value.empty()) {
      name += ' ';
      name += option.value;
    }
    out += name;
    std::vector<std::string> words;
    for (std::size_t at = 0; at < option.help.size();) {
      const std::size_t space = std::min(option.help.find(' ', at), option.help.size());
      words.emplace_back(option.help.substr(at, space - at));
      at = space + 1;
    }
    constexpr std::size_t kHelpColumn = 24;
    if (name.size() + 2 > kHelpColumn) {
      out += '\n';
      out.append(kHelpColumn, ' ');
    } else {
      out.append(kHelpColumn - name.size(), ' ');
    }
    Wrap(out, words, kHelpColumn, kHelpColumn);
  }
  return out;
}

}  // namespace velmora::cli
