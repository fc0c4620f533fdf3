#pragma once
// Port settings that reach a running SimServer: its pseudo-terminal as a serial
// line (as the main window fills them), or its loopback TCP port.
#include "link/PortSettings.h"
#include "sim/SimServer.h"

namespace zorvik::test {

inline PortSettings SimPortSettings(const SimServer& server, bool pty)
{
    PortSettings s;
    if (pty) {
        s.portName = server.PtyPath();
        s.baudRate = 9600;
        s.dataBits = 8;
        s.flowControl = FlowControl::None;
        s.timeouts = {10, 10, 10, 0, 0};
    } else {
        s.portName = "127.0.0.1";
        s.tcpPort = server.TcpPort();
    }
    return s;
}

}  // namespace zorvik::test
