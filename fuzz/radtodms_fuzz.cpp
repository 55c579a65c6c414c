// Writing radians as text, for any double: NaN, infinities, subnormals and
// huge values included. No undefined behaviour; the text is empty exactly
// when the angle has no finite size in degrees, and otherwise is a
// well-formed azimuth text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "arith/angle.h"
#include "fuzz/azimuth_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double radians = 0.0;
  std::memcpy(&radians, data, size < sizeof radians ? size : sizeof radians);

  const std::string text = velmora::RadToDms(radians);
  const double degrees = (std::fabs(radians) / velmora::kPi) * velmora::kDegreesPerHalfTurn;
  const bool has_degrees = std::isfinite(degrees);
  const bool ok = has_degrees ? velmora::fuzzing::IsAzimuthText(text) : text.empty();
  if (!ok) {
    std::fprintf(stderr, "RadToDms(%.17g) = \"%s\"\n", radians, text.c_str());
    std::abort();
  }
  return 0;
}
