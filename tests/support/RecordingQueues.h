#pragma once
// Printer queues that record which ports a check frees and how often they are given
// back, without any spooler.
#include <string>
#include <vector>

#include "app/ConnectionCheck.h"

namespace zorvik::test {

class RecordingQueues final : public QueueRedirector {
public:
    std::vector<std::string> released;
    int restores = 0;
    void Release(const std::string& portName) override { released.push_back(portName); }
    void RestoreAll() override { ++restores; }
};

}  // namespace zorvik::test
