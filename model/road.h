// The road as loaded, below every front end: any road input (an element
// file, a LandXML file) read from its bytes into one value that owns its
// alignment, station equations, notes and findings. Nothing here prints or
// exits; the front ends show what it says.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "landxml/check.h"
#include "model/elements.h"
#include "model/error.h"
#include "model/heights.h"
#include "model/pi_file.h"
#include "road/alignment.h"

namespace velmora::model {

// The largest road input read, in bytes.
inline constexpr std::size_t kMaxInputBytes = std::size_t{512} << 20;

struct LoadOptions {
  road::Tolerance tolerance;
  std::optional<std::string_view> alignment;  // the LandXML alignment to take, by name
  // Whether to take the LandXML alignment's own design profile (ProfAlign):
  // the one named `profile_name`, or the only one. Several and no name are
  // refused (their names listed), as is a profile that cannot be computed.
  bool profile = false;
  std::optional<std::string_view> profile_name;
};

// What a loaded road says against itself: a given start that is not where
// the previous element ends (road::Discrepancy), or a LandXML statement its
// geometry contradicts (landxml::Contradiction).
struct Finding {
  std::size_t element = 0;  // from 0
  std::variant<road::Discrepancy, landxml::Contradiction> what;
};

struct Road {
  std::string name;           // the file, as messages name it
  ElementFile file;           // for LandXML: the elements, no lines or azimuth texts
  road::Alignment alignment;  // with its station equations
  std::vector<road::Discrepancy> discrepancies;

  // LandXML only: the alignment's name, each element's kind (Line, Curve,
  // Spiral), the statements the geometry contradicts, and what was read on
  // past ('alignment "A": ...').
  bool landxml = false;
  std::string alignment_name;
  std::vector<std::string> kinds;
  std::vector<landxml::Contradiction> contradictions;
  std::vector<std::string> notes;
  landxml::Units units;  // as the LandXML file declares them; metres otherwise
  // LandXML, when LoadOptions.profile: the alignment's design profile
  // (stations along the road; no lines) and its name, and each CircCurve
  // whose stated length is neither the curve's horizontal length nor its
  // length along the arc, within the tolerance.
  struct CircleLength {
    std::size_t point = 0;  // in profile->points, from 0
    double stated = 0.0, horizontal = 0.0, arc = 0.0;
  };
  std::optional<ProfileFile> profile;
  std::string profile_name;
  std::vector<CircleLength> circle_lengths;

  // A PI file only: its table, curves and straights, and the drawing's
  // numbers it contradicts. Each element's line (file.lines) is that of its
  // JD, or of BP for the straight before the first curve.
  std::optional<PiData> pi;

  // Where element `element` (from 0) is in the file, for messages: "line 7",
  // or for LandXML 'alignment "A", element 3 (Spiral) at station 1120.000'.
  std::string Place(std::size_t element) const;

  // Whether the road contradicts itself: a finding, a PI file's drawn
  // number that is off, or a profile's stated length.
  bool Contradicts() const;

  // Every start discrepancy, then every contradiction.
  std::vector<Finding> Findings() const;

  // The findings as `check` reports them, one line each without the
  // program's name: 'road.csv, line 3: the start point given is 0.0500
  // from the end of the previous element', lengths with `decimals`
  // decimals; then each PI file's drawn number that is off ('pi.csv, line
  // 3: JD1's T1 is 120.0000 in the file and 120.0510 computed'); then the
  // profile's findings.
  std::vector<std::string> FindingTexts(int decimals) const;
};

// Whether the bytes are XML rather than an element table: the first
// character that is not blank is '<', in UTF-8 (with or without a
// byte-order mark) or UTF-16 (either byte order, with or without one).
bool LooksLikeXml(std::string_view bytes);

// Reads the road input `bytes` of the file `name`: LandXML when its first
// character (after a byte-order mark, in UTF-8 or UTF-16) is '<', a PI file
// when its header says so (LooksLikePiFile), an element file otherwise; UTF-16 that is not XML is
// refused. A LandXML file with several alignments and no options.alignment, and options.alignment
// or options.profile_name with an element file, are refused too.
std::variant<Road, LoadError> Load(std::string_view bytes, std::string_view name,
                                   const LoadOptions& options = {});

}  // namespace velmora::model
