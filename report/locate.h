// Points located on a road, as every front end writes them: the foot of
// the perpendicular from each point to the centre line, its station,
// offset and azimuth, and with a profile the design elevation there and
// the fill or cut against the surveyed one. One CSV row a point.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "model/road.h"
#include "model/stations.h"
#include "report/line_out.h"
#include "report/table.h"
#include "road/locate.h"
#include "text/csv.h"

namespace velmora::report {

struct LocateRequest {
  std::optional<double> max_offset;  // none: no limit (0: on the centre line only)
  model::StationFormat stations = model::StationFormat::kPlain;
  int decimals = 4;  // of stations, offsets and elevations
};

struct LocatePoint {
  std::string name;
  std::string x, y;              // as typed or read; written back as given
  std::optional<std::string> z;  // surveyed elevation, for dh
};

// The header line: name,x,y,station,offset,azimuth,packed,element,message;
// with a profile name,x,y,z,station,offset,azimuth,packed,element,h,dh,message.
// The z column goes with the profile, whatever `with_z` says.
std::string LocateHeader(const Heights& heights, bool with_z);

// One point's answer.
struct LocateAnswer {
  std::string line;  // the CSV row, without line end
  bool found = false;
  double station = 0.0;  // as the road displays it; valid when found, as are the next two
  double offset = 0.0, azimuth = 0.0;  // right positive; radians
  std::optional<double> h, dh;         // dh = h - z: positive fill, negative cut
  std::string message;                 // why an answer is missing; a station's side otherwise
  bool complete = false;               // found, and with a profile h (and dh if z was given)
};

// Locates point after point, the road's search index built once.
class PointLocator {
 public:
  PointLocator(const model::Road& road, const Heights& heights, const LocateRequest& request);

  LocateAnswer Locate(const LocatePoint& point) const;
  // The row of an input line that holds no point, with the reason.
  LocateAnswer Unreadable(std::string_view reason) const;

 private:
  std::string OverlapNote(double distance) const;

  const road::Alignment& alignment_;
  const road::Profile* profile_;
  road::CrossSlopes slopes_;
  road::Locator locator_;
  LocateRequest request_;
};

// One point: `found` false (and the message filled) when it has no station
// on the road, or when x or y is not a number.
LocateAnswer LocateOne(const model::Road& road, const Heights& heights,
                       const LocateRequest& request, const LocatePoint& point);

// The points of `in` (name,x,y[,z] or x,y CSV, with or without a header
// line, as locate --points reads it) located row by row into `out` (the
// header is the caller's); `heights`: the road has a profile, so a point
// may be name,x,y,z. `gap` is told of each row without a complete answer
// ("line 4: beyond the end of the road"). Stops once out.ok() turns false; a failed read shows
// in in.failed.
void LocatePoints(LineOut& out, const PointLocator& locator, bool heights, text::Source& in,
                  const GapSink& gap);

// The header line, then the rows of the points file `points_bytes` named
// `points_name`, as locate --points writes them (no byte-order mark; the
// caller adds one). Refusal: the file could not be read.
std::variant<Gaps, Refusal> WriteLocateCsv(LineOut& out, const model::Road& road,
                                           const Heights& heights, const LocateRequest& request,
                                           std::string_view points_bytes,
                                           std::string_view points_name);

}  // namespace velmora::report
