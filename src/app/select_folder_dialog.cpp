#include "app/select_folder_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialog_parts.h"
#include "app/folder_tree.h"
#include "app/new_folder_dialog.h"

namespace tb::app {

SelectFolderDialog::SelectFolderDialog(const FolderStore& folders, RowId selected,
                                       FolderChoice choice, QWidget* parent)
    : QDialog(parent), folders_(folders), choice_(std::move(choice)) {
    setWindowTitle(tr("Select Folder"));
    tree_ = new FolderTree(this);
    tree_->setMinimumSize(320, 280);
    tree_->fill(folders_, selected);
    QLabel* label = buddy_label(tr("&Folder:"), tree_, this);

    QDialogButtonBox* buttons = ok_cancel_buttons(this);
    QPushButton* create = buttons->addButton(tr("&New folder..."), QDialogButtonBox::ActionRole);
    connect(create, &QPushButton::clicked, this, &SelectFolderDialog::new_folder);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(tree_);
    layout->addWidget(buttons);
    tree_->setFocus();
}

RowId SelectFolderDialog::chosen() const {
    return tree_->selected_id();
}

void SelectFolderDialog::accept() {
    const RowId target = chosen();
    if (target == kNothingSelected) {
        return;
    }
    if (!choice_accepts(this, choice_, target)) {
        tree_->setFocus();
        return;
    }
    QDialog::accept();
}

void SelectFolderDialog::new_folder() {
    const RowId under = chosen() == kNothingSelected ? kRootFolder : chosen();
    std::vector<RowId> created = ask_new_folders(this, under, choice_);
    if (!created.empty()) {
        folders_created_ = true;
        tree_->fill(folders_, created.front());
    }
    tree_->setFocus();
}

}  // namespace tb::app
