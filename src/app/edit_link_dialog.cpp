#include "app/edit_link_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/dialog_parts.h"
#include "app/message_box.h"
#include "platform/messages.h"
#include "text/control_chars.h"

namespace tb::app {

EditLinkDialog::EditLinkDialog(const Link& link, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Edit Link"));
    title_ = new QLineEdit(QString::fromStdString(link.title), this);
    title_->setMinimumWidth(380);
    address_ = new QLineEdit(QString::fromStdString(link.url), this);
    comment_ = new QPlainTextEdit(QString::fromStdString(link.comment), this);
    comment_->setTabChangesFocus(true);
    comment_->setFixedHeight(comment_->fontMetrics().lineSpacing() * 4);

    auto* form = new QFormLayout;
    form->addRow(tr("&Title:"), title_);
    form->addRow(tr("&Address:"), address_);
    form->addRow(tr("&Comment:"), comment_);
    QDialogButtonBox* buttons = ok_cancel_buttons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    title_->setFocus();
}

LinkTexts EditLinkDialog::texts() const {
    // Cleaned as the store cleans them, so an address of control characters counts as empty.
    return {QString::fromStdString(clean_title(title_->text().trimmed().toStdString())),
            QString::fromStdString(clean_address(address_->text().toStdString())),
            comment_->toPlainText().trimmed()};
}

void EditLinkDialog::accept() {
    // Refused here rather than after closing, so the user keeps the other edits.
    const LinkTexts entered = texts();
    if (entered.title.isEmpty() || entered.url.isEmpty()) {
        MessageBoxes::show(this, message_text(Message::of(msg::kLinkTitleAddressEmpty)));
        (entered.title.isEmpty() ? title_ : address_)->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace tb::app
