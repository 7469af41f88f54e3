#pragma once

#include <QDialog>
#include <vector>

#include "app/ui_services.h"

class QTreeWidget;

namespace tb::app {

// The links sharing one address, with check boxes; "Delete checked" closes the dialog with
// the ticked links once the user confirms.
class DuplicatesDialog : public QDialog {
    Q_OBJECT

public:
    explicit DuplicatesDialog(const DuplicatesRequest& request, QWidget* parent = nullptr);

    // The ids to delete after "Delete checked" was confirmed.
    const std::vector<RowId>& doomed() const { return doomed_; }
    QTreeWidget* list() const { return list_; }

    void delete_checked();

private:
    QTreeWidget* list_;
    std::vector<RowId> doomed_;
};

}  // namespace tb::app
