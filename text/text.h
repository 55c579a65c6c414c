// Text as every front end reads and writes it: UTF-8 checks, blanks trimmed,
// keywords compared without regard to case, numbers in fixed decimals.
#pragma once

#include <string>
#include <string_view>

namespace velmora::text {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// True when the bytes are well-formed UTF-8: no stray continuation bytes, no
// overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The length of the well-formed UTF-8 character at the start of `bytes`; 0
// when it does not start with one (or is empty).
std::size_t Utf8Length(std::string_view bytes);

// The text without the blanks around it: spaces, tabs, CR and LF.
std::string_view Trim(std::string_view text);

// Whether two texts are the same with ASCII letters compared regardless of
// case ("Equation" is "equation"; other bytes must be equal).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// A text as it can be quoted on one line of a message: control characters
// (DEL too), '"', '\\' and bytes that are not UTF-8 are written as escapes.
std::string Printable(std::string_view text);

// The text as Printable gives it, in double quotes: how a message quotes a
// field it refuses ("x \"12a\" is not a number").
std::string Quoted(std::string_view text);

// Appends `value` with exactly `decimals` decimals ("-0.5000"); a value
// that is not finite appends nothing.
void AppendFixed(std::string& out, double value, int decimals);

// Appends `text` as XML 1.0 character data or attribute value: the five
// markup characters as entities, tab, line feed and carriage return as
// character references (so that attribute values keep them), and every
// byte that XML cannot hold (other control characters, bytes that are not
// UTF-8) as U+FFFD. Any byte string gives a well-formed result.
void AppendXmlText(std::string& out, std::string_view text);

}  // namespace velmora::text
