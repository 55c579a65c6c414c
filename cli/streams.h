// Where the console program reads and writes: byte streams of UTF-8 text,
// with the console, pipes and files behind them. The commands see only these
// interfaces, so the tests run them on strings in memory.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "text/csv.h"

namespace velmora::cli {

class Sink {
 public:
  virtual ~Sink() = default;
  // Writes all of `bytes` (whole lines of UTF-8 text); false when it could
  // not.
  virtual bool Write(std::string_view bytes) = 0;
  // Writes out anything held back; false when that failed. A file written
  // through a temporary one takes the place of the file named only here.
  virtual bool Finish() { return true; }
  // The run failed: a file is left as it was before the run.
  virtual void Abandon() {}
};

// A byte stream read from the start (text/csv.h).
using Source = text::Source;

// The program's standard streams, and its named files.
class System {
 public:
  virtual ~System() = default;
  virtual Sink& Out() = 0;
  virtual Sink& Err() = 0;
  virtual Source& In() = 0;
  // Opens a file named in UTF-8 for reading, or for writing; nullptr with
  // the reason in `error` when that fails. What is written goes to a
  // temporary file in the same folder, which replaces the file named when
  // the sink's Finish succeeds: a run that fails or is cut off half-way
  // leaves the file as it was.
  virtual std::unique_ptr<Source> OpenInput(const std::string& path, std::string& error);
  virtual std::unique_ptr<Sink> OpenOutput(const std::string& path, std::string& error);
  // Puts the file `from` in place of the file `to`, in one step; false with
  // the reason in `error`.
  virtual bool ReplaceFile(const std::string& from, const std::string& to, std::string& error);
  // Whether two names are one and the same existing file.
  virtual bool SameFile(const std::string& a, const std::string& b);
  // Whether standard input is the existing file `path`.
  virtual bool IsStandardInput(const std::string& path);
};

}  // namespace velmora::cli
