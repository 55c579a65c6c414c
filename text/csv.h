// Comma-separated text as spreadsheets write it (RFC 4180), one record a
// line, read as a stream so that a file of any length takes bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::text {

// A byte stream read from the start: a file, standard input, or bytes in
// memory.
class Source {
 public:
  virtual ~Source() = default;
  // Reads up to `size` bytes; 0 at the end of the input. Sets `failed` and
  // returns 0 on a read error.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  bool failed = false;
};

// Bytes in memory as a Source.
class BytesSource final : public Source {
 public:
  explicit BytesSource(std::string_view bytes) : bytes_(bytes) {}
  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  std::string_view bytes_;
};

// The longest line taken, without its line end.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

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

// The records of a CSV file, one a line: a byte-order mark before the first
// line dropped, blank lines skipped (and with `comments`, lines that are
// blank but for spaces and tabs or start with '#'), each other line
// checked (length, UTF-8, quotes) and split into its fields.
class CsvReader {
 public:
  CsvReader(Source& in, bool comments);

  enum class Problem { kNone, kTooLong, kNotUtf8, kBadQuote };
  struct Record {
    std::uint64_t line = 0;  // from 1
    std::string_view text;   // the line, without a byte-order mark
    Problem problem = Problem::kNone;
    // The fields when there is no problem; they view the reader's buffers,
    // valid until the next call.
    std::vector<std::string_view> fields;
  };
  // False at the end of the input (or on a read error: see Source::failed).
  bool Next(Record& record);
  // What is wrong with a line, as a file's message says it ("it is not
  // UTF-8 text"); empty for kNone.
  static std::string Describe(Problem problem);

 private:
  LineReader lines_;
  bool comments_;
  std::string unquoted_;
};

}  // namespace velmora::text
