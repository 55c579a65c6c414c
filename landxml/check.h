// What a LandXML alignment states against what its elements compute to:
// the End point of each element against the point its Start, start
// direction and length give. (Each element's Start against the previous
// element's end is road::BuildAlignment's Discrepancy.)
#pragma once

#include <cstddef>
#include <vector>

#include "landxml/reader.h"
#include "road/alignment.h"

namespace velmora::landxml {

// The elements as road::BuildAlignment takes them.
std::vector<road::ElementInput> Inputs(const ReadAlignment& alignment);

struct EndDifference {
  std::size_t element = 0;  // index in the alignment, from 0
  double distance = 0.0;    // from the computed end to the stated End
};

// The elements whose stated End lies more than `tolerance` from where the
// element ends; `built` is `read` joined by road::BuildAlignment. An
// element that states no End is not checked.
std::vector<EndDifference> CheckStatedEnds(const road::Alignment& built, const ReadAlignment& read,
                                           double tolerance);

}  // namespace velmora::landxml
