// Any double, NaN and infinities included: no undefined behaviour, and the
// text is "" (no finite degrees) or a well-formed azimuth within a turn.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

#include "arith/angle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(double)) {
    return 0;
  }
  double radians = 0;
  std::memcpy(&radians, data, sizeof radians);
  const std::string text = velmora::RadToDms(radians);
  static const std::regex pattern("(0|[1-9][0-9]*)度([0-9]|[1-5][0-9])分([0-9]|[1-5][0-9])(\\.[0-9])?秒");
  std::smatch m;
  const bool finite_degrees = std::isfinite(radians / velmora::kPi * 180.0);
  if (text.empty() ? finite_degrees
                   : !(std::regex_match(text, m, pattern) && std::stoi(m[1].str()) <= 360)) {
    std::abort();
  }
  return 0;
}
