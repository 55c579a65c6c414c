#include "platform/numtext.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

namespace velmora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The longest number at the start of a text, as its parts.
struct Scan {
  std::size_t end = 0;  // one past the number's last character, 0 if none
  bool negative = false;
  std::size_t mantissa_begin = 0;  // digits and "." of the mantissa
  std::size_t mantissa_end = 0;
  std::size_t exponent_end = 0;  // mantissa_end when there is no exponent
};

Scan ScanNumber(std::string_view text) {
  Scan scan;
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    scan.negative = text[i] == '-';
    ++i;
  }
  scan.mantissa_begin = i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) {
    ++i;
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
      ++digits;
    }
  }
  if (digits == 0) {
    return Scan{};
  }
  scan.mantissa_end = i;
  scan.exponent_end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      ++j;
    }
    const std::size_t exponent_digits = j;
    while (j < text.size() && IsDigit(text[j])) {
      ++j;
    }
    if (j > exponent_digits) {
      scan.exponent_end = j;
    }
  }
  scan.end = scan.exponent_end;
  return scan;
}

// Whether a number that from_chars found out of range is too large (rather
// than too small): the decimal position of its first significant digit plus
// its exponent is above zero.
bool IsTooLarge(std::string_view mantissa, std::string_view exponent) {
  long long position = 0;  // digits before the point, from the first non-zero digit
  bool seen_significant = false;
  bool after_point = false;
  for (char c : mantissa) {
    if (c == '.') {
      after_point = true;
    } else if (!seen_significant && c == '0') {
      if (after_point) {
        --position;
      }
    } else {
      seen_significant = true;
      if (!after_point) {
        ++position;
      }
    }
  }
  bool exponent_negative = false;
  long long value = 0;
  constexpr long long kCap = 1'000'000'000'000LL;  // far past any double
  for (char c : exponent) {
    if (c == '-') {
      exponent_negative = true;
    } else if (IsDigit(c) && value < kCap) {
      value = value * 10 + (c - '0');
    }
  }
  return position + (exponent_negative ? -value : value) > 0;
}

}  // namespace

bool IsNumber(std::string_view text) {
  const Scan scan = ScanNumber(text);
  if (scan.end == 0) {
    return false;
  }
  for (std::size_t i = scan.end; i < text.size(); ++i) {
    if (!IsBlank(text[i])) {
      return false;
    }
  }
  return true;
}

double ValueOf(std::string_view text) {
  const Scan scan = ScanNumber(text);
  if (scan.end == 0) {
    return 0.0;
  }
  const std::string_view number =
      text.substr(scan.mantissa_begin, scan.exponent_end - scan.mantissa_begin);
  // Up to fifteen digits and no exponent, as typed stations, radii and
  // angles are: the digits as a whole number and the power of ten are both
  // exact doubles, so their one correctly rounded quotient is the value.
  constexpr std::size_t kExactDigits = 15;
  constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (scan.mantissa_end == scan.exponent_end && number.size() <= kExactDigits + 1) {
    std::uint64_t whole = 0;
    std::size_t digits = 0;
    std::size_t decimals = 0;
    bool after_point = false;
    for (const char c : number) {
      if (c == '.') {
        after_point = true;
      } else {
        whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
        ++digits;
        decimals += after_point ? 1 : 0;
      }
    }
    if (digits <= kExactDigits) {
      const double value = static_cast<double>(whole) / kPowersOfTen[decimals];
      return scan.negative ? -value : value;
    }
  }
  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                      std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    const std::string_view mantissa =
        text.substr(scan.mantissa_begin, scan.mantissa_end - scan.mantissa_begin);
    const std::string_view exponent =
        text.substr(scan.mantissa_end, scan.exponent_end - scan.mantissa_end);
    value = IsTooLarge(mantissa, exponent.empty() ? exponent : exponent.substr(1))
                ? std::numeric_limits<double>::infinity()
                : 0.0;
  }
  return scan.negative ? -value : value;
}

}  // namespace velmora
