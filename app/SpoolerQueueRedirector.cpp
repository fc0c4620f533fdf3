#include "app/SpoolerQueueRedirector.h"

#include "resources/PresetTexts.h"

namespace zorvik {

SpoolerQueueRedirector::~SpoolerQueueRedirector()
{
    RestoreAll();
}

void SpoolerQueueRedirector::Release(const std::string& portName)
{
    if (portName.empty())
        return;
    bool ok = true;
    for (const SpoolerQueue& queue : spooler_.ListQueues()) {
        // A queue on "FILE:" no longer names the port, so a second check neither
        // changes it nor loses the port text recorded the first time.
        if (queue.port.find(portName) == std::string::npos)
            continue;
        redirected_[queue.name] = queue.port;
        if (!ok)
            continue;
        if (spooler_.SetPort(queue.name, kSpoolerFilePort) == SpoolerCalls::SetResult::ReadFailed)
            ok = false;
    }
}

void SpoolerQueueRedirector::RestoreAll()
{
    bool ok = true;
    for (const auto& [name, port] : redirected_) {
        if (!ok)
            break;
        if (spooler_.SetPort(name, port) == SpoolerCalls::SetResult::ReadFailed)
            ok = false;
    }
    redirected_.clear();
}

}  // namespace zorvik
