// velmora-cli: Velmora's answers at the console, for one point, a stake-out
// table or a spreadsheet of points.
#include "cli/commands.h"
#include "cli/standard.h"

int main(int argc, char** argv) {
  velmora::cli::StandardSystem system;
  const std::vector<std::string> args = velmora::cli::Arguments(argc, argv);
  return velmora::cli::Run(args, system);
}
