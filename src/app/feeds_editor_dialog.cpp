#include "app/feeds_editor_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <vector>

#include "app/add_channel_dialog.h"
#include "app/dialog_parts.h"
#include "app/message_box.h"
#include "app/update_frequency_dialog.h"
#include "feeds/channel_list.h"
#include "platform/messages.h"

namespace tb::app {

FeedsEditorDialog::FeedsEditorDialog(ChannelList& channels, int& update_minutes, QWidget* parent)
    : QDialog(parent), channels_(channels), update_minutes_(update_minutes) {
    setWindowTitle(tr("Newsfeeds Editor"));
    rows_ = new_checkable_list({message_text(Message::of(msg::kFeedTitleColumn)),
                                message_text(Message::of(msg::kPathColumn))},
                               QSize(540, 240), this);
    QLabel* label = buddy_label(tr("&Newsfeeds:"), rows_, this);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* remove = buttons->addButton(tr("&Delete checked"), QDialogButtonBox::ActionRole);
    QPushButton* add = buttons->addButton(tr("&Add new..."), QDialogButtonBox::ActionRole);
    QPushButton* frequency =
        buttons->addButton(tr("Update &Frequency..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(remove, &QPushButton::clicked, this, &FeedsEditorDialog::delete_checked);
    connect(add, &QPushButton::clicked, this, &FeedsEditorDialog::add_new);
    connect(frequency, &QPushButton::clicked, this, &FeedsEditorDialog::update_frequency);
    lay_out_list_dialog(this, label, rows_, buttons);
    fill_rows();
    rows_->setFocus();
}

void FeedsEditorDialog::fill_rows() {
    rows_->setUpdatesEnabled(false);
    rows_->clear();
    for (const Channel& channel : channels_.channels()) {
        const QString title = QString::fromStdString(channel.title);
        add_checkable_row(rows_, title, QString::fromStdString(channel.location), channel.id)
            ->setToolTip(0, title);
    }
    select_first_row(rows_);
    rows_->setUpdatesEnabled(true);
}

void FeedsEditorDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    rows_->header()->resizeSection(0, rows_->viewport()->width() / 3);
}

void FeedsEditorDialog::delete_checked() {
    const std::vector<RowId> checked = checked_ids(rows_);
    if (checked.empty()) {
        QApplication::beep();
        return;
    }
    if (!confirm_deletion(this)) {
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
