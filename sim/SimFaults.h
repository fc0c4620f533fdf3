#pragma once
// Misbehaviour the virtual printer shows on request. Everything off by default: a
// healthy printer. Protocol faults are acted on by VirtualPrinter, transport faults
// (timing, dropping, refusing) by SimServer.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zorvik {

struct SimFaults {
    // Protocol.
    bool silent = false;                 // receive and record, never answer
    int idFillerBytes = 0;               // GS I 3: this many filler bytes come before the "o"
    std::uint8_t idFiller = 0x00;        // the filler byte (never "o")
    bool noIdReply = false;              // GS I 3 is not answered at all
    int silentSwitch = 0;                // GS ( E fn 4 for this switch is not answered
    int badCharSwitch = 0;               // fn 4 for this switch carries badChar ...
    int badCharPin = 1;                  // ... in place of this pin's character (1..8)
    char badChar = 'x';
    int ignoredSwitchWrite = 0;          // fn 3 for this switch is accepted but has no effect
    int powerSaveReplyBytes = 4;         // 0..4: how much of the power-save answer is sent
    std::vector<std::uint8_t> strayAfterInit;  // sent unasked after every ESC @

    // Transport.
    std::uint32_t replyDelayMs = 0;      // every reply leaves this long after its command
    std::uint32_t splitGapMs = 0;        // > 0: replies leave one byte at a time, this far apart
    bool holdReplies = false;            // replies wait for SimServer::ReleaseHeld()
    std::vector<std::uint8_t> strayOnConnect;  // sent when a client connects / the pty opens
    std::size_t dropAfterBytes = 0;      // > 0: the connection is cut after this many bytes
    std::size_t refuseAfterBytes = 0;    // > 0: nothing more is read after this many bytes
};

}  // namespace zorvik
