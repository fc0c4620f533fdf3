// Get Status, Set Status and the font download with the real ports against the
// virtual printer: the serial port on its pseudo-terminal (byte-wise replies) and the
// network port on its loopback TCP port (packets).
#include <gtest/gtest.h>

#include <functional>

#include "link/SystemPortFactory.h"
#include "resources/FontImages.h"
#include "resources/SettingsTexts.h"
#include "resources/SimTexts.h"  // with SettingsTexts.h: every table has one definition
#include "settings/StatusSession.h"
#include "sim/SimServer.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedPrinter.h"
#include "support/SimPortSettings.h"

namespace zorvik {
namespace {

constexpr int kSwitchNumbers[] = {1, 2, 3, 4, 5, 6, 11, 12};

class StatusEndToEndTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Start({true, true, 0})) << server.Error();
        // One-hot: switch e of the record has only pin e+1 on.
        server.WithPrinter([](VirtualPrinter& p) {
            for (int e = 0; e < 8; ++e)
                p.SetSwitch(kSwitchNumbers[e], static_cast<std::uint8_t>(1u << e));
            p.SetPowerSave(true, 40);
            return 0;
        });
        ASSERT_NE(link.CreatePort(test::SimPortSettings(server, Pty())), 0);
        ASSERT_NE(link.Open(), 0);
        session = std::make_unique<StatusSession>(
            link, Pty() ? InterfaceType::Serial : InterfaceType::Ethernet, pacer, notifier, timers);
        session->Initialize();
        timers.RunAll(*session);
        ASSERT_EQ(notifier.messages.size(), 0u) << notifier.messages[0].text;
        ASSERT_EQ(session->SettingPage().modelText.find("LXT-"), 0u);
    }
    void TearDown() override
    {
        session.reset();
        link.Close();
    }
    bool Pty() const { return GetParam(); }
    std::uint8_t PrinterSwitch(int number)
    {
        return server.WithPrinter([&](VirtualPrinter& p) { return p.Switch(number); });
    }
    std::vector<std::string> SwitchWrites()
    {
        return server.WithPrinter([](VirtualPrinter& p) {
            std::vector<std::string> out;
            for (const auto& name : p.CommandNames())
                if (name.rfind("GS ( E fn 3", 0) == 0)
                    out.push_back(name);
            return out;
        });
    }
    void Get()
    {
        notifier.messages.clear();
        session->GetStatus();
        ASSERT_EQ(notifier.messages.size(), 1u);
        ASSERT_EQ(notifier.messages[0].text, kMsgGetStatusOk);
    }

    SimServer server;
    VirtualPacer pacer;
    test::RecordingNotifier notifier;
    test::ManualTimerHost timers;
    PrinterLink link{MakeSystemPortFactory(pacer, notifier, DeviceNames())};
    std::unique_ptr<StatusSession> session;
};

