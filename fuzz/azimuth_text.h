// The shape of a result text, checked strictly: "<d>度<m>分<s>秒" with whole
// degrees 0..360, whole minutes 0..59 and seconds 0..59.9 with at most one
// decimal, each written plainly (no sign, no leading zeros, no trailing
// zeros). 360 degrees is only ever the full turn "360度0分0秒".
#pragma once

#include <cstddef>
#include <string_view>

namespace velmora::fuzzing {

namespace detail {

// Reads a plain whole number ("0" or digits without a leading zero) at the
// front of `text`; gives its value and moves `text` past it.
inline bool ReadWhole(std::string_view& text, int& value) {
  std::size_t i = 0;
  value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (i == 4) {
      return false;  // far more digits than any part can have
    }
    value = value * 10 + (text[i] - '0');
    ++i;
  }
  if (i == 0 || (i > 1 && text[0] == '0')) {
    return false;
  }
  text.remove_prefix(i);
  return true;
}

inline bool Eat(std::string_view& text, std::string_view unit) {
  if (text.substr(0, unit.size()) != unit) {
    return false;
  }
  text.remove_prefix(unit.size());
  return true;
}

}  // namespace detail

inline bool IsAzimuthText(std::string_view text) {
  int degrees = 0;
  int minutes = 0;
  int seconds = 0;
  int tenths = 0;
  if (!detail::ReadWhole(text, degrees) || !detail::Eat(text, "度") ||
      !detail::ReadWhole(text, minutes) || !detail::Eat(text, "分") ||
      !detail::ReadWhole(text, seconds)) {
    return false;
  }
  if (!text.empty() && text[0] == '.') {
    // One decimal, never a trailing zero.
    if (text.size() < 2 || text[1] < '1' || text[1] > '9') {
      return false;
    }
    tenths = text[1] - '0';
    text.remove_prefix(2);
  }
  if (!detail::Eat(text, "秒") || !text.empty()) {
    return false;
  }
  if (degrees > 360 || minutes > 59 || seconds > 59) {
    return false;
  }
  return degrees < 360 || (minutes == 0 && seconds == 0 && tenths == 0);
}

}  // namespace velmora::fuzzing
