// The program over N imported links (the first argument, 100,000 without one), offscreen: a
// whole process from its start to a shown window; showing a folder of N / 20 links, then single
// writes to one of its links, each shown with the flags right: a move to a hidden folder, an
// address edit that makes a duplicate, their undos and a visit. Each process is this benchmark
// started again as the program ("--child"), since the program has no way to end itself once its
// window is shown.
#include <sqlite3.h>

#include <QApplication>
#include <cstdio>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

#include "app/app_controller.h"
#include "app/commands.h"
#include "app/link_list_model.h"
#include "app/main_window.h"
#include "app/tagberry_app.h"
#include "support.h"

namespace {

constexpr int kRuns = 3;
constexpr double kStartGoal = 1.0;
constexpr double kFolderGoal = 0.2;
constexpr double kEditGoal = 0.05;
constexpr int kSteps = 5;
// The first links go into the big folder; the first folder of the import is not shown.
constexpr int kMovedLink = 1;
constexpr int kPartnerLink = 2;
constexpr int kHiddenFolder = 2;
constexpr double kMemoryGoalMb = 200;
constexpr std::string_view kShownMark = "shown\n";

// Moves the first links into a new top folder, so that it holds `size` of them; returns its id.
int make_big_folder(const std::filesystem::path& data, int size) {
    sqlite3* db = nullptr;
    tb::bench::check(sqlite3_open((data / "tb2.db").c_str(), &db) == SQLITE_OK);
    const std::string sql =
        "INSERT INTO tb_folders (title, parent) VALUES ('Big', 1);"
        "UPDATE tb_links SET parent = last_insert_rowid() WHERE id <= " +
        std::to_string(size) +
        ";"
        // Every link visited once in a while, so that the colours vary.
        "UPDATE tb_links SET visits = id % 3, last_visit = strftime('%s', 'now');";
    tb::bench::check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK);
    const int big = static_cast<int>(sqlite3_last_insert_rowid(db));
    sqlite3_close(db);
    return big;
}

// Showing the big folder, then moving its first link to a hidden folder and undoing the move,
// giving it the address of the second link and undoing that, and counting a visit of it; prints
// the rows shown after each step and its time (the median of the showings, the mean of each
// write). After the edit and its undo the rows count only when both links show the right flags.
void time_big_folder(tb::app::TagberryApp& program, int big) {
    tb::app::MainWindow* window = program.window();
    tb::app::AppController& controller = *program.controller();
    tb::Model& model = controller.model();
    tb::app::LinkListModel& list = *window->list_model();
    auto settle = [&] {
        window->repaint();
        QApplication::processEvents();
    };
    auto flagged = [&](tb::RowId link) {
        const int row = list.row_of(link);
        return row >= 0 && list.record(row).has_duplicates;
    };
    const double show = tb::bench::median_of(kSteps, [&] {
        window->select_folder(tb::kRootFolder);
        QApplication::processEvents();
        window->select_folder(big);
        settle();
    });
    std::printf("%d %.6f", list.rowCount(), show);
    const bool moved_flag = flagged(kMovedLink);
    const bool partner_flag = flagged(kPartnerLink);
    const tb::Link edited = *model.links.find(kMovedLink);
    const std::string partner_url = model.links.find(kPartnerLink)->url;
    const std::function<int()> writes[] = {
        [&] {
            controller.drop_links({kMovedLink}, kHiddenFolder);
            return list.rowCount();
        },
        [&] {
            controller.execute(tb::app::kCmdUndo);
            return list.rowCount();
        },
        [&] {
            tb::bench::check(
                model.links.edit_link(kMovedLink, edited.title, partner_url, edited.comment));
            controller.after_links_touched({kMovedLink}, {edited.url});
            return flagged(kMovedLink) && flagged(kPartnerLink) ? list.rowCount() : 0;
        },
        [&] {
            controller.execute(tb::app::kCmdUndo);
            const bool restored =
                flagged(kMovedLink) == moved_flag && flagged(kPartnerLink) == partner_flag;
            return restored ? list.rowCount() : 0;
        },
        [&] {
            const tb::Link now = *model.links.find(kMovedLink);
            tb::bench::check(
                model.statistics.update_visits_counter(now.id, now.visits, controller.now()));
            controller.after_links_touched({kMovedLink});
            return list.record(list.row_of(kMovedLink)).visits == now.visits + 1 ? list.rowCount()
                                                                                 : 0;
        }};
    int rows[std::size(writes)] = {};
    double seconds[std::size(writes)] = {};
    for (int i = 0; i < kSteps; ++i) {
        for (size_t w = 0; w < std::size(writes); ++w) {
            seconds[w] += tb::bench::time_of([&] {
                rows[w] = writes[w]();
                settle();
            });
        }
    }
    for (size_t w = 0; w < std::size(writes); ++w) {
        std::printf(" %d %.6f", rows[w], seconds[w] / kSteps);
    }
    std::printf("\n");
}

