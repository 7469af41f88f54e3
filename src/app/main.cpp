#include <curl/curl.h>

#include <QApplication>
#include <csignal>

#include "app/app_icon.h"
#include "app/tagberry_app.h"

int main(int argc, char** argv) {
    // Feed downloads write to sockets from worker threads; a closed peer must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    // Before any thread starts: curl's global set-up is not thread-safe everywhere.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillmont"));
    QApplication::setApplicationName(QStringLiteral("Tagberry 2.0"));
    Q_INIT_RESOURCE(tagberry);
    QApplication::setWindowIcon(tb::app::program_icon());
    // Lets Wayland compositors match the windows with the installed desktop file and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quillmont.Tagberry"));

    tb::app::TagberryApp::install_termination_handler();
    tb::app::TagberryApp tagberry;
    const int early_exit = tagberry.start();
    if (early_exit >= 0) {
        return early_exit;
    }
    return QApplication::exec();
}
