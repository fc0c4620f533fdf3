#include <gtest/gtest.h>

#include "app/SpoolerQueueRedirector.h"

namespace zorvik {
namespace {

// A spooler in memory: queues with their port texts, and queues that refuse to be
// opened or read.
class FakeSpooler final : public SpoolerCalls {
public:
    std::vector<SpoolerQueue> queues;
    std::vector<std::string> unopenable;
    std::vector<std::string> unreadable;
    std::vector<std::pair<std::string, std::string>> writes;

    std::vector<SpoolerQueue> ListQueues() override { return queues; }
    SetResult SetPort(const std::string& queue, const std::string& port) override
    {
        if (std::find(unopenable.begin(), unopenable.end(), queue) != unopenable.end())
            return SetResult::NotOpened;
        if (std::find(unreadable.begin(), unreadable.end(), queue) != unreadable.end())
            return SetResult::ReadFailed;
        for (auto& q : queues)
            if (q.name == queue)
                q.port = port;
        writes.emplace_back(queue, port);
        return SetResult::Changed;
    }
    std::string PortOf(const std::string& queue) const
    {
        for (const auto& q : queues)
            if (q.name == queue)
                return q.port;
        return {};
    }
};

struct ReleaseCase {
    const char* what;
    std::vector<SpoolerQueue> queues;
    std::vector<std::string> unopenable;
    std::vector<std::string> unreadable;
    std::vector<std::string> released;            // port names, one check each
    std::vector<std::string> onFile;              // queues on "FILE:" after the checks
    std::map<std::string, std::string> recorded;  // what restore gives back
};

TEST(SpoolerQueueRedirector, ReleasesMatchingQueuesAndGivesTheirPortsBack)
{
    const ReleaseCase rows[] = {
        {"a queue on the port and one on COM10 both match COM1",
         {{"Till", "COM1:"}, {"Kitchen", "COM10:"}, {"Office", "LPT1:"}},
         {},
         {},
         {"COM1"},
         {"Till", "Kitchen"},
         {{"Till", "COM1:"}, {"Kitchen", "COM10:"}}},
        {"a queue listing several ports goes to FILE: whole",
         {{"Pool", "COM1:,LPT1:"}},
         {},
         {},
         {"LPT1"},
         {"Pool"},
         {{"Pool", "COM1:,LPT1:"}}},
        {"a second check keeps the first recorded port",
         {{"Till", "COM2:"}},
         {},
         {},
         {"COM2", "COM2"},
         {"Till"},
         {{"Till", "COM2:"}}},
        {"a queue that cannot be opened is recorded and skipped",
         {{"Locked", "COM3:"}, {"Till", "COM3:"}},
         {"Locked"},
         {},
         {"COM3"},
         {"Till"},
         {{"Locked", "COM3:"}, {"Till", "COM3:"}}},
        {"after a failed read no further queue is changed",
         {{"Broken", "COM4:"}, {"Till", "COM4:"}},
         {},
         {"Broken"},
         {"COM4"},
         {},
         {{"Broken", "COM4:"}, {"Till", "COM4:"}}},
        {"no queue on the port: nothing happens", {{"Till", "COM1:"}}, {}, {}, {"COM5"}, {}, {}},
    };
    for (const auto& row : rows) {
        FakeSpooler spooler;
        spooler.queues = row.queues;
        spooler.unopenable = row.unopenable;
        spooler.unreadable = row.unreadable;
        SpoolerQueueRedirector redirector(spooler);
        for (const auto& port : row.released)
            redirector.Release(port);
        std::vector<std::string> onFile;
        for (const auto& q : spooler.queues)
            if (q.port == "FILE:")
                onFile.push_back(q.name);
        EXPECT_EQ(onFile, row.onFile) << row.what;
        EXPECT_EQ(redirector.Redirected(), row.recorded) << row.what;

        spooler.unreadable.clear();
        redirector.RestoreAll();
        for (const auto& q : row.queues)
            EXPECT_EQ(spooler.PortOf(q.name), q.port) << row.what << ": " << q.name;
        EXPECT_TRUE(redirector.Redirected().empty()) << row.what;
    }
}

TEST(SpoolerQueueRedirector, DestructionRestoresWhatIsStillRedirected)
{
    FakeSpooler spooler;
    spooler.queues = {{"Till", "COM1:"}};
    {
        SpoolerQueueRedirector redirector(spooler);
        redirector.Release("COM1");
        ASSERT_EQ(spooler.PortOf("Till"), "FILE:");
    }
    EXPECT_EQ(spooler.PortOf("Till"), "COM1:");
}

}  // namespace
}  // namespace zorvik
