#pragma once
// A FakePort whose replies come from a VirtualPrinter: every write is fed to the
// printer and its answer is queued for the following reads, with no real time.
#include <memory>

#include "sim/VirtualPrinter.h"
#include "support/FakePort.h"

namespace zorvik::test {

struct SimulatedPrinter {
    std::shared_ptr<FakePortState> state = std::make_shared<FakePortState>();
    std::shared_ptr<VirtualPrinter> printer = std::make_shared<VirtualPrinter>();

    SimulatedPrinter()
    {
        state->responder = [p = printer](const Bytes& written, FakePortState& s) {
            Bytes reply = p->Feed(written);
            if (!reply.empty())
                s.Queue(std::move(reply));
        };
    }
    std::unique_ptr<PortFactory> Factory() const { return std::make_unique<FakePortFactory>(state); }
};

}  // namespace zorvik::test
