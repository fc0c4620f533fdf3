#pragma once
// Check Communication without the window: create and open the port, identify the
// printer, and keep the link open on success. The main window and the command-line
// tool both drive it.
#include <string>

#include "base/Notifier.h"
#include "base/Pacer.h"
#include "link/PrinterLink.h"

namespace zorvik {

// Frees a COM or LPT port held by the system's printer queues before a check and
// gives the queues their ports back when the main window closes. There is no
// spooler to act on under Linux; a Windows build fills this in.
class QueueRedirector {
public:
    virtual ~QueueRedirector() = default;
    virtual void Release(const std::string& portName) = 0;
    virtual void RestoreAll() = 0;
};

class ConnectionCheck {
public:
    ConnectionCheck(PrinterLink& link, Pacer& pacer, Notifier& notifier, QueueRedirector* queues = nullptr);

    // Check Communication with the collected settings. Does nothing while connected.
    // Shows exactly one message; true when the printer was identified.
    bool Run(InterfaceType type, const PortSettings& settings);

    bool Connected() const { return connected_; }
    // Whether the last Run opened the port, so a failure came from identification.
    bool PortOpened() const { return portOpened_; }
    // Closes the link and clears the connected flag, if set.
    void Drop();

private:
    PrinterLink& link_;
    Pacer& pacer_;
    Notifier& notifier_;
    QueueRedirector* queues_;
    bool connected_ = false;
    bool portOpened_ = false;
};

}  // namespace zorvik
