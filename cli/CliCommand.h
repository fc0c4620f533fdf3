#pragma once
// One subcommand of zorvik-cli. Each lives in its own file: it adds its options to
// the parser and runs when the user chose it.
#include <ostream>

#include "base/Pacer.h"

namespace CLI {
class App;
}

namespace zorvik {

// What a subcommand may use: the two output streams and the pacer of its exchanges.
struct CliEnvironment {
    std::ostream& out;
    std::ostream& err;
    Pacer& pacer;
};

// Exit statuses of zorvik-cli.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

class CliCommand {
public:
    virtual ~CliCommand() = default;
    // Adds the subcommand and its options to the program's parser.
    virtual void Register(CLI::App& app) = 0;
    // True when the parsed command line chose this subcommand.
    virtual bool Chosen() const = 0;
    virtual int Run(CliEnvironment& env) = 0;
};

}  // namespace zorvik
