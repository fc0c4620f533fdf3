#pragma once
// The identification exchange of the connection check: ID, maker and model, read
// byte-wise on serial and parallel and as packets on USB and Ethernet, through the
// same reply reader as every other exchange.
#include "base/Pacer.h"
#include "link/PrinterLink.h"

namespace zorvik {

enum class IdentifyResult {
    Ok,
    PortError,    // ESC @ not written completely
    NoPrinterId,  // no "o" answer to GS I 3
    WrongMaker,
    WrongModel,
    Disconnected,  // the connection closed or failed during the exchange
};

// Runs on an open link; every read passes a time-out of 1000 ms.
IdentifyResult IdentifyPrinter(PrinterLink& link, InterfaceType type, Pacer& pacer);

// The message the check shows for a result.
const char* IdentifyMessage(IdentifyResult result);

}  // namespace zorvik
