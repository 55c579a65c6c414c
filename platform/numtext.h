// Reading numbers from the text of a field, the same whatever the regional
// settings: "." is always the decimal point.
//
// A number is: optional blanks, an optional "+" or "-", digits with at most
// one "." and at least one digit ("5", "5.", ".5"), an optional exponent
// ("e" or "E", an optional sign, at least one digit), optional blanks.
// Nothing else: no group separators, no currency, no hexadecimal.
#pragma once

#include <string_view>

namespace velmora {

// True when the whole text is a number.
bool IsNumber(std::string_view text);

// The value of the longest number at the start of the text, correctly
// rounded; 0 when the text starts with no number ("12abc" is 12, "1e" is 1,
// "-" is 0). A number beyond the double range is +-infinity, one too small
// for it +-0.
double ValueOf(std::string_view text);

// A text read once for both answers: IsNumber(text) and ValueOf(text).
struct NumberReading {
  bool is_number;
  double value;
};
NumberReading ReadNumber(std::string_view text);

}  // namespace velmora
