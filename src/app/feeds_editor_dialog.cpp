#include "app/feeds_editor_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

#include "app/add_channel_dialog.h"
#include "app/message_box.h"
#include "app/update_frequency_dialog.h"
#include "feeds/channel_list.h"
#include "platform/strings.h"

namespace tb::app {

namespace {

constexpr int kChannelIdRole = Qt::UserRole;

}  // namespace

FeedsEditorDialog::FeedsEditorDialog(ChannelList& channels, int& update_minutes, QWidget* parent)
    : QDialog(parent), channels_(channels), update_minutes_(update_minutes) {
    setWindowTitle(tr("Newsfeeds Editor"));
    rows_ = new QTreeWidget(this);
    rows_->setColumnCount(2);
    rows_->setHeaderLabels({message_text(Message::of(213)), message_text(Message::of(159))});
    rows_->setRootIsDecorated(false);
    rows_->setAllColumnsShowFocus(true);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setMinimumSize(540, 240);
    auto* label = new QLabel(tr("&Newsfeeds:"), this);
    label->setBuddy(rows_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* remove = buttons->addButton(tr("&Delete checked"), QDialogButtonBox::ActionRole);
    QPushButton* add = buttons->addButton(tr("&Add new..."), QDialogButtonBox::ActionRole);
    QPushButton* frequency =
        buttons->addButton(tr("Update &Frequency..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(remove, &QPushButton::clicked, this, &FeedsEditorDialog::delete_checked);
    connect(add, &QPushButton::clicked, this, &FeedsEditorDialog::add_new);
    connect(frequency, &QPushButton::clicked, this, &FeedsEditorDialog::update_frequency);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(rows_, 1);
    layout->addWidget(buttons);
    fill_rows();
    rows_->setFocus();
}

void FeedsEditorDialog::fill_rows() {
    rows_->setUpdatesEnabled(false);
    rows_->clear();
    for (const Channel& channel : channels_.channels()) {
        const QString title = QString::fromStdString(channel.title);
        const QString location = QString::fromStdString(channel.location);
        auto* item = new QTreeWidgetItem(rows_, {title, location});
        item->setData(0, kChannelIdRole, channel.id);
        item->setCheckState(0, Qt::Unchecked);
        item->setToolTip(0, title);
        item->setToolTip(1, location);
    }
    if (rows_->topLevelItemCount() > 0) {
        rows_->setCurrentItem(rows_->topLevelItem(0));
    }
    rows_->setUpdatesEnabled(true);
}

void FeedsEditorDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    rows_->header()->resizeSection(0, rows_->viewport()->width() / 3);
}

void FeedsEditorDialog::delete_checked() {
    std::vector<int> checked;
    for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = rows_->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked) {
            checked.push_back(item->data(0, kChannelIdRole).toInt());
        }
    }
    if (checked.empty()) {
        QApplication::beep();
        return;
    }
    auto answer = MessageBoxes::show(this, message_text(Message::of(msg::kDeleteItemsQuestion)),
                                     QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        return;
    }
    changed_ = true;
    channels_.remove_channels(checked);
    fill_rows();
}

void FeedsEditorDialog::add_new() {
    AddChannelDialog dialog({}, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    changed_ = true;
    channels_.add_channel(dialog.title().toStdString(), dialog.location().toStdString());
    fill_rows();
}

void FeedsEditorDialog::update_frequency() {
    UpdateFrequencyDialog dialog(update_minutes_, this);
    dialog.exec();
}

}  // namespace tb::app
