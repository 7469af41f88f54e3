#include "app/duplicates_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/dialog_parts.h"
#include "app/message_box.h"
#include "platform/messages.h"

namespace tb::app {

namespace {

QLabel* value_label(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setWordWrap(true);
    return label;
}

}  // namespace

DuplicatesDialog::DuplicatesDialog(const DuplicatesRequest& request, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Duplicate Records"));
    auto* form = new QFormLayout;
    form->addRow(tr("Title:"), value_label(QString::fromStdString(request.link.title), this));
    form->addRow(tr("Address:"), value_label(QString::fromStdString(request.link.url), this));
    form->addRow(tr("Folder:"), value_label(request.folder_path, this));

    list_ = new_checkable_list({message_text(Message::of(msg::kLinkTitleColumn)),
                                message_text(Message::of(msg::kFullFolderNameColumn))},
                               QSize(460, 180), this);
    QFont bold = list_->header()->font();
    bold.setBold(true);
    list_->header()->setFont(bold);
    for (const auto& [link, folder] : request.rows) {
        const QString title = QString::fromStdString(link.title);
        add_checkable_row(list_, title, folder, link.id)->setToolTip(0, title);
    }
    list_->header()->resizeSection(0, list_->minimumWidth() / 2);

    const QString caption =
        tr("Found %1 items with this URL in the folllowing folders:").arg(request.rows.size());
    QLabel* list_label = buddy_label(caption, list_, this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* remove = buttons->addButton(tr("&Delete checked"), QDialogButtonBox::ActionRole);
    connect(remove, &QPushButton::clicked, this, &DuplicatesDialog::delete_checked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(list_label);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    list_->setFocus();
    select_first_row(list_);
}

void DuplicatesDialog::delete_checked() {
    std::vector<RowId> ticked = checked_ids(list_);
    if (ticked.size() == static_cast<size_t>(list_->topLevelItemCount())) {
        MessageBoxes::show(this, message_text(Message::of(msg::kCannotDeleteAllEntries)));
        return;
    }
    if (ticked.empty()) {
        MessageBoxes::show(this, message_text(Message::of(msg::kNoItemsSelected)));
        return;
    }
    if (confirm_deletion(this, QMessageBox::Information)) {
        doomed_ = std::move(ticked);
        accept();
    }
}

}  // namespace tb::app
