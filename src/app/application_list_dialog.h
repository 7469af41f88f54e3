#pragma once

#include <QDialog>
#include <vector>

#include "platform/settings.h"

class QTreeWidget;

namespace tb::app {

// Edits the "Open With" list in place: "Delete checked" and "Add new...". Entry indexes stay
// equal to positions, so a deletion removes exactly the checked entries.
class ApplicationListDialog : public QDialog {
    Q_OBJECT

public:
    explicit ApplicationListDialog(std::vector<Application>& list, QWidget* parent = nullptr);

    bool changed() const { return changed_; }
    QTreeWidget* list() const { return rows_; }

    void delete_checked();
    void add_new();
    // Appends an entry as "Add new..." does after its dialog's OK.
    void add_entry(const QString& name, const QString& path);

private:
    void fill_rows();

    std::vector<Application>& list_;
    QTreeWidget* rows_;
    bool changed_ = false;
};

}  // namespace tb::app
