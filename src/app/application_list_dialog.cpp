#include "app/application_list_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "app/add_application_dialog.h"
#include "app/dialog_parts.h"
#include "app/message_box.h"
#include "platform/messages.h"

namespace tb::app {

namespace {

void renumber(std::vector<Application>& list) {
    for (size_t i = 0; i < list.size(); ++i) {
        list[i].index = static_cast<int>(i);
    }
}

}  // namespace

ApplicationListDialog::ApplicationListDialog(std::vector<Application>& list, QWidget* parent)
    : QDialog(parent), list_(list) {
    // Unique indexes from the start, whatever the caller's list holds.
    renumber(list_);
    setWindowTitle(tr("Application List"));
    rows_ = new_checkable_list({message_text(Message::of(msg::kApplicationNameColumn)),
                                message_text(Message::of(msg::kPathColumn))},
                               QSize(480, 220), this);
    rows_->header()->resizeSection(0, rows_->minimumWidth() / 3);
    QLabel* label = buddy_label(tr("&Applications:"), rows_, this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* remove = buttons->addButton(tr("&Delete checked"), QDialogButtonBox::ActionRole);
    QPushButton* add = buttons->addButton(tr("A&dd new..."), QDialogButtonBox::ActionRole);
    connect(remove, &QPushButton::clicked, this, &ApplicationListDialog::delete_checked);
    connect(add, &QPushButton::clicked, this, &ApplicationListDialog::add_new);
    lay_out_list_dialog(this, label, rows_, buttons);
    fill_rows();
    rows_->setFocus();
}

void ApplicationListDialog::fill_rows() {
    rows_->setUpdatesEnabled(false);
    rows_->clear();
    for (const Application& app : list_) {
        add_checkable_row(rows_, QString::fromStdString(app.name), QString::fromStdString(app.path),
                          app.index);
    }
    select_first_row(rows_);
    rows_->setUpdatesEnabled(true);
}

void ApplicationListDialog::delete_checked() {
    const std::vector<RowId> checked = checked_ids(rows_);
    if (checked.empty()) {
        MessageBoxes::show(this, message_text(Message::of(msg::kNothingToDelete)));
        return;
    }
    if (!confirm_deletion(this)) {
        return;
    }
    std::erase_if(list_, [&](const Application& app) {
        return std::find(checked.begin(), checked.end(), app.index) != checked.end();
    });
    renumber(list_);
    changed_ = true;
    fill_rows();
}

void ApplicationListDialog::add_new() {
    AddApplicationDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted) {
        add_entry(dialog.name(), dialog.path());
    }
    fill_rows();
}

void ApplicationListDialog::add_entry(const QString& name, const QString& path) {
    list_.push_back({.index = static_cast<int>(list_.size()),
                     .name = name.toStdString(),
                     .path = path.toStdString()});
    changed_ = true;
    fill_rows();
}

}  // namespace tb::app
