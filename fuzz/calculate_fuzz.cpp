// Six arbitrary field texts through the whole Calculate command: at most one
// message, and the result field empty or a well-formed azimuth.
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

#include "tests/support/memory_form.h"
#include "window/calculate.h"
#include "window/rules.h"

namespace {

bool WellFormedAzimuth(const std::string& text) {
  static const std::regex pattern("(0|[1-9][0-9]*)度([0-9]|[1-5][0-9])分([0-9]|[1-5][0-9])(\\.[0-9])?秒");
  std::smatch m;
  return std::regex_match(text, m, pattern) && std::stoi(m[1].str()) <= 360;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using velmora::testing::MemoryForm;
  MemoryForm form;
  form.on_change = [](MemoryForm& f, velmora::Field field) {
    if (field != velmora::Field::Textcia) {
      velmora::ChangeRule(f, field);
    }
  };
  // Fields separated by newlines.
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (std::size_t i = 0; i < 6; ++i) {
    const std::size_t end = std::min(input.find('\n', start), input.size());
    form.texts[i] = start < input.size() ? input.substr(start, end - start) : "";
    start = end + 1;
  }
  velmora::Calculate(form);
  const std::string& result = form.texts[6];
  if (form.messages.size() > 1 || (!result.empty() && !WellFormedAzimuth(result)) ||
      (!result.empty() && !form.messages.empty())) {
    std::abort();
  }
  return 0;
}