TEST_P(StatusEndToEndTest, GetAndSetStatusRoundTripThePagesChoices)
{
    Get();
    for (int e = 0; e < 8; ++e)
        for (int pin = 1; pin <= 8; ++pin)
            ASSERT_EQ(session->Record().Pin(e, pin), pin == e + 1 ? PinState::On : PinState::Off)
                << e << " " << pin;
    EXPECT_EQ(session->SettingPage().powerSave, 1);
    EXPECT_EQ(session->SettingPage().entranceTime, 40);

    // Choices on both pages.
    PrinterSettingModel& page = session->SettingPage();
    page.SelectCodePage(37);   // value 36: pins 3 and 6
    page.SelectPrintSpeed(3);  // value 2: pin 2
    page.SelectEmulation(4);   // value 3: pins 1 and 2
    page.SelectSingleFont(2);  // value 1: pin 3
    MemorySwitchModel& switches = session->SwitchPage();
    switches.ShowSwitch(5, true);
    switches.StorePin(3, 1);  // MSW 5 pin 3 on ...
    switches.StorePin(5, 2);  // ... pin 5 (on as read) off
    switches.Next();
    switches.Next();
    ASSERT_EQ(switches.caption, "11");
    switches.StorePin(7, 0);  // MSW 11 pin 7 (on as read): no change
    page.entranceTime = 90;
    page.powerSave = 0;

    notifier.messages.clear();
    session->SetStatus();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, kMsgSetStatusOk);

    EXPECT_EQ(PrinterSwitch(1), 0b00000010);
    EXPECT_EQ(PrinterSwitch(2), 0b00100110);  // pin 2 as read, code page 36 on pins 3 and 6
    EXPECT_EQ(PrinterSwitch(3), 0b00000011);
    EXPECT_EQ(PrinterSwitch(4), 0b00000100);
    EXPECT_EQ(PrinterSwitch(5), 0b00000100);
    EXPECT_EQ(PrinterSwitch(6), 0b00100000);
    EXPECT_EQ(PrinterSwitch(11), 0b01000000);
    EXPECT_EQ(PrinterSwitch(12), 0b10000000);
    const auto restarts = server.WithPrinter([](VirtualPrinter& p) {
        return std::make_tuple(p.Restarts(), p.PowerSaveEnabled(), p.PowerSaveSeconds(),
                               p.InUserSettingMode());
    });
    EXPECT_EQ(restarts, std::make_tuple(1, false, std::uint8_t{90}, false));

    // Reading back gives what the pages chose.
    const SettingsRecord written = session->Record();
    Get();
    for (int e = 0; e < 8; ++e)
        for (int pin = 1; pin <= 8; ++pin)
            if (written.Pin(e, pin) != PinState::NoChange) {
                EXPECT_EQ(session->Record().Pin(e, pin), written.Pin(e, pin)) << e << " " << pin;
            }
    EXPECT_EQ(session->Record().Pin(6, 7), PinState::On);  // "no change" kept the printer's pin
    EXPECT_EQ(session->SettingPage().codePageIndex, 37);
    EXPECT_EQ(session->SettingPage().emulationIndex, 4);
}

TEST_P(StatusEndToEndTest, SetStatusAfterInitializeTurnsEverySwitchOff)
{
    Get();
    session->InitializeStatus();
    session->SetStatus();
    const auto writes = SwitchWrites();
    ASSERT_EQ(writes.size(), 8u);
    for (int e = 0; e < 8; ++e) {
        EXPECT_EQ(writes[static_cast<std::size_t>(e)],
                  "GS ( E fn 3 switch " + std::to_string(kSwitchNumbers[e]) + " = 00000000");
        EXPECT_EQ(PrinterSwitch(kSwitchNumbers[e]), 0);
    }
}

TEST_P(StatusEndToEndTest, AllZeroRecordLeavesThePrinterAsItWas)
{
    session->SetStatus();
    const auto writes = SwitchWrites();
    ASSERT_EQ(writes.size(), 8u);
    for (const auto& w : writes)
        EXPECT_EQ(w.substr(w.size() - 8), "22222222");
    for (int e = 0; e < 8; ++e)
        EXPECT_EQ(PrinterSwitch(kSwitchNumbers[e]), 1u << e);
}

TEST_P(StatusEndToEndTest, FaultsOfThePrinter)
{
    // A character other than "0"/"1" is sent back as "no change"; a short power-save
    // reply leaves the page's power save as it was and nothing is invented.
    server.WithPrinter([](VirtualPrinter& p) {
        p.Faults().badCharSwitch = 3;
        p.Faults().badCharPin = 2;
        p.Faults().powerSaveReplyBytes = 2;
        return 0;
    });
    Get();
    EXPECT_EQ(session->Record().Pin(2, 2), PinState::NoChange);
    EXPECT_EQ(session->SettingPage().powerSave, -1);
    session->SetStatus();
    const auto writes = SwitchWrites();
    ASSERT_EQ(writes.size(), 8u);
    EXPECT_EQ(writes[2], "GS ( E fn 3 switch 3 = 00000120");
    const auto sets = server.WithPrinter([](VirtualPrinter& p) {
        int n = 0;
        for (const auto& name : p.CommandNames())
            n += name.rfind("power save set", 0) == 0;
        return n;
    });
    EXPECT_EQ(sets, 0);

    // A switch that is never answered ends Get Status within its bound, in both
    // reading styles, and the record keeps what it held.
    server.WithPrinter([](VirtualPrinter& p) {
        p.Faults().silentSwitch = 4;
        return 0;
    });
    const SettingsRecord before = session->Record();
    notifier.messages.clear();
    session->GetStatus();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, kMsgRestartPrinter);
    EXPECT_EQ(session->Record(), before);
}

