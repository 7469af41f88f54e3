#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "health/link_check_run.h"

class QLabel;
class QProgressBar;
class QToolButton;

namespace tb::app {

class AppController;
class MainWindow;
class UiServices;

// Link health in the main window: Data > Check Links... in the background with its progress bar
// and Cancel, the Broken Links folder, the list's overlay icons, the status bar's last result,
// "Use the New Address" and "Open Archived Copy". The checker runs on a thread of its own; its
// results are written on the GUI thread through the program's own connection.
class LinkHealthArea : public QObject {
    Q_OBJECT

public:
    LinkHealthArea(AppController& controller, UiServices& ui, CheckerOptions options = {},
                   QObject* parent = nullptr);
    ~LinkHealthArea() override;

    // Adds the progress bar, Cancel and the last-result pane to the status bar and the overlay
    // icons to the list.
    void attach(MainWindow& window);
    // Cancels a running check and waits for its thread. Idempotent.
    void shutdown();

    LinkHealthStore& store() { return store_; }
    bool running() const { return worker_.joinable(); }
    // Checks the planned links in the background.
    void start_check(CheckPlan plan);
    void cancel();

    // Broken links first, then suspect ones.
    std::vector<Link> broken_links() const;
    // "Last check: <result> (<status>), <time>" for the status bar, empty when never checked.
    QString last_result_text(const Link& link) const;

    // Called on the GUI thread after a run ended and was settled.
    std::function<void()> on_finished;

private:
    void register_commands();
    // Data > Check Links...: the selected folder with everything below it, or the whole tree
    // when no real folder is selected, after the user agreed.
    void check_links();
    void deliver(const CheckOutcome& outcome);
    void finish(const CheckSummary& summary);
    void use_new_address();
    void open_archived_copy();
    void show_progress();
    void show_last_result();
    bool any_selected(Health health) const;
    std::optional<Link> current_link() const;

    AppController& controller_;
    UiServices& ui_;
    CheckerOptions options_;
    LinkHealthStore store_;
    std::unique_ptr<CheckRecorder> recorder_;
    std::thread worker_;
    std::atomic<bool> abort_{false};
    int total_ = 0;
    int done_ = 0;
    int skipped_ = 0;
    QTimer repaint_;
    QPointer<MainWindow> window_;
    QProgressBar* progress_ = nullptr;
    QToolButton* cancel_button_ = nullptr;
    QLabel* last_result_ = nullptr;
};

}  // namespace tb::app
