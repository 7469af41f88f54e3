#pragma once

#include <QDialog>

#include "app/ui_services.h"
#include "model/folder_store.h"

namespace tb::app {

class FolderTree;

// Chooses a folder from the folder tree; "New folder..." creates folders under the selected
// one. OK runs the choice's check and stays open with its message on a refusal.
class SelectFolderDialog : public QDialog {
    Q_OBJECT

public:
    SelectFolderDialog(const FolderStore& folders, RowId selected, FolderChoice choice,
                       QWidget* parent = nullptr);

    RowId chosen() const;
    bool folders_created() const { return folders_created_; }
    FolderTree* tree() const { return tree_; }

    void accept() override;
    void new_folder();

private:
    const FolderStore& folders_;
    FolderChoice choice_;
    FolderTree* tree_;
    bool folders_created_ = false;
};

}  // namespace tb::app
