// Peak memory (VmHWM) of the window program at rest: zorvik started on the offscreen
// platform, left to settle, measured, and ended. The program's path is the first
// argument, or ../app/zorvik beside this benchmark.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

long StatusKb(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    const fs::path program = argc > 1
                                 ? fs::path(argv[1])
                                 : fs::read_symlink("/proc/self/exe").parent_path() / ".." / "app" / "zorvik";
    if (!fs::exists(program)) {
        std::fprintf(stderr, "no window program at %s\n", program.c_str());
        return 1;
    }
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0)
            env.emplace_back(*e);
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = program.string();
    char* args[] = {path.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, args, envp.data()) != 0) {
        std::perror("posix_spawn");
        return 1;
    }
    // Let it build its window and settle; the peak is kept by the kernel.
    long hwm = -1;
    for (int i = 0; i < 30; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        hwm = StatusKb(pid, "VmHWM");
    }
    const long rss = StatusKb(pid, "VmRSS");
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 50 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    if (hwm < 0) {
        std::fprintf(stderr, "the window program ended before it was measured\n");
        return 1;
    }
    std::printf("zorvik at rest: peak %ld kB (VmHWM), resident %ld kB (VmRSS)\n", hwm, rss);
    return 0;
}
