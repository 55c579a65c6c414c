// The element file reader and locate on arbitrary input, read in pieces of
// varying size. No crash and no undefined behaviour; a file is either
// refused with one message naming a line, or read into elements that each
// start where the one before ends, the first with its azimuth and point; an
// alignment joined from them locates its own start points, and every point
// located lies on it within the largest offset asked for. check and locate
// run on it as the program runs them: status 0, 1 or 2, UTF-8 output, and
// no output with status 2.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "fuzz/fuzz_system.h"
#include "fuzz/run_command.h"
#include "model/elements.h"
#include "road/locate.h"
#include "text/csv.h"
#include "text/text.h"

namespace {

using velmora::fuzz::Fail;
using velmora::fuzz::PieceSource;
using velmora::fuzz::RunCommand;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  // The first byte picks the size of the pieces the input arrives in, the
  // second the largest offset.
  const std::size_t piece = 1 + data[0] % 64;
  const double max_offset = data[1] * 0.5;
  const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);

  PieceSource source(input, piece);
  velmora::model::LoadError error;
  const std::optional<velmora::model::ElementFile> file =
      velmora::model::ReadElements(source, error);
  if (!file) {
    if (error.message.empty() || !velmora::text::IsValidUtf8(error.message)) {
      Fail("a refusal without a UTF-8 message", error.message);
    }
    return 0;
  }
  const auto& elements = file->elements;
  if (elements.empty() || !elements[0].start_azimuth || !elements[0].start) {
    Fail("a file read without a first element with azimuth and point", input);
  }
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (!(elements[i].end_station > elements[i].start_station) ||
        (i > 0 && elements[i].start_station != elements[i - 1].end_station) ||
        (i > 0 && file->lines[i] <= file->lines[i - 1])) {
      Fail("elements read out of order", input);
    }
  }
  const std::optional<velmora::road::Built> built = velmora::model::JoinElements(*file, {}, error);
  if (!built) {
    if (!error.message.starts_with("line ") || !error.element || error.line == 0) {
      Fail("a join refused without naming the line", error.message);
    }
    return 0;
  }
  const velmora::road::Alignment& alignment = built->alignment;
  const velmora::road::Locator locator(alignment);
  for (const velmora::road::Element& element : alignment.elements()) {
    for (const velmora::road::Point point :
         {element.start, velmora::road::Point{element.start.x + max_offset, element.start.y}}) {
      const velmora::road::LocateResult result = locator.Locate(point, max_offset);
      if (!result.location) {
        continue;
      }
      const velmora::road::Location& at = *result.location;
      if (!(at.distance >= alignment.Start() && at.distance <= alignment.End()) ||
          !(std::fabs(at.offset) <= max_offset) || at.element >= alignment.elements().size()) {
        Fail("a point located off the road", input);
      }
    }
  }

  const std::string x = std::to_string(elements[0].start->x + 1.0);
  const std::string y = std::to_string(elements[0].start->y - 1.0);
  RunCommand(input, piece, {"check", "-"});
  RunCommand(input, piece, {"locate", "-", "--", x, y});
  return 0;
}
