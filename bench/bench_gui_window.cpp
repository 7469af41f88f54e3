// The main window over a large database, offscreen: showing a folder of 50,000 links against
// filling the same list model without a view, and the time from start to a shown window with
// 100,000 links in the database.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "app/app_controller.h"
#include "app/link_list_model.h"
#include "app/main_window.h"
#include "app/tagberry_app.h"
#include "model/model.h"
#include "platform/log.h"
#include "storage/database.h"
#include "support.h"

namespace {

constexpr int kLinks = 100000;
constexpr int kFolderLinks = 50000;

// Moves the first links into one folder, so that it holds kFolderLinks of them.
int make_big_folder(const std::filesystem::path& dir) {
    tb::SilentReporter reporter;
    tb::Database db(reporter);
    db.open_database(dir);
    tb::bench::fill_links(db, kLinks);
    tb::bench::check(db.easy_query("INSERT INTO tb_folders (title, parent) VALUES ('Big', '1')"));
    const int big = static_cast<int>(db.last_insert_rowid());
    tb::bench::check(db.easy_query(
        tb::sql_format("UPDATE tb_links SET parent = '%d' WHERE id <= '%d'", big, kFolderLinks)));
    // Every link visited once in a while, so the colours vary.
    tb::bench::check(
        db.easy_query("UPDATE tb_links SET visits = id % 3, last_visit = strftime('%s', 'now')"));
    return big;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::filesystem::path dir = tb::bench::make_temp_dir();
    qputenv("TAGBERRY_DATA_DIR", QByteArray::fromStdString(dir.string()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir / "config").string()));
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillmont"));
    QApplication::setApplicationName(QStringLiteral("Tagberry 2.0"));
    const int big = make_big_folder(dir);

    QElapsedTimer start_timer;
    start_timer.start();
    tb::app::TagberryApp program;
    if (program.start() != -1) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    QApplication::processEvents();
    const double start_seconds = start_timer.nsecsElapsed() / 1e9;
    std::printf("start-up to a shown window with %d links: %.3f s (target < 1.5 s) %s\n", kLinks,
                start_seconds, start_seconds < 1.5 ? "OK" : "OVER");

    tb::app::MainWindow* window = program.window();
    window->list_model()->sort_by_header(0);
    const double show = tb::bench::best_of(5, [&] {
        window->select_folder(tb::kRootFolder);
        QApplication::processEvents();
        window->select_folder(big);
        window->repaint();
        QApplication::processEvents();
    });
    const int shown = window->list_model()->rowCount();

    tb::app::LinkListModel bare;
    bare.sort_by_header(0);
    const double fill = tb::bench::best_of(
        5, [&] { bare.set_records(program.model()->links.links_in(big), false); });
    std::printf(
        "folder of %d links shown in %.3f s (target < 0.2 s) %s; model alone %.3f s, "
        "ratio %.2f\n",
        shown, show, show < 0.2 ? "OK" : "OVER", fill, show / fill);
    window->close();
    std::filesystem::remove_all(dir);
    return 0;
}
