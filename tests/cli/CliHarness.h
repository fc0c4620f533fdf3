#pragma once
// Runs zorvik-cli in-process against virtual printers on loopback TCP, with a
// recording pacer so the protocol's pauses are not slept.
#include <sstream>
#include <string>
#include <vector>

#include "app/PresetSettingsFile.h"
#include "base/Pacer.h"
#include "cli/CliApp.h"
#include "sim/SimServer.h"
#include "support/FakeQueuePresets.h"

namespace zorvik::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// env may bring its own ports or clock; without a pacer each printer gets a VirtualPacer.
// Without presets of its own, --queue finds the queues "File" (on a file) and "Usb" (on
// a USB printer) and no own settings, never the system's.
inline CliResult RunCliForTest(const std::vector<std::string>& args, CliEnv env = {})
{
    if (!env.makePacer)
        env.makePacer = [] { return std::make_unique<VirtualPacer>(); };
    if (!env.makeQueuePresets) {
        env.makeQueuePresets = [] {
            auto queues = std::make_unique<FakeQueuePresets>();
            queues->Set("File", "file:/dev/null");
            queues->Set("Usb", "usb://KARVO/LXT-640IV?serial=KV0012345");
            return queues;
        };
    }
    if (!env.makeOwnPresetValues)
        env.makeOwnPresetValues = [] {
            return std::make_unique<PresetSettingsFile>("/nonexistent/own.conf");
        };
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
