// The printer's replies through a whole Get Status: the handshake, then the eight
// switches and power save, then the real-time status, over a scripted port whose reads
// serve the input. Any replies end in a finite number of reads and pauses; the
// settings are handed out only whole, with every pin in a known state and power save
// in its range, and the status only as four framed bytes.
//
// Input: one byte choosing the interface (bits 0-1) and whether the version texts and
// model are read (bit 2), then reads: a length byte and up to that many reply bytes
// each (length 0: a read that finds nothing).
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzCheck.h"

#include "settings/PrinterExchange.h"
#include "support/FakePort.h"

using zorvik::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    auto state = std::make_shared<test::FakePortState>();
    for (std::size_t at = 1; at < size;) {
        const std::size_t length = data[at++];
        const std::size_t take = length < size - at ? length : size - at;
        state->Queue(test::Bytes(data + at, data + at + take));
        at += take;
    }

    PortSettings settings;
    const char* const names[] = {"COM1", "LPT1", "LXT-640IV:usb:1-2:1.0:vid_0a5f:pid_0001", "127.0.0.1"};
    settings.portName = names[choice & 3];
    settings.tcpPort = (choice & 3) == 3 ? 9100 : 0;
    PrinterLink link(std::make_unique<test::FakePortFactory>(state));
    Require(link.CreatePort(settings) != 0 && link.Open() != 0);

    VirtualPacer pacer;
    PrinterExchange exchange(link, link.Type(), pacer);
    PrinterTexts texts;
    const ExchangeStatus handshake = exchange.Handshake(choice & 4 ? &texts : nullptr);
    Require(handshake == ExchangeStatus::Ok || handshake == ExchangeStatus::NoReply ||
            (handshake == ExchangeStatus::ModelMismatch && (choice & 4)));
    // A printer passes the identification only with a model of the family.
    if (handshake == ExchangeStatus::Ok && (choice & 4))
        Require(texts.firmware && texts.language && texts.model &&
                texts.model->find("LXT-") != std::string::npos);
    if (handshake == ExchangeStatus::Ok) {
        PrinterSettings out;
        out.switches[0].pins[1] = -7;  // untouched unless the read succeeds
        const ExchangeStatus read = exchange.ReadSettings(out);
        if (read == ExchangeStatus::Ok) {
            for (const SwitchEntry& entry : out.switches)
                for (int pin = 1; pin <= kPinCount; ++pin) {
                    const std::int32_t pinState = entry.pins[static_cast<std::size_t>(pin)];
                    Require(pinState == PinState::On || pinState == PinState::Off ||
                            pinState == PinState::NoChange);
                }
            if (out.powerSave)
                Require((out.powerSave->enabled == 0 || out.powerSave->enabled == 1) &&
                        out.powerSave->seconds >= 0 && out.powerSave->seconds <= 255);
        } else {
            Require(read == ExchangeStatus::NoReply);
            Require(out.switches[0].pins[1] == -7);
        }
        PrinterHealth health;
        const ExchangeStatus asked = exchange.ReadHealth(health);
        if (asked == ExchangeStatus::Ok) {
            for (const std::uint8_t byte : *health.Bytes())
                Require(ReplyReader::StatusFramed(byte));
        } else {
            Require(asked == ExchangeStatus::NoReply && !health.Known());
        }
    }
    // Every wait has a bound, whatever the printer sends.
    Require(state->readCounts.size() < 4000);
    Require(pacer.Total() < 600000);
    return 0;
}
