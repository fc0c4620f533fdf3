// zorvik-sim: the virtual printer on a pseudo-terminal and/or a loopback TCP port.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <string>

#include "resources/SimTexts.h"
#include "sim/SimConsole.h"
#include "sim/SimOptions.h"
#include "sim/SimServer.h"
#include "sim/SimTransport.h"

namespace {

// Applies the whole control lines in `pending`; false when a line is too long to be one.
bool TakeControlLines(std::string& pending, zorvik::SimServer& server)
{
    for (const zorvik::ControlLine& line : zorvik::TakeControlLines(pending)) {
        if (!line.conditions) {
            std::cerr << "zorvik-sim: not a control line (state LIST): " << line.text << "\n";
            continue;
        }
        server.WithPrinter([&](zorvik::VirtualPrinter& p) { p.SetConditions(*line.conditions); });
        std::printf("state: %s\n", zorvik::ConditionNames(*line.conditions).c_str());
        std::fflush(stdout);
    }
    return pending.size() <= zorvik::kMaxControlLine;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace zorvik;
    CLI::App app{"Virtual LXT-640IV printer on a pseudo-terminal and/or a loopback TCP port"};
    bool pty = false;
    std::optional<int> tcp;
    bool log = false;
    PrinterIdentity identity;
    SimFaults faults;
    std::vector<std::string> switches;
    std::string stray;
    std::string strayOnConnect;
    std::string faultOn;
    std::string strayBefore;
    std::string replaceHead;
    std::string babbleByte;
    std::string state;

    app.add_flag("--pty", pty,
                 SimTransport::HasPty() ? "serve a pseudo-terminal (its path is printed as \"pty: PATH\")"
                                        : kSimPtyUnavailableHelp);
    auto* tcpOption = app.add_option("--tcp", tcp, "serve 127.0.0.1:PORT (0 or no value: a free port)")
                          ->expected(0, 1)
                          ->default_str("0");
    app.add_flag("--log", log, "print every command received");
    app.add_option("--maker", identity.maker, "maker name answered to GS I 66");
    app.add_option("--model", identity.model, "model name answered to GS I 67");
    app.add_option("--firmware", identity.firmware, "firmware text answered to GS I 65");
    app.add_option("--language", identity.language, "language text answered to GS I 69");
    app.add_option("--switch", switches,
                   "starting value of a memory switch: N=bbbbbbbb (pin 8 first) or N=0xHH");
    app.add_option("--state", state,
                   "the printer's condition, reported to DLE EOT 1..4: comma list of ready, offline, "
                   "cover-open, paper-near-end, paper-end, cutter-error, recoverable-error, "
                   "unrecoverable-error, auto-recoverable-error, feed-button (default ready); change it "
                   "while running with a line \"state LIST\" on standard input");
    app.add_flag("--silent", faults.silent, "answer nothing");
    app.add_flag("--no-id", faults.noIdReply, "do not answer GS I 3");
    app.add_option("--id-fillers", faults.idFillerBytes, "filler bytes sent before the \"o\" of GS I 3");
    app.add_option("--silent-switch", faults.silentSwitch, "do not answer the read of this switch");
    app.add_option("--bad-char-switch", faults.badCharSwitch,
                   "answer the read of this switch with a bad character");
    app.add_option("--bad-char-pin", faults.badCharPin, "pin that carries the bad character (1..8)");
    app.add_option("--ignore-switch-write", faults.ignoredSwitchWrite,
                   "accept writes of this switch without effect");
    app.add_option("--power-save-bytes", faults.powerSaveReplyBytes,
                   "bytes of the power-save answer sent (0..4)")
        ->check(CLI::Range(0, 4));
    app.add_option("--stray", stray, "hex bytes sent unasked after every ESC @");
    app.add_option("--stray-on-connect", strayOnConnect,
                   "hex bytes sent when a client connects / the pty opens");
    app.add_option(
        "--fault-on", faultOn,
        "replies the reply faults touch: comma list of id,text,switch,power,usermode,status,stray,all "
        "(default all)");
    app.add_option("--fault-switch", faults.faultSwitch, "of the switch replies, touch only this switch's")
        ->check(CLI::IsMember(std::vector<int>(std::begin(kSwitchNumbers), std::end(kSwitchNumbers))));
    app.add_option("--delay", faults.replyDelayMs, "milliseconds a chosen reply is late");
    app.add_option("--split", faults.splitGapMs, "send chosen replies in pieces, this many ms apart");
    app.add_option("--split-bytes", faults.splitPieceBytes, "bytes in each piece of --split (default 1)")
        ->check(CLI::Range(std::size_t{1}, std::size_t{65536}));
    app.add_option("--stray-before", strayBefore, "hex bytes sent in front of every chosen reply");
    app.add_option("--truncate", faults.truncateReplyTo, "a chosen reply keeps only its first N bytes");
    app.add_option("--replace-head", replaceHead,
                   "hex bytes that overwrite the first bytes of every chosen reply");
    app.add_option("--hang-up-after-replies", faults.hangUpAfterReplies,
                   "cut the line right after the Nth chosen reply has left");
    app.add_option("--hang-up-after-ms", faults.hangUpAfterMs,
                   "cut the line this long after a client connected / the pty opened");
    app.add_option("--babble-after-replies", faults.babbleAfterReplies,
                   "after the Nth chosen reply, send --babble-byte without end");
    app.add_option("--babble-byte", babbleByte, "the hex byte babbled (default 31)");
    app.add_option("--drop-after", faults.dropAfterBytes, "cut the connection after this many bytes");
    app.add_option("--refuse-after", faults.refuseAfterBytes, "stop reading after this many bytes");
    CLI11_PARSE(app, argc, argv);

    if (!pty && tcpOption->count() == 0) {
        std::cerr << "zorvik-sim: choose --pty and/or --tcp [PORT]\n";
        return 2;
    }
    if (pty && !SimTransport::HasPty()) {
        std::cerr << "zorvik-sim: " << kSimPtyUnavailable << "\n";
        return 2;
    }
    const int port = tcp.value_or(0);
    if (port < 0 || port > 65535) {
        std::cerr << "zorvik-sim: --tcp: port out of range\n";
        return 2;
    }
    std::vector<std::uint8_t> babble;
    const struct {
        const char* option;
        const std::string& text;
        std::vector<std::uint8_t>& bytes;
    } hexOptions[] = {
        {"--stray", stray, faults.strayAfterInit},
        {"--stray-on-connect", strayOnConnect, faults.strayOnConnect},
        {"--stray-before", strayBefore, faults.strayBeforeReply},
        {"--replace-head", replaceHead, faults.replaceHead},
        {"--babble-byte", babbleByte, babble},
    };
    for (const auto& hex : hexOptions) {
        if (hex.text.empty())
            continue;
        const auto bytes = ParseHexBytes(hex.text);
        if (!bytes) {
            std::cerr << "zorvik-sim: " << hex.option << ": not hex bytes: " << hex.text << "\n";
            return 2;
        }
        hex.bytes = *bytes;
    }
    if (!babbleByte.empty()) {
        if (babble.size() != 1) {
            std::cerr << "zorvik-sim: --babble-byte: one hex byte: " << babbleByte << "\n";
            return 2;
        }
        faults.babbleByte = babble[0];
    }
    if (!faultOn.empty()) {
        const auto kinds = ParseReplyKinds(faultOn);
        if (!kinds) {
            std::cerr << "zorvik-sim: --fault-on: expected a comma list of "
                         "id,text,switch,power,usermode,status,stray,all: "
                      << faultOn << "\n";
            return 2;
        }
        faults.faultReplies = *kinds;
    }
    VirtualPrinter printer(identity, faults);
    if (!state.empty()) {
        const auto conditions = ParseConditions(state);
        if (!conditions) {
            std::cerr << "zorvik-sim: --state: expected a comma list of ready, offline, cover-open, "
                         "paper-near-end, paper-end, cutter-error, recoverable-error, unrecoverable-error, "
                         "auto-recoverable-error, feed-button: "
                      << state << "\n";
            return 2;
        }
        printer.SetConditions(*conditions);
    }
    for (const auto& text : switches) {
        const auto assignment = ParseSwitchAssignment(text);
        if (!assignment) {
            std::cerr << "zorvik-sim: --switch: expected N=bbbbbbbb or N=0xHH with N one of 1-6, 11, 12: "
                      << text << "\n";
            return 2;
        }
        printer.SetSwitch(assignment->first, assignment->second);
    }
    if (log) {
        printer.SetCommandObserver([](const SimCommand& command) {
            std::printf("received: %s (%zu bytes)\n", command.name.c_str(), command.bytes.size());
            std::fflush(stdout);
        });
    }

    SimConsole console;
    if (!console.Open())
        return 1;

    SimServer server(std::move(printer));
    if (!server.Start({pty, tcpOption->count() > 0, static_cast<std::uint16_t>(port)})) {
        std::cerr << "zorvik-sim: " << server.Error() << "\n";
        return 1;
    }
    if (pty)
        std::printf("pty: %s\n", server.PtyPath().c_str());
    if (tcpOption->count() > 0)
        std::printf("tcp: 127.0.0.1:%u\n", static_cast<unsigned>(server.TcpPort()));
    std::fflush(stdout);

    // Runs until a stop signal; lines on standard input change the printer's
    // condition until it ends.
    std::string pending;
    while (const auto chunk = console.Next()) {
        pending += *chunk;
        if (!TakeControlLines(pending, server)) {
            std::cerr << "zorvik-sim: control line too long; dropped\n";
            pending.clear();
        }
    }
    server.Stop();
    return 0;
}
