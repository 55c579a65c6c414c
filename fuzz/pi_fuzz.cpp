// The PI file reader on arbitrary input, read in pieces of varying size. No
// crash and no undefined behaviour; a file is either refused with one UTF-8
// message, or read into at least BP and EP, each point on a later line than
// the one before; a table the road is made of gives elements each of which
// starts where the one before ends, and check, elements and check --pi run
// on it as the program runs them: status 0, 1 or 2, UTF-8 output, and no
// output with status 2.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "fuzz/fuzz_system.h"
#include "fuzz/run_command.h"
#include "model/pi_file.h"
#include "road/geometry.h"
#include "text/text.h"

namespace {

using velmora::fuzz::Fail;
using velmora::fuzz::PieceSource;
using velmora::fuzz::RunCommand;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  // The first byte picks the size of the pieces the input arrives in.
  const std::size_t piece = 1 + data[0] % 64;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  PieceSource source(input, piece);
  velmora::model::LoadError error;
  std::optional<velmora::model::PiFile> file = velmora::model::ReadPiFile(source, error);
  if (!file) {
    if (error.message.empty() || !velmora::text::IsValidUtf8(error.message)) {
      Fail("a refusal without a UTF-8 message", error.message);
    }
    return 0;
  }
  if (file->table.points.size() < 2 || file->lines.size() != file->table.points.size() ||
      file->drawn.size() != file->table.points.size()) {
    Fail("a PI file read without BP and EP, or with a line missing", input);
  }
  for (std::size_t i = 1; i < file->lines.size(); ++i) {
    if (file->lines[i] <= file->lines[i - 1]) {
      Fail("points read out of order", input);
    }
  }
  const std::optional<velmora::model::PiData> pi =
      velmora::model::ConvertPiFile(std::move(*file), 0.001, error);
  if (!pi) {
    if (!error.message.starts_with("line") || error.line == 0) {
      Fail("a table refused without naming its line", error.message);
    }
    return 0;
  }
  const auto& elements = pi->road.elements;
  for (std::size_t i = 1; i < elements.size(); ++i) {
    if (elements[i].start_station != elements[i - 1].end_station) {
      Fail("elements of a PI road that do not follow each other", input);
    }
  }
  if (velmora::model::LooksLikePiFile(input)) {
    RunCommand(input, piece, {"check", "-"});
    RunCommand(input, piece, {"elements", "-"});
    RunCommand(input, piece, {"check", "--pi", "-"});
  }
  return 0;
}
