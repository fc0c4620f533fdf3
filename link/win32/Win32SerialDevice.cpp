// The serial device on Windows: a COM port through its control block, modem status
// and time limits.
#include <windows.h>

#include "link/CommDcb.h"
#include "link/SerialDevice.h"
#include "link/win32/CommFile.h"

namespace zorvik {
namespace {

CommDcb FromDcb(const DCB& d)
{
    CommDcb c;
    c.baudRate = d.BaudRate;
    c.byteSize = d.ByteSize;
    c.parity = d.Parity;
    c.stopBits = d.StopBits;
    c.fParity = d.fParity;
    c.fOutxCtsFlow = d.fOutxCtsFlow;
    c.fOutxDsrFlow = d.fOutxDsrFlow;
    c.fDtrControl = static_cast<std::uint8_t>(d.fDtrControl);
    c.fRtsControl = static_cast<std::uint8_t>(d.fRtsControl);
    c.fDsrSensitivity = d.fDsrSensitivity;
    c.fTXContinueOnXoff = d.fTXContinueOnXoff;
    c.fOutX = d.fOutX;
    c.fInX = d.fInX;
    c.fNull = d.fNull;
    return c;
}

void IntoDcb(const CommDcb& c, DCB& d)
{
    d.BaudRate = c.baudRate;
    d.ByteSize = c.byteSize;
    d.Parity = c.parity;
    d.StopBits = c.stopBits;
    d.fParity = c.fParity;
    d.fOutxCtsFlow = c.fOutxCtsFlow;
    d.fOutxDsrFlow = c.fOutxDsrFlow;
    d.fDtrControl = c.fDtrControl;
    d.fRtsControl = c.fRtsControl;
    d.fDsrSensitivity = c.fDsrSensitivity;
    d.fTXContinueOnXoff = c.fTXContinueOnXoff;
    d.fOutX = c.fOutX;
    d.fInX = c.fInX;
    d.fNull = c.fNull;
}

class Win32SerialDevice final : public win32::CommBackedDevice<SerialDevice> {
public:
    bool GetLine(SerialLine& line) override
    {
        if (!ReadDcb())
            return false;
        line = SerialLineOf(FromDcb(dcb_));
        return true;
    }

    bool SetLine(const SerialLine& line) override
    {
        if (!ReadDcb())
            return false;
        const auto wanted = CommDcbFor(line, FromDcb(dcb_));
        if (!wanted)
            return file_.Fail(ERROR_INVALID_PARAMETER);
        IntoDcb(*wanted, dcb_);
        return SetCommState(file_.Handle(), &dcb_) || file_.Fail();
    }

    ModemPresence Presence() override
    {
        DWORD status = 0;
        if (!GetCommModemStatus(file_.Handle(), &status)) {
            file_.Fail();
            return ModemPresence::Failed;
        }
        return (status & MS_DSR_ON) ? ModemPresence::DsrOn : ModemPresence::DsrOff;
    }

    bool Purge() override { return file_.Purge(); }

private:
    bool ReadDcb()
    {
        dcb_ = DCB{};
        dcb_.DCBlength = sizeof(DCB);
        return GetCommState(file_.Handle(), &dcb_) || file_.Fail();
    }

    DCB dcb_{};
};

}  // namespace

std::unique_ptr<SerialDevice> MakeSystemSerialDevice()
{
    return std::make_unique<Win32SerialDevice>();
}

}  // namespace zorvik
