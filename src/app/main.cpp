#include <QApplication>

#include "app/main_window.h"
#include "app/message_box.h"
#include "platform/data_folder.h"
#include "platform/log.h"
#include "platform/strings.h"
#include "storage/database.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillmont"));
    QApplication::setApplicationName(QStringLiteral("Tagberry 2.0"));

    tb::app::MessageBoxReporter reporter;
    const std::filesystem::path folder = tb::data_folder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        reporter.report(tb::msg::kCannotCreateDataDir);
        return 1;
    }
    tb::log_set_file(folder / "tagberry.log", &reporter);
    tb::log_clean();

    tb::Database db(reporter);
    if (db.open_database(folder) != tb::OpenStatus::Ok) {
        return 1;
    }
    tb::app::MainWindow window(db);
    reporter.set_parent(&window);
    window.show();
    return QApplication::exec();
}
