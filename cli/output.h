// What every command writes: lines gathered into large writes, the
// program's error messages, and numbers as fixed-point text.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/streams.h"
#include "report/line_out.h"
#include "text/text.h"

namespace velmora::cli {

inline constexpr std::string_view kProgram = "velmora-cli";

inline constexpr int kExitAnswered = 0;  // every point has an answer
inline constexpr int kExitRefused = 1;   // at least one point has none
inline constexpr int kExitUsage = 2;  // a bad command line or input file, or a read/write failure

using text::kByteOrderMark;

// Output gathered into large writes, always ending at a line end, sent to
// a stream or a file.
class Writer : public report::LineOut {
 public:
  Writer(Sink& sink, bool crlf);

  // False when anything failed to go out.
  bool Finish();
  // Writes out what is gathered and gives the output up: a file keeps what
  // it held before the run.
  void Abandon();
  // False once a write has failed: a long table stops there.
  bool ok() const override { return ok_; }
  void Flush() override;

 private:
  Sink& sink_;
  bool ok_ = true;
};

using text::Printable;

// Writes "velmora-cli: <problem>" on standard error (the problem as it
// stands when it already starts with the program's name, as the window's
// messages do not) and returns kExitUsage.
int Fail(System& system, std::string_view problem);

// Writes the message on standard error as it stands and returns `status`.
int Complain(System& system, std::string_view message, int status);

// Finishes standard output (or a file) and returns `status`, or kExitUsage
// with a message when the output could not be written. A file named with
// -o takes what was written only here, and only for a status of 0 or 1.
int Finish(System& system, Writer& out, int status);

// A file named on the command line, or standard input for "-" (or no
// name). Nothing when the file cannot be opened: the reason is then on
// standard error.
struct Input {
  std::unique_ptr<Source> file;
  Source* source = nullptr;
  std::string name;  // as messages name it: the file's name, or "standard input"
};
std::optional<Input> OpenInput(System& system, std::optional<std::string_view> name);

// Standard output, or the file `name` (-o), which must be none of the
// files named in `inputs` ("-" for standard input, when it is read): the
// run would replace the file it reads. Nothing when it cannot be created: the reason is then on
// standard error.
struct Output {
  std::unique_ptr<Sink> file;
  Sink* sink = nullptr;
};
std::optional<Output> OpenOutput(System& system, std::optional<std::string_view> name,
                                 std::span<const std::string_view> inputs);

using text::AppendFixed;

}  // namespace velmora::cli
