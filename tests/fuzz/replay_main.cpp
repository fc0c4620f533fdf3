// Replays every file of a corpus folder through the fuzz entry point, so the
// targets run as ordinary tests without a fuzzing engine. A folder that is missing
// or holds no input, or an input that cannot be read, fails the run with the
// target's name: a replay of nothing would pass without testing.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    const std::string target = std::filesystem::path(argc > 0 ? argv[0] : "replay").filename().string();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER...\n", target.c_str());
        return 2;
    }
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path root(argv[i]);
        std::error_code error;
        if (!std::filesystem::is_directory(root, error)) {
            std::fprintf(stderr, "%s: no corpus folder %s\n", target.c_str(), argv[i]);
            return 1;
        }
        int inFolder = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (!in.is_open() || in.bad()) {
                std::fprintf(stderr, "%s: cannot read %s\n", target.c_str(), entry.path().c_str());
                return 1;
            }
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++inFolder;
        }
        if (inFolder == 0) {
            std::fprintf(stderr, "%s: no inputs in the corpus folder %s\n", target.c_str(), argv[i]);
            return 1;
        }
        replayed += inFolder;
    }
    std::printf("%s: replayed %d inputs\n", target.c_str(), replayed);
    return 0;
}
