// The PI file: a road as its table of intersection points (交点) lists it,
// one point a line of CSV read by the element file's rules (UTF-8, RFC 4180
// quoting, '#' comments and blank lines skipped), after a header line that
// names the columns in any order:
//
//   name,x,y,radius,spiral_in,spiral_out[,station][,T1,T2,L,Ly,E,J,ZH,HY,QZ,YH,HZ]
//
// The first line is BP, the last EP (radius and spirals empty or 0), each
// line between a JD with its radius R > 0 and spirals Ls1, Ls2 >= 0; the JDs
// tell right from left, so a radius is never negative. `station` is read on
// the first line only: BP's station (0 when empty or left out). T1 to HZ are
// the drawing's own numbers, checked against the computed ones; any other
// column is the drawing's and left unread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"
#include "road/alignment.h"
#include "road/pi.h"
#include "text/csv.h"

namespace velmora::model {

// The drawing's numbers a PI file may give, in this order.
inline constexpr std::array<std::string_view, 11> kPiDrawnColumns = {
    "T1", "T2", "L", "Ly", "E", "J", "ZH", "HY", "QZ", "YH", "HZ"};

struct PiFile {
  road::PiTable table;
  std::vector<std::uint64_t> lines;  // of each point
  // The drawing's numbers of each point, where given.
  std::vector<std::array<std::optional<double>, kPiDrawnColumns.size()>> drawn;
};

// A drawing's number that the computed curve does not bear out.
struct PiMismatch {
  std::size_t point = 0;   // in PiFile::table.points
  std::size_t column = 0;  // in kPiDrawnColumns
  double given = 0.0;
  double computed = 0.0;
};

// The PI file's data as loaded with its road.
struct PiData {
  PiFile file;
  road::PiRoad road;
  std::vector<PiMismatch> mismatches;
};

// Whether a CSV header line is a PI file's: it names a column that only a
// PI file has (name, radius, spiral_in or spiral_out).
bool LooksLikePiFile(std::string_view bytes);

// Reads a PI file. Nothing when it is not one: `error` then holds the line
// (0 for the whole file) and the message naming it; its `file` is left as
// it was.
std::optional<PiFile> ReadPiFile(text::Source& in, LoadError& error);

// The road of a PI file, with its elements and the point each comes from,
// and the drawing's numbers more than `tolerance` from the computed ones.
// Nothing, with the message naming the lines and the JDs, when the table
// describes no road.
std::optional<PiData> ConvertPiFile(PiFile file, double tolerance, LoadError& error);

// The name of point i: its own, or BP, JD<i>, EP.
std::string PiPointName(const road::PiTable& table, std::size_t i);

// The computed value of a drawing's column at a curve.
double PiDrawnValue(const road::PiCurve& curve, std::size_t column);

// Whether a drawing's column is a station (ZH to HZ) rather than a length.
constexpr bool PiDrawnIsStation(std::size_t column) { return column >= 6; }

}  // namespace velmora::model
