// One run of the console program on fuzzed standard input, and the
// properties every run keeps: a status of 0, 1 or 2, no output with status 2
// (a refused input writes nothing), and UTF-8 text on both streams.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "fuzz/fuzz_system.h"
#include "text/text.h"

namespace velmora::fuzz {

inline void RunCommand(std::string_view input, std::size_t piece,
                       const std::vector<std::string>& args) {
  FuzzSystem system(input, piece);
  const int status = cli::Run(args, system);
  if (status < 0 || status > 2) {
    Fail("a status other than 0, 1 or 2", args[0]);
  }
  if (status == 2 && !system.out.text.empty()) {
    Fail("output with status 2", system.out.text);
  }
  if (!text::IsValidUtf8(system.out.text) || !text::IsValidUtf8(system.err.text)) {
    Fail("output is not UTF-8", system.out.text);
  }
}

}  // namespace velmora::fuzz
