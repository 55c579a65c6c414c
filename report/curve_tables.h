// The curve tables of a road, as every front end writes them: the table of
// curve elements of a PI file's JDs, and the vertical curve table of a
// profile. CSV, header line first.
#pragma once

#include "model/heights.h"
#include "model/pi_file.h"
#include "model/road.h"
#include "model/stations.h"
#include "report/line_out.h"

namespace velmora::report {

// A line for BP, each JD and EP: station, point, deflection and turn, the
// given radius and spirals, the computed A, p, q, T, L, Ly, E, J, the
// main points ZH HY QZ YH HZ, and the straight before with its azimuth.
void WritePiTable(LineOut& out, const model::PiData& pi, model::StationFormat stations,
                  int decimals);

// A line a PVI of the profile: its line in the file, station, elevation,
// grades, omega, R, L, T, E, the curve's ends and whether it is a crest or
// a sag.
void WriteVerticalCurveTable(LineOut& out, const model::Road& road,
                             const model::ProfileFile& profile, model::StationFormat stations,
                             int decimals);

}  // namespace velmora::report
