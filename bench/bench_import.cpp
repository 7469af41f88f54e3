// Imports the 100,000-link bookmark file into a fresh database and times it against the
// Python reference importer on the same file, in the same run.
#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <string>

#include "exchange/import_driver.h"
#include "model/model.h"
#include "platform/reporter.h"
#include "storage/database.h"
#include "support.h"

namespace {

constexpr int kLinks = 100000;
constexpr int kRuns = 3;

// The reference's own figure: the seconds on its last line, or a negative value.
double run_reference(const std::filesystem::path& file, const std::filesystem::path& db) {
    std::string command =
        "python3 '" TB_SHARED_BENCH "/ref_import.py' '" + file.string() + "' '" + db.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char line[256];
    std::string last;
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        last = line;
    }
    pclose(pipe);
    return last.empty() ? -1 : std::stod(last);
}

// One import into a new database; returns the links written.
int import_once(const std::filesystem::path& file, const std::filesystem::path& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    tb::SilentReporter reporter;
    tb::Database db(reporter);
    if (db.open_database(folder) != tb::OpenStatus::Ok) {
        return -1;
    }
    tb::Model model(db);
    model.load();
    tb::ImportRequest request;
    request.path = file;
    return tb::run_import(model, request).links;
}

}  // namespace

int main() {
    std::filesystem::path dir = tb::bench::make_temp_dir();
    std::filesystem::path file = dir / "bookmarks.html";
    if (dir.empty() || !tb::bench::generate_bookmarks(kLinks, file)) {
        std::fprintf(stderr, "cannot generate the bookmark file\n");
        return 1;
    }
    int links = 0;
    double seconds = tb::bench::best_of(kRuns, [&] { links = import_once(file, dir / "data"); });
    double reference = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        double run = run_reference(file, dir / "ref.db");
        if (run > 0 && run < reference) {
            reference = run;
        }
    }
    std::printf("imported %d links\n", links);
    tb::bench::report("bookmark import, 100000 links", seconds, reference, 1.5);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::filesystem::remove_all(dir);
    return 0;
}
