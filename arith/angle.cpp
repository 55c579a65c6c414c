#include "arith/angle.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

namespace velmora {
namespace {

// Doubles hold most decimal fractions a hair off: 45.3 is stored just below
// 45.3, so its minutes come out as 29.99999999999972. A value this close to a
// whole number is taken as that whole number with nothing left over. The
// margin is some hundred units in the last place of the values involved
// (degrees up to a few hundred, minutes up to a hundred) and five orders of
// magnitude below the tenth of a second of arc the text shows.
constexpr double kWholeTolerance = 1e-9;

// The remainder beyond the minutes of a packed angle is its seconds over
// kPackedMinuteScale; so many of it make a degree (36).
constexpr double kRestPerDegree = kSecondsPerDegree / kPackedMinuteScale;
static_assert(kRestPerDegree == 36.0);

struct WholeAndRest {
  double whole;
  double rest;
};

// Whole part of `value` (as std::floor: toward minus infinity; as
// std::trunc: toward zero) with the remainder beyond it; a value within
// rounding error of a whole number is that number exactly, with nothing
// left over.
WholeAndRest Split(double value, bool toward_zero) {
  const double nearest = std::nearbyint(value);
  if (std::fabs(value - nearest) <= kWholeTolerance) {
    return {nearest, 0.0};
  }
  const double whole = toward_zero ? std::trunc(value) : std::floor(value);
  return {whole, value - whole};
}

WholeAndRest SplitFloor(double value) { return Split(value, false); }
WholeAndRest SplitTrunc(double value) { return Split(value, true); }

// Packs decimal degrees d >= 0 as degrees + minutes/100 + seconds/10000.
double PackDegrees(double degrees) {
  const WholeAndRest deg = SplitFloor(degrees);
  const WholeAndRest min = SplitFloor(deg.rest * kMinutesPerDegree);
  const double seconds = min.rest * kSecondsPerMinute;
  return (deg.whole + min.whole / kPackedMinuteScale) + seconds / kPackedSecondScale;
}

// Removes whole turns while the value is above one turn, keeping exactly 360.
// Taking 360 off repeatedly is exact for such values, and so is fmod, which
// gets there in one step however large the value.
double DropWholeTurns(double value) {
  if (value <= kDegreesPerTurn) {
    return value;
  }
  const double rest = std::fmod(value, kDegreesPerTurn);
  return rest == 0.0 ? kDegreesPerTurn : rest;
}

// The longest text WriteShortNumber writes: a sign, fifteen digits, a
// point and a tenth.
constexpr std::size_t kShortNumberChars = 18;

// Writes NumberToText(value) at `out` for the values most texts hold, whole
// numbers below 10^15 and whole tenths below 10^14, and returns one past its
// end; nullptr, with nothing written, for any other value.
char* WriteShortNumber(char* out, double value) {
  char* const limit = out + kShortNumberChars;
  if (!(std::fabs(value) < 1e15)) {
    return nullptr;
  }
  // Below 10^15 the conversion to a whole number (toward zero) is exact, and
  // converting back gives the value itself exactly when it is whole.
  //
  // Whole numbers below 10^15 have at most 15 digits: written as they are
  // ("0" for zero and negative zero).
  const auto whole = static_cast<long long>(value);
  if (static_cast<double>(whole) == value) {
    return std::to_chars(out, limit, whole).ptr;
  }
  // Whole tenths below 10^14, the seconds of every angle text among them:
  // the double nearest n/10 is within a fraction of a unit in its fifteenth
  // digit of n/10, so its fifteen digits are those of n/10.
  const double tenfold = value * 10.0;
  const auto signed_tenths = static_cast<long long>(tenfold);
  if (std::fabs(value) < 1e14 && static_cast<double>(signed_tenths) == tenfold &&
      tenfold / 10.0 == value) {
    const long long tenths = signed_tenths < 0 ? -signed_tenths : signed_tenths;
    if (value < 0.0) {
      *out++ = '-';
    }
    out = std::to_chars(out, limit, tenths / 10).ptr;
    *out++ = '.';
    *out++ = static_cast<char>('0' + tenths % 10);
    return out;
  }
  return nullptr;
}

}  // namespace

std::optional<double> DmsToRad(double packed, const MessageBoxFn& show_message) {
  const auto reject = [&]() -> std::optional<double> {
    show_message(kBadAnglePrompt, kNoticeTitle, kInfoBoxStyle);
    return std::nullopt;
  };

  const WholeAndRest deg = SplitTrunc(packed);
  // NaN and infinities fail this test too.
  if (!(deg.whole >= std::numeric_limits<std::int16_t>::min() &&
        deg.whole <= std::numeric_limits<std::int16_t>::max())) {
    return reject();
  }
  const auto degrees = static_cast<std::int16_t>(deg.whole);

  // Minutes in single precision, and the rest beyond them (the seconds over
  // 100) likewise: the working precision this conversion has always had.
  float minutes = 0.0F;
  float rest = 0.0F;
  if (deg.rest != 0.0) {
    const double t = (packed - degrees) * kPackedMinuteScale;
    const WholeAndRest min = SplitTrunc(t);
    minutes = static_cast<float>(min.whole);
    rest = min.rest == 0.0 ? 0.0F : static_cast<float>(t - minutes);
  }

  if (degrees > kDegreesPerTurn) {
    return reject();
  }
  const double seconds = kPackedMinuteScale * rest;
  if (!(minutes < kMinutesPerDegree && seconds < kSecondsPerMinute)) {
    return reject();
  }
  if (minutes <= -kMinutesPerDegree || seconds <= -kSecondsPerMinute) {
    return reject();
  }

  const double decimal_degrees = (minutes / kMinutesPerDegree + degrees) + rest / kRestPerDegree;
  return (decimal_degrees * kPi) / kDegreesPerHalfTurn;
}

std::string RadToDms(double radians) {
  const double size = std::fabs(radians);
  const double sign = radians > 0.0 ? 1.0 : (radians < 0.0 ? -1.0 : 0.0);
  const double degrees = (size / kPi) * kDegreesPerHalfTurn;
  if (!std::isfinite(degrees)) {
    return "";
  }

  double packed = PackDegrees(degrees) * sign;
  if (packed > kDegreesPerTurn) {
    packed = DropWholeTurns(packed);
  } else if (packed < 0.0) {
    // A negative angle is written as its complement to a full turn.
    packed = PackDegrees(kDegreesPerTurn - DropWholeTurns(degrees));
  }

  // Unpack, rounding the seconds once, then carry a rounded 60".
  const WholeAndRest deg = SplitFloor(packed);
  double whole_degrees = deg.whole;
  double whole_minutes = 0.0;
  double seconds = 0.0;
  if (deg.rest != 0.0) {
    const WholeAndRest min = SplitFloor(deg.rest * kPackedMinuteScale);
    whole_minutes = min.whole;
    if (min.rest != 0.0) {
      seconds = RoundToTenth((deg.rest - whole_minutes * kPackedMinute) * kPackedSecondScale);
    }
  }
  if (seconds >= kSecondsPerMinute) {
    seconds = 0.0;
    whole_minutes += 1.0;
  }
  if (whole_minutes >= kMinutesPerDegree) {
    whole_minutes = 0.0;
    whole_degrees += 1.0;
  }
  return NumberToText(whole_degrees) + "度" + NumberToText(whole_minutes) + "分" +
         NumberToText(seconds) + "秒";
}

double RoundToTenth(double value) { return std::nearbyint(value * 10.0) / 10.0; }

std::string NumberToText(double value) {
  char buf[64];
  if (char* const end = WriteShortNumber(buf, value)) {
    return std::string(buf, end);
  }
  if (!std::isfinite(value)) {
    return "";
  }
  // Fifteen significant digits: [-]d.dddddddddddddde±x.
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
  const bool negative = sci[0] == '-';
  const std::size_t first = negative ? 1 : 0;
  const std::size_t e = sci.find('e');
  int exponent = 0;
  std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                  exponent);
  std::string digits;
  digits.reserve(16);
  digits += sci[first];
  digits.append(sci.substr(first + 2, e - first - 2));
  while (digits.size() > 1 && digits.back() == '0') {
    digits.pop_back();
  }
  std::string text = negative ? "-" : "";
  if (exponent < 0) {
    text += "0.";
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text += digits;
  } else if (static_cast<std::size_t>(exponent) + 1 >= digits.size()) {
    text += digits;
    text.append(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
  } else {
    const auto point = static_cast<std::size_t>(exponent) + 1;
    text.append(digits, 0, point);
    text += '.';
    text.append(digits, point);
  }
  return text;
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

}  // namespace velmora
