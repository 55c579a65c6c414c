// The station coordinate table of a road, as every front end writes it:
// a row at each element boundary, each whole multiple of the step and each
// asked station, in station order; the centre line's point and each
// offset's, the azimuth, and with a profile the design elevations.
#pragma once

#include <cmath>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/heights.h"
#include "model/road.h"
#include "model/stations.h"
#include "report/line_out.h"
#include "road/alignment.h"
#include "road/profile.h"
#include "road/stakeout.h"

namespace velmora::report {

// The heights of a road: the profile, and the cross slopes of each side.
// Elevations are in the road's length unit, slopes in percent, negative
// falling away from the centre line.
struct Heights {
  std::optional<model::ProfileFile> profile;
  std::optional<road::CrossSlopes> slopes;
};

inline constexpr int kMostDecimals = 12;

// The station coordinate table as asked.
struct TableRequest {
  double step = 20.0;           // a row at every whole multiple, > 0
  std::vector<double> at;       // extra stations, as the road displays them
  std::vector<double> offsets;  // right positive
  model::StationFormat stations = model::StationFormat::kPlain;
  int decimals = 4;       // 0 to 12
  std::string step_text;  // the step as typed, for messages; empty: its own text
};

// Why a table cannot be made at all: the message as the console words it,
// without the program's name.
struct Refusal {
  std::string message;
};

// What a finished table lacks: one text per missing answer, as the console
// writes it on standard error (without the program's name).
struct Gaps {
  std::vector<std::string> messages;
};

// Told of each missing answer as the table goes, instead of gathering them.
using GapSink = std::function<void(const std::string& message)>;

// Checks the request against the road (each asked station, the row count,
// the step's fineness) before anything is written.
std::optional<Refusal> CheckTable(const model::Road& road, const TableRequest& request);

// The table as CSV: the header line, then one line a row (no byte-order
// mark; the caller adds one). Columns: station,point,x,y[,h],azimuth,packed,
// then x_NAME,y_NAME[,h_NAME] per offset. Stops early once out.ok() turns
// false. A request CheckTable refuses writes nothing: its refusal is the
// one gap.
Gaps WriteTableCsv(LineOut& out, const model::Road& road, const Heights& heights,
                   const TableRequest& request);
void WriteTableCsv(LineOut& out, const model::Road& road, const Heights& heights,
                   const TableRequest& request, const GapSink& gap);

// The distances along the road of the asked stations, each station at every
// place the road has it (an equation may repeat one); one no point of the
// road has is left out (CheckTable refuses it).
std::vector<double> AtDistances(const road::Alignment& alignment, std::span<const double> at);

// The offset's column name: "left_5", "right_2.5", "offset_0".
std::string OffsetName(double offset);

// "4900 to 5200": the stations the profile runs between, as the road
// displays them.
std::string ProfileEnds(const road::Alignment& alignment, const road::Profile& profile,
                        model::StationFormat stations, int decimals = -1);

// The design elevation `offset` from the centre line whose elevation is
// `centre`, with the slopes there: road::DesignElevation's sum, without
// searching the profile again for each offset.
inline double OffsetElevation(double centre, const road::CrossSlope& slope, double offset) {
  if (offset == 0.0) {
    return centre;
  }
  return centre + std::fabs(offset) * (offset < 0.0 ? slope.left : slope.right) / 100.0;
}

// A row of the table, as the CSV and the GeoJSON write it.
struct TableRow {
  const road::StakeoutRow* row = nullptr;
  double displayed = 0.0;            // the station read there
  std::string station;               // written as asked
  std::optional<double> azimuth;     // radians
  std::string azimuth_text, packed;  // as the window shows it and as typed; empty without one
  std::vector<std::optional<road::Point>> points;  // on the centre line, then at each offset
  // Whether the azimuth and every point were computed.
  bool Complete() const;
};

// The rows of road::StakeoutStations (`step`, `extra`), in order, until
// `take` returns false.
void TableRows(const road::Alignment& alignment, double step, std::span<const double> extra,
               std::span<const double> offsets, model::StationFormat stations,
               const std::function<bool(const TableRow&)>& take);

// Appends the azimuth as the window shows it ("45度30分15秒"), a comma, and
// the same packed as it is typed ("45.3015"); two empty fields for an
// azimuth with no text.
void AppendAzimuth(std::string& out, double radians);

}  // namespace velmora::report
