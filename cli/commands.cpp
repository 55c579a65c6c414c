#include "cli/commands.h"

#include <algorithm>
#include <string>

#include "cli/command.h"

#ifndef VELMORA_VERSION
#error "VELMORA_VERSION names the program's version"
#endif

namespace velmora::cli {
namespace {

// Every command, in the order the program's help lists them.
const Command* const kCommands[] = {
    &kCalcCommand,   &kTableCommand, &kCsvCommand,         &kCheckCommand,   &kStakeoutCommand,
    &kLocateCommand, &kPlotCommand,  &kPlotProfileCommand, &kLandXmlCommand, &kElementsCommand,
};

constexpr std::string_view kIntroduction =
    "Velmora's answers at the console: the azimuth at a station of one\n"
    "alignment element (a straight, a circular arc or a transition spiral),\n"
    "the same as the window's for the same texts, and whole roads from an\n"
    "element file, a PI file or a LandXML file.\n";

constexpr std::string_view kConventions =
    "\n"
    "X is northing, Y easting; azimuths clockwise from north; a positive\n"
    "radius turns right (the azimuth increases), a negative one left, 0 is no\n"
    "curvature; offsets are positive to the right of increasing station. One\n"
    "length unit throughout, never converted. Stations are read as 1234.5 or\n"
    "K1+234.5. Options may be written --name VALUE or --name=VALUE; '--' ends\n"
    "the options; '-' names standard input. 'velmora-cli COMMAND --help'\n"
    "tells more of each command.\n"
    "\n"
    "Exit status: 0 when every point has an answer, 1 when one has none, 2 for\n"
    "a wrong command line, a bad element file or a failed read or write.\n";

std::string AllUsages() {
  std::string out;
  bool first = true;
  for (const Command* command : kCommands) {
    out += UsageLines(command->syntax, first);
    first = false;
  }
  out += "       velmora-cli --help | --version\n";
  return out;
}

int ProgramUsageError(System& system, std::string_view problem) {
  Writer err(system.Err(), false);
  err.Line(std::string(kProgram) + ": " + std::string(problem));
  err.text += AllUsages();
  err.Finish();
  return kExitUsage;
}

int Help(System& system) {
  Writer out(system.Out(), false);
  out.text += AllUsages();
  out.text += '\n';
  out.text += kIntroduction;
  out.text += '\n';
  // The summaries in one column, two spaces after the longest name.
  std::size_t column = 12;
  for (const Command* command : kCommands) {
    column = std::max(column, command->syntax.name.size() + 4);
  }
  for (const Command* command : kCommands) {
    std::string name = "  " + std::string(command->syntax.name);
    name.append(column - name.size(), ' ');
    out.text += name;
    out.Line(command->syntax.summary);
  }
  out.text += kConventions;
  return Finish(system, out, kExitAnswered);
}

}  // namespace

std::span<const Command* const> AllCommands() { return kCommands; }

int UsageError(System& system, const CommandSpec& command, std::string_view problem) {
  Writer err(system.Err(), false);
  err.Line(std::string(kProgram) + ": " + std::string(problem));
  err.text += UsageLines(command, true);
  err.Line("'velmora-cli " + std::string(command.name) + " --help' tells more.");
  err.Finish();
  return kExitUsage;
}

int Run(std::span<const std::string> args, System& system) {
  if (args.empty()) {
    return ProgramUsageError(system, "a command is needed");
  }
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    return Help(system);
  }
  if (name == "--version") {
    Writer out(system.Out(), false);
    out.Line(std::string(kProgram) + " " + VELMORA_VERSION);
    return Finish(system, out, kExitAnswered);
  }
  for (const Command* command : kCommands) {
    if (command->syntax.name != name) {
      continue;
    }
    std::string error;
    const std::optional<ParsedArgs> parsed = ParseArgs(command->syntax, args.subspan(1), error);
    if (!parsed) {
      return UsageError(system, command->syntax, error);
    }
    if (parsed->help) {
      Writer out(system.Out(), false);
      out.text += CommandHelp(command->syntax);
      return Finish(system, out, kExitAnswered);
    }
    return command->run(command->syntax, *parsed, system);
  }
  return ProgramUsageError(
      system,
      (name.starts_with('-') ? "unknown option '" : "unknown command '") + Printable(name) + "'");
}

}  // namespace velmora::cli
