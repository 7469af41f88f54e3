// Whole processes of the command-line tool over N generated links (the first argument, 100,000
// without one): the import against a reference importer, the reading commands, one edit, the
// searches against the same passes with SQLite's built-in LIKE, and the export. Each figure is
// the median of three runs (five for a search), printed next to its goal and its reference from
// the same run. The search reference runs in a process of its own (this benchmark started again
// with "--reference-search"), so that its memory is never counted in a figure of the tool.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support.h"

namespace {

constexpr int kRuns = 3;
// A search and its reference take turns this many times: a ratio of two short times moves
// with the machine's load far more than one time does.
constexpr int kSearchRuns = 5;
constexpr double kMemoryGoalMb = 100;
constexpr double kTinyGoalMb = 25;

using tb::bench::ProcessFigures;

// A search as the user types it, and its condition over one column ("$" stands for the column).
struct SearchCase {
    const char* text;
    const char* condition;
};

const SearchCase kSearches[] = {
    {"linux kernel", "$ LIKE '%linux%' AND $ LIKE '%kernel%'"},
    {"python OR rust", "$ LIKE '%python%' OR $ LIKE '%rust%'"},
    {"(music OR video) AND review", "($ LIKE '%music%' OR $ LIKE '%video%') AND $ LIKE '%review%'"},
};

std::string on_column(std::string condition, const std::string& column) {
    for (size_t at = condition.find('$'); at != std::string::npos; at = condition.find('$', at)) {
        condition.replace(at, 1, column);
    }
    return condition;
}

class PlainConnection {
public:
    explicit PlainConnection(const std::filesystem::path& file) {
        tb::bench::check(sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) ==
                         SQLITE_OK);
    }
    ~PlainConnection() { sqlite3_close(db_); }
    PlainConnection(const PlainConnection&) = delete;
    PlainConnection& operator=(const PlainConnection&) = delete;

    std::vector<int> ids(const std::string& sql) const {
        sqlite3_stmt* stmt = nullptr;
        tb::bench::check(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK);
        std::vector<int> out;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            out.push_back(sqlite3_column_int(stmt, 0));
        }
        sqlite3_finalize(stmt);
        return out;
    }

private:
    sqlite3* db_ = nullptr;
};

// The three passes of a default search (titles, addresses, comments), merged as the program
// merges them.
size_t reference_search(const PlainConnection& db, const SearchCase& search) {
    std::vector<int> found;
    for (const char* column : {"title", "url", "comment"}) {
        std::vector<int> ids =
            db.ids("SELECT id FROM tb_links WHERE " + on_column(search.condition, column));
        found.insert(found.end(), ids.begin(), ids.end());
    }
    std::sort(found.begin(), found.end());
    return static_cast<size_t>(std::unique(found.begin(), found.end()) - found.begin());
}

std::string goal_text(double seconds, double megabytes) {
    char text[48];
    if (megabytes > 0) {
        std::snprintf(text, sizeof text, "<= %.2f s, <= %.0f MB", seconds, megabytes);
    } else {
        std::snprintf(text, sizeof text, "<= %.2f s", seconds);
    }
    return text;
}

// A fast answer counts only when it is the right one: the rows printed (tab-separated lines) must
// be the rows the plain connection finds.
ProcessFigures expect_rows(ProcessFigures figures, const std::string& work, size_t rows) {
    if (figures.rows != rows) {
        std::fprintf(stderr, "%s printed %zu rows instead of %zu\n", work.c_str(), figures.rows,
                     rows);
        figures.ok = false;
    }
    return figures;
}

void print_timed(const std::string& work, const ProcessFigures& figures, double seconds,
                 double megabytes) {
    const bool pass =
        figures.ok && figures.wall <= seconds && (megabytes <= 0 || figures.peak_mb <= megabytes);
    tb::bench::print_row(work, tb::bench::describe(figures), "-", goal_text(seconds, megabytes),
                         pass);
}

