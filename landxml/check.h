// What a LandXML alignment states against what its elements compute to.
// The geometry is taken from the points (reader.h); everything else the
// file states about an element is a cross-check: its End point, its
// `length`, its `radius`, its `rot` and a spiral's PI. A file that
// disagrees with itself beyond the tolerance is reported by every command
// that reads it. (Each element's Start against the previous element's end
// is road::BuildAlignment's Discrepancy.)
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "landxml/reader.h"
#include "road/alignment.h"

namespace velmora::landxml {

// The elements as road::BuildAlignment takes them.
std::vector<road::ElementInput> Inputs(const ReadAlignment& alignment);

// What a contradiction is about.
enum class Stated {
  kEnd,       // the End point lies `difference` from where the element ends
  kLength,    // `length` against the length the points give
  kRadius,    // `radius` against the distance from Center to Start (or End)
  kRotation,  // `rot` against the way the points turn (a curve's PI, the previous
              // element's end direction, its length, its chord; a spiral's PI
              // and End): `difference` is how far the element, turned as
              // stated, ends from its End; for an arc `stated` is its length
              // as read, `computed` the length the points give
  kPi,        // a spiral's PI against where its end tangents meet (reported when
              // the PI lies farther than the tolerance from the end tangent)
};

struct Contradiction {
  std::size_t element = 0;  // index in the alignment, from 0
  Stated what = Stated::kEnd;
  double stated = 0.0;      // the value the file states (length units; 0 for points)
  double computed = 0.0;    // the value the geometry gives (length units; 0 for points)
  double difference = 0.0;  // length units, always above the tolerance
};

// Every statement of `read` that its geometry contradicts by more than
// `tolerance` (length units), in order of element; `built` is `read` joined
// by road::BuildAlignment. What a file does not state is not checked, and an
// element whose rot is found wrong has no End contradiction of its own.
std::vector<Contradiction> CheckStated(const road::Alignment& built, const ReadAlignment& read,
                                       double tolerance);

// The contradiction in words, without the element's place: "the End point
// the file states is 0.0120 from where the element ends", numbers with
// `decimals` decimals.
std::string Describe(const Contradiction& contradiction, int decimals);

}  // namespace velmora::landxml
