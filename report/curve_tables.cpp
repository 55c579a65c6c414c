#include "report/curve_tables.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "arith/angle.h"
#include "report/table.h"
#include "road/pi.h"
#include "road/profile.h"
#include "text/csv.h"
#include "text/text.h"

namespace velmora::report {

using model::AppendStation;
using text::AppendFixed;

namespace {

constexpr std::string_view kPiCheckHeader =
    "jd,station,x,y,deflection,deflection_packed,turn,R,Ls1,Ls2,A1,A2,p1,p2,q1,q2,T1,T2,L,Ly,E,"
    "J,ZH,HY,QZ,YH,HZ,straight,azimuth,azimuth_packed";

}  // namespace

void WritePiTable(LineOut& out, const model::PiData& pi, model::StationFormat stations,
                  int decimals) {
  out.Line(kPiCheckHeader);
  const std::vector<road::PiPoint>& points = pi.file.table.points;
  for (std::size_t i = 0; i < points.size(); ++i) {
    std::string& t = out.text;
    text::AppendCsvField(t, model::PiPointName(pi.file.table, i));
    t += ',';
    const road::PiCurve* curve = i > 0 && i + 1 < points.size() ? &pi.road.curves[i - 1] : nullptr;
    const double station = i == 0                   ? pi.file.table.start_station
                           : i + 1 == points.size() ? pi.road.end_station
                                                    : curve->jd_station;
    AppendStation(t, station, stations, decimals);
    t += ',';
    AppendFixed(t, points[i].point.x, decimals);
    t += ',';
    AppendFixed(t, points[i].point.y, decimals);
    t += ',';
    if (curve != nullptr) {
      AppendAzimuth(t, std::fabs(curve->deflection));
      t += ',';
      t += curve->deflection > 0.0 ? "right" : curve->deflection < 0.0 ? "left" : "";
    } else {
      t += ",,";
    }
    const bool curved = curve != nullptr && curve->radius != 0.0;
    for (const double given : {points[i].radius, points[i].spiral_in, points[i].spiral_out}) {
      t += ',';
      if (curved) {
        t += NumberToText(given);
      }
    }
    if (curved) {
      for (const double value : {curve->a_in, curve->a_out, curve->p_in, curve->p_out, curve->q_in,
                                 curve->q_out, curve->tangent_in, curve->tangent_out, curve->length,
                                 curve->arc_length, curve->external, curve->correction}) {
        t += ',';
        AppendFixed(t, value, decimals);
      }
      // A plain arc's ZY and YZ go in ZH and HZ; it has no HY or YH.
      const double main_points[] = {curve->zh, curve->hy, curve->qz, curve->yh, curve->hz};
      for (std::size_t k = 0; k < std::size(main_points); ++k) {
        t += ',';
        if (!curve->PlainArc() || k % 2 == 0) {
          AppendStation(t, main_points[k], stations, decimals);
        }
      }
    } else {
      t += std::string(17, ',');
    }
    t += ',';
    if (i > 0) {
      const road::PiStraight& straight = pi.road.straights[i - 1];
      AppendFixed(t, straight.length, decimals);
      t += ',';
      AppendAzimuth(t, straight.azimuth);
    } else {
      t += ',';
    }
    out.EndLine();
  }
}

namespace {

constexpr std::string_view kCurveHeader =
    "line,station,elevation,grade_in,grade_out,omega,R,L,T,E,start,start_elevation,end,"
    "end_elevation,bend";

}  // namespace

void WriteVerticalCurveTable(LineOut& out, const model::Road& road,
                             const model::ProfileFile& profile, model::StationFormat stations,
                             int decimals) {
  const road::Alignment& alignment = road.alignment;
  out.Line(kCurveHeader);
  const int fine = std::min(decimals + 2, kMostDecimals);
  for (const road::VerticalCurveRow& row : profile.profile.CurveTable()) {
    std::string& t = out.text;
    t += std::to_string(profile.lines[row.point]);
    t += ',';
    AppendStation(t, alignment.DisplayStation(row.station), stations);
    for (const double value : {row.elevation, row.grade_in, row.grade_out}) {
      t += ',';
      AppendFixed(t, value, decimals);
    }
    t += ',';
    AppendFixed(t, row.omega, fine);
    t += ',';
    t += NumberToText(row.radius_in);
    for (const double value : {row.length, row.tangent_in, row.external}) {
      t += ',';
      AppendFixed(t, value, decimals);
    }
    t += ',';
    AppendStation(t, alignment.DisplayStation(row.start_station), stations);
    t += ',';
    AppendFixed(t, row.start_elevation, decimals);
    t += ',';
    AppendStation(t, alignment.DisplayStation(row.end_station), stations);
    t += ',';
    AppendFixed(t, row.end_elevation, decimals);
    t += ',';
    t += row.bend == road::Bend::kCrest ? "crest" : row.bend == road::Bend::kSag ? "sag" : "";
    out.EndLine();
  }
}

}  // namespace velmora::report
