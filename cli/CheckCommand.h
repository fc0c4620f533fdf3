#pragma once
// zorvik-cli check: Check Communication from the command line.
#include "cli/CliCommand.h"
#include "cli/PortOptions.h"

namespace zorvik {

class CheckCommand final : public CliCommand {
public:
    void Register(CLI::App& app) override;
    bool Chosen() const override;
    int Run(CliEnvironment& env) override;

private:
    CLI::App* command_ = nullptr;
    PortOptions port_;
};

}  // namespace zorvik
