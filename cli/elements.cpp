#include "cli/elements.h"

#include <string>
#include <variant>

#include "cli/output.h"

namespace velmora::cli {
namespace {

// Reads up to `limit` bytes into `bytes`; false on a read error.
bool ReadUpTo(Source& in, std::string& bytes, std::size_t limit) {
  constexpr std::size_t kChunk = 64 * 1024;
  while (bytes.size() < limit) {
    const std::size_t at = bytes.size();
    bytes.resize(at + std::min(kChunk, limit - at));
    const std::size_t count = in.Read(bytes.data() + at, bytes.size() - at);
    bytes.resize(at + count);
    if (count == 0) {
      return !in.failed;
    }
  }
  return true;
}

}  // namespace

std::optional<LoadedAlignment> LoadAlignment(System& system, std::string_view path,
                                             const LoadOptions& options, int decimals) {
  std::optional<Input> input = OpenInput(system, path);
  if (!input) {
    return std::nullopt;
  }
  std::string bytes;
  if (!ReadUpTo(*input->source, bytes, model::kMaxInputBytes + 1)) {
    Fail(system, Printable(input->name) + ", it could not be read");
    return std::nullopt;
  }
  std::variant<model::Road, model::LoadError> result = model::Load(bytes, input->name, options);
  if (const auto* error = std::get_if<model::LoadError>(&result)) {
    Fail(system, error->Text());
    return std::nullopt;
  }
  model::Road& road = std::get<model::Road>(result);
  Writer err(system.Err(), false);
  for (const std::string& note : road.notes) {
    err.Line(std::string(kProgram) + ": " + Printable(road.name) + ", " + note);
  }
  for (const std::string& finding : road.FindingTexts(decimals)) {
    err.Line(std::string(kProgram) + ": " + finding);
  }
  err.Finish();
  return std::move(road);
}

int FindingsStatus(const LoadedAlignment& road) {
  return road.Contradicts() ? kExitRefused : kExitAnswered;
}

namespace {

// The bytes of a height file, or nothing with the message on standard error.
std::optional<std::string> ReadHeightFile(System& system, std::string_view path,
                                          std::string& name) {
  std::optional<Input> input = OpenInput(system, path);
  if (!input) {
    return std::nullopt;
  }
  name = input->name;
  std::string bytes;
  if (!ReadUpTo(*input->source, bytes, model::kMaxInputBytes + 1)) {
    Fail(system, Printable(name) + ", it could not be read");
    return std::nullopt;
  }
  if (bytes.size() > model::kMaxInputBytes) {
    Fail(system, Printable(name) + ", it is larger than " +
                     std::to_string(model::kMaxInputBytes >> 20) + " MiB; give a smaller file");
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

std::optional<Heights> LoadHeights(System& system, const road::Alignment& alignment,
                                   std::optional<std::string_view> profile,
                                   std::optional<std::string_view> cross_slopes,
                                   std::optional<double> slope, bool stdin_taken) {
  Heights heights;
  if ((profile && *profile == "-" && (stdin_taken || (cross_slopes && *cross_slopes == "-"))) ||
      (cross_slopes && *cross_slopes == "-" && stdin_taken)) {
    Fail(system, "standard input can be read for one file only; name the others");
    return std::nullopt;
  }
  std::string name;
  if (profile) {
    const std::optional<std::string> bytes = ReadHeightFile(system, *profile, name);
    if (!bytes) {
      return std::nullopt;
    }
    auto read = model::ReadProfile(*bytes, name, alignment);
    if (const auto* error = std::get_if<model::LoadError>(&read)) {
      Fail(system, error->Text());
      return std::nullopt;
    }
    heights.profile = std::move(std::get<model::ProfileFile>(read));
  }
  if (cross_slopes) {
    const std::optional<std::string> bytes = ReadHeightFile(system, *cross_slopes, name);
    if (!bytes) {
      return std::nullopt;
    }
    auto read = model::ReadCrossSlopes(*bytes, name, alignment);
    if (const auto* error = std::get_if<model::LoadError>(&read)) {
      Fail(system, error->Text());
      return std::nullopt;
    }
    heights.slopes = std::get<road::CrossSlopes>(read);
  } else if (slope) {
    heights.slopes = road::CrossSlopes(*slope);
  }
  return heights;
}

}  // namespace velmora::cli
