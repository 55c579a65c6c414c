// The tables a road is written as for reading back: the element file
// (`elements`), a PI file (`check --pi`), and a PI file's table of
// straights, curves and deflections (`check` on a PI file).
#pragma once

#include <optional>
#include <string>

#include "cli/output.h"
#include "cli/road_command.h"
#include "model/road.h"
#include "road/pi.h"

namespace velmora::cli {

// The shortest text that reads back as the same number.
void AppendExact(std::string& out, double value);

// An azimuth packed as the element file reads it (45.3015 = 45°30'15"),
// to the last digit the reader keeps; nothing when its seconds would round
// up to 60, which the reader refuses.
std::optional<std::string> ExactPacked(double radians);

// The road as an element file, every element with its start azimuth and
// point, its station equations as equation lines.
void WriteElementFile(Writer& out, const road::Alignment& alignment);

// The table of JDs of a road of straights and spiral-arc-spiral curves;
// nothing, with the message naming where it stops fitting in `problem`
// ("line 4: the road is not a table of JDs: ..."), for another.
std::optional<road::PiTable> PiTableOfRoad(const model::Road& road, std::string& problem);

// A table of JDs as a PI file, every number to its last digit.
void WritePiFile(Writer& out, const road::PiTable& table);

}  // namespace velmora::cli
