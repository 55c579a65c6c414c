// One command of the console program: its command line as a table, and
// what it does with the arguments read by that table. A new command is a
// file that defines one of these and a line in commands.cpp's list.
#pragma once

#include <span>
#include <string_view>

#include "cli/options.h"
#include "cli/output.h"
#include "cli/streams.h"

namespace velmora::cli {

struct Command {
  const CommandSpec& syntax;
  int (*run)(const CommandSpec& syntax, const ParsedArgs& args, System& system);
};

// "velmora-cli: <problem>", the command's usage and where its help is, on
// standard error; returns kExitUsage.
int UsageError(System& system, const CommandSpec& command, std::string_view problem);

// Every command, in the order the program's help lists them.
std::span<const Command* const> AllCommands();

extern const Command kCalcCommand;
extern const Command kTableCommand;
extern const Command kCsvCommand;
extern const Command kCheckCommand;
extern const Command kStakeoutCommand;
extern const Command kLocateCommand;
extern const Command kPlotCommand;
extern const Command kPlotProfileCommand;
extern const Command kLandXmlCommand;
extern const Command kElementsCommand;

}  // namespace velmora::cli