void print_compared(const std::string& work, const ProcessFigures& figures, double reference,
                    double goal, double megabytes, double reference_mb = 0) {
    const double ratio = figures.wall / reference;
    const bool pass =
        figures.ok && ratio <= goal && (megabytes <= 0 || figures.peak_mb <= megabytes);
    std::string goal_column = tb::bench::ratio_text(ratio, goal);
    if (megabytes > 0) {
        goal_column += ", <= " + std::to_string(static_cast<int>(megabytes)) + " MB";
    }
    std::string reference_column = tb::bench::seconds_text(reference);
    if (reference_mb > 0) {
        reference_column += ", " + std::to_string(static_cast<int>(reference_mb)) + " MB";
    }
    tb::bench::print_row(work, tb::bench::describe(figures), reference_column, goal_column, pass);
}

// The reference importer's own figure: the seconds on the last line it prints; its peak memory.
std::pair<double, double> reference_import(const std::filesystem::path& dir,
                                           const std::filesystem::path& schema) {
    ProcessFigures run = tb::bench::run_process({"/usr/bin/python3", TB_BENCH_DIR "/ref_import.py",
                                                 (dir / "bookmarks.html").string(),
                                                 (dir / "reference.db").string(), schema.string()});
    tb::bench::check(run.ok);
    const size_t last = run.output.find_last_of('\n', run.output.size() - 2);
    return {std::stod(run.output.substr(last == std::string::npos ? 0 : last + 1)), run.peak_mb};
}

void bench_import(int links, const std::filesystem::path& dir, const std::filesystem::path& data) {
    // The program and the reference take turns, so that a load on the machine weighs on both.
    std::vector<double> reference;
    std::vector<double> reference_peak;
    ProcessFigures import = tb::bench::median_process(kRuns, [&] {
        std::filesystem::remove_all(data);
        ProcessFigures run =
            tb::bench::run_cli(data, {"import", "bookmarks", (dir / "bookmarks.html").string()});
        tb::bench::check(run.ok);
        const auto [seconds, peak_mb] = reference_import(dir, data / "tb2.db");
        reference.push_back(seconds);
        reference_peak.push_back(peak_mb);
        return run;
    });
    print_compared("import " + std::to_string(links) + " links", import,
                   tb::bench::median(reference), 1.5, 0, tb::bench::median(reference_peak));
}

// The id of the folder whose link count is the median of the folders holding links, and of the
// largest one.
std::pair<int, int> typical_and_largest_folder(const PlainConnection& db) {
    std::vector<int> by_size =
        db.ids("SELECT parent FROM tb_links GROUP BY parent ORDER BY COUNT(*), parent");
    tb::bench::check(!by_size.empty());
    return {by_size[by_size.size() / 2], by_size.back()};
}

void bench_reading(int links, const std::filesystem::path& data, const PlainConnection& db) {
    auto cli = [&](std::vector<std::string> args) {
        return tb::bench::median_process(kRuns, [&] { return tb::bench::run_cli(data, args); });
    };
    const double goal = tb::bench::time_goal(0.3, links);
    const auto [typical, largest] = typical_and_largest_folder(db);
    print_timed("info", cli({"info"}), goal, kMemoryGoalMb);
    for (const auto& [name, folder] : {std::pair{"typical", typical}, {"largest", largest}}) {
        const size_t size =
            db.ids("SELECT id FROM tb_links WHERE parent = " + std::to_string(folder)).size();
        const std::string work =
            "ls, " + std::string(name) + " folder (" + std::to_string(size) + " links)";
        print_timed(work, expect_rows(cli({"ls", std::to_string(folder)}), work, size), goal,
                    kMemoryGoalMb);
    }
    print_timed("tree", cli({"tree"}), goal, kMemoryGoalMb);
}

void bench_edits(int links, const std::filesystem::path& data, const PlainConnection& db) {
    const double goal = tb::bench::time_goal(0.2, links);
    const std::string folder = std::to_string(typical_and_largest_folder(db).first);
    int round = 0;
    // New addresses and titles in every run, also when the links of an earlier run are reused.
    const std::string run = std::to_string(getpid());
    print_timed(
        "add one link",
        tb::bench::median_process(kRuns,
                                  [&] {
                                      const std::string n = run + "-" + std::to_string(++round);
                                      return tb::bench::run_cli(
                                          data, {"add", folder, "https://added.example/" + n,
                                                 "--title", "Added " + n});
                                  }),
        goal, 0);
    const std::string link = std::to_string(links / 2);
    print_timed("edit one link",
                tb::bench::median_process(kRuns,
                                          [&] {
                                              return tb::bench::run_cli(
                                                  data, {"edit", link, "--title",
                                                         "Edited " + std::to_string(++round)});
                                          }),
                goal, 0);
}

