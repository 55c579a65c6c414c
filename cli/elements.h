// The element file: an alignment as a design table lists it, one element a
// line of CSV (UTF-8 with or without a byte-order mark, RFC 4180 quoting,
// an optional header line, '#' comment lines, blank lines skipped):
//
//   start,end,start_radius,end_radius,start_azimuth,x,y
//
// Stations plain or as K-stations; the start azimuth packed as typed into
// the window (45.3015 = 45°30'15"); x northing and y easting of the start
// point. The first element gives all seven; a later one may leave the last
// three empty (or out) to carry on the azimuth and the point from the end
// of the previous element, or leave out only the azimuth or only the point.
// Each element starts where the previous one ends.
//
// A station equation (broken chainage) is a line of its own after the
// element it falls in:
//
//   equation,BACK,AHEAD
//
// BACK is the station of the equation as counted before it, on the element
// above (after its start, at most its end); AHEAD the same point's station
// as counted on from there. The stations of the next element are counted
// from AHEAD: it starts at AHEAD when the equation is at the element's end,
// and at the element's end minus BACK plus AHEAD when it falls inside it.
// AHEAD above BACK leaves a gap of stations that exist nowhere, below it an
// overlap of stations that exist twice. The elements' stations along the
// road (road::ElementInput) run on without a break.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/streams.h"
#include "landxml/check.h"
#include "road/alignment.h"

namespace velmora::cli {

inline constexpr std::string_view kElementHeader =
    "start,end,start_radius,end_radius,start_azimuth,x,y";

// The elements of a file, with the line each came from.
struct ElementFile {
  std::vector<road::ElementInput> elements;
  std::vector<std::uint64_t> lines;
  // The packed start azimuth as written, empty where it is carried on.
  std::vector<std::string> azimuth_texts;
  std::vector<road::StationEquation> equations;
};

// Reads an element file. Nothing, with one message naming the line ("line
// 3: the start 120 is not the end of the previous element, 100") in
// `error`, when the file is not one.
std::optional<ElementFile> ReadElements(Source& in, std::string& error);

// An alignment loaded for check, stakeout and locate, from an element file
// or a LandXML file.
struct LoadedAlignment {
  std::string name;  // the file, as messages name it
  ElementFile file;  // for LandXML: the elements, no lines or azimuth texts
  road::Alignment alignment;
  std::vector<road::Discrepancy> discrepancies;

  // LandXML only: the alignment's name, each element's kind (Line, Curve,
  // Spiral), the elements whose stated End lies farther than the tolerance
  // from their computed end, and what was read on past (on standard error
  // already).
  bool landxml = false;
  std::string alignment_name;
  std::vector<std::string> kinds;
  std::vector<landxml::Contradiction> contradictions;
  std::vector<std::string> notes;
  landxml::Units units;  // as the LandXML file declares them; metres otherwise

  // Where element `element` (from 0) is in the file, for messages: "line 7",
  // or for LandXML 'alignment "A", element 3 (Spiral) at station 1120.000'.
  std::string Place(std::size_t element) const;
};

struct LoadOptions {
  road::Tolerance tolerance;
  std::optional<std::string_view> alignment;  // --alignment NAME
};

// The largest LandXML file read, in bytes.
inline constexpr std::size_t kMaxLandXmlBytes = std::size_t{512} << 20;

// Reads and joins the alignment of the file `path` ("-": standard input):
// LandXML when its first character (after a byte-order mark, in UTF-8 or
// UTF-16) is '<', an element file otherwise. Nothing when it cannot: the
// message, naming the file and the line or the alignment and the element,
// is then on standard error and the command ends with kExitUsage, before
// any output file is opened. A LandXML file with several alignments and no
// --alignment, and --alignment with an element file, are such failures.
std::optional<LoadedAlignment> LoadAlignment(System& system, std::string_view path,
                                             const LoadOptions& options = {});

// Joins elements read from a file into an alignment; nothing with the
// message (naming the line) in `error` when an element cannot be computed.
std::optional<road::Built> JoinElements(const ElementFile& file, const road::Tolerance& tolerance,
                                        std::string& error);

}  // namespace velmora::cli
