// The station table as the window's list shows it: the report's CSV text
// kept whole, with where each line starts, so that a list of a million rows
// asks for one cell at a time. Copying gives tab-separated rows under a
// header line, as spreadsheets paste them.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace velmora::roadwindow {

class TableModel {
 public:
  // Takes the CSV: the header line, then one line a row, LF or CR LF ends,
  // with or without a byte-order mark.
  void Reset(std::string csv);
  void Clear() { Reset({}); }

  std::size_t Rows() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  std::size_t Columns() const { return header_.size(); }
  const std::vector<std::string>& Header() const { return header_; }
  // The cell's text, unquoted; "" past the row's last field or the table.
  std::string Cell(std::size_t row, std::size_t column) const;
  // The header line and the rows given (in the order given), each cell
  // separated by a tab, CR LF after each line. A tab or line break inside
  // a cell becomes a space, so each row stays one line.
  std::string CopyRows(std::span<const std::size_t> rows) const;
  const std::string& Csv() const { return csv_; }

 private:
  std::vector<std::string> Split(std::size_t row) const;

  std::string csv_;
  std::vector<std::string> header_;
  std::vector<std::size_t> starts_;  // of each row's line, then one past the last
};

}  // namespace velmora::roadwindow
