#pragma once
// The queue release and restore of this system: the print spooler's on Windows;
// none on Linux, where the print scheduler opens a port only while it prints.
#include <memory>

#include "app/ConnectionCheck.h"

namespace zorvik {

// Null where the system has nothing to release. Restores on destruction.
std::unique_ptr<QueueRedirector> MakeSystemQueueRedirector();

}  // namespace zorvik
