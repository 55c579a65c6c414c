// Reading numbers from the text of a field, the same whatever the regional
// settings: "." is always the decimal point.
//
// A number is: optional blanks (spaces and tabs), an optional "+" or "-",
// digits with at most one "." and at least one digit ("5", "5.", ".5"), an
// optional exponent ("e" or "E", an optional sign, at least one digit),
// optional blanks. Nothing else: no group separators ("1,5"), no currency,
// no hexadecimal ("0x10"), no "inf" or "nan", no blank between the sign and
// the digits. Texts are UTF-8; any byte outside this grammar ends the
// number.
#pragma once

#include <string_view>

namespace velmora {

// True when the whole text is a number: " 12 ", "+5", "1e999" are; "",
// "-", "1e", "12abc" are not.
bool IsNumber(std::string_view text);

// The value of the longest number at the start of the text, correctly
// rounded to the nearest double (halves to even); 0 when the text starts
// with no number ("12abc" is 12, "1e" is 1, "1,5" is 1, "-" and "" are 0).
// Never NaN. A number beyond the double range is +-infinity ("1e999"), one
// too small for it +-0 ("4e-400"); the sign of a zero is kept ("-0" is
// -0).
double ValueOf(std::string_view text);

// A text read once for both answers: IsNumber(text) and ValueOf(text).
struct NumberReading {
  bool is_number;
  double value;
};
NumberReading ReadNumber(std::string_view text);

}  // namespace velmora
