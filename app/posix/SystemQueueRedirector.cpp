#include "app/SystemQueueRedirector.h"

namespace zorvik {

std::unique_ptr<QueueRedirector> MakeSystemQueueRedirector()
{
    return nullptr;
}

}  // namespace zorvik
