// Any text: reading it never fails, and a text that is a number reads as the
// C library's correctly rounded value of it.
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/numtext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const bool number = velmora::IsNumber(text);
  const double value = velmora::ValueOf(text);
  if (std::isnan(value)) {
    std::abort();
  }
  if (number) {
    // strtod reads the same grammar once blanks and a leading "+" are gone.
    std::string bare = text;
    bare.erase(0, bare.find_first_not_of(" \t"));
    bare.erase(bare.find_last_not_of(" \t") + 1);
    const bool negative = bare[0] == '-';
    if (bare[0] == '+' || bare[0] == '-') {
      bare.erase(0, 1);
    }
    if (std::memchr(bare.data(), '\0', bare.size()) != nullptr) {
      std::abort();  // a NUL is no part of a number
    }
    double expected = std::strtod(bare.c_str(), nullptr);
    if (negative) {
      expected = -expected;
    }
    if (std::memcmp(&expected, &value, sizeof value) != 0) {
      std::abort();
    }
  }
  return 0;
}
