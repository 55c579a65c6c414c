// Road inputs at the console: the file read through the System, loaded by
// the model (model/road.h), and what it says shown on standard error.
#pragma once

#include <optional>
#include <string_view>

#include "cli/streams.h"
#include "model/road.h"

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

}  // namespace velmora::cli
