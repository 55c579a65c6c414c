// Reading numbers from field text. Any text: no crash. A text that is a
// number has the value of a correctly rounded parse (the C library's strtod
// in the "C" locale, after blanks and a leading "+" are taken off; out of
// range it gives +-HUGE_VAL or +-0, the +-infinity and +-0 the program
// gives). Any text has the value of its longest number prefix, or +0.
// ReadNumber answers as IsNumber and ValueOf do.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "text/numtext.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::uint64_t Bits(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

[[noreturn]] void Fail(std::string_view what, std::string_view text, double got, double want) {
  std::fprintf(stderr, "%.*s\ntext: \"%.*s\"\ngot  %.17g (%016llx)\nwant %.17g (%016llx)\n",
               static_cast<int>(what.size()), what.data(), static_cast<int>(text.size()),
               text.data(), got, static_cast<unsigned long long>(Bits(got)), want,
               static_cast<unsigned long long>(Bits(want)));
  std::abort();
}

// strtod's value of a text IsNumber accepted.
double ReferenceValue(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
  }
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) {
    Fail("IsNumber accepts a text strtod does not read whole", copy, 0.0, value);
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const bool number = velmora::IsNumber(text);
  const double value = velmora::ValueOf(text);
  const velmora::NumberReading reading = velmora::ReadNumber(text);
  if (reading.is_number != number || Bits(reading.value) != Bits(value)) {
    Fail("ReadNumber differs from IsNumber and ValueOf", text, reading.value, value);
  }

  if (number) {
    const double want = ReferenceValue(text);
    if (Bits(value) != Bits(want)) {
      Fail("ValueOf of a number differs from strtod", text, value, want);
    }
    return 0;
  }
  // No NUL can be in a number, so strtod is not asked about texts with one;
  // the prefix rule holds for them all the same.
  std::size_t prefix = size;
  while (prefix > 0 && !velmora::IsNumber(text.substr(0, prefix))) {
    --prefix;
  }
  const double want = prefix == 0 ? 0.0 : velmora::ValueOf(text.substr(0, prefix));
  if (Bits(value) != Bits(want)) {
    Fail("ValueOf differs from the value of the longest number prefix", text, value, want);
  }
  return 0;
}
