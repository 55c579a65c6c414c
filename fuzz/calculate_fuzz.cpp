// The Calculate command on six arbitrary field texts (one per line of the
// input), with each input field's change rule wired as in the window. No
// crash and no undefined behaviour; at most one message box; every input
// field keeps its text or ends empty; the result field ends empty or holding
// a well-formed azimuth text, and never both a result and a message.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/azimuth_text.h"
#include "window/calculate.h"
#include "window/memory_form.h"

namespace {

using velmora::Field;
using velmora::MemoryForm;

[[noreturn]] void Fail(const char* what, const MemoryForm& form) {
  std::fprintf(stderr, "%s\n", what);
  for (const std::string& entry : form.log()) {
    std::fprintf(stderr, "  %s\n", entry.c_str());
  }
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::array<std::string, 6> inputs;
  for (std::string& input : inputs) {
    const std::size_t line_end = rest.find('\n');
    input = rest.substr(0, line_end);
    rest = line_end == std::string_view::npos ? std::string_view() : rest.substr(line_end + 1);
  }

  MemoryForm form;
  form.StartLog();
  form.Fill(inputs);
  form.Click();

  if (form.messages().size() > 1) {
    Fail("more than one message box", form);
  }
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (form[velmora::kInputFields[i]] != inputs[i] && !form[velmora::kInputFields[i]].empty()) {
      Fail("an input field changed to something other than empty", form);
    }
  }
  const std::string& result = form[Field::Textcia];
  if (!result.empty() && !velmora::fuzzing::IsAzimuthText(result)) {
    Fail("malformed result text", form);
  }
  if (!result.empty() && !form.messages().empty()) {
    Fail("a result and a message", form);
  }
  return 0;
}
