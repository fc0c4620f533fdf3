#include "link/CommDcb.h"

namespace zorvik {

std::optional<CommDcb> CommDcbFor(const SerialLine& line, CommDcb current)
{
    if (line.baudRate == 0 || line.dataBits < 5 || line.dataBits > 8)
        return std::nullopt;
    if (line.stopBits != 1 && line.stopBits != 2)
        return std::nullopt;
    CommDcb dcb = current;
    dcb.baudRate = line.baudRate;
    dcb.byteSize = static_cast<std::uint8_t>(line.dataBits);
    if (line.stopBits == 1)
        dcb.stopBits = kDcbOneStopBit;
    else if (line.oneAndHalfStopBits && line.dataBits == 5)
        dcb.stopBits = kDcbOne5StopBits;
    else
        dcb.stopBits = kDcbTwoStopBits;
    switch (line.parity) {
    case Parity::None:
        dcb.parity = kDcbNoParity;
        break;
    case Parity::Odd:
        dcb.parity = kDcbOddParity;
        break;
    case Parity::Even:
        dcb.parity = kDcbEvenParity;
        break;
    case Parity::Mark:
        dcb.parity = kDcbMarkParity;
        break;
    case Parity::Space:
        dcb.parity = kDcbSpaceParity;
        break;
    default:  // a code no list offers
        return std::nullopt;
    }
    dcb.fParity = line.checkParity;
    dcb.fOutxCtsFlow = line.ctsHandshake;
    dcb.fOutxDsrFlow = line.ctsHandshake;
    dcb.fDtrControl = line.raiseDtr ? kDcbDtrControlEnable : kDcbDtrControlDisable;
    dcb.fRtsControl = line.raiseRts ? kDcbRtsControlEnable : kDcbRtsControlDisable;
    dcb.fDsrSensitivity = false;
    dcb.fTXContinueOnXoff = false;
    dcb.fNull = false;
    dcb.fOutX = line.xonXoffOutput;
    dcb.fInX = line.xonXoffInput;
    return dcb;
}

SerialLine SerialLineOf(const CommDcb& dcb)
{
    SerialLine line;
    line.baudRate = dcb.baudRate;
    line.dataBits = dcb.byteSize;
    line.stopBits = dcb.stopBits == kDcbOneStopBit ? 1 : 2;
    line.oneAndHalfStopBits = dcb.stopBits == kDcbOne5StopBits;
    switch (dcb.parity) {
    case kDcbOddParity:
        line.parity = Parity::Odd;
        break;
    case kDcbEvenParity:
        line.parity = Parity::Even;
        break;
    case kDcbMarkParity:
        line.parity = Parity::Mark;
        break;
    case kDcbSpaceParity:
        line.parity = Parity::Space;
        break;
    default:
        line.parity = Parity::None;
        break;
    }
    line.checkParity = dcb.fParity;
    line.ctsHandshake = dcb.fOutxCtsFlow;
    line.raiseDtr = dcb.fDtrControl != kDcbDtrControlDisable;
    line.raiseRts = dcb.fRtsControl != kDcbRtsControlDisable;
    line.xonXoffOutput = dcb.fOutX;
    line.xonXoffInput = dcb.fInX;
    return line;
}

}  // namespace zorvik
