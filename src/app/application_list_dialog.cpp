#include "app/application_list_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/add_application_dialog.h"
#include "app/message_box.h"
#include "platform/strings.h"

namespace tb::app {

namespace {

constexpr int kIndexRole = Qt::UserRole;

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
    rows_ = new QTreeWidget(this);
    rows_->setColumnCount(2);
    rows_->setHeaderLabels({message_text(Message::of(158)), message_text(Message::of(159))});
    rows_->setRootIsDecorated(false);
    rows_->setAllColumnsShowFocus(true);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setMinimumSize(480, 220);
    rows_->header()->resizeSection(0, rows_->minimumWidth() / 3);
    auto* label = new QLabel(tr("&Applications:"), this);
    label->setBuddy(rows_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* remove = buttons->addButton(tr("&Delete checked"), QDialogButtonBox::ActionRole);
    QPushButton* add = buttons->addButton(tr("A&dd new..."), QDialogButtonBox::ActionRole);
    connect(remove, &QPushButton::clicked, this, &ApplicationListDialog::delete_checked);
    connect(add, &QPushButton::clicked, this, &ApplicationListDialog::add_new);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(rows_, 1);
    layout->addWidget(buttons);
    fill_rows();
    rows_->setFocus();
}

void ApplicationListDialog::fill_rows() {
    rows_->setUpdatesEnabled(false);
    rows_->clear();
    for (const Application& app : list_) {
        auto* item = new QTreeWidgetItem(
            rows_, {QString::fromStdString(app.name), QString::fromStdString(app.path)});
        item->setData(0, kIndexRole, app.index);
        item->setCheckState(0, Qt::Unchecked);
        item->setToolTip(1, QString::fromStdString(app.path));
    }
    if (rows_->topLevelItemCount() > 0) {
        rows_->setCurrentItem(rows_->topLevelItem(0));
    }
    rows_->setUpdatesEnabled(true);
}

void ApplicationListDialog::delete_checked() {
    std::set<int> checked;
    for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = rows_->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked) {
            checked.insert(item->data(0, kIndexRole).toInt());
        }
    }
    if (checked.empty()) {
        MessageBoxes::show(this, message_text(Message::of(msg::kNothingToDelete)));
        return;
    }
    auto answer = MessageBoxes::show(this, message_text(Message::of(msg::kDeleteItemsQuestion)),
                                     QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        return;
    }
    std::erase_if(list_, [&](const Application& app) { return checked.count(app.index) != 0; });
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
