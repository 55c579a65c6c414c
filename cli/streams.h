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
  // Writes out anything held back; false when that failed.
  virtual bool Finish() { return true; }
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
  // Opens a file named in UTF-8 for reading, or creates it for writing;
  // nullptr with the reason in `error` when that fails.
  virtual std::unique_ptr<Source> OpenInput(const std::string& path, std::string& error);
  virtual std::unique_ptr<Sink> OpenOutput(const std::string& path, std::string& error);
  // Whether two names are one and the same existing file.
  virtual bool SameFile(const std::string& a, const std::string& b);
};

}  // namespace velmora::cli
