// UTF-8 inside the program, UTF-16 at the Win32 edge: the one conversion
// pair, used by the window and by the console program.
#pragma once

#include <string>
#include <string_view>

namespace velmora::win32 {

// UTF-8 to UTF-16; a byte that is not UTF-8 becomes U+FFFD. A text of more
// than INT_MAX bytes (beyond what Windows converts in one call) gives "".
std::wstring Widen(std::string_view utf8);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD. A text of more than
// INT_MAX / 4 units gives "".
std::string Narrow(std::wstring_view utf16);

}  // namespace velmora::win32
