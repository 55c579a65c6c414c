// Lines of text, as every front end writes a road's tables: gathered into
// large writes, each handed on whole (a console's stream, a file, or kept
// in memory by a window that shows it).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::report {

// `text` is appended to; EndLine() ends a line ("\n", or "\r\n") and hands
// the text on (Flush) once it is large. This class itself keeps
// everything: a string sink.
class LineOut {
 public:
  explicit LineOut(bool crlf = false) : crlf_(crlf) {}
  virtual ~LineOut() = default;

  std::string text;

  // Appends the line end; Flush() once `text` holds kFlushBytes or more.
  void EndLine() {
    text += crlf_ ? "\r\n" : "\n";
    if (text.size() >= kFlushBytes) {
      Flush();
    }
  }
  void Line(std::string_view line) {
    text += line;
    EndLine();
  }
  // Hands on what is gathered; a string sink keeps it in `text`.
  virtual void Flush() {}
  // False once a write has failed: a long table stops there.
  virtual bool ok() const { return true; }

  static constexpr std::size_t kFlushBytes = 64 * 1024;

 private:
  bool crlf_;
};

}  // namespace velmora::report
