// Runs a fuzz target's entry point once over every file named on the command
// line (folders are walked), so that seeds and past crashers stay checked by
// ctest without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

static int runFile(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", p.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 0;
}

int main(int argc, char **argv)
{
    int failures = 0, files = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path p(argv[i]);
        if (std::filesystem::is_directory(p)) {
            for (const auto &e : std::filesystem::recursive_directory_iterator(p)) {
                if (e.is_regular_file()) {
                    failures += runFile(e.path());
                    ++files;
                }
            }
        } else {
            failures += runFile(p);
            ++files;
        }
    }
    std::printf("%d inputs replayed, %d unreadable\n", files, failures);
    return failures == 0 ? 0 : 1;
}
