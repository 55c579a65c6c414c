// The centre line, or a line parallel to it, as points close enough together
// that the straight chords between them stay within a given distance of the
// curve: what a drawing or a GIS line string is made of.
#pragma once

#include <cstddef>
#include <functional>

#include "road/alignment.h"

namespace velmora::plot {

// Calls `point` with the points of element `element` of `alignment`, moved
// `offset` to the right of the centre line, from its start station to its
// end station, evenly spaced along it and close enough that no chord lies
// farther than `tolerance` (> 0) from the line, with at most `max_points`
// (at least 2). Each point is computed on its own from the element's start
// (products i * length / n, no running sum). Returns false, having called
// `point` for none of them, when the element cannot be computed at a
// station.
bool TraceElement(const road::Alignment& alignment, std::size_t element, double offset,
                  double tolerance, const std::function<void(road::Point)>& point,
                  std::size_t max_points = 100'000);

// The same for the whole alignment: every element in turn, a point shared
// by two elements given once. False when an element cannot be computed.
bool TraceAlignment(const road::Alignment& alignment, double offset, double tolerance,
                    const std::function<void(road::Point)>& point,
                    std::size_t max_points_per_element = 100'000);

// How many equal chords element `element`, moved by `offset`, needs to keep
// within `tolerance` of the line: 1 on a straight, else from the element's
// sharpest curvature (an arc of radius r turning by t lies r * t * t / 8
// from its chord), at most max_points - 1.
std::size_t ChordsFor(const road::Element& element, double offset, double tolerance,
                      std::size_t max_points);

}  // namespace velmora::plot
