#pragma once
// Runs zorvik-cli in-process against virtual printers on loopback TCP, with a
// recording pacer so the protocol's pauses are not slept.
#include <sstream>
#include <string>
#include <vector>

#include "base/Pacer.h"
#include "cli/CliApp.h"
#include "sim/SimServer.h"

namespace zorvik::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// env may bring its own ports or clock; without a pacer each printer gets a VirtualPacer.
inline CliResult RunCliForTest(const std::vector<std::string>& args, CliEnv env = {})
{
    if (!env.makePacer)
        env.makePacer = [] { return std::make_unique<VirtualPacer>(); };
    std::ostringstream out;
    std::ostringstream err;
    CliResult result;
    result.status = RunCli(args, env, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

inline std::string TcpTarget(const SimServer& server)
{
    return "127.0.0.1:" + std::to_string(server.TcpPort());
}

}  // namespace zorvik::test
