#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>
#include <vector>

#include "storage/backup.h"

class QPushButton;
class QTreeWidget;

namespace tb::app {

// Lists the snapshots, newest first, with their date and counts; "Restore" accepts the chosen
// one.
class RestoreBackupDialog : public QDialog {
    Q_OBJECT

public:
    explicit RestoreBackupDialog(const std::vector<Snapshot>& snapshots, QWidget* parent = nullptr);

    std::optional<std::filesystem::path> chosen() const;

    QTreeWidget* list() const { return list_; }
    QPushButton* restore_button() const { return restore_; }

private:
    std::vector<Snapshot> snapshots_;
    QTreeWidget* list_;
    QPushButton* restore_;
};

}  // namespace tb::app
