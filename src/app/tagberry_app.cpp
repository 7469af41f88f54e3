#include "app/tagberry_app.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>
#include <csignal>

#include "app/dialog_services.h"
#include "app/drop_window.h"
#include "app/feed_area.h"
#include "app/import_area.h"
#include "app/language.h"
#include "app/link_health_area.h"
#include "app/search_area.h"
#include "app/tray_icon.h"
#include "platform/data_folder.h"
#include "platform/log.h"
#include "platform/messages.h"
#include "storage/backup.h"

namespace tb::app {

namespace {

int g_termination_pipe[2] = {-1, -1};

constexpr auto kFirstBackupDelay = std::chrono::seconds(5);
// How often the window looks for changes that other connections made.
constexpr int kDataVersionPollMs = 2000;
// How often an ending program looks whether the import it cancelled has finished.
constexpr int kTerminationRetryMs = 20;

void on_termination_signal(int) {
    char byte = 1;
    [[maybe_unused]] auto written = ::write(g_termination_pipe[0], &byte, 1);
}

}  // namespace

TagberryApp::TagberryApp() {
    settings_ = load_settings(store_);
}

TagberryApp::~TagberryApp() {
    drop_window_.reset();
    tray_.reset();
    window_.reset();
    health_.reset();
    feeds_.reset();
    search_.reset();
    import_.reset();
    controller_.reset();
}

void TagberryApp::install_termination_handler() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_termination_pipe) != 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = on_termination_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// Before any window or menu exists: their texts are translated when they are made.
void TagberryApp::choose_locale() {
    choose_language(settings_.language);
}

int TagberryApp::start() {
    choose_locale();
    data_folder_ = data_folder();
    instance_ = std::make_unique<SingleInstance>(data_folder_);
    if (instance_->activate_running()) {
        return 0;
    }
    instance_->listen();
    connect(instance_.get(), &SingleInstance::activation_requested, this, &TagberryApp::activate);
    if (!open_data()) {
        return 1;
    }
    build_window();
    return -1;
}

bool TagberryApp::open_data() {
    std::error_code ec;
    std::filesystem::create_directories(data_folder_, ec);
    if (!std::filesystem::is_directory(data_folder_, ec)) {
        reporter_.report(msg::kCannotCreateDataDir);
        return false;
    }
    log_set_file(data_folder_ / kLogFileName, &reporter_);
    log_clean();
    db_ = std::make_unique<Database>(reporter_);
    if (db_->open_database(data_folder_) != OpenStatus::Ok) {
        return false;
    }
    model_ = std::make_unique<Model>(*db_);
    model_->load();
    data_version_ = db_->data_version();
    return true;
}

void TagberryApp::build_window() {
    ui_ = std::make_unique<DialogServices>(model_->folders);
    controller_ = std::make_unique<AppController>(*model_, settings_, *ui_);
    model_->statistics.expire_links(controller_->statistics_options(), controller_->now());
    search_ = std::make_unique<SearchArea>(*controller_, *ui_);
    feeds_ = std::make_unique<FeedArea>(*controller_, *ui_, data_folder_ / "feeds",
                                        download_options(settings_));
    import_ = std::make_unique<ImportArea>(*controller_);
    health_ = std::make_unique<LinkHealthArea>(*controller_, *ui_);
    window_ = std::make_unique<MainWindow>(*controller_);
    search_->attach(*window_);
    health_->attach(*window_);
    feeds_->attach(*window_);
    static_cast<DialogServices*>(ui_.get())->set_parent(window_.get());
    reporter_.set_parent(window_.get());
    window_->start();
    model_->statistics.reset_threshold();
    model_->journal.set_enabled(true);
    build_desktop_pieces();
    feeds_->start();
    connect(window_.get(), &MainWindow::closing, this, &TagberryApp::shutdown);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive) {
            reload_if_changed();
        }
    });
    // Another program (the command-line tool) may write the same database at any time.
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &TagberryApp::reload_if_changed);
    poll->start(kDataVersionPollMs);
    if (g_termination_pipe[1] >= 0) {
        termination_notifier_ =
            new QSocketNotifier(g_termination_pipe[1], QSocketNotifier::Read, this);
        connect(termination_notifier_, &QSocketNotifier::activated, this,
                &TagberryApp::terminate_quietly);
    }
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { save_settings(); });
    // The restore reopened the connection: its changes are this program's own.
    connect(controller_.get(), &AppController::data_restored, this,
            [this] { data_version_ = db_->data_version(); });
    window_->show();
    start_daily_backups();
}

