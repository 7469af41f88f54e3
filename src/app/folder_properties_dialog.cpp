#include "app/folder_properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialog_parts.h"
#include "app/message_box.h"
#include "platform/messages.h"

namespace tb::app {

FolderPropertiesDialog::FolderPropertiesDialog(const QString& title, bool is_protected,
                                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Folder Properties"));
    title_ = new QLineEdit(title, this);
    title_->setMinimumWidth(320);
    protect_ = new QCheckBox(tr("&Protect child links"), this);
    protect_->setChecked(is_protected);
    protect_->setToolTip(
        tr("Links of this folder take no part in the visit statistics "
           "and the smart folders."));
    QDialogButtonBox* buttons = ok_cancel_buttons(this);

    auto* form = new QFormLayout;
    form->addRow(tr("&Title:"), title_);
    form->addRow(QString(), protect_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    title_->selectAll();
    title_->setFocus();
}

QString FolderPropertiesDialog::title() const {
    return title_->text();
}

bool FolderPropertiesDialog::is_protected() const {
    return protect_->isChecked();
}

void FolderPropertiesDialog::accept() {
    // A folder without a title would be an invisible item in every tree.
    if (title_->text().isEmpty()) {
        MessageBoxes::show(this, message_text(Message::of(msg::kFolderTitleEmpty)));
        title_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace tb::app
