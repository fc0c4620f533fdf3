#pragma once
// Misbehaviour the virtual printer shows on request. Everything off by default: a
// healthy printer. Protocol faults are acted on by VirtualPrinter, transport faults
// (timing, dropping, refusing) by SimServer.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zorvik {

// The kinds of reply a printer sends; the shape faults below touch only the kinds in
// SimFaults::faultReplies.
enum SimReply : unsigned {
    kSimReplyId = 1,         // GS I 3 ("o")
    kSimReplyText = 2,       // GS I 65/66/67/69 ("_" text 00)
    kSimReplySwitch = 4,     // GS ( E fn 4 (37 21 c8..c1 00)
    kSimReplyPowerSave = 8,  // power-save query 08 5E 50 31
    kSimReplyUserMode = 16,  // GS ( E fn 1
    kSimReplyStatus = 32,    // DLE EOT n
    kSimReplyStray = 64,     // strayAfterInit bytes sent after ESC @
    kSimReplyAll = 127,
};

struct SimFaults {
    // Protocol.
    bool silent = false;           // receive and record, never answer
    int idFillerBytes = 0;         // GS I 3: this many filler bytes come before the "o"
    std::uint8_t idFiller = 0x00;  // the filler byte (never "o")
    bool noIdReply = false;        // GS I 3 is not answered at all
    int silentSwitch = 0;          // GS ( E fn 4 for this switch is not answered
    int badCharSwitch = 0;         // fn 4 for this switch carries badChar ...
    int badCharPin = 1;            // ... in place of this pin's character (1..8)
    char badChar = 'x';
    int ignoredSwitchWrite = 0;                // fn 3 for this switch is accepted but has no effect
    int powerSaveReplyBytes = 4;               // 0..4: how much of the power-save answer is sent
    std::vector<std::uint8_t> strayAfterInit;  // sent unasked after every ESC @

    // Transport.
    std::uint32_t replyDelayMs = 0;            // a chosen reply leaves this long after its command
    std::uint32_t splitGapMs = 0;              // > 0: a chosen reply leaves in pieces, this far apart
    bool holdReplies = false;                  // replies wait for SimServer::ReleaseHeld()
    std::vector<std::uint8_t> strayOnConnect;  // sent when a client connects / the pty opens
    std::size_t dropAfterBytes = 0;            // > 0: the connection is cut after this many bytes
    std::size_t refuseAfterBytes = 0;          // > 0: nothing more is read after this many bytes

    // Replies chosen for the faults below (and for replyDelayMs and splitGapMs above);
    // the others leave at once and whole, though never ahead of an earlier reply. A
    // chosen reply is shaped in this order: truncated, its head replaced, the stray put
    // in front.
    unsigned faultReplies = kSimReplyAll;        // which kinds of reply
    int faultSwitch = 0;                         // > 0: of the switch replies, only this switch's
    std::size_t splitPieceBytes = 1;             // with splitGapMs > 0: pieces of this many bytes
    std::vector<std::uint8_t> strayBeforeReply;  // sent in front of every chosen reply
    std::size_t truncateReplyTo = 0;             // > 0: a chosen reply keeps only its first N bytes
    std::vector<std::uint8_t> replaceHead;       // overwrite a chosen reply's first bytes; its length stays
    // Counted per connection (a TCP client; the pty from the server start) as replies leave.
    int hangUpAfterReplies = 0;       // > 0: the line is cut right after the Nth chosen reply has left
    std::uint32_t hangUpAfterMs = 0;  // > 0: the line is cut this long after it was opened
    int babbleAfterReplies = 0;       // > 0: after the Nth chosen reply, babbleByte comes without end
    std::uint8_t babbleByte = 0x31;

    // Whether the faults above touch a reply of this kind (and switch, for switch replies).
    bool Chooses(SimReply kind, int switchNumber) const
    {
        if ((faultReplies & kind) == 0)
            return false;
        return kind != kSimReplySwitch || faultSwitch <= 0 || switchNumber == faultSwitch;
    }
};

}  // namespace zorvik
