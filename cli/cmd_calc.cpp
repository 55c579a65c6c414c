// calc: the window's answer for its six texts.
#include "cli/command.h"
#include "cli/commands.h"

namespace velmora::cli {
namespace {

constexpr CommandSpec kSpec = {
    .name = "calc",
    .operands = "KA KB RA RB KI CA",
    .operands_wanted = "six texts",
    .min_operands = kInputFields.size(),
    .max_operands = kInputFields.size(),
    .options = {},
    .summary = "one station's azimuth on one element, from the window's six texts",
    .description =
        "The texts of the window's six fields, in its order: start station, end\n"
        "station, start radius, end radius, point station and start azimuth\n"
        "(packed: 45.3015 is 45 degrees 30 minutes 15 seconds). A text that begins\n"
        "with '-' is a text, not an option. Prints the point's azimuth, or the\n"
        "window's message on stderr (exit status 1).\n",
    .options_before_operands_only = true,
};

int RunCalc(const CommandSpec&, const ParsedArgs& args, System& system) {
  const auto& t = args.operands;
  Calculator calculator;
  const Answer& answer = calculator.Run({t[0], t[1], t[2], t[3], t[4], t[5]});
  if (answer.field_refused) {
    return Complain(system, answer.message, kExitUsage);
  }
  if (answer.azimuth.empty()) {
    return Complain(system, answer.message, kExitRefused);
  }
  Writer out(system.Out(), false);
  out.Line(answer.azimuth);
  return Finish(system, out, kExitAnswered);
}

}  // namespace

const Command kCalcCommand = {kSpec, RunCalc};

}  // namespace velmora::cli
