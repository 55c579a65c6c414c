#include "model/stations.h"

#include <charconv>
#include <cmath>

#include "arith/angle.h"
#include "text/numtext.h"
#include "text/text.h"

namespace velmora::model {
namespace {

constexpr double kThousand = 1000.0;

bool AllDigits(std::string_view text) {
  if (text.empty()) {
    return false;
  }
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<double> ParseStation(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  std::string_view body = text;
  const bool negative = body.starts_with('-');
  if (negative || body.starts_with('+')) {
    body.remove_prefix(1);
  }
  if (!body.empty() && (body.front() == 'K' || body.front() == 'k')) {
    body.remove_prefix(1);
    const std::size_t plus = body.find('+');
    if (plus == std::string_view::npos) {
      return std::nullopt;
    }
    const std::string_view thousands = body.substr(0, plus);
    const std::string_view rest = body.substr(plus + 1);
    // The rest is plain digits with at most one point: no sign, no exponent.
    const std::size_t point = rest.find('.');
    const std::string_view whole = rest.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : rest.substr(point + 1);
    if (!AllDigits(thousands) || !AllDigits(whole) ||
        (point != std::string_view::npos && !fraction.empty() && !AllDigits(fraction))) {
      return std::nullopt;
    }
    const double k = ValueOf(thousands);
    const double metres = ValueOf(rest);
    if (!(metres < kThousand) || !std::isfinite(k * kThousand + metres)) {
      return std::nullopt;
    }
    const double value = k * kThousand + metres;
    return negative ? -value : value;
  }
  const NumberReading reading = ReadNumber(text);
  if (!reading.is_number || !std::isfinite(reading.value)) {
    return std::nullopt;
  }
  return reading.value;
}

std::optional<StationFormat> ParseStationFormat(std::string_view text) {
  if (text == "plain") {
    return StationFormat::kPlain;
  }
  if (text == "k" || text == "K") {
    return StationFormat::kK;
  }
  return std::nullopt;
}

void AppendStation(std::string& out, double station, StationFormat format, int decimals) {
  if (format == StationFormat::kPlain) {
    if (decimals < 0) {
      // The window's rule, which writes 1e-300 with three hundred
      // decimals: never more than kMostPlainDecimals of them.
      const std::string text = NumberToText(station);
      const std::size_t point = text.find('.');
      if (point == std::string::npos || text.size() - point - 1 <= kMostPlainDecimals) {
        out += text;
        return;
      }
      std::string fixed;
      text::AppendFixed(fixed, station, static_cast<int>(kMostPlainDecimals));
      while (fixed.back() == '0') {
        fixed.pop_back();
      }
      if (fixed.back() == '.') {
        fixed.pop_back();
      }
      out += fixed == "-0" ? "0" : fixed;
    } else {
      text::AppendFixed(out, station, decimals);
    }
    return;
  }
  if (!std::isfinite(station)) {
    return;
  }
  std::string text;
  text::AppendFixed(text, std::fabs(station), decimals < 0 ? 3 : decimals);
  const std::size_t point = std::min(text.find('.'), text.size());
  const std::string_view whole = std::string_view(text).substr(0, point);
  const bool zero = text.find_first_not_of("0.") == std::string::npos;
  if (station < 0.0 && !zero) {
    out += '-';
  }
  out += 'K';
  if (whole.size() > 3) {
    out.append(whole.substr(0, whole.size() - 3));
  } else {
    out += '0';
  }
  out += '+';
  out.append(3 - std::min<std::size_t>(whole.size(), 3), '0');
  out.append(whole.substr(whole.size() - std::min<std::size_t>(whole.size(), 3)));
  out.append(std::string_view(text).substr(point));
}

}  // namespace velmora::model
