// Angle conversions between the packed degrees-minutes-seconds a surveyor
// types (45.3015 = 45°30'15"), radians, and the text shown for a result.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace velmora {

// The value of pi used for every degree/radian conversion. It is the
// fifteen-digit 3.14159265358979 (0x400921FB54442D11), about 3.1e-15 below
// the true pi; both directions use it, so round trips land on the degrees
// they started from.
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kDegreesPerHalfTurn = 180.0;
inline constexpr double kDegreesPerTurn = 360.0;
inline constexpr double kMinutesPerDegree = 60.0;
inline constexpr double kSecondsPerMinute = 60.0;
inline constexpr double kSecondsPerDegree = kMinutesPerDegree * kSecondsPerMinute;  // 3600
// A packed angle keeps minutes in hundredths and seconds in ten-thousandths
// of its value: 45.3015 is 45 + 30 * kPackedMinute + 15 * kPackedSecond.
// Multiplying its fraction by kPackedMinuteScale brings the minutes before
// the point, by kPackedSecondScale the seconds.
inline constexpr double kPackedMinuteScale = 100.0;
inline constexpr double kPackedSecondScale = 10000.0;
inline constexpr double kPackedMinute = 1.0 / kPackedMinuteScale;  // 0.01
inline constexpr double kPackedSecond = 1.0 / kPackedSecondScale;  // 0.0001
static_assert(kPackedMinute == 0.01 && kPackedSecond == 0.0001);
static_assert(kPackedSecondScale == kPackedMinuteScale * kPackedMinuteScale);

// The message box the caller provides: prompt, title, style (64 is an OK
// button with the information icon). It returns once the user has closed it.
using MessageBoxFn =
    std::function<void(const std::string& prompt, const std::string& title, int style)>;

inline constexpr int kInfoBoxStyle = 64;
inline constexpr const char* kNoticeTitle = "提示信息";
inline constexpr const char* kBadAnglePrompt = "角度输入有误，请重新输入。";

// Converts a packed angle to radians.
//
// The whole degrees are a 16-bit signed number (-32768..32767), the minutes
// and the remainder beyond them single-precision values, exactly as the
// conversion has always been done, so the radians are reproducible to the
// bit. A sign belongs to the whole angle: -45.3015 is -(45°30'15").
//
// Rejects, with one "角度输入有误，请重新输入。" box shown through
// `show_message`, an angle whose whole degrees are above 360 or outside the
// 16-bit range, whose minutes or seconds are 60 or more, or (for a negative
// angle) -60 or less. A rejected angle gives no value.
std::optional<double> DmsToRad(double packed, const MessageBoxFn& show_message);

// Writes an angle in radians as the text the surveyor reads:
// "<degrees>度<minutes>分<seconds>秒", seconds to one decimal
// (halves to even), e.g. "45度30分15.5秒".
//
// The angle is brought into a turn: above 360° whole turns come off, with
// 360° itself kept as "360度0分0秒"; a negative angle is written as its
// complement to 360°. Seconds that round to 60 carry into the minutes and
// the degrees. Returns an empty text for an angle with no finite value in
// degrees (NaN, an infinity, or radians so large that the degrees overflow).
std::string RadToDms(double radians);

// Writes a number in plain decimal: at most 15 significant digits, no
// exponent, no trailing zeros, "." as the decimal point, "0" for zero and
// negative zero. Not-finite values give "".
std::string NumberToText(double value);

// Rounds to one decimal: the tenfold is rounded to a whole number with
// halves going to the even one, then divided by ten.
double RoundToTenth(double value);

}  // namespace velmora
