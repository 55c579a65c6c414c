#include "roadwindow/table_model.h"

#include "text/csv.h"

namespace velmora::roadwindow {
namespace {

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
    line.remove_suffix(1);
  }
  return line;
}

std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::string unquoted;
  if (!text::SplitCsvLine(line, fields, unquoted)) {
    return {std::string(line)};  // not CSV: the whole line in the first column
  }
  return {fields.begin(), fields.end()};
}

void AppendTsvCell(std::string& out, std::string_view cell) {
  for (const char c : cell) {
    out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
  }
}

}  // namespace

void TableModel::Reset(std::string csv) {
  csv_ = std::move(csv);
  header_.clear();
  starts_.clear();
  std::string_view text = csv_;
  std::size_t at = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  if (at >= text.size()) {
    return;
  }
  std::size_t end = text.find('\n', at);
  end = end == std::string_view::npos ? text.size() : end + 1;
  header_ = Fields(WithoutLineEnd(text.substr(at, end - at)));
  at = end;
  while (at < text.size()) {
    starts_.push_back(at);
    end = text.find('\n', at);
    at = end == std::string_view::npos ? text.size() : end + 1;
  }
  starts_.push_back(text.size());
}

std::vector<std::string> TableModel::Split(std::size_t row) const {
  if (row >= Rows()) {
    return {};
  }
  const std::string_view text = csv_;
  return Fields(WithoutLineEnd(text.substr(starts_[row], starts_[row + 1] - starts_[row])));
}

std::string TableModel::Cell(std::size_t row, std::size_t column) const {
  std::vector<std::string> fields = Split(row);
  return column < fields.size() ? std::move(fields[column]) : std::string();
}

std::string TableModel::CopyRows(std::span<const std::size_t> rows) const {
  std::string out;
  const auto line = [&out](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i > 0) {
        out += '\t';
      }
      AppendTsvCell(out, cells[i]);
    }
    out += "\r\n";
  };
  line(header_);
  for (const std::size_t row : rows) {
    line(Split(row));
  }
  return out;
}

}  // namespace velmora::roadwindow
