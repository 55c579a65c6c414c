#include "cli/output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "cli/csv.h"

namespace velmora::cli {

Writer::Writer(Sink& sink, bool crlf) : sink_(sink), crlf_(crlf) { text.reserve(2 * kFlushBytes); }

bool Writer::Finish() {
  Flush();
  return ok_ && sink_.Finish();
}

void Writer::Abandon() {
  Flush();
  sink_.Abandon();
}

void Writer::Flush() {
  if (!text.empty()) {
    ok_ = sink_.Write(text) && ok_;
    text.clear();
  }
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

int Complain(System& system, std::string_view message, int status) {
  Writer err(system.Err(), false);
  err.Line(message);
  err.Finish();
  return status;
}

int Fail(System& system, std::string_view problem) {
  if (problem.starts_with(kProgram)) {
    return Complain(system, problem, kExitUsage);
  }
  return Complain(system, std::string(kProgram) + ": " + std::string(problem), kExitUsage);
}

int Finish(System& system, Writer& out, int status) {
  if (status != kExitAnswered && status != kExitRefused) {
    out.Abandon();
    return status;
  }
  if (!out.Finish()) {
    return Fail(system, "the output could not be written");
  }
  return status;
}

std::optional<Input> OpenInput(System& system, std::optional<std::string_view> name) {
  Input input;
  if (!name || *name == "-") {
    input.source = &system.In();
    input.name = "standard input";
    return input;
  }
  std::string error;
  input.name = std::string(*name);
  input.file = system.OpenInput(input.name, error);
  if (!input.file) {
    Fail(system, "cannot read \"" + Printable(*name) + "\": " + error);
    return std::nullopt;
  }
  input.source = input.file.get();
  return input;
}

std::optional<Output> OpenOutput(System& system, std::optional<std::string_view> name,
                                 std::span<const std::string_view> inputs) {
  Output output;
  if (!name || *name == "-") {
    output.sink = &system.Out();
    return output;
  }
  const std::string path(*name);
  for (const std::string_view input : inputs) {
    if (input == "-" ? system.IsStandardInput(path) : system.SameFile(std::string(input), path)) {
      Fail(system, "the output file \"" + Printable(path) + "\" is " +
                       (input == "-" ? "standard input" : "an input file") +
                       ": the run would replace the file it reads; name another with -o");
      return std::nullopt;
    }
  }
  std::string error;
  output.file = system.OpenOutput(path, error);
  if (!output.file) {
    Fail(system, "cannot write \"" + Printable(path) + "\": " + error);
    return std::nullopt;
  }
  output.sink = output.file.get();
  return output;
}

void AppendFixed(std::string& out, double value, int decimals) {
  if (!std::isfinite(value)) {
    return;
  }
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                       1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
  static constexpr std::uint64_t kWholePowers[] = {
      1,        10,        100,        1000,        10000,        100000,       1000000,
      10000000, 100000000, 1000000000, 10000000000, 100000000000, 1000000000000};
  // The common case without to_chars: the magnitude scaled by 10^decimals
  // (a power that is exact, so the product is within half a unit in its
  // last place of the true one) and rounded to a whole number. That rounds
  // as the exact decimal value does unless the fraction is within a few
  // units of one half, which is left to to_chars, ties and all.
  if (decimals >= 0 && decimals < static_cast<int>(std::size(kPowers))) {
    const double scaled = std::fabs(value) * kPowers[decimals];
    if (scaled < 0x1p52) {
      const double whole = std::floor(scaled);
      const double fraction = scaled - whole;
      if (std::fabs(fraction - 0.5) > scaled * 0x1p-50) {
        const auto n = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1U : 0U);
        const std::uint64_t power = kWholePowers[decimals];
        char buffer[48];
        char* p = buffer;
        if (value < 0.0 && n != 0) {
          *p++ = '-';
        }
        p = std::to_chars(p, buffer + sizeof buffer, n / power).ptr;
        if (decimals > 0) {
          *p++ = '.';
          std::uint64_t rest = n % power;
          for (int i = decimals - 1; i >= 0; --i) {
            p[i] = static_cast<char>('0' + rest % 10);
            rest /= 10;
          }
          p += decimals;
        }
        out.append(buffer, p);
        return;
      }
    }
  }
  char buffer[400];
  const auto [last, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) {
    return;
  }
  const char* begin = buffer;
  const char* const end = last;
  if (*begin == '-' && std::fabs(value) < 1.0 &&
      std::all_of(begin + 1, end, [](char c) { return c == '0' || c == '.'; })) {
    ++begin;  // -0.00001 rounds to 0.0000, not to "-0.0000"
  }
  out.append(begin, end);
}

}  // namespace velmora::cli