// The tray icon with its menu, shared by the drop window, and the drop window in its place.
void TagberryApp::build_desktop_pieces() {
    auto after_command = [this] { window_->update_actions(); };
    tray_ = std::make_unique<TrayIcon>(*window_, *controller_,
                                       QSystemTrayIcon::isSystemTrayAvailable(), after_command);
    // A dialog closed while the window is in the tray must not end the program: it ends
    // through the shutdown sequence only.
    QApplication::setQuitOnLastWindowClosed(false);
    drop_window_ = std::make_unique<DropWindow>(*controller_, tray_->menu());
    drop_window_->add_newsfeed = [this](const QString& location) { feeds_->new_channel(location); };
    drop_window_->place(settings_.drop_window_pos_x, settings_.drop_window_pos_y);
    drop_window_->setVisible(settings_.show_drop_window);
    connect(controller_.get(), &AppController::drop_window_toggled, drop_window_.get(),
            &QWidget::setVisible);
    connect(controller_.get(), &AppController::open_hide_requested, tray_.get(),
            &TrayIcon::open_hide);
}

void TagberryApp::save_settings() {
    if (window_) {
        window_->save_placement(settings_);
    }
    if (drop_window_) {
        settings_.drop_window_pos_x = drop_window_->x();
        settings_.drop_window_pos_y = drop_window_->y();
    }
    tb::save_settings(settings_, store_);
    store_.sync();
}

void TagberryApp::shutdown() {
    if (closed_) {
        return;
    }
    if (controller_->busy()) {
        import_->abort();
        QTimer::singleShot(kTerminationRetryMs, this, &TagberryApp::shutdown);
        return;
    }
    closed_ = true;
    save_settings();
    health_->shutdown();
    // A failed purge was reported and rolled back; the journal keeps the rows for the next close.
    (void)model_->journal.purge();
    db_->close_database();
    feeds_->shutdown();
    QApplication::quit();
}

void TagberryApp::terminate_quietly() {
    char byte = 0;
    [[maybe_unused]] auto read = ::read(g_termination_pipe[1], &byte, 1);
    finish_termination();
}

void TagberryApp::finish_termination() {
    if (closed_) {
        return;
    }
    // A running import is cancelled, and the close waits until it has rolled back.
    if (controller_->busy()) {
        import_->abort();
        QTimer::singleShot(kTerminationRetryMs, this, &TagberryApp::finish_termination);
        return;
    }
    closed_ = true;
    save_settings();
    health_->shutdown();
    db_->close_database();
    feeds_->shutdown();
    QApplication::quit();
}

void TagberryApp::activate() {
    if (!window_) {
        return;
    }
    if (tray_) {
        tray_->activate();
        return;
    }
    window_->show();
    if (window_->isMinimized()) {
        window_->showNormal();
    }
    window_->raise();
    window_->activateWindow();
}

// First a little after the window is up, so that start-up never waits for the copy; then once
// a day for a program that stays open.
void TagberryApp::start_daily_backups() {
    auto* daily = new QTimer(this);
    daily->setInterval(std::chrono::milliseconds(Backups::kDailyIntervalMs));
    connect(daily, &QTimer::timeout, this, &TagberryApp::back_up_if_due);
    daily->start();
    QTimer::singleShot(kFirstBackupDelay, this, &TagberryApp::back_up_if_due);
}

void TagberryApp::back_up_if_due() {
    if (closed_ || !db_->is_open() || controller_->busy()) {
        return;
    }
    Backups(*db_).create_if_due();
}

void TagberryApp::reload_if_changed() {
    if (closed_ || !db_ || !db_->is_open() || !window_->isVisible()) {
        return;
    }
    // A dialog may hold what it shows, and an import owns the open transaction.
    if (QApplication::activeModalWidget() != nullptr || controller_->busy()) {
        return;
    }
    const std::int64_t version = db_->data_version();
    if (version == data_version_) {
        return;
    }
    data_version_ = version;
    model_->folders.reload();
    health_->store().load();
    feeds_->channels().reload_changed_channels();
    window_->reload_keeping_selection();
}

}  // namespace tb::app
