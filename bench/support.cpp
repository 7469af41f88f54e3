#include "support.h"

#include <stdlib.h>

#include <cstdio>
#include <limits>

namespace tb::bench {

double best_of(int runs, const std::function<void()>& fn) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        fn();
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

void report(const std::string& name, double seconds, double reference, double target) {
    double ratio = reference > 0 ? seconds / reference : 0;
    std::printf("%s: %.4f s vs reference %.4f s, ratio %.2f (target <= %.2f) %s\n", name.c_str(),
                seconds, reference, ratio, target, ratio <= target ? "OK" : "OVER");
}

bool generate_bookmarks(int links, const std::filesystem::path& out) {
    std::string command = "python3 '" TB_SHARED_BENCH "/gen_bookmarks.py' " +
                          std::to_string(links) + " '" + out.string() + "' >/dev/null";
    return std::system(command.c_str()) == 0;
}

std::filesystem::path make_temp_dir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tb-bench-XXXXXX").string();
    return mkdtemp(pattern.data()) != nullptr ? std::filesystem::path(pattern)
                                              : std::filesystem::path();
}

}  // namespace tb::bench
