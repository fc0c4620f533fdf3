// zorvik-cli check against the virtual printer, run in-process.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/CliApp.h"
#include "sim/SimServer.h"

namespace zorvik {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Cli(std::vector<std::string> args)
{
    std::ostringstream out;
    std::ostringstream err;
    VirtualPacer pacer;
    CliEnvironment env{out, err, pacer};
    args.insert(args.begin(), "zorvik-cli");
    const int status = RunCli(args, env);
    return {status, out.str(), err.str()};
}

class CheckCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start({true, true, 0})) << server.Error(); }
    std::string TcpPort() const { return std::to_string(server.TcpPort()); }
    SimServer server;
};

TEST_F(CheckCommandTest, HealthyPrinterOverTcpAndPty)
{
    const Outcome tcp = Cli({"check", "--port", "127.0.0.1", "--tcp-port", TcpPort()});
    EXPECT_EQ(tcp.status, 0) << tcp.err;
    EXPECT_EQ(tcp.out, "Printer is connected.\n");
    // (A Linux pty always keeps 8 data bits without parity, so those stay at their defaults.)
    const Outcome pty =
        Cli({"check", "--port", server.PtyPath(), "--baud", "19200", "--stop-bits", "2", "--flow", "none"});
    EXPECT_EQ(pty.status, 0) << pty.err;
    EXPECT_EQ(pty.out, "Printer is connected.\n");
}

TEST_F(CheckCommandTest, WrongModelFails)
{
    server.WithPrinter([](VirtualPrinter& p) { p.Identity().model = "LXT-650"; });
    const Outcome o = Cli({"check", "--port", "127.0.0.1", "--tcp-port", TcpPort()});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "The connected printer has different Model name.\n");
}

TEST_F(CheckCommandTest, BadArgumentsGiveUsage)
{
    const std::vector<std::vector<std::string>> rows = {
        {},
        {"check"},
        {"frobnicate"},
        {"check", "--port", "COM1", "--parity", "sometimes"},
        {"check", "--port", "COM1", "--stop-bits", "3"},
        {"check", "--port", "COM1", "--data-bits", "6"},
        {"check", "--port", "COM1", "--baud", "1234"},
        {"check", "--port", "127.0.0.1", "--tcp-port", "0"},
        {"check", "--port", "127.0.0.1", "--tcp-port", "9100", "--baud", "9600"},
    };
    for (const auto& args : rows) {
        const Outcome o = Cli(args);
        std::string line;
        for (const auto& a : args)
            line += a + " ";
        EXPECT_EQ(o.status, 2) << line;
        EXPECT_NE(o.err.find("Usage"), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace zorvik
