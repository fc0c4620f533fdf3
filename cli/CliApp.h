#pragma once
// zorvik-cli without its process: parses the arguments, runs the chosen subcommand
// and returns the exit status (0 success, 1 failure, 2 bad arguments).
#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace zorvik {

// args[0] is the program name.
int RunCli(const std::vector<std::string>& args, CliEnvironment& env);

}  // namespace zorvik
