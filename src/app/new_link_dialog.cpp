#include "app/new_link_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialog_parts.h"
#include "app/folder_tree.h"
#include "app/id_variant.h"
#include "app/message_box.h"
#include "app/select_folder_dialog.h"
#include "platform/messages.h"

namespace tb::app {

NewLinkDialog::NewLinkDialog(const FolderStore& folders, const NewLinkDialogRequest& request,
                             QWidget* parent)
    : QDialog(parent), folders_(folders), request_(request), parent_(request.preset.parent) {
    setWindowTitle(tr("New Link"));
    title_ = new QLineEdit(QString::fromStdString(request.preset.title), this);
    title_->setMinimumWidth(380);
    address_ = new QLineEdit(QString::fromStdString(request.preset.url), this);
    address_->setPlaceholderText(QStringLiteral("https://"));
    comment_ = new QPlainTextEdit(QString::fromStdString(request.preset.comment), this);
    comment_->setTabChangesFocus(true);
    comment_->setFixedHeight(comment_->fontMetrics().lineSpacing() * 4);
    parents_ = new QComboBox(this);
    parents_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* select = new QPushButton(tr("&Select..."), this);
    no_duplicates_ = new QCheckBox(tr("Do not allow &duplicates"), this);
    no_duplicates_->setChecked(true);

    auto* parent_row = new QHBoxLayout;
    parent_row->addWidget(parents_, 1);
    parent_row->addWidget(select);

    auto* form = new QFormLayout;
    form->addRow(tr("&Title:"), title_);
    form->addRow(tr("&Address:"), address_);
    form->addRow(tr("&Comment:"), comment_);
    QLabel* parent_label = buddy_label(tr("&Parent folder:"), parents_, this);
    form->addRow(parent_label, parent_row);
    form->addRow(QString(), no_duplicates_);

    QDialogButtonBox* buttons = ok_cancel_buttons(this);
    connect(select, &QPushButton::clicked, this, &NewLinkDialog::select_parent);
    connect(parents_, &QComboBox::activated, this, &NewLinkDialog::choose_parent);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    fill_parents();
    title_->setFocus();
}

void NewLinkDialog::fill_parents() {
    parents_->clear();
    auto add = [this](RowId id) {
        parents_->addItem(FolderTree::folder_icon(),
                          QString::fromStdString(folders_.folder_path(id)), id_variant(id));
    };
    add(parent_);
    for (RowId id : request_.recent_parents) {
        if (id != parent_ && folders_.find(id) != nullptr) {
            add(id);
        }
    }
    parents_->setCurrentIndex(0);
}

void NewLinkDialog::choose_parent(int index) {
    parent_ = variant_id(parents_->itemData(index));
}

void NewLinkDialog::select_parent() {
    SelectFolderDialog dialog(folders_, parent_, request_.choice, this);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    folders_created_ = folders_created_ || dialog.folders_created();
    if (chosen) {
        parent_ = dialog.chosen();
    }
    // Rebuilt in any case: folders created in the dialog may have changed full names.
    fill_parents();
}

void NewLinkDialog::focus_refused_field(int refusal) {
    switch (refusal) {
        case msg::kNoLinksInRoot:
            parents_->setFocus();
            break;
        case msg::kItemLinkAddressEmpty:
            (title_->text().trimmed().isEmpty() ? title_ : address_)->setFocus();
            break;
        case msg::kUrlExists:
            address_->setFocus();
            break;
        default:
            title_->setFocus();
    }
}

void NewLinkDialog::accept() {
    NewLinkRequest request{.parent = parent_,
                           .title = title_->text().trimmed().toStdString(),
                           .url = address_->text().trimmed().toStdString(),
                           .comment = comment_->toPlainText().toStdString(),
                           .allow_duplicates = !no_duplicates_->isChecked()};
    const int refusal = request_.check ? request_.check(request) : 0;
    // The completed address is shown even when a later check refuses the link.
    address_->setText(QString::fromStdString(request.url));
    if (refusal != 0) {
        MessageBoxes::show(this, message_text(Message::of(refusal)));
        focus_refused_field(refusal);
        return;
    }
    accepted_ = request;
    QDialog::accept();
}

}  // namespace tb::app
