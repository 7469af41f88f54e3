#include <QApplication>
#include <QTimer>

#include "app/app_controller.h"
#include "app/commands.h"
#include "app/import_area.h"
#include "app/tagberry_app.h"

// The program with its Import answered ahead: imports the bookmark file named on the command
// line through the program's own import, so a test can end the process in the middle.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillmont"));
    QApplication::setApplicationName(QStringLiteral("Tagberry 2.0"));
    if (argc != 2) {
        return 2;
    }
    tb::app::TagberryApp::install_termination_handler();
    tb::app::TagberryApp program;
    if (const int early_exit = program.start(); early_exit >= 0) {
        return early_exit;
    }
    tb::ImportRequest request;
    request.path = argv[1];
    request.target = "Interrupted";
    program.import_area()->ask_import = [request] { return std::optional(request); };
    QTimer::singleShot(0, [&program] { program.controller()->execute(tb::app::kCmdImport); });
    return QApplication::exec();
}
