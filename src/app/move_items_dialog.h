#pragma once

#include <QDialog>

#include "app/ui_services.h"
#include "model/folder_store.h"

class QComboBox;
class QLabel;

namespace tb::app {

class FolderTree;

// Chooses the folder that selected links or the current folder move into. OK runs the
// request's check and stays open with its message on a refusal.
class MoveItemsDialog : public QDialog {
    Q_OBJECT

public:
    MoveItemsDialog(const FolderStore& folders, const MoveRequest& request,
                    QWidget* parent = nullptr);

    RowId target() const;
    bool folders_created() const { return folders_created_; }

    FolderTree* tree() const { return tree_; }
    QComboBox* last_targets() const { return last_targets_; }
    QLabel* target_path() const { return target_path_; }

    void accept() override;
    void new_folder();

private:
    void fill_last_targets(const std::vector<RowId>& ids);
    void show_target();
    void choose_last_target(int index);

    const FolderStore& folders_;
    FolderChoice choice_;
    FolderTree* tree_;
    QLabel* target_path_;
    QComboBox* last_targets_;
    bool folders_created_ = false;
};

}  // namespace tb::app
