#include "cli/output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "text/csv.h"
#include "text/text.h"

namespace velmora::cli {

Writer::Writer(Sink& sink, bool crlf) : LineOut(crlf), sink_(sink) {
  text.reserve(2 * kFlushBytes);
}

bool Writer::Finish() {
  Flush();
  return ok_ && sink_.Finish();
}

void Writer::Abandon() {
  Flush();
  sink_.Abandon();
}

void Writer::Flush() {
  if (!text.empty()) {
    ok_ = sink_.Write(text) && ok_;
    text.clear();
  }
}

int Complain(System& system, std::string_view message, int status) {
  Writer err(system.Err(), false);
  err.Line(message);
  err.Finish();
  return status;
}

int Fail(System& system, std::string_view problem) {
  if (problem.starts_with(kProgram)) {
    return Complain(system, problem, kExitUsage);
  }
  return Complain(system, std::string(kProgram) + ": " + std::string(problem), kExitUsage);
}

int Finish(System& system, Writer& out, int status) {
  if (status != kExitAnswered && status != kExitRefused) {
    out.Abandon();
    return status;
  }
  if (!out.Finish()) {
    return Fail(system, "the output could not be written");
  }
  return status;
}

std::optional<Input> OpenInput(System& system, std::optional<std::string_view> name) {
  Input input;
  if (!name || *name == "-") {
    input.source = &system.In();
    input.name = "standard input";
    return input;
  }
  std::string error;
  input.name = std::string(*name);
  input.file = system.OpenInput(input.name, error);
  if (!input.file) {
    Fail(system, "cannot read \"" + Printable(*name) + "\": " + error);
    return std::nullopt;
  }
  input.source = input.file.get();
  return input;
}

std::optional<Output> OpenOutput(System& system, std::optional<std::string_view> name,
                                 std::span<const std::string_view> inputs) {
  Output output;
  if (!name || *name == "-") {
    output.sink = &system.Out();
    return output;
  }
  const std::string path(*name);
  for (const std::string_view input : inputs) {
    if (input == "-" ? system.IsStandardInput(path) : system.SameFile(std::string(input), path)) {
      Fail(system, "the output file \"" + Printable(path) + "\" is " +
                       (input == "-" ? "standard input" : "an input file") +
                       ": the run would replace the file it reads; name another with -o");
      return std::nullopt;
    }
  }
  std::string error;
  output.file = system.OpenOutput(path, error);
  if (!output.file) {
    Fail(system, "cannot write \"" + Printable(path) + "\": " + error);
    return std::nullopt;
  }
  output.sink = output.file.get();
  return output;
}

}  // namespace velmora::cli