// The reference search as a process: prints the number of links found and the seconds of the
// three passes.
int run_reference_search(const std::filesystem::path& file, const SearchCase& search) {
    const PlainConnection db(file);
    size_t found = 0;
    const double seconds = tb::bench::time_of([&] { found = reference_search(db, search); });
    std::printf("%zu %.6f\n", found, seconds);
    return 0;
}

struct ReferenceRun {
    size_t found = 0;
    double seconds = 0;
    double peak_mb = 0;
};

ReferenceRun reference_search_process(const std::filesystem::path& data, size_t search) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const ProcessFigures run = tb::bench::run_process(
        {self, "--reference-search", (data / "tb2.db").string(), std::to_string(search)});
    ReferenceRun reference;
    tb::bench::check(run.ok && std::sscanf(run.output.c_str(), "%zu %lf", &reference.found,
                                           &reference.seconds) == 2);
    reference.peak_mb = run.peak_mb;
    return reference;
}

void bench_searches(const std::filesystem::path& data) {
    for (size_t i = 0; i < std::size(kSearches); ++i) {
        const SearchCase& search = kSearches[i];
        size_t found = 0;
        std::vector<double> reference;
        std::vector<double> reference_peak;
        ProcessFigures figures = tb::bench::median_process(kSearchRuns, [&] {
            const ReferenceRun run = reference_search_process(data, i);
            found = run.found;
            reference.push_back(run.seconds);
            reference_peak.push_back(run.peak_mb);
            return tb::bench::run_cli(data, {"search", search.text});
        });
        const std::string work =
            "search \"" + std::string(search.text) + "\" (" + std::to_string(found) + ")";
        print_compared(work, expect_rows(figures, work, found), tb::bench::median(reference), 2.0,
                       kMemoryGoalMb, tb::bench::median(reference_peak));
    }
}

// Checks the measuring itself: a command that does next to nothing, run after everything else,
// must show a peak of a few MB, whatever the references and this benchmark used before.
void bench_tiny_command(const std::filesystem::path& data) {
    const ProcessFigures figures = tb::bench::run_cli(data, {"--help"});
    char goal[48];
    std::snprintf(goal, sizeof goal, "<= %.0f MB (own peak %.0f MB)", kTinyGoalMb,
                  tb::bench::own_peak_mb());
    tb::bench::print_row("a tiny command (--help), measured last", tb::bench::describe(figures),
                         "-", goal, figures.peak_mb <= kTinyGoalMb);
}

void bench_export(int links, const std::filesystem::path& dir, const std::filesystem::path& data) {
    const std::string file = (dir / "export.html").string();
    print_timed("export all links",
                tb::bench::median_process(kRuns,
                                          [&] {
                                              return tb::bench::run_cli(data, {"export", file});
                                          }),
                tb::bench::time_goal(1.5, links), 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 3 && std::string(argv[1]) == "--reference-search") {
        return run_reference_search(argv[2], kSearches[std::stoul(argv[3]) % std::size(kSearches)]);
    }
    const int links = tb::bench::links_from_args(argc, argv);
    // A folder given as the second argument is kept for the next run, which reuses its generated
    // file and its imported links instead of timing the import again.
    const bool kept = argc > 2;
    const std::filesystem::path dir = kept ? argv[2] : tb::bench::make_temp_dir();
    const std::filesystem::path data = dir / "data";
    const bool imported = kept && std::filesystem::exists(data / "tb2.db");
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    std::error_code error;
    std::filesystem::create_directories(dir / "config", error);
    tb::bench::check(!dir.empty() && std::filesystem::is_directory(dir / "config") &&
                     (imported || tb::bench::generate_bookmarks(links, dir / "bookmarks.html")));
    tb::bench::print_header(links);
    if (imported) {
        std::printf("(the import is not timed: the links imported by an earlier run are used)\n");
    } else {
        bench_import(links, dir, data);
    }
    {
        const PlainConnection db(data / "tb2.db");
        bench_reading(links, data, db);
        bench_edits(links, data, db);
    }
    bench_searches(data);
    bench_export(links, dir, data);
    bench_tiny_command(data);
    if (!kept) {
        std::filesystem::remove_all(dir);
    }
    return 0;
}
