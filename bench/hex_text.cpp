// Command file <-> editor text for 1 MiB of bytes, beside xxd -p and xxd -r -p on
// the same data. Prints times and ratios (ours / xxd; below 1 means faster).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "base/BoundedFile.h"
#include "cmdtest/HexText.h"
#include "resources/EditorTexts.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 5;

// Best of a few rounds, in milliseconds.
double BestMs(const std::function<bool()>& run)
{
    double best = 1e300;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        if (!run())
            return -1;
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

bool Run(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Line(const char* what, double ours, double theirs)
{
    if (theirs > 0)
        std::printf("%-28s %9.2f ms   xxd %9.2f ms   ratio %.3f\n", what, ours, theirs, ours / theirs);
    else
        std::printf("%-28s %9.2f ms   xxd not available\n", what, ours);
}

}  // namespace

int main()
{
    using namespace zorvik;
    std::vector<std::uint8_t> bytes(1 << 20);
    std::mt19937 random(640);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());

    std::string text;
    const double format = BestMs([&] {
        text = FormatHexText(bytes, kLoadedPairsPerLine);
        return true;
    });
    std::vector<std::uint8_t> back;
    // What Write Command and Save do with the text: check every pair, then parse.
    const double parse = BestMs([&] {
        if (FindBadHexPair(text))
            return false;
        back = ParseHexText(text);
        return true;
    });
    if (back != bytes) {
        std::fprintf(stderr, "round trip lost bytes\n");
        return 1;
    }

    char folder[] = "/tmp/zorvik-bench-XXXXXX";
    if (!::mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = folder;
    const std::string raw = dir + "/in.bin", hex = dir + "/in.hex", raw2 = dir + "/back.bin";
    double xxdFormat = -1, xxdParse = -1;
    if (WriteFileAtomically(raw, bytes)) {
        xxdFormat = BestMs([&] { return Run({"xxd", "-p", raw, hex}); });
        if (xxdFormat > 0)
            xxdParse = BestMs([&] { return Run({"xxd", "-r", "-p", hex, raw2}); });
        if (xxdParse > 0 && ReadBoundedFile(raw2, std::size_t{1} << 30).bytes != bytes)
            std::fprintf(stderr, "xxd round trip differs\n");
    }
    std::filesystem::remove_all(dir);

    std::printf("1 MiB of bytes, %zu characters of text, best of %d rounds\n", text.size(), kRounds);
    Line("bytes -> text (load)", format, xxdFormat);
    Line("text -> bytes (write, save)", parse, xxdParse);
    std::printf("xxd times include starting the program and its file reads and writes\n");
#ifndef __OPTIMIZE__
    std::printf(
        "note: built without optimisation; build with -DCMAKE_BUILD_TYPE=RelWithDebInfo for real figures\n");
#endif
    return 0;
}