TEST_P(StatusEndToEndTest, FontDownloadReachesThePrinterWhole)
{
    Get();
    session->SettingPage().SelectDoubleFont(2);
    notifier.messages.clear();
    session->SetStatus();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, kMsgFirmwareChanged);
    timers.RunAll(*session);
    EXPECT_EQ(notifier.messages.back().text, kMsgFontDownloadOk);
    EXPECT_EQ(session->Result(), DialogResult::Ok);
    const auto font =
        server.WithPrinter([](VirtualPrinter& p) { return std::make_pair(p.FontBytes(), p.FontComplete()); });
    EXPECT_EQ(font.first, FontImages::Find(144).size());
    EXPECT_TRUE(font.second);
    EXPECT_EQ(PrinterSwitch(12), 1);
}

// One virtual printer with a fault, the real port on it and the dialog's state; a
// fresh one per row, since some faults end the connection.
struct FaultRig {
    explicit FaultRig(bool pty, const std::function<void(SimFaults&)>& fault)
    {
        ok = server.Start({pty, !pty, 0});
        server.WithPrinter([](VirtualPrinter& p) {
            for (int e = 0; e < 8; ++e)
                p.SetSwitch(kSwitchNumbers[e], static_cast<std::uint8_t>(~(1u << e)));
            p.SetPowerSave(true, 40);
        });
        ok = ok && link.CreatePort(test::SimPortSettings(server, pty)) != 0 && link.Open() != 0;
        // The printer holds other values than the record (all "no change" until a
        // read), so a read that is not whole cannot pass for an untouched record.
        session = std::make_unique<StatusSession>(link, pty ? InterfaceType::Serial : InterfaceType::Ethernet,
                                                  pacer, notifier, timers);
        before = session->Record();
        // Identified already: the handshake skips the model check, which keeps the
        // rows on the serial line short.
        session->SettingPage().firmwareText = "V";
        server.WithPrinter([&fault](VirtualPrinter& p) { fault(p.Faults()); });
        notifier.messages.clear();
    }
    ~FaultRig()
    {
        session.reset();
        link.Close();
    }
    bool ReadExactly() const
    {
        for (int e = 0; e < 8; ++e)
            for (int pin = 1; pin <= 8; ++pin)
                if (session->Record().Pin(e, pin) !=
                    (pin == e + 1 ? SlotOf(PinState::Off) : SlotOf(PinState::On)))
                    return false;
        return true;
    }

    SimServer server;
    VirtualPacer pacer;
    test::RecordingNotifier notifier;
    test::ManualTimerHost timers;
    PrinterLink link{MakeSystemPortFactory(pacer, notifier, DeviceNames())};
    std::unique_ptr<StatusSession> session;
    SettingsRecord before;
    bool ok = false;
};

enum class Outcome { Exact, ExactOrFail, Fail };
struct WireFault {
    const char* name;
    std::function<void(SimFaults&)> apply;
    Outcome outcome;
};

void OnSwitch(SimFaults& f, int number)
{
    f.faultReplies = kSimReplySwitch;
    f.faultSwitch = number;
}

