// Angle conversions between the packed degrees-minutes-seconds a surveyor
// types (45.3015 = 45°30'15"), radians, and the text shown for a result.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

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
// In: `packed`, degrees with the minutes in its first two decimals and the
// seconds (with any fraction) in the rest: 45.3015 is 45°30'15",
// 45.30155 is 45°30'15.5", 7.0505 is 7°05'05". A sign belongs to the whole
// angle: -45.3015 is -(45°30'15"), not -45° + 30'15". Azimuths are
// clockwise from north.
//
// Out: the angle in radians, (degrees + minutes/60 + seconds/3600) * kPi /
// 180, with the sign of `packed`; not reduced into a turn, so -45.3015
// gives a negative value and 360 gives 2 * kPi. The whole degrees are a
// 16-bit signed number, the minutes and the remainder beyond them
// single-precision values, exactly as the conversion has always been done,
// so the radians are reproducible to the bit (and may differ from the
// exact value in about the seventh significant digit).
//
// No value (std::nullopt), after one "角度输入有误，请重新输入。" box shown
// through `show_message` (title kNoticeTitle, style kInfoBoxStyle), for an
// angle whose whole degrees are above 360 or outside -32768..32767 (NaN and
// the infinities included), whose minutes or seconds are 60 or more, or
// (for a negative angle) -60 or less: 30.75 (75 minutes), 10.3060 (60
// seconds), -10.6 and 361 have no value. Only the whole degrees are held
// to 360, so 360.5 (360°50') passes here; the Calculate command refuses
// any packed angle above 360 before it calls this. `show_message` is
// called only on refusal.
std::optional<double> DmsToRad(double packed, const MessageBoxFn& show_message);

// Writes an angle in radians as the text the surveyor reads:
// "<degrees>度<minutes>分<seconds>秒", e.g. "45度30分15.5秒".
//
// In: any double, radians, clockwise from north.
//
// Out: whole degrees 0..360, whole minutes 0..59 and seconds 0..59.9 to one
// decimal (halves to even; "15.5", "48" with no trailing ".0"); no leading
// zeros, no sign. The angle is brought into a turn first: above 360° whole
// turns come off, 360° itself is kept as "360度0分0秒"; a negative angle is
// written as its complement to 360° (-1° is "359度0分0秒"). Seconds that
// round to 60 carry into the minutes, and 60 minutes into the degrees.
//
// No value (an empty text) for an angle with no finite value in degrees:
// NaN, an infinity, or radians so large that the degrees overflow.
std::string RadToDms(double radians);

// The packed angle (degrees.MMSSs, as typed into Textca) of an azimuth
// text the window shows: "3度34分51.6秒" -> "3.34516", "45度30分0秒" -> "45.3".
std::optional<std::string> PackedFromDisplay(std::string_view display);

// Writes a number in plain decimal: at most 15 significant digits, no
// exponent, no trailing zeros, "." as the decimal point whatever the
// locale, "-" for a negative number, "0" for zero and negative zero
// (1e20 is "100000000000000000000", 0.1 + 0.2 is "0.3"). No value (an
// empty text) for NaN and the infinities.
std::string NumberToText(double value);

// Rounds to one decimal: the tenfold (itself rounded to a double) is
// rounded to a whole number with halves going to the even one, then divided
// by ten: 0.25 gives 0.2, 0.35 gives 0.4 (3.5 tenths), -0.25 gives -0.2.
// NaN and the infinities are returned as they are.
double RoundToTenth(double value);

}  // namespace velmora
