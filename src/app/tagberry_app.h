#pragma once

#include <QObject>
#include <filesystem>
#include <memory>

#include "app/app_controller.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/settings_store.h"
#include "app/single_instance.h"
#include "model/model.h"
#include "platform/settings.h"
#include "storage/database.h"

class QSocketNotifier;

namespace tb::app {

class DropWindow;
class FeedArea;
class ImportArea;
class LinkHealthArea;
class SearchArea;
class TrayIcon;
class UiServices;

// The program: settings, the single running copy, the database and the main window, started
// and closed in a fixed order.
class TagberryApp : public QObject {
    Q_OBJECT

public:
    TagberryApp();
    ~TagberryApp() override;

    // Runs the start-up sequence. Returns the exit code when the program must end at once
    // (a second copy, a data folder that cannot be made, an unusable database), else -1.
    int start();

    MainWindow* window() const { return window_.get(); }
    AppController* controller() const { return controller_.get(); }
    Model* model() const { return model_.get(); }
    Settings& settings() { return settings_; }
    DropWindow* drop_window() const { return drop_window_.get(); }
    TrayIcon* tray() const { return tray_.get(); }
    ImportArea* import_area() const { return import_.get(); }

    // SIGTERM and the end of the desktop session: settings saved, database closed, no purge.
    static void install_termination_handler();

private:
    void choose_locale();
    bool open_data();
    void build_window();
    void build_desktop_pieces();
    void shutdown();
    void terminate_quietly();
    void finish_termination();
    void activate();
    void reload_if_changed();
    void start_daily_backups();
    void back_up_if_due();
    void save_settings();

    QSettingsStore store_;
    Settings settings_;
    MessageBoxReporter reporter_;
    std::filesystem::path data_folder_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<Model> model_;
    std::unique_ptr<UiServices> ui_;
    std::unique_ptr<AppController> controller_;
    std::unique_ptr<SearchArea> search_;
    std::unique_ptr<FeedArea> feeds_;
    std::unique_ptr<ImportArea> import_;
    std::unique_ptr<LinkHealthArea> health_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<DropWindow> drop_window_;
    QSocketNotifier* termination_notifier_ = nullptr;
    std::int64_t data_version_ = 0;
    bool closed_ = false;
};

}  // namespace tb::app
