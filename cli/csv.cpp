#include "cli/csv.h"

#include <algorithm>
#include <cstring>

namespace velmora::cli {
namespace {

constexpr std::size_t kReadSize = 256 * 1024;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0U) == 0x80U; }

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* const end = p + bytes.size();
  while (p != end) {
    // Plain ASCII eight bytes at a time.
    if (end - p >= 8) {
      std::uint64_t eight = 0;
      std::memcpy(&eight, p, sizeof eight);
      if ((eight & 0x8080808080808080ULL) == 0) {
        p += 8;
        continue;
      }
    }
    const unsigned char lead = *p;
    if (lead < 0x80U) {
      ++p;
      continue;
    }
    std::size_t length = 0;
    unsigned char low = 0x80U;  // range of the second byte
    unsigned char high = 0xBFU;
    if (lead >= 0xC2U && lead <= 0xDFU) {
      length = 2;
    } else if (lead >= 0xE0U && lead <= 0xEFU) {
      length = 3;
      low = lead == 0xE0U ? 0xA0U : 0x80U;   // no overlong forms
      high = lead == 0xEDU ? 0x9FU : 0xBFU;  // no surrogates
    } else if (lead >= 0xF0U && lead <= 0xF4U) {
      length = 4;
      low = lead == 0xF0U ? 0x90U : 0x80U;
      high = lead == 0xF4U ? 0x8FU : 0xBFU;  // nothing above U+10FFFF
    } else {
      return false;
    }
    if (static_cast<std::size_t>(end - p) < length || p[1] < low || p[1] > high) {
      return false;
    }
    for (std::size_t i = 2; i < length; ++i) {
      if (!IsContinuation(p[i])) {
        return false;
      }
    }
    p += length;
  }
  return true;
}

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

}  // namespace velmora::cli
