// Comma-separated text as spreadsheets write it (RFC 4180), one record a
// line, read as a stream so that a file of any length takes bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/streams.h"

namespace velmora::cli {

// The longest line taken, without its line end.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

// True when the bytes are well-formed UTF-8: no stray continuation bytes, no
// overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Splits one line into its fields. A field is either bare (no '"' in it) or
// quoted: '"', any text with each '"' doubled, '"', then a comma or the end
// of the line. False for any other use of '"', such as a quote left open.
// The fields view the line, or `unquoted` for quoted fields: both must
// outlive them.
bool SplitCsvLine(std::string_view line, std::vector<std::string_view>& fields,
                  std::string& unquoted);

// Appends a field, quoted when it holds a comma, a quote or a line break.
void AppendCsvField(std::string& out, std::string_view field);

// Lines of a byte stream, each without its LF or CRLF; a last line without
// a line end counts too.
class LineReader {
 public:
  explicit LineReader(Source& in);

  struct Line {
    std::string_view text;  // valid until the next call
    std::uint64_t number;   // from 1
    bool too_long;          // over kMaxLineBytes: the text is dropped
  };
  // False at the end of the input (or on a read error: see Source::failed).
  bool Next(Line& line);

 private:
  bool Fill();

  Source& in_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // unread bytes are [begin_, end_)
  std::size_t end_ = 0;
  bool at_end_ = false;
  std::uint64_t number_ = 0;
};

}  // namespace velmora::cli
