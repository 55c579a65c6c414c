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

#include "model/error.h"
#include "road/alignment.h"
#include "text/csv.h"

namespace velmora::model {

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

// Reads an element file. Nothing when the file is not one: `error` then
// holds the line (0 when the fault is the whole file's) and one message
// naming it ("line 3: the start 120 is not the end of the previous element,
// 100"); its `file` is left as it was.
std::optional<ElementFile> ReadElements(text::Source& in, LoadError& error);

// Joins elements read from a file into an alignment; nothing, with the
// element that cannot be computed, its line and the message naming the line
// in `error`, when one cannot.
std::optional<road::Built> JoinElements(const ElementFile& file, const road::Tolerance& tolerance,
                                        LoadError& error);

}  // namespace velmora::model
