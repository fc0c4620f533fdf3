#include "link/posix/SerialTermios.h"

#include <array>
#include <utility>

namespace zorvik::posix {
namespace {

constexpr std::array<std::pair<std::uint32_t, speed_t>, 7> kSpeeds{{
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
}};
constexpr std::array<std::pair<int, tcflag_t>, 4> kSizes{{{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}}};
constexpr cc_t kXon = 0x11;
constexpr cc_t kXoff = 0x13;

}  // namespace

bool ApplyLine(const SerialLine& line, termios& t)
{
    speed_t speed = B0;
    for (const auto& [rate, code] : kSpeeds)
        if (rate == line.baudRate)
            speed = code;
    tcflag_t size = 0;
    for (const auto& [bits, code] : kSizes)
        if (bits == line.dataBits)
            size = code;
    if (speed == B0 || size == 0 || (line.stopBits != 1 && line.stopBits != 2))
        return false;

    // Raw bytes both ways: no echo, no line editing, no translation, no signals.
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                        IXOFF | IXANY | INPCK | IGNPAR);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    // CLOCAL: a printer cable carries no carrier detect; without it the line
    // would wait for one.
    t.c_cflag |= size | CREAD | CLOCAL;
    if (line.stopBits == 2)
        t.c_cflag |= CSTOPB;
    switch (line.parity) {
    case Parity::None:
        break;
    case Parity::Odd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case Parity::Even:
        t.c_cflag |= PARENB;
        break;
    case Parity::Mark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case Parity::Space:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (line.checkParity)
        t.c_iflag |= INPCK;
    if (line.ctsHandshake)
        t.c_cflag |= CRTSCTS;
    if (line.xonXoffOutput)
        t.c_iflag |= IXON;
    if (line.xonXoffInput)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = kXon;
    t.c_cc[VSTOP] = kXoff;
    // Reads are timed with poll, never by the line discipline.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return true;
}

SerialLine LineOf(const termios& t)
{
    SerialLine line;
    line.baudRate = 0;
    const speed_t speed = cfgetospeed(&t);
    for (const auto& [rate, code] : kSpeeds)
        if (code == speed)
            line.baudRate = rate;
    for (const auto& [bits, code] : kSizes)
        if ((t.c_cflag & CSIZE) == code)
            line.dataBits = bits;
    line.stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
    const bool odd = t.c_cflag & PARODD;
    if (!(t.c_cflag & PARENB))
        line.parity = Parity::None;
    else if (t.c_cflag & CMSPAR)
        line.parity = odd ? Parity::Mark : Parity::Space;
    else
        line.parity = odd ? Parity::Odd : Parity::Even;
    line.checkParity = t.c_iflag & INPCK;
    line.ctsHandshake = t.c_cflag & CRTSCTS;
    line.xonXoffOutput = t.c_iflag & IXON;
    line.xonXoffInput = t.c_iflag & IXOFF;
    line.raiseDtr = true;
    line.raiseRts = true;
    return line;
}

}  // namespace zorvik::posix
