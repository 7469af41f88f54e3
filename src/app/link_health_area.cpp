#include "app/link_health_area.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>

#include "app/app_controller.h"
#include "app/main_window.h"
#include "app/message_box.h"

namespace tb::app {

namespace {

// Results arriving close together repaint the list once.
constexpr int kRepaintDelayMs = 200;
constexpr int kSummaryShownMs = 15000;

}  // namespace

LinkHealthArea::LinkHealthArea(AppController& controller, UiServices& ui, CheckerOptions options,
                               QObject* parent)
    : QObject(parent),
      controller_(controller),
      ui_(ui),
      options_(options),
      store_(controller.model().db) {
    store_.load();
    controller_.broken_links = [this] { return broken_links(); };
    repaint_.setSingleShot(true);
    repaint_.setInterval(kRepaintDelayMs);
    connect(&repaint_, &QTimer::timeout, this, [this] {
        if (recorder_ != nullptr) {
            recorder_->flush();
        }
        if (window_ != nullptr) {
            window_->list_model()->refresh_health();
        }
        show_last_result();
    });
    register_commands();
}

LinkHealthArea::~LinkHealthArea() {
    shutdown();
}

void LinkHealthArea::register_commands() {
    controller_.add_command(
        kCmdCheckLinks, [this] { check_links(); },
        [this] { return CommandStatus{.enabled = !running()}; });
    controller_.add_command(
        kCmdCancelLinkCheck, [this] { cancel(); },
        [this] { return CommandStatus{.enabled = running()}; });
    controller_.add_command(
        kCmdUseNewAddress, [this] { use_new_address(); },
        [this] { return CommandStatus{.enabled = any_selected(Health::Moved)}; });
    controller_.add_command(
        kCmdOpenArchivedCopy, [this] { open_archived_copy(); },
        [this] {
            const std::optional<Link> link = current_link();
            const Health health = link ? store_.health(*link) : Health::Unchecked;
            return CommandStatus{.enabled = health == Health::Suspect || health == Health::Broken};
        });
}

void LinkHealthArea::attach(MainWindow& window) {
    window_ = &window;
    QStatusBar* bar = window.statusBar();
    progress_ = new QProgressBar(bar);
    progress_->setObjectName(QStringLiteral("LinkCheckProgress"));
    progress_->setMaximumWidth(180);
    progress_->setFormat(QCoreApplication::translate("Strings", "Checking links: %v of %m"));
    cancel_button_ = new QToolButton(bar);
    cancel_button_->setObjectName(QStringLiteral("LinkCheckCancel"));
    cancel_button_->setText(QCoreApplication::translate("Strings", "Cancel"));
    connect(cancel_button_, &QToolButton::clicked, this, [this] { cancel(); });
    last_result_ = new QLabel(bar);
    last_result_->setObjectName(QStringLiteral("LastCheckPane"));
    bar->insertPermanentWidget(0, progress_);
    bar->insertPermanentWidget(1, cancel_button_);
    bar->addPermanentWidget(last_result_);
    progress_->hide();
    cancel_button_->hide();
    window.list_model()->set_health_lookup(
        [this](const Link& link) { return store_.health(link); });
    connect(&controller_, &AppController::properties_changed, this,
            &LinkHealthArea::show_last_result);
}

void LinkHealthArea::shutdown() {
    abort_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
}

void LinkHealthArea::check_links() {
    const WindowState& state = controller_.state();
    const RowId folder = state.is_real_folder() ? state.current_folder : kRootFolder;
    CheckPlan plan = plan_link_check(controller_.model(), folder);
    QWidget* parent = controller_.dialog_parent();
    if (plan.targets.empty()) {
        MessageBoxes::show(
            parent,
            QCoreApplication::translate("Strings", "There are no http or https links to check."),
            QMessageBox::Information);
        return;
    }
    const QString place =
        folder == kRootFolder
            ? QCoreApplication::translate("Strings", "the whole tree")
            : QString::fromStdString(controller_.model().folders.folder_path(folder));
    const QString question =
        QCoreApplication::translate("Strings",
                                    "Check %1 links in %2? Links of other kinds are skipped: %3.")
            .arg(plan.targets.size())
            .arg(place)
            .arg(plan.skipped);
    if (MessageBoxes::show(parent, question, QMessageBox::Question,
                           QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok) {
        start_check(std::move(plan));
    }
}

void LinkHealthArea::start_check(CheckPlan plan) {
    if (running()) {
        return;
    }
    // Checks written meanwhile by the command-line tool count too.
    store_.load();
    recorder_ = std::make_unique<CheckRecorder>(store_, [this] { return controller_.now(); });
    total_ = static_cast<int>(plan.targets.size());
    done_ = 0;
    skipped_ = plan.skipped;
    abort_ = false;
    show_progress();
    worker_ = std::thread([this, targets = std::move(plan.targets)] {
        const CheckSummary summary = LinkChecker(options_).run(
            targets,
            [this](const CheckOutcome& outcome) {
                QMetaObject::invokeMethod(
                    this, [this, outcome] { deliver(outcome); }, Qt::QueuedConnection);
            },
            &abort_);
        QMetaObject::invokeMethod(
            this, [this, summary] { finish(summary); }, Qt::QueuedConnection);
    });
}

void LinkHealthArea::cancel() {
    abort_ = true;
}

void LinkHealthArea::deliver(const CheckOutcome& outcome) {
    if (recorder_ == nullptr) {
        return;
    }
    recorder_->add(outcome);
    ++done_;
    show_progress();
    if (!repaint_.isActive()) {
        repaint_.start();
    }
}

void LinkHealthArea::finish(const CheckSummary& summary) {
    if (worker_.joinable()) {
        worker_.join();
    }
    if (recorder_ == nullptr) {
        return;
    }
    const bool kept = recorder_->finish(summary);
    recorder_.reset();
    show_progress();
    QString text;
    if (!kept) {
        text = QCoreApplication::translate("Strings", "network unavailable");
    } else if (summary.cancelled) {
        text =
            QCoreApplication::translate("Strings", "Link check cancelled: %1 of %2 links checked.")
                .arg(summary.checked)
                .arg(total_);
    } else {
        text =
            QCoreApplication::translate("Strings", "Link check done: %1 links checked, %2 skipped.")
                .arg(summary.checked)
                .arg(skipped_);
    }
    if (window_ != nullptr) {
        window_->statusBar()->showMessage(text, kSummaryShownMs);
    }
    if (!kept) {
        MessageBoxes::show(controller_.dialog_parent(), text, QMessageBox::Warning);
    }
    repaint_.stop();
    if (controller_.state().current_folder == kBrokenLinksFolder &&
        !controller_.state().feed_mode) {
        controller_.refill_list();
    } else if (window_ != nullptr) {
        window_->list_model()->refresh_health();
    }
    show_last_result();
    if (on_finished) {
        on_finished();
    }
}

void LinkHealthArea::show_progress() {
    if (progress_ == nullptr) {
        return;
    }
    const bool shown = recorder_ != nullptr;
    progress_->setVisible(shown);
    cancel_button_->setVisible(shown);
    progress_->setRange(0, std::max(1, total_));
    progress_->setValue(done_);
}

std::vector<Link> LinkHealthArea::broken_links() const {
    std::vector<Link> broken;
    std::vector<Link> suspect;
    // Only links with a check on record can be broken or suspect.
    for (const Link& link :
         controller_.model().links.select_links("l.id IN (SELECT link FROM tb_link_checks)", {})) {
        const Health health = store_.health(link);
        if (health == Health::Broken) {
            broken.push_back(link);
        } else if (health == Health::Suspect) {
            suspect.push_back(link);
        }
    }
    broken.insert(broken.end(), suspect.begin(), suspect.end());
    return broken;
}

QString LinkHealthArea::last_result_text(const Link& link) const {
    const LinkCheck* check = store_.last_check(link);
    if (check == nullptr) {
        return {};
    }
    QString result = QCoreApplication::translate("Strings", result_name(check->result));
    if (check->status != 0) {
        result += QStringLiteral(" (%1)").arg(check->status);
    }
    const QString when =
        QLocale().toString(QDateTime::fromSecsSinceEpoch(check->checked), QLocale::ShortFormat);
    return QCoreApplication::translate("Strings", "Last check: %1, %2").arg(result, when);
}

void LinkHealthArea::show_last_result() {
    if (last_result_ == nullptr) {
        return;
    }
    const std::optional<Link> link = controller_.selected_link();
    last_result_->setText(link ? last_result_text(*link) : QString());
}

std::optional<Link> LinkHealthArea::current_link() const {
    const WindowState& state = controller_.state();
    return state.feed_mode || state.selected_links.empty()
               ? std::nullopt
               : controller_.model().links.find(state.current_link);
}

bool LinkHealthArea::any_selected(Health health) const {
    const WindowState& state = controller_.state();
    if (state.feed_mode) {
        return false;
    }
    for (RowId id : state.selected_links) {
        const std::optional<Link> link = controller_.model().links.find(id);
        if (link && store_.health(*link) == health) {
            return true;
        }
    }
    return false;
}

void LinkHealthArea::use_new_address() {
    Model& model = controller_.model();
    const auto moved = moved_addresses(model, store_, controller_.state().selected_links);
    if (model.links.change_addresses(moved) > 0) {
        controller_.after_links_changed();
    }
}

void LinkHealthArea::open_archived_copy() {
    const std::optional<Link> link = current_link();
    if (link) {
        ui_.open_url(QString::fromStdString(archived_copy_url(link->url)));
    }
}

}  // namespace tb::app
