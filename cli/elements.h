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
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/streams.h"
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
};

// Reads an element file. Nothing, with one message naming the line ("line
// 3: the start 120 is not the end of the previous element, 100") in
// `error`, when the file is not one.
std::optional<ElementFile> ReadElements(Source& in, std::string& error);

// An alignment loaded for check, stakeout and locate.
struct LoadedAlignment {
  std::string name;  // the file, as messages name it
  ElementFile file;
  road::Alignment alignment;
  std::vector<road::Discrepancy> discrepancies;
};

struct LoadOptions {
  road::Tolerance tolerance;
};

// Reads and joins the alignment of the file `path` ("-": standard input).
// Nothing when it cannot: the message, naming the file and the line, is
// then on standard error and the command ends with kExitUsage, before any
// output file is opened.
std::optional<LoadedAlignment> LoadAlignment(System& system, std::string_view path,
                                             const LoadOptions& options = {});

// Joins elements read from a file into an alignment; nothing with the
// message (naming the line) in `error` when an element cannot be computed.
std::optional<road::Built> JoinElements(const ElementFile& file, const road::Tolerance& tolerance,
                                        std::string& error);

}  // namespace velmora::cli
