// The profile and cross-slope readers on arbitrary input, against a road
// with a station equation that leaves a gap. No crash and no undefined
// behaviour; a file is either refused with one message naming the file (and
// a line, when one is at fault), or read into a profile that has a finite
// elevation at each of its points and one curve table row a PVI, or into
// cross slopes that are finite everywhere.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "fuzz/fuzz_system.h"
#include "model/heights.h"
#include "model/road.h"

namespace {

using velmora::fuzz::Fail;
namespace model = velmora::model;

const velmora::road::Alignment& Road() {
  static const velmora::road::Alignment alignment =
      std::get<model::Road>(
          model::Load("0,100,0,0,0,1000,500\nequation,100,150\n150,400,0,500\n", "road.csv"))
          .alignment;
  return alignment;
}

void CheckRefusal(const model::LoadError& error) {
  if (!error.Text().starts_with("f.csv, ") ||
      (error.line > 0 && !error.message.starts_with("line " + std::to_string(error.line) + ": "))) {
    Fail("a refusal does not name the file and its line", error.Text());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto profile = model::ReadProfile(text, "f.csv", Road());
  if (const auto* error = std::get_if<model::LoadError>(&profile)) {
    CheckRefusal(*error);
  } else {
    const model::ProfileFile& file = std::get<model::ProfileFile>(profile);
    for (const velmora::road::ProfilePoint& point : file.points) {
      const auto elevation = file.profile.ElevationAt(point.station);
      if (!elevation || !std::isfinite(*elevation)) {
        Fail("no finite elevation at a point of the profile", text);
      }
    }
    if (file.profile.CurveTable().size() + 2 != file.points.size() ||
        file.lines.size() != file.points.size()) {
      Fail("the curve table does not have a row a PVI", text);
    }
  }
  auto slopes = model::ReadCrossSlopes(text, "f.csv", Road());
  if (const auto* error = std::get_if<model::LoadError>(&slopes)) {
    CheckRefusal(*error);
  } else {
    for (const double station : {-1e9, 0.0, 120.0, 180.0, 1e9}) {
      const auto at = std::get<velmora::road::CrossSlopes>(slopes).At(station);
      if (!std::isfinite(at.left) || !std::isfinite(at.right)) {
        Fail("a cross slope is not finite", text);
      }
    }
  }
  return 0;
}
