#include "text/numtext.h"

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

// The longest number at the start of a text, as its parts, with the digits
// of its mantissa gathered on the way so that short numbers need no second
// pass.
struct Scan {
  const char* mantissa_begin = nullptr;  // digits and "." of the mantissa;
                                         // nullptr when there is no number
  const char* mantissa_end = nullptr;
  const char* end = nullptr;  // one past the number, its exponent included
  bool negative = false;
  std::uint64_t whole = 0;   // the mantissa's digits as a whole number,
                             // exact up to nineteen digits
  std::size_t digits = 0;    // of the mantissa, leading zeros counted
  std::size_t decimals = 0;  // digits after the "."
};

// The digits from `p` on, gathered into `whole`; returns one past the last.
const char* GatherDigits(const char* p, const char* end, std::uint64_t& whole) {
  for (; p != end; ++p) {
    const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
    if (digit > 9) {
      break;
    }
    whole = whole * 10 + digit;  // may wrap past nineteen digits, and is then not used
  }
  return p;
}

// Inline: IsNumber then drops the digits it has no use for.
inline Scan ScanNumber(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end && IsBlank(*p)) {
    ++p;
  }
  Scan scan;
  if (p != end && (*p == '+' || *p == '-')) {
    scan.negative = *p == '-';
    ++p;
  }
  scan.mantissa_begin = p;
  p = GatherDigits(p, end, scan.whole);
  scan.digits = static_cast<std::size_t>(p - scan.mantissa_begin);
  if (p != end && *p == '.') {
    const char* const first_decimal = ++p;
    p = GatherDigits(p, end, scan.whole);
    scan.decimals = static_cast<std::size_t>(p - first_decimal);
    scan.digits += scan.decimals;
  }
  if (scan.digits == 0) {
    return Scan{};
  }
  scan.mantissa_end = p;
  scan.end = p;
  if (p != end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q != end && (*q == '+' || *q == '-')) {
      ++q;
    }
    const char* const exponent_digits = q;
    while (q != end && IsDigit(*q)) {
      ++q;
    }
    if (q != exponent_digits) {
      scan.end = q;
    }
  }
  return scan;
}

// Nothing but blanks after the number: the whole text is the number.
bool IsWholeText(std::string_view text, const Scan& scan) {
  if (scan.mantissa_begin == nullptr) {
    return false;
  }
  for (const char* p = scan.end; p != text.data() + text.size(); ++p) {
    if (!IsBlank(*p)) {
      return false;
    }
  }
  return true;
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

// The value of a number the exact quotient below cannot give, from the
// standard library's correctly rounded conversion.
double ConvertedValue(const Scan& scan) {
  double value = 0.0;
  const auto result =
      std::from_chars(scan.mantissa_begin, scan.end, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    const std::string_view mantissa(
        scan.mantissa_begin, static_cast<std::size_t>(scan.mantissa_end - scan.mantissa_begin));
    std::string_view exponent(scan.mantissa_end,
                              static_cast<std::size_t>(scan.end - scan.mantissa_end));
    if (!exponent.empty()) {
      exponent.remove_prefix(1);  // the "e"
    }
    value = IsTooLarge(mantissa, exponent) ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return value;
}

// The value of the number a scan found, correctly rounded.
double ValueOfScan(const Scan& scan) {
  if (scan.mantissa_begin == nullptr) {
    return 0.0;
  }
  // Up to fifteen digits and no exponent, as typed stations, radii and
  // angles are: the digits as a whole number and the power of ten are both
  // exact doubles, so their one correctly rounded quotient is the value.
  // (Below 10^15 the whole number converts as a signed one, the cheaper
  // conversion.)
  constexpr std::size_t kExactDigits = 15;
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const double value =
      scan.end == scan.mantissa_end && scan.digits <= kExactDigits
          ? static_cast<double>(static_cast<std::int64_t>(scan.whole)) / kPowersOfTen[scan.decimals]
          : ConvertedValue(scan);
  return scan.negative ? -value : value;
}

}  // namespace

// One scan answers both questions.
NumberReading ReadNumber(std::string_view text) {
  const Scan scan = ScanNumber(text);
  return {IsWholeText(text, scan), ValueOfScan(scan)};
}

bool IsNumber(std::string_view text) { return IsWholeText(text, ScanNumber(text)); }

double ValueOf(std::string_view text) { return ValueOfScan(ScanNumber(text)); }

}  // namespace velmora
