#include "app/ConnectionCheck.h"

#include <string_view>

#include "app/Identification.h"
#include "resources/CheckTexts.h"
#include "resources/CommonTexts.h"

namespace zorvik {

ConnectionCheck::ConnectionCheck(PrinterLink& link, Pacer& pacer, Notifier& notifier, QueueRedirector* queues)
    : link_(link), pacer_(pacer), notifier_(notifier), queues_(queues)
{
}

bool ConnectionCheck::Run(InterfaceType type, const PortSettings& settings)
{
    if (connected_)
        return true;  // already connected: nothing to do, nothing shown
    portOpened_ = false;
    const std::string_view name(settings.portName);
    if (queues_ && (name.starts_with("COM") || name.starts_with("LPT")))
        queues_->Release(settings.portName);
    if (!link_.CreatePort(settings)) {
        notifier_.Show(kMsgPortConfigError, kTitleWarning, MessageIcon::Exclamation);
        return false;
    }
    if (!link_.Open()) {
        notifier_.Show(kMsgCantOpenPort, kTitleWarning, MessageIcon::Exclamation);
        return false;
    }
    connected_ = true;
    portOpened_ = true;
    const IdentifyResult result = IdentifyPrinter(link_, type, pacer_);
    if (result == IdentifyResult::Ok) {
        notifier_.Show(kMsgConnected, kTitleInformation, MessageIcon::Information);
        return true;
    }
    notifier_.Show(IdentifyMessage(result), kTitleWarning, MessageIcon::Exclamation);
    Drop();
    return false;
}

void ConnectionCheck::Drop()
{
    if (!connected_)
        return;
    link_.Close();
    connected_ = false;
}

}  // namespace zorvik
