#include "settings/PrinterHealth.h"

#include <algorithm>

namespace zorvik {

namespace {

const HealthStateBits& BitsOf(HealthState state)
{
    return kHealthStateBits[static_cast<std::size_t>(state)];
}

}  // namespace

bool PrinterHealth::Has(HealthState state) const
{
    if (!bytes_)
        return false;
    const HealthStateBits& bits = BitsOf(state);
    return ((*bytes_)[static_cast<std::size_t>(bits.request - 1)] & bits.bits) != 0;
}

std::vector<HealthState> PrinterHealth::States() const
{
    std::vector<HealthState> states;
    for (const HealthStateBits& bits : kHealthStateBits)
        if (Has(bits.state))
            states.push_back(bits.state);
    return states;
}

std::vector<HealthState> PrinterHealth::StatesOf(int request) const
{
    std::vector<HealthState> states = States();
    std::erase_if(states, [request](HealthState s) { return BitsOf(s).request != request; });
    return states;
}

HealthWord PrinterHealth::Word() const
{
    if (!bytes_)
        return HealthWord::Unknown;
    if (Has(HealthState::ErrorOccurred) || Has(HealthState::RecoverableError) ||
        Has(HealthState::CutterError) || Has(HealthState::UnrecoverableError) ||
        Has(HealthState::AutoRecoverableError))
        return HealthWord::Error;
    if (Has(HealthState::CoverOpen))
        return HealthWord::CoverOpen;
    if (Has(HealthState::PaperEnd) || Has(HealthState::StoppedByPaperEnd))
        return HealthWord::PaperOut;
    if (Has(HealthState::Offline) || Has(HealthState::WaitingForRecovery))
        return HealthWord::Offline;
    if (Has(HealthState::PaperNearEnd))
        return HealthWord::PaperLow;
    // The feed button and paper fed by it are passing states of a working printer.
    return HealthWord::Ready;
}

const char* PrinterHealth::Text(HealthState state)
{
    return BitsOf(state).text;
}

const char* PrinterHealth::Key(HealthState state)
{
    return BitsOf(state).key;
}

const char* PrinterHealth::Text(HealthWord word)
{
    return kHealthWords[static_cast<std::size_t>(word)];
}

std::string PrinterHealth::Summary() const
{
    std::string text = Text(Word());
    const char* separator = ": ";
    for (HealthState state : States()) {
        text += separator;
        text += Text(state);
        separator = ", ";
    }
    return text;
}

}  // namespace zorvik
