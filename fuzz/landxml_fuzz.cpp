// The LandXML reader on arbitrary bytes. No crash and no undefined
// behaviour; an alignment either holds elements or says why not, never
// both; elements follow each other along the road; an alignment that joins
// is written as LandXML that reads back as one alignment without a fault.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "landxml/check.h"
#include "landxml/reader.h"
#include "landxml/writer.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view detail) {
  std::fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(detail.size()), detail.data());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string error;
  const std::optional<landxml::Document> document = landxml::ReadLandXml(bytes, error);
  if (!document) {
    if (error.empty()) Fail("refused without a reason", bytes);
    return 0;
  }
  if (document->alignments.empty()) Fail("a document without alignments", bytes);
  (void)landxml::SelectAlignment(*document, "", error);
  for (const landxml::ReadAlignment& alignment : document->alignments) {
    if (alignment.error.empty() == alignment.elements.empty()) {
      Fail("elements and an error, or neither", alignment.error);
    }
    double station = alignment.sta_start;
    for (const landxml::ReadElement& element : alignment.elements) {
      const road::ElementInput& e = element.input;
      if (e.start_station != station || !(e.end_station > e.start_station) || !e.start ||
          !e.start_azimuth || !std::isfinite(*e.start_azimuth)) {
        Fail("an element out of order or without its start", alignment.name);
      }
      station = e.end_station;
    }
    if (alignment.elements.empty()) continue;
    const std::vector<road::ElementInput> inputs = landxml::Inputs(alignment);
    std::optional<road::Built> built =
        road::BuildAlignment(inputs, alignment.equations, road::Tolerance{}, error);
    if (!built) continue;
    (void)landxml::CheckStated(built->alignment, alignment, 0.001);
    landxml::WriteOptions options;
    options.name = alignment.name;
    // A design profile that computes (its stations taken along the road) is
    // written too, and read back with as many points.
    std::optional<road::Profile> profile;
    for (const landxml::ReadProfile& read : alignment.profiles) {
      if (!read.error.empty() && !read.points.empty())
        Fail("profile points and an error", read.name);
      road::ProfileError why;
      if (!profile && (profile = road::BuildProfile(read.points, why))) {
        options.profile = &*profile;
        options.profile_points = read.points;
        options.profile_name = read.name;
      }
    }
    const std::optional<std::string> xml = landxml::WriteLandXml(built->alignment, options, error);
    if (!xml) continue;
    const std::optional<landxml::Document> again = landxml::ReadLandXml(*xml, error);
    if (!again || again->alignments.size() != 1) Fail("written LandXML does not read back", *xml);
    if (profile &&
        (again->alignments[0].profiles.size() != 1 ||
         again->alignments[0].profiles[0].points.size() != options.profile_points.size())) {
      Fail("a written profile does not read back", *xml);
    }
  }
  return 0;
}
