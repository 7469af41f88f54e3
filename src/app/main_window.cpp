#include "app/main_window.h"

#include <QLabel>
#include <QStatusBar>

namespace tb::app {

MainWindow::MainWindow(Database& db, QWidget* parent)
    : QMainWindow(parent), db_(db), folder_count_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Tagberry 2.0"));
    statusBar()->addPermanentWidget(folder_count_);
    resize(900, 600);
    refresh_status();
}

void MainWindow::refresh_status() {
    const auto folders = db_.query_int(
        "SELECT COUNT(*) FROM tb_folders WHERE id NOT IN (SELECT id FROM tb_undo WHERE action = "
        "'2')");
    folder_count_->setText(tr("Folders: %1").arg(folders));
}

}  // namespace tb::app
