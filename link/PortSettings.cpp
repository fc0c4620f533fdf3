#include "link/PortSettings.h"

#include <algorithm>
#include <array>

namespace zorvik {

namespace {

constexpr std::array<std::uint32_t, 7> kRates{2400, 4800, 9600, 19200, 38400, 57600, 115200};

}  // namespace

bool LineSettingsValid(const PortSettings& settings)
{
    if (std::find(kRates.begin(), kRates.end(), settings.baudRate) == kRates.end())
        return false;
    if (settings.dataBits < 5 || settings.dataBits > 8)
        return false;
    switch (settings.stopBits) {
    case StopBits::One:
    case StopBits::OneAndHalf:
    case StopBits::Two:
        break;
    default:
        return false;
    }
    switch (settings.parity) {
    case Parity::None:
    case Parity::Odd:
    case Parity::Even:
    case Parity::Mark:
    case Parity::Space:
        return true;
    }
    return false;
}

}  // namespace zorvik