// The program as its main() starts it; prints the mark once the window is shown, then the
// figures of the big folder when one is given.
int run_program(int argc, char** argv, int big) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillmont"));
    QApplication::setApplicationName(QStringLiteral("Tagberry 2.0"));
    tb::app::TagberryApp program;
    if (program.start() != -1) {
        return 1;
    }
    QApplication::processEvents();
    std::fputs(kShownMark.data(), stdout);
    std::fflush(stdout);
    if (big > 0) {
        time_big_folder(program, big);
    }
    program.window()->close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--child") {
        return run_program(argc, argv, std::atoi(argv[2]));
    }
    const int links = tb::bench::links_from_args(argc, argv);
    const std::filesystem::path dir = tb::bench::make_temp_dir();
    const std::filesystem::path data = dir / "data";
    tb::bench::check(!dir.empty() && tb::bench::prepare_data(links, dir, data));
    const int big = make_big_folder(data, links / 20);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TAGBERRY_DATA_DIR", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();

    tb::bench::print_header(links);
    const tb::bench::ProcessFigures start = tb::bench::median_process(kRuns, [&] {
        return tb::bench::run_process({self, "--child", "0"}, std::string(kShownMark));
    });
    const double start_goal = tb::bench::time_goal(kStartGoal, links);
    char goal[48];
    std::snprintf(goal, sizeof goal, "<= %.2f s, <= %.0f MB", start_goal, kMemoryGoalMb);
    tb::bench::print_row("program: start to window", tb::bench::describe(start), "-", goal,
                         start.ok && start.wall <= start_goal && start.peak_mb <= kMemoryGoalMb);

    const tb::bench::ProcessFigures folder =
        tb::bench::run_process({self, "--child", std::to_string(big)}, std::string(kShownMark));
    const std::string figures =
        folder.output.substr(folder.output.find(kShownMark) + kShownMark.size());
    const int size = links / 20;
    const struct {
        std::string work;
        int rows;
        double goal;
    } steps[] = {{"program: folder of " + std::to_string(size) + " shown", size, kFolderGoal},
                 {"program: move one link out", size - 1, kEditGoal},
                 {"program: undo the move", size, kEditGoal},
                 {"program: edit an address to a duplicate", size, kEditGoal},
                 {"program: undo the edit", size, kEditGoal},
                 {"program: count a visit", size, kEditGoal}};
    std::istringstream figures_in(figures);
    for (const auto& step : steps) {
        int rows = -1;
        double seconds = 0;
        figures_in >> rows >> seconds;
        const double goal_seconds = tb::bench::time_goal(step.goal, links);
        std::snprintf(goal, sizeof goal, "<= %.3f s", goal_seconds);
        const bool right = folder.ok && rows == step.rows;
        tb::bench::print_row(step.work,
                             tb::bench::seconds_text(seconds) + (right ? "" : " (wrong rows)"), "-",
                             goal, right && seconds <= goal_seconds);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
