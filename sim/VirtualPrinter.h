#pragma once
// The printer's side of the protocol, without any I/O: fed the bytes it receives, it
// answers with the bytes a printer would send back and keeps the state a printer
// keeps (memory switches, user setting mode, power save, identity, font image).
// Commands may be split across any number of Feed calls.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sim/SimFaults.h"

namespace zorvik {

struct PrinterIdentity {
    std::string maker;     // GS I 66
    std::string model;     // GS I 67
    std::string firmware;  // GS I 65
    std::string language;  // GS I 69
    PrinterIdentity();     // a healthy printer's texts
};

// One recognised command (or run of plain data) in the order received.
struct SimCommand {
    std::string name;                 // "ESC @", "GS I 3", "GS ( E fn 3 switch 2 = 00000001", "data", ...
    std::vector<std::uint8_t> bytes;  // the bytes it was made of (font data: only the first 4)
};

// One reply, tagged with its kind so a transport can tell which replies a fault
// chooses; the bytes are already shaped by the shape faults.
struct SimReplyOut {
    SimReply kind;
    int switchNumber;                 // a switch reply's switch, else 0
    std::vector<std::uint8_t> bytes;  // never empty
};

// Conditions the printer can be in, as its real-time status (DLE EOT 1..4) reports
// them; none: ready.
enum SimCondition : unsigned {
    kSimOffline = 1,
    kSimCoverOpen = 2,
    kSimPaperNearEnd = 4,
    kSimPaperEnd = 8,
    kSimCutterError = 16,
    kSimRecoverableError = 32,
    kSimUnrecoverableError = 64,
    kSimAutoRecoverableError = 128,
    kSimFeedButton = 256,
};

class VirtualPrinter {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit VirtualPrinter(PrinterIdentity identity = {}, SimFaults faults = {});

    // Hands received bytes to the printer; returns its replies to them, in order. Any
    // bytes are taken: what is no known command is logged and skipped.
    std::vector<SimReplyOut> FeedReplies(const std::uint8_t* data, std::size_t count);
    std::vector<SimReplyOut> FeedReplies(const Bytes& data) { return FeedReplies(data.data(), data.size()); }
    // The same, its replies joined into one answer (possibly empty).
    Bytes Feed(const std::uint8_t* data, std::size_t count);
    Bytes Feed(const Bytes& data) { return Feed(data.data(), data.size()); }
    // A new connection: a command cut off by the old one is forgotten.
    void ResetStream();

    PrinterIdentity& Identity() { return identity_; }
    SimFaults& Faults() { return faults_; }
    const SimFaults& Faults() const { return faults_; }

    // Memory switches 1, 2, 3, 4, 5, 6, 11, 12; pin n is bit n-1. Other numbers: 0 / ignored.
    std::uint8_t Switch(int number) const;
    void SetSwitch(int number, std::uint8_t bits);
    static bool IsSwitchNumber(int number);

    bool InUserSettingMode() const { return userMode_; }
    int Restarts() const { return restarts_; }  // fn 2 "OUT" stores and restarts
    bool PowerSaveEnabled() const { return powerSaveOn_; }
    std::uint8_t PowerSaveSeconds() const { return powerSaveSeconds_; }
    void SetPowerSave(bool on, std::uint8_t seconds)
    {
        powerSaveOn_ = on;
        powerSaveSeconds_ = seconds;
    }

    // The conditions (SimCondition bits) and the status byte each request reports.
    unsigned Conditions() const { return conditions_; }
    void SetConditions(unsigned conditions) { conditions_ = conditions; }
    std::uint8_t StatusByte(int request) const;

    int SelfTests() const { return selfTests_; }
    int StatusPrints() const { return statusPrints_; }
    int CodePagePrints() const { return codePagePrints_; }

    // Font image download: started by 1C 6C 64 73, counted to its end.
    bool FontStarted() const { return fontStarted_; }
    std::size_t FontBytes() const { return fontBytes_; }
    // True when the bytes received since the header make up one of the image sizes.
    bool FontComplete() const;

    const Bytes& Received() const { return received_; }    // every byte, in order
    const Bytes& PrintData() const { return printData_; }  // bytes that were no command
    const std::vector<SimCommand>& Log() const { return log_; }
    std::vector<std::string> CommandNames() const;
    // Called for every command as it is recognised (for the --log option).
    void SetCommandObserver(std::function<void(const SimCommand&)> observer)
    {
        observer_ = std::move(observer);
    }

private:
    // Tries to take one command from the front of pending_; returns the bytes consumed,
    // 0 when more bytes are needed.
    using Replies = std::vector<SimReplyOut>;
    std::size_t ParseOne(Replies& replies);
    std::size_t ParseEsc(Replies& replies);
    std::size_t ParseGs(Replies& replies);
    std::size_t ParseUserSetting(std::size_t length, Replies& replies);
    std::size_t ParseVendor(Replies& replies);
    std::size_t ParseFs();
    std::size_t TakeFontData();
    void Record(std::string name, std::size_t length);
    // Adds a reply, shaped when the faults choose it; nothing when silent or empty.
    void Answer(Replies& replies, SimReply kind, Bytes answer, int switchNumber = 0) const;
    void AnswerText(Replies& replies, const std::string& text) const;

    PrinterIdentity identity_;
    SimFaults faults_;
    std::map<int, std::uint8_t> switches_;
    bool userMode_ = false;
    int restarts_ = 0;
    bool powerSaveOn_ = false;
    std::uint8_t powerSaveSeconds_ = 20;
    unsigned conditions_ = 0;
    int selfTests_ = 0;
    int statusPrints_ = 0;
    int codePagePrints_ = 0;
    bool fontStarted_ = false;
    bool inFont_ = false;
    std::size_t fontBytes_ = 0;

    Bytes pending_;
    Bytes received_;
    Bytes printData_;
    std::vector<SimCommand> log_;
    std::function<void(const SimCommand&)> observer_;
};

}  // namespace zorvik
