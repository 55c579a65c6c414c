// Road inputs at the console: the file read through the System, loaded by
// the model (model/road.h), and what it says shown on standard error.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "cli/streams.h"
#include "model/heights.h"
#include "model/road.h"
#include "report/table.h"
#include "road/profile.h"

namespace velmora::cli {

using LoadedAlignment = model::Road;
using model::LoadOptions;

// Reads and loads the road input `path` ("-": standard input). Nothing when
// it cannot: the message, naming the file and the line or the alignment and
// the element, is then on standard error and the command ends with
// kExitUsage, before any output file is opened. What was read on past (a
// LandXML file's notes) and every finding (as `check` words it, lengths with
// `decimals` decimals) go to standard error too; see FindingsStatus.
std::optional<LoadedAlignment> LoadAlignment(System& system, std::string_view path,
                                             const LoadOptions& options = {}, int decimals = 4);

// The exit status a command that read `road` ends with when all else went
// well: kExitRefused when the road contradicts itself (its findings are on
// standard error already), kExitAnswered otherwise.
int FindingsStatus(const LoadedAlignment& road);

// The heights of a road as the command line gives them: the profile, and
// the cross slopes when a file or one slope for both sides is given.
using report::Heights;

// Reads the profile file `profile` and the cross-slope file `cross_slopes`
// (either may be absent, "-" for standard input unless `stdin_taken`) or
// takes `slope` for both sides, against `alignment`. Nothing when a file
// cannot be read or is refused: the message naming the file and the line
// is then on standard error, and the command ends with kExitUsage.
std::optional<Heights> LoadHeights(System& system, const road::Alignment& alignment,
                                   std::optional<std::string_view> profile,
                                   std::optional<std::string_view> cross_slopes,
                                   std::optional<double> slope, bool stdin_taken);

}  // namespace velmora::cli
