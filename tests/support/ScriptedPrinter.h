#pragma once
// A printer for the settings tests on the scripted FakePort: it keeps eight memory
// switches and the power-save setting, answers the identification, switch and
// power-save commands in the reply shape of the interface, and can be told to
// misbehave, down to the shape of single replies. Plus a timer host the tests fire by
// hand. The whole protocol, as the virtual printer speaks it, is SimulatedPrinter.
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/TimerHost.h"
#include "link/PrinterLink.h"
#include "support/FakePort.h"
#include "support/RecordingNotifier.h"

namespace zorvik::test {

struct ScriptedPrinter {
    std::array<std::string, 8> switches;  // c8..c1 for switches 1..6, 11, 12
    std::uint8_t powerFlag = 1;
    std::uint8_t powerSeconds = 30;
    std::string model = "LXT-640IV";
    std::string firmware = "V1.02";
    std::string language = "ENG";
    bool silent = false;          // answers nothing at all
    bool endlessText = false;     // text replies never end with 00
    bool noSwitchHeader = false;  // switch replies lose their 37h header
    int powerReplyLength = 4;     // bytes of the power-save reply
    // Reshapes the reply to a switch read into the pieces the port hands out, one per
    // read (an empty piece is a read that finds nothing); unset: one piece.
    std::function<std::vector<Bytes>(int switchNumber, const Bytes& reply)> switchShape;
    std::vector<std::string> switchWrites;  // the eight characters of every fn 3, in order
    std::vector<Bytes> powerSets;

    ScriptedPrinter() { switches.fill("00000000"); }
    void Attach(FakePortState& state);
    void Reply(FakePortState& state, const Bytes& reply) const;
};

// The fake link with a scripted printer behind it, opened.
struct FakePrinterLink {
    explicit FakePrinterLink(bool byteWise = true);
    std::shared_ptr<FakePortState> state = std::make_shared<FakePortState>();
    ScriptedPrinter printer;
    std::unique_ptr<PrinterLink> link;
};

class ManualTimerHost final : public TimerHost {
public:
    void Arm(int id, std::uint32_t ms) override
    {
        armed[id] = ms;
        ++armCount[id];
    }
    void Stop(int id) override { armed.erase(id); }
    // Fires armed timers, lowest id first, until none is left or the bound is hit.
    int RunAll(TimerClient& client, int bound = 100000);
    std::map<int, std::uint32_t> armed;
    std::map<int, int> armCount;
};

// The texts of the messages shown so far, in order.
std::vector<std::string> MessageTexts(const RecordingNotifier& notifier);

}  // namespace zorvik::test
