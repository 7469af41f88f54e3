#include "app/move_items_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/dialog_parts.h"
#include "app/folder_tree.h"
#include "app/id_variant.h"
#include "app/message_box.h"
#include "app/new_folder_dialog.h"
#include "platform/messages.h"

namespace tb::app {

namespace {

QLabel* bold_label(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

MoveItemsDialog::MoveItemsDialog(const FolderStore& folders, const MoveRequest& request,
                                 QWidget* parent)
    : QDialog(parent), folders_(folders), choice_(request.choice) {
    setWindowTitle(tr("Move Items"));
    auto* selected = bold_label(request.selected_object, this);
    selected->setWordWrap(true);
    tree_ = new FolderTree(this);
    tree_->setMinimumSize(360, 280);
    target_path_ = bold_label(QString(), this);
    target_path_->setWordWrap(true);
    last_targets_ = new QComboBox(this);
    last_targets_->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    QLabel* target_label = buddy_label(tr("&Target folder:"), tree_, this);
    QLabel* last_label = buddy_label(tr("&Last targets:"), last_targets_, this);

    QDialogButtonBox* buttons = ok_cancel_buttons(this);
    QPushButton* create = buttons->addButton(tr("&New folder..."), QDialogButtonBox::ActionRole);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Selected object:"), this), 0, 0);
    grid->addWidget(selected, 0, 1);
    grid->addWidget(target_label, 1, 0);
    grid->addWidget(target_path_, 1, 1);
    grid->addWidget(tree_, 2, 0, 1, 2);
    grid->addWidget(last_label, 3, 0);
    grid->addWidget(last_targets_, 3, 1);
    grid->addWidget(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    connect(tree_, &QTreeWidget::currentItemChanged, this, &MoveItemsDialog::show_target);
    connect(last_targets_, &QComboBox::activated, this, &MoveItemsDialog::choose_last_target);
    connect(create, &QPushButton::clicked, this, &MoveItemsDialog::new_folder);

    tree_->fill(folders_, kRootFolder);
    show_target();
    fill_last_targets(request.last_targets);
    tree_->setFocus();
}

void MoveItemsDialog::fill_last_targets(const std::vector<RowId>& ids) {
    last_targets_->addItem(message_text(Message::of(msg::kSelectFolder)),
                           id_variant(kNothingSelected));
    for (RowId id : ids) {
        // A target deleted since it was used is no longer offered.
        if (const Folder* folder = folders_.find(id)) {
            last_targets_->addItem(FolderTree::folder_icon(), QString::fromStdString(folder->title),
                                   id_variant(id));
        }
    }
    last_targets_->setCurrentIndex(0);
    last_targets_->setEnabled(last_targets_->count() > 1);
}

void MoveItemsDialog::choose_last_target(int index) {
    const RowId id = variant_id(last_targets_->itemData(index));
    if (id != kNothingSelected) {
        tree_->select_id(id);
    }
}

void MoveItemsDialog::show_target() {
    const RowId id = tree_->selected_id();
    target_path_->setText(
        id == kNothingSelected ? QString() : QString::fromStdString(folders_.folder_path(id)));
}

RowId MoveItemsDialog::target() const {
    return tree_->selected_id();
}

void MoveItemsDialog::accept() {
    const RowId chosen = target();
    if (chosen == kNothingSelected) {
        return;
    }
    if (!choice_accepts(this, choice_, chosen)) {
        tree_->setFocus();
        return;
    }
    QDialog::accept();
}

void MoveItemsDialog::new_folder() {
    const RowId under = target() == kNothingSelected ? kRootFolder : target();
    std::vector<RowId> created = ask_new_folders(this, under, choice_);
    if (!created.empty()) {
        folders_created_ = true;
        tree_->fill(folders_, created.front());
        show_target();
    }
    tree_->setFocus();
}

}  // namespace tb::app