// Replies that come late, in pieces, behind a stray byte, cut short or with a wrong
// header, as a real line delivers them: Get Status reads exactly what the printer
// holds or fails with the restart message and keeps the record.
TEST_P(StatusEndToEndTest, MisshapenRepliesOnTheWireAreReadWholeOrFail)
{
    const WireFault faults[] = {
        {"late 250 ms on switch 1", [](SimFaults& f) { OnSwitch(f, 1), f.replyDelayMs = 250; },
         Outcome::ExactOrFail},
        {"late 900 ms on switch 11", [](SimFaults& f) { OnSwitch(f, 11), f.replyDelayMs = 900; },
         Outcome::ExactOrFail},
        {"single bytes 15 ms apart",
         [](SimFaults& f) {
             f.faultReplies = kSimReplySwitch;
             f.splitGapMs = 15;
         },
         Outcome::Exact},
        {"pieces of three 20 ms apart on switch 2",
         [](SimFaults& f) {
             OnSwitch(f, 2);
             f.splitGapMs = 20;
             f.splitPieceBytes = 3;
         },
         Outcome::Exact},
        {"stray byte before switch 12", [](SimFaults& f) { OnSwitch(f, 12), f.strayBeforeReply = {0xA5}; },
         Outcome::Exact},
        {"switch 12 cut to 6 bytes", [](SimFaults& f) { OnSwitch(f, 12), f.truncateReplyTo = 6; },
         Outcome::Fail},
        {"wrong header on switch 1",
         [](SimFaults& f) {
             OnSwitch(f, 1), f.replaceHead = {0x00, 0x00};
         },
         Outcome::Fail},
        {"wrong second byte on switch 11",
         [](SimFaults& f) {
             OnSwitch(f, 11), f.replaceHead = {0x37, 0x22};
         },
         Outcome::Fail},
    };
    for (const WireFault& fault : faults) {
        SCOPED_TRACE(fault.name);
        FaultRig rig(Pty(), fault.apply);
        ASSERT_TRUE(rig.ok);
        rig.session->GetStatus();
        ASSERT_EQ(rig.notifier.messages.size(), 1u);
        if (rig.notifier.messages[0].text == kMsgGetStatusOk) {
            EXPECT_NE(fault.outcome, Outcome::Fail);
            EXPECT_TRUE(rig.ReadExactly());
        } else {
            EXPECT_NE(fault.outcome, Outcome::Exact);
            EXPECT_EQ(rig.notifier.messages[0].text, kMsgRestartPrinter);
            EXPECT_EQ(rig.session->Record(), rig.before);
        }
    }
}

// A printer that hangs up, or starts babbling, right after any one of its switch
// replies: a clean failure, the record kept, no success message; a Set Status
// afterwards reaches nothing.
TEST_P(StatusEndToEndTest, HangUpOrBabbleAfterEachSwitchReplyFailsCleanly)
{
    for (int after = 1; after <= 8; ++after) {
        for (bool babble : {false, true}) {
            SCOPED_TRACE((babble ? "babble after switch reply " : "hang-up after switch reply ") +
                         std::to_string(after));
            FaultRig rig(Pty(), [after, babble](SimFaults& f) {
                f.faultReplies = kSimReplySwitch;
                (babble ? f.babbleAfterReplies : f.hangUpAfterReplies) = after;
            });
            ASSERT_TRUE(rig.ok);
            rig.session->GetStatus();
            ASSERT_EQ(rig.notifier.messages.size(), 1u);
            // Babble that starts after the last switch reply races the power-save
            // answer; it is caught when it arrives in time, and a read that ends
            // before it has every switch whole.
            if (babble && after == 8 && rig.notifier.messages[0].text == kMsgGetStatusOk) {
                EXPECT_TRUE(rig.ReadExactly());
                continue;
            }
            EXPECT_EQ(rig.notifier.messages[0].text, kMsgRestartPrinter);
            EXPECT_EQ(rig.session->Record(), rig.before);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Transports, StatusEndToEndTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Pty" : "Tcp"; });

}  // namespace
}  // namespace zorvik
