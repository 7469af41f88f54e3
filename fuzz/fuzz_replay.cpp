// Runs every file of the given folders through one harness, as the fuzzer would: the seeds and
// the kept reproducers stay fixed in every normal build.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "harness/fuzz_targets.h"
#include "text/file_bytes.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> files_in(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_regular_file() && entry.path().filename() != ".gitkeep") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: tb_fuzz_replay TARGET FOLDER...\n";
        return 2;
    }
    const std::string name = argv[1];
    const auto targets = tb::fuzz::fuzz_targets();
    const auto target =
        std::find_if(targets.begin(), targets.end(),
                     [&name](const tb::fuzz::FuzzTarget& t) { return t.name == name; });
    if (target == targets.end()) {
        std::cerr << "unknown fuzz target: " << name << '\n';
        return 2;
    }
    std::size_t replayed = 0;
    for (int i = 2; i < argc; ++i) {
        for (const fs::path& file : files_in(argv[i])) {
            std::cout << file.filename().string() << std::endl;
            std::optional<std::string> bytes = tb::read_file_bytes(file);
            if (!bytes) {
                std::cerr << "cannot read " << file << '\n';
                return 1;
            }
            target->body(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size());
            ++replayed;
        }
    }
    std::cout << replayed << " inputs replayed through " << name << '\n';
    // A target without a single input would pass without testing anything.
    return replayed > 0 ? 0 : 1;
}
