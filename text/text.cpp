#include "text/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace velmora::text {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0U) == 0x80U; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* const end = p + bytes.size();
  while (p != end) {
    // Plain ASCII eight bytes at a time.
    if (end - p >= 8) {
      std::uint64_t eight = 0;
      std::memcpy(&eight, p, sizeof eight);
      if ((eight & 0x8080808080808080ULL) == 0) {
        p += 8;
        continue;
      }
    }
    const unsigned char lead = *p;
    if (lead < 0x80U) {
      ++p;
      continue;
    }
    std::size_t length = 0;
    unsigned char low = 0x80U;  // range of the second byte
    unsigned char high = 0xBFU;
    if (lead >= 0xC2U && lead <= 0xDFU) {
      length = 2;
    } else if (lead >= 0xE0U && lead <= 0xEFU) {
      length = 3;
      low = lead == 0xE0U ? 0xA0U : 0x80U;   // no overlong forms
      high = lead == 0xEDU ? 0x9FU : 0xBFU;  // no surrogates
    } else if (lead >= 0xF0U && lead <= 0xF4U) {
      length = 4;
      low = lead == 0xF0U ? 0x90U : 0x80U;
      high = lead == 0xF4U ? 0x8FU : 0xBFU;  // nothing above U+10FFFF
    } else {
      return false;
    }
    if (static_cast<std::size_t>(end - p) < length || p[1] < low || p[1] > high) {
      return false;
    }
    for (std::size_t i = 2; i < length; ++i) {
      if (!IsContinuation(p[i])) {
        return false;
      }
    }
    p += length;
  }
  return true;
}

std::size_t Utf8Length(std::string_view bytes) {
  if (bytes.empty()) {
    return 0;
  }
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const std::size_t length = lead < 0x80U ? 1 : lead >= 0xF0U ? 4 : lead >= 0xE0U ? 3 : 2;
  return length <= bytes.size() && IsValidUtf8(bytes.substr(0, length)) ? length : 0;
}

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

void AppendFixed(std::string& out, double value, int decimals) {
  if (!std::isfinite(value)) {
    return;
  }
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                       1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
  static constexpr std::uint64_t kWholePowers[] = {
      1,        10,        100,        1000,        10000,        100000,       1000000,
      10000000, 100000000, 1000000000, 10000000000, 100000000000, 1000000000000};
  // The common case without to_chars: the magnitude scaled by 10^decimals
  // (a power that is exact, so the product is within half a unit in its
  // last place of the true one) and rounded to a whole number. That rounds
  // as the exact decimal value does unless the fraction is within a few
  // units of one half, which is left to to_chars, ties and all.
  if (decimals >= 0 && decimals < static_cast<int>(std::size(kPowers))) {
    const double scaled = std::fabs(value) * kPowers[decimals];
    if (scaled < 0x1p52) {
      const double whole = std::floor(scaled);
      const double fraction = scaled - whole;
      if (std::fabs(fraction - 0.5) > scaled * 0x1p-50) {
        const auto n = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1U : 0U);
        const std::uint64_t power = kWholePowers[decimals];
        char buffer[48];
        char* p = buffer;
        if (value < 0.0 && n != 0) {
          *p++ = '-';
        }
        p = std::to_chars(p, buffer + sizeof buffer, n / power).ptr;
        if (decimals > 0) {
          *p++ = '.';
          std::uint64_t rest = n % power;
          for (int i = decimals - 1; i >= 0; --i) {
            p[i] = static_cast<char>('0' + rest % 10);
            rest /= 10;
          }
          p += decimals;
        }
        out.append(buffer, p);
        return;
      }
    }
  }
  char buffer[400];
  const auto [last, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) {
    return;
  }
  const char* begin = buffer;
  const char* const end = last;
  if (*begin == '-' && std::fabs(value) < 1.0 &&
      std::all_of(begin + 1, end, [](char c) { return c == '0' || c == '.'; })) {
    ++begin;  // -0.00001 rounds to 0.0000, not to "-0.0000"
  }
  out.append(begin, end);
}

void AppendXmlText(std::string& out, std::string_view text) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80U) {
      const std::size_t length = Utf8Length(text.substr(i));
      if (length == 0) {
        out += kReplacement;
        ++i;
      } else {
        out.append(text, i, length);
        i += length;
      }
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        // Other control characters have no place in XML 1.0.
        if (static_cast<unsigned char>(c) < 0x20U) {
          out += kReplacement;
        } else {
          out += c;
        }
    }
    ++i;
  }
}

// Appended in place: g++ 12's Release build warns falsely (-Wrestrict) of
// the insertion that "\"" + string makes.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  quoted += Printable(text);
  quoted += '"';
  return quoted;
}

std::string Printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t length = byte < 0x80U ? 1 : Utf8Length(text.substr(i));  // 0: not UTF-8
    if (length > 1) {
      out.append(text, i, length);
      i += length;
      continue;
    }
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += static_cast<char>(byte);
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte < 0x20U || byte >= 0x7FU) {
      out += "\\x";
      out += kHex[byte >> 4U];
      out += kHex[byte & 0xFU];
    } else {
      out += static_cast<char>(byte);
    }
    ++i;
  }
  return out;
}

}  // namespace velmora::text
