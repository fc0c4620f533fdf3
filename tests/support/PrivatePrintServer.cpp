#include "support/PrivatePrintServer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace zorvik::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Device schemes lpadmin accepts only when the server has a backend of that name; the
// queues are never printed to, so a backend that does nothing will do.
const char* const kBackends[] = {"socket", "serial", "parallel", "usb"};
constexpr auto kStartLimit = std::chrono::seconds(20);
constexpr auto kStopLimit = std::chrono::seconds(10);
constexpr auto kRetryPause = std::chrono::milliseconds(20);

std::string FindProgram(const std::string& name)
{
    for (const char* folder : {"/usr/sbin", "/usr/local/sbin", "/usr/bin", "/sbin"}) {
        const fs::path candidate = fs::path(folder) / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return {};
}

// Runs argv with CUPS_SERVER set and its output in outputFile; the exit status, -1
// when it could not start.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& server, const std::string& outputFile)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "CUPS_SERVER=", 12) != 0)
            env.emplace_back(*e);
    }
    env.push_back("CUPS_SERVER=" + server);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = argv;
    std::vector<char*> argp;
    for (auto& a : args)
        argp.push_back(a.data());
    argp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int r = ::posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return r == 0 ? pid : -1;
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Connects(const std::string& socketPath)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path)
        return false;
    std::strcpy(address.sun_path, socketPath.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

PrivatePrintServer::PrivatePrintServer()
{
    const std::string cupsd = FindProgram("cupsd");
    if (cupsd.empty()) {
        problem_ = "cupsd is not installed (Debian package cups-daemon)";
        return;
    }
    const fs::path root = dir_.Path();
    // The server checks that its folders are not open to others and may be read by the
    // user it runs jobs as.
    fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    for (const char* folder : {"bin/backend", "spool", "cache", "state", "tmp", "log"})
        fs::create_directories(root / folder);
    for (const char* backend : kBackends) {
        const fs::path file = root / "bin/backend" / backend;
        std::ofstream(file) << "#!/bin/sh\nexit 0\n";
        fs::permissions(file, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    }
    const std::string r = root.string();
    std::ofstream(root / "cupsd.conf") << "Listen " << Socket() << "\n"
                                       << "Browsing No\nWebInterface No\nLogLevel warn\n"
                                       << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                       << "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n";
    std::ofstream(root / "cups-files.conf") << "ServerRoot " << r << "\nServerBin " << r << "/bin\n"
                                            << "RequestRoot " << r << "/spool\nCacheDir " << r << "/cache\n"
                                            << "StateDir " << r << "/state\nTempDir " << r << "/tmp\n"
                                            << "AccessLog " << r << "/log/access_log\n"
                                            << "ErrorLog " << r << "/log/error_log\n"
                                            << "PageLog " << r << "/log/page_log\n";
    pid_ = Spawn({cupsd, "-f", "-c", r + "/cupsd.conf", "-s", r + "/cups-files.conf"}, Socket(),
                 r + "/log/cupsd.out");
    if (pid_ <= 0) {
        problem_ = "cupsd could not be started";
        return;
    }
    if (!WaitUntilAnswering()) {
        problem_ = "cupsd did not start: " + FileText(r + "/log/cupsd.out") + FileText(r + "/log/error_log");
        Stop();
    }
}

PrivatePrintServer::~PrivatePrintServer()
{
    Stop();
}

bool PrivatePrintServer::WaitUntilAnswering()
{
    const auto end = Clock::now() + kStartLimit;
    while (Clock::now() < end) {
        if (Connects(Socket()))
            return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;  // it ended
            return false;
        }
        std::this_thread::sleep_for(kRetryPause);
    }
    return false;
}

void PrivatePrintServer::Stop()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    const auto end = Clock::now() + kStopLimit;
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() >= end) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(kRetryPause);
    }
    pid_ = -1;
}

bool PrivatePrintServer::AddQueue(const std::string& name, const std::string& uri, std::string& output)
{
    const std::string lpadmin = FindProgram("lpadmin");
    if (lpadmin.empty()) {
        output = "lpadmin is not installed (Debian package cups-client)";
        return false;
    }
    const std::string outputFile = dir_.File("log/lpadmin.out");
    const pid_t pid = Spawn({lpadmin, "-h", Socket(), "-p", name, "-v", uri, "-E"}, Socket(), outputFile);
    int status = -1;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid)
        status = -1;
    output = FileText(outputFile);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace zorvik::test
