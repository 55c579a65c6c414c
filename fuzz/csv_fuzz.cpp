// The csv command of velmora-cli on arbitrary input, read in pieces of
// varying size. No crash and no undefined behaviour; the output is UTF-8 and
// each of its lines splits back into the six fields, the azimuth and the
// message; no more lines come out than went in; every field that a line
// splits into is written so that it splits back the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "fuzz/fuzz_system.h"
#include "text/csv.h"
#include "text/text.h"

namespace {

using velmora::fuzz::Fail;
using velmora::fuzz::FuzzSystem;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  // The first byte picks the size of the pieces the input arrives in.
  const std::size_t piece = 1 + data[0] % 64;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  // Fields written out split back the same.
  std::vector<std::string_view> fields, again;
  std::string unquoted, unquoted_again;
  const std::string_view first_line = input.substr(0, input.find('\n'));
  if (velmora::text::SplitCsvLine(first_line, fields, unquoted)) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      line += i == 0 ? "" : ",";
      velmora::text::AppendCsvField(line, fields[i]);
    }
    if (!velmora::text::SplitCsvLine(line, again, unquoted_again) || again != fields) {
      Fail("fields written out split differently", line);
    }
  }

  FuzzSystem system(input, piece);
  const std::vector<std::string> args = {"csv"};
  const int status = velmora::cli::Run(args, system);
  if (status != 0 && status != 1) {
    Fail("csv ended with a status other than 0 or 1", system.err.text);
  }
  const std::string& out = system.out.text;
  if (!velmora::text::IsValidUtf8(out)) {
    Fail("output is not UTF-8", out);
  }
  const auto lines_in = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n')) + 1;
  std::size_t lines_out = 0;
  for (std::size_t at = 0; at < out.size();) {
    const std::size_t end = out.find('\n', at);
    if (end == std::string::npos) {
      Fail("output does not end with a line end", out);
    }
    const std::string_view line(out.data() + at, end - at);
    if (!velmora::text::SplitCsvLine(line, fields, unquoted) || fields.size() != 8) {
      Fail("an output line is not eight fields", line);
    }
    at = end + 1;
    ++lines_out;
  }
  if (lines_out > lines_in) {
    Fail("more lines out than in", out);
  }
  return 0;
}
