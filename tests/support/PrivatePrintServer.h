#pragma once
// A print server of the tests' own: cupsd in the foreground with its configuration,
// spool, state and logs in a temporary folder, listening only on a socket file there
// (never on a network port). Queues are made with lpadmin against that socket. When
// the server cannot start, Problem() says why and the tests that need it skip.
#include <sys/types.h>

#include <string>

#include "support/TempDir.h"

namespace zorvik::test {

class PrivatePrintServer {
public:
    PrivatePrintServer();
    ~PrivatePrintServer();
    PrivatePrintServer(const PrivatePrintServer&) = delete;
    PrivatePrintServer& operator=(const PrivatePrintServer&) = delete;

    bool Running() const { return pid_ > 0 && problem_.empty(); }
    // Why the server is not running; empty while it is.
    const std::string& Problem() const { return problem_; }
    // The server's socket file, the value for CUPS_SERVER.
    std::string Socket() const { return dir_.File("cups.sock"); }

    // Makes an enabled raw queue with this device URI; false with what lpadmin said.
    bool AddQueue(const std::string& name, const std::string& uri, std::string& output);

private:
    bool WaitUntilAnswering();
    void Stop();

    TempDir dir_;
    pid_t pid_ = -1;
    std::string problem_;
};

}  // namespace zorvik::test
