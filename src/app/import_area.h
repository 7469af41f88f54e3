#pragma once

#include <QObject>
#include <functional>
#include <optional>

#include "exchange/import_driver.h"

namespace tb::app {

class AppController;

// The Import command: the Import Data dialog, then the import under a progress dialog that
// can cancel it.
class ImportArea : public QObject {
    Q_OBJECT

public:
    explicit ImportArea(AppController& controller, QObject* parent = nullptr);

    // The dialog is replaceable so tests can answer it without showing it.
    std::function<std::optional<ImportRequest>()> ask_import;

    const ImportResult& last_result() const { return last_result_; }

    void import();
    // Cancels the running import as its Cancel button does (the program is being ended).
    void abort() { aborted_ = true; }

private:
    std::optional<ImportRequest> run_dialog();
    ImportResult run_with_progress(const ImportRequest& request);

    AppController& controller_;
    ImportResult last_result_;
    bool aborted_ = false;
};

}  // namespace tb::app
