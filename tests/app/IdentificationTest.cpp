#include "app/Identification.h"

#include <gtest/gtest.h>

#include <numeric>

#include "resources/CheckTexts.h"
#include "support/PortSettingsPrint.h"
#include "support/SimulatedPrinter.h"

namespace zorvik {
namespace {

using test::Bytes;
using test::BytesOf;
using test::SimulatedPrinter;

// Opens a link on the simulated printer and runs the exchange with the given style.
IdentifyResult Identify(SimulatedPrinter& sim, InterfaceType type, VirtualPacer& pacer)
{
    PrinterLink link(sim.Factory());
    PortSettings settings;
    settings.portName = "COM1";
    EXPECT_NE(link.CreatePort(settings), 0);
    EXPECT_NE(link.Open(), 0);
    return IdentifyPrinter(link, type, pacer);
}

struct FaultRow {
    const char* name;
    void (*arrange)(VirtualPrinter&);
    IdentifyResult byteWise;  // serial and parallel
    IdentifyResult block;     // USB and Ethernet
};

const FaultRow kFaultRows[] = {
    {"healthy", [](VirtualPrinter&) {}, IdentifyResult::Ok, IdentifyResult::Ok},
    {"other maker", [](VirtualPrinter& p) { p.Identity().maker = "OTHER"; }, IdentifyResult::WrongMaker,
     IdentifyResult::WrongMaker},
    {"maker with trailing blank", [](VirtualPrinter& p) { p.Identity().maker = "KARVO "; },
     IdentifyResult::WrongMaker, IdentifyResult::WrongMaker},
    {"maker in lower case", [](VirtualPrinter& p) { p.Identity().maker = "karvo"; },
     IdentifyResult::WrongMaker, IdentifyResult::WrongMaker},
    {"5F inside the maker", [](VirtualPrinter& p) { p.Identity().maker = "KAR_VO"; }, IdentifyResult::Ok,
     IdentifyResult::WrongMaker},
    {"other model", [](VirtualPrinter& p) { p.Identity().model = "LXT-641IV"; }, IdentifyResult::WrongModel,
     IdentifyResult::WrongModel},
    {"model with a prefix", [](VirtualPrinter& p) { p.Identity().model = "XLXT-640IV"; },
     IdentifyResult::WrongModel, IdentifyResult::WrongModel},
    {"no ID reply", [](VirtualPrinter& p) { p.Faults().noIdReply = true; }, IdentifyResult::NoPrinterId,
     IdentifyResult::NoPrinterId},
    {"silent", [](VirtualPrinter& p) { p.Faults().silent = true; }, IdentifyResult::NoPrinterId,
     IdentifyResult::NoPrinterId},
    {"o on the ninth retry", [](VirtualPrinter& p) { p.Faults().idFillerBytes = 9; }, IdentifyResult::Ok,
     IdentifyResult::NoPrinterId},
    {"o on the tenth retry", [](VirtualPrinter& p) { p.Faults().idFillerBytes = 10; }, IdentifyResult::Ok,
     IdentifyResult::NoPrinterId},
    {"no o within ten retries", [](VirtualPrinter& p) { p.Faults().idFillerBytes = 11; },
     IdentifyResult::NoPrinterId, IdentifyResult::NoPrinterId},
    // Only the byte-wise style discards what comes after ESC @; a packet starts with it.
    {"stray bytes after ESC @",
     [](VirtualPrinter& p) {
         p.Faults().strayAfterInit = {0x14, 0x41, 0x42};
     },
     IdentifyResult::Ok, IdentifyResult::NoPrinterId},
};

TEST(IdentificationTest, OutcomeOfEachPrinterForBothReadingStyles)
{
    for (const auto& row : kFaultRows) {
        for (InterfaceType type :
             {InterfaceType::Serial, InterfaceType::Parallel, InterfaceType::Usb, InterfaceType::Ethernet}) {
            SimulatedPrinter sim;
            row.arrange(*sim.printer);
            VirtualPacer pacer;
            const auto expected =
                (type == InterfaceType::Serial || type == InterfaceType::Parallel) ? row.byteWise : row.block;
            EXPECT_EQ(Identify(sim, type, pacer), expected) << row.name << ", interface " << type;
        }
    }
}

// A printer that hangs up before, or after any of its three replies (ID, maker,
// model) is reported as disconnected, never as a printer with another name.
TEST(IdentificationTest, HangUpAtEveryStepIsDisconnected)
{
    for (int answered = 0; answered < 3; ++answered) {
        for (InterfaceType type :
             {InterfaceType::Serial, InterfaceType::Parallel, InterfaceType::Usb, InterfaceType::Ethernet}) {
            SimulatedPrinter sim;
            auto replies = std::make_shared<int>(0);
            sim.state->responder = [p = sim.printer, replies, answered](const Bytes& written,
                                                                        test::FakePortState& s) {
                Bytes reply = p->Feed(written);
                if (reply.empty() || s.gone)
                    return;
                if ((*replies)++ < answered)
                    s.Queue(std::move(reply));
                else
                    s.gone = true;
            };
            VirtualPacer pacer;
            const IdentifyResult result = Identify(sim, type, pacer);
            EXPECT_EQ(result, IdentifyResult::Disconnected) << answered << " replies, interface " << type;
            EXPECT_STREQ(IdentifyMessage(result), "Can't open port and Printer is disconnected");
        }
    }
}

TEST(IdentificationTest, ShortWriteOfInitializeIsAPortError)
{
    SimulatedPrinter sim;
    sim.state->writeLimit = 1;
    VirtualPacer pacer;
    EXPECT_EQ(Identify(sim, InterfaceType::Serial, pacer), IdentifyResult::PortError);
    // Nothing after the failed ESC @.
    EXPECT_EQ(sim.state->writes.size(), 1u);
}

TEST(IdentificationTest, CommandsInOrder)
{
    SimulatedPrinter sim;
    VirtualPacer pacer;
    ASSERT_EQ(Identify(sim, InterfaceType::Ethernet, pacer), IdentifyResult::Ok);
    const std::vector<std::string> expected = {"ESC @", "ESC = 1", "GS a 0", "GS I 3", "GS I 66", "GS I 67"};
    EXPECT_EQ(sim.printer->CommandNames(), expected);
}

// A packet reply that comes only on the second read passes; one that needs a third fails.
TEST(IdentificationTest, PacketReadIsTriedTwice)
{
    for (int emptyReads : {1, 2}) {
        test::SimulatedPrinter sim;
        auto& state = *sim.state;
        auto simulate = state.responder;
        state.responder = [simulate, emptyReads](const Bytes& written, test::FakePortState& s) {
            if (written == BytesOf({0x1D, 0x49, 0x03}))
                for (int i = 0; i < emptyReads; ++i)
                    s.Queue({});  // an empty chunk: one read brings nothing
            simulate(written, s);
        };
        VirtualPacer pacer;
        EXPECT_EQ(Identify(sim, InterfaceType::Usb, pacer),
                  emptyReads == 1 ? IdentifyResult::Ok : IdentifyResult::NoPrinterId)
            << emptyReads;
    }
}

TEST(IdentificationTest, PausesOfWholeExchange)
{
    struct Row {
        InterfaceType type;
        std::vector<std::uint32_t> pauses;
    };
    const Row rows[] = {
        // drain (five empty reads), five discards, ID, maker text, the pause, model text
        {InterfaceType::Serial, {50, 50, 50, 50, 50, 100, 100, 100, 100, 100, 100, 100, 500, 100}},
        // ID packet, maker packet, the pause, model packet
        {InterfaceType::Ethernet, {200, 200, 500, 200}},
    };
    for (const auto& row : rows) {
        SimulatedPrinter sim;
        VirtualPacer pacer;
        ASSERT_EQ(Identify(sim, row.type, pacer), IdentifyResult::Ok);
        EXPECT_EQ(pacer.Pauses(), row.pauses) << row.type;
        EXPECT_EQ(pacer.Total(), std::accumulate(row.pauses.begin(), row.pauses.end(), 0ull));
    }
    // Each ID retry adds 100 ms.
    SimulatedPrinter sim;
    sim.printer->Faults().idFillerBytes = 9;
    VirtualPacer pacer;
    ASSERT_EQ(Identify(sim, InterfaceType::Serial, pacer), IdentifyResult::Ok);
    EXPECT_EQ(pacer.Total(), 1550u + 900u);
}

TEST(IdentificationTest, DrainReadsStrayBytesFirst)
{
    SimulatedPrinter sim;
    sim.state->Queue(BytesOf({0x41, 0x00, 0x42}));  // waiting before the exchange starts
    VirtualPacer pacer;
    ASSERT_EQ(Identify(sim, InterfaceType::Serial, pacer), IdentifyResult::Ok);
    // 0x41 and 0x42 each restart the count; the 00 counts as empty.
    const auto& p = pacer.Pauses();
    EXPECT_EQ(std::count(p.begin(), p.end(), 50u), 3 + 5);
}

// A printer that never stops sending, or stops before the 00, cannot hold the check.
TEST(IdentificationTest, EndlessOrCutTextsEndTheRead)
{
    {
        SimulatedPrinter sim;
        sim.state->Queue(Bytes(100000, 0x41));
        VirtualPacer pacer;
        EXPECT_EQ(Identify(sim, InterfaceType::Serial, pacer), IdentifyResult::NoPrinterId);
        EXPECT_LT(sim.state->readCounts.size(), 200u);
    }
    // A text that stops before its 00 or never ends is not a whole reply: the check
    // asks to retry instead of judging a name it did not get.
    struct Case {
        Bytes maker;
        Bytes model;
    };
    const Case cases[] = {
        {BytesOf({0x5F, 'K', 'A', 'R', 'V', 'O'}), BytesOf({0x5F, 'L', 'X', 'T', 0x00})},
        {BytesOf({0x5F, 'K', 'A', 'R', 'V', 'O', 0x00}), Bytes(5000, 'L')},
    };
    for (const Case& c : cases) {
        SimulatedPrinter sim;
        auto simulate = sim.state->responder;
        sim.state->responder = [simulate, c](const Bytes& written, test::FakePortState& s) {
            if (written == BytesOf({0x1D, 0x49, 0x42}))
                s.Queue(c.maker);
            else if (written == BytesOf({0x1D, 0x49, 0x43}))
                s.Queue(c.model);
            else
                simulate(written, s);
        };
        VirtualPacer pacer;
        EXPECT_EQ(Identify(sim, InterfaceType::Serial, pacer), IdentifyResult::NoPrinterId);
    }
}

}  // namespace
}  // namespace zorvik
