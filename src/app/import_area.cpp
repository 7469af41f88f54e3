#include "app/import_area.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <algorithm>
#include <climits>

#include "app/app_controller.h"
#include "app/import_dialog.h"

namespace tb::app {

namespace {

// How often a running import updates its progress and lets the window repaint.
constexpr qint64 kUpdateEveryMs = 50;
// The bar's range while the source is read and parsed.
constexpr std::size_t kReadingSteps = 1000;

int clamped(std::size_t n) {
    return static_cast<int>(std::min<std::size_t>(n, INT_MAX));
}

// The busy cursor of a running import, restored on every exit.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Commands that reach the controller while the import runs (from windows the progress dialog
// does not block) are ignored until it ends.
class BusyController {
public:
    explicit BusyController(AppController& controller) : controller_(controller) {
        controller_.set_busy(true);
    }
    ~BusyController() { controller_.set_busy(false); }
    BusyController(const BusyController&) = delete;
    BusyController& operator=(const BusyController&) = delete;

private:
    AppController& controller_;
};

}  // namespace

ImportArea::ImportArea(AppController& controller, QObject* parent)
    : QObject(parent), controller_(controller) {
    ask_import = [this] { return run_dialog(); };
    controller_.add_command(
        kCmdImport, [this] { import(); }, [] { return CommandStatus{}; });
}

std::optional<ImportRequest> ImportArea::run_dialog() {
    ImportDialog dialog(controller_.model().folders, controller_.dialog_parent());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.request();
}

void ImportArea::import() {
    std::optional<ImportRequest> request = ask_import();
    if (!request) {
        return;
    }
    request->favourites_mode = controller_.settings().favourites_mode;
    last_result_ = run_with_progress(*request);
    controller_.refill_tree();
    controller_.refill_list();
    if (request->source == ImportSource::BrowserProfile &&
        last_result_.status == ImportStatus::Done) {
        controller_.inform_text(tr("%1 new, %2 already present")
                                    .arg(last_result_.links)
                                    .arg(last_result_.links_present));
    }
}

ImportResult ImportArea::run_with_progress(const ImportRequest& request) {
    QProgressDialog progress(tr("Importing..."), tr("Cancel"), 0, 0, controller_.dialog_parent());
    progress.setWindowTitle(tr("Import Data"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(500);
    // Starts the clock after which the dialog shows itself.
    progress.setValue(0);

    // Not started: the first report updates at once.
    QElapsedTimer since_update;
    auto update_due = [&since_update] {
        if (since_update.isValid() && since_update.elapsed() < kUpdateEveryMs) {
            return false;
        }
        since_update.start();
        return true;
    };
    ImportProgress hooks;
    hooks.reading = [&](std::size_t done, std::size_t total) {
        if (!update_due()) {
            return;
        }
        progress.setLabelText(tr("Reading the file..."));
        progress.setMaximum(kReadingSteps);
        progress.setValue(total > 0 ? clamped(std::min(done, total) * kReadingSteps / total) : 0);
        QCoreApplication::processEvents();
    };
    hooks.report = [&](std::size_t done, std::size_t total) {
        if (!update_due()) {
            return;
        }
        if (total > 0) {
            progress.setLabelText(tr("Imported %1 of %2 items").arg(done).arg(total));
            progress.setMaximum(clamped(total));
            progress.setValue(clamped(std::min(done, total)));
        } else {
            progress.setLabelText(tr("Imported %1 items").arg(done));
        }
        QCoreApplication::processEvents();
    };
    hooks.cancelled = [&] { return aborted_ || progress.wasCanceled(); };

    BusyController busy(controller_);
    BusyCursor cursor;
    return run_import(controller_.model(), request, hooks);
}

}  // namespace tb::app
