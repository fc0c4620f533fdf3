#pragma once
// zorvik-cli: every printer action of the windows from the command line.
// Exit status 0 on success, 1 when a printer action failed, 2 for bad arguments.
#include <ostream>
#include <string>
#include <vector>

#include "cli/CliEnv.h"

namespace zorvik {

// args holds the arguments after the program name.
int RunCli(const std::vector<std::string>& args, const CliEnv& env, std::ostream& out, std::ostream& err);

}  // namespace zorvik
