#include "text/csv.h"

#include <algorithm>
#include <cstring>

#include "text/text.h"

namespace velmora::text {
namespace {

constexpr std::size_t kReadSize = 256 * 1024;

}  // namespace

bool SplitCsvLine(std::string_view line, std::vector<std::string_view>& fields,
                  std::string& unquoted) {
  fields.clear();
  if (std::memchr(line.data(), '"', line.size()) == nullptr) {
    // No quotes, the common line: fields are what lies between commas.
    while (true) {
      const std::size_t comma = line.find(',');
      fields.push_back(line.substr(0, comma));
      if (comma == std::string_view::npos) {
        return true;
      }
      line.remove_prefix(comma + 1);
    }
  }
  // Unquoted texts are never longer than the line: no reallocation moves
  // them while the fields view them.
  unquoted.clear();
  unquoted.reserve(line.size());
  const char* p = line.data();
  const char* const end = p + line.size();
  while (true) {
    if (p != end && *p == '"') {
      const std::size_t begin = unquoted.size();
      ++p;
      while (true) {
        const char* from = p;
        while (p != end && *p != '"') {
          ++p;
        }
        if (p == end) {
          return false;  // left open
        }
        unquoted.append(from, p);
        ++p;
        if (p != end && *p == '"') {
          unquoted += '"';
          ++p;
          continue;
        }
        break;
      }
      fields.push_back(std::string_view(unquoted).substr(begin));
      if (p == end) {
        return true;
      }
      if (*p != ',') {
        return false;  // text after the closing quote
      }
      ++p;
      continue;
    }
    const char* from = p;
    while (p != end && *p != ',') {
      if (*p == '"') {
        return false;  // a quote inside a bare field
      }
      ++p;
    }
    fields.push_back(std::string_view(from, static_cast<std::size_t>(p - from)));
    if (p == end) {
      return true;
    }
    ++p;
  }
}

void AppendCsvField(std::string& out, std::string_view field) {
  const auto plain = [](char c) { return c != ',' && c != '"' && c != '\r' && c != '\n'; };
  if (std::all_of(field.begin(), field.end(), plain)) {
    out.append(field);
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') {
      out += '"';
    }
    out += c;
  }
  out += '"';
}

LineReader::LineReader(Source& in) : in_(in), buffer_(kReadSize + kMaxLineBytes + 2) {}

bool LineReader::Fill() {
  if (at_end_) {
    return false;
  }
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  const std::size_t got = in_.Read(buffer_.data() + end_, buffer_.size() - end_);
  if (got == 0) {
    at_end_ = true;
    return false;
  }
  end_ += got;
  return true;
}

bool LineReader::Next(Line& line) {
  std::size_t scanned = begin_;  // no line end in [begin_, scanned)
  bool too_long = false;
  while (true) {
    const char* start = buffer_.data() + scanned;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - scanned));
    if (newline != nullptr) {
      const auto stop = static_cast<std::size_t>(newline - buffer_.data());
      std::size_t length = stop - begin_;
      if (length > 0 && buffer_[begin_ + length - 1] == '\r') {
        --length;
      }
      line = {std::string_view(buffer_.data() + begin_, too_long ? 0 : length), ++number_,
              too_long || length > kMaxLineBytes};
      if (line.too_long) {
        line.text = {};
      }
      begin_ = stop + 1;
      return true;
    }
    // The line goes on: beyond the limit, keep only what tells where it ends.
    if (end_ - begin_ > kMaxLineBytes + 1) {
      too_long = true;
      begin_ = end_ - 1;  // a CR that may precede the LF
    }
    scanned = end_;
    const std::size_t kept = scanned - begin_;
    if (!Fill()) {
      if (end_ == begin_ && !too_long) {
        return false;
      }
      std::size_t length = end_ - begin_;
      line = {std::string_view(buffer_.data() + begin_, length), ++number_,
              too_long || length > kMaxLineBytes};
      if (line.too_long) {
        line.text = {};
      }
      begin_ = end_;
      return true;
    }
    scanned = begin_ + kept;
  }
}

std::size_t BytesSource::Read(char* buffer, std::size_t size) {
  const std::size_t count = std::min(size, bytes_.size());
  std::copy_n(bytes_.data(), count, buffer);
  bytes_.remove_prefix(count);
  return count;
}

CsvReader::CsvReader(Source& in, bool comments) : lines_(in), comments_(comments) {}

bool CsvReader::Next(Record& record) {
  LineReader::Line line{};
  while (lines_.Next(line)) {
    record.line = line.number;
    record.text = line.text;
    record.fields.clear();
    if (line.number == 1 && record.text.starts_with(kByteOrderMark)) {
      record.text.remove_prefix(kByteOrderMark.size());
    }
    if (line.too_long) {
      record.problem = Problem::kTooLong;
      return true;
    }
    if (!IsValidUtf8(record.text)) {
      record.problem = Problem::kNotUtf8;
      return true;
    }
    const std::string_view trimmed = comments_ ? Trim(record.text) : record.text;
    if (trimmed.empty() || (comments_ && trimmed.starts_with('#'))) {
      continue;
    }
    record.problem =
        SplitCsvLine(record.text, record.fields, unquoted_) ? Problem::kNone : Problem::kBadQuote;
    return true;
  }
  return false;
}

std::string CsvReader::Describe(Problem problem) {
  switch (problem) {
    case Problem::kTooLong:
      return "it is longer than " + std::to_string(kMaxLineBytes) + " bytes";
    case Problem::kNotUtf8:
      return "it is not UTF-8 text";
    case Problem::kBadQuote:
      return "a quote is out of place";
    case Problem::kNone:
      break;
  }
  return {};
}

}  // namespace velmora::text
