// Stations as road documents write them: plainly (1234.5) or as K-stations
// (K1+234.5: kilometre 1 plus 234.5 length units; the unit is whatever the
// file uses, K counts thousands of it).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::model {

enum class StationFormat { kPlain, kK };

// A station written plainly (any number the window's fields take) or as a
// K-station: an optional sign, "K" or "k", whole thousands, "+", and the
// rest, at least 0 and below 1000 ("K0+000", "K12+345.678", "-K0+020").
// Nothing for any other text, or a value that is not finite.
std::optional<double> ParseStation(std::string_view text);

// "plain" or "k", as --station-format takes it.
std::optional<StationFormat> ParseStationFormat(std::string_view text);

// The most decimals of a plain station written by the window's rule.
inline constexpr std::size_t kMostPlainDecimals = 12;

// Appends a station: plainly as the window's number-to-text rule writes it
// (as `table` does; rounded to kMostPlainDecimals when it would have more,
// trailing zeros dropped: 1e-300 is "0") when `decimals` is negative, plainly with that many
// decimals otherwise; as a K-station with `decimals` decimals (3 when
// negative): 1234.5 is "K1+234.500", -20 "-K0+020.000". The thousands and
// the rest come from the rounded text, so 999.9996 is "K1+000.000".
void AppendStation(std::string& out, double station, StationFormat format, int decimals = -1);

}  // namespace velmora::model
