#include "app/add_channel_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialog_parts.h"
#include "app/message_box.h"
#include "platform/messages.h"

namespace tb::app {

AddChannelDialog::AddChannelDialog(const QString& location, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Add Newsfeed"));
    title_ = new QLineEdit(this);
    location_ = new QLineEdit(location, this);
    location_->setMinimumWidth(360);
    location_->setPlaceholderText(QStringLiteral("https://"));
    auto* form = new QFormLayout;
    form->addRow(tr("&Title:"), title_);
    form->addRow(tr("&Feed location:"), location_);
    QDialogButtonBox* buttons = ok_cancel_buttons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    title_->setFocus();
}

QString AddChannelDialog::title() const {
    return title_->text().trimmed();
}

QString AddChannelDialog::location() const {
    return location_->text().trimmed();
}

void AddChannelDialog::accept() {
    // Blanks alone would subscribe to nothing, so they count as empty.
    if (title().isEmpty() || location().isEmpty()) {
        MessageBoxes::show(this, message_text(Message::of(msg::kNewsfeedFieldsEmpty)));
        (title().isEmpty() ? title_ : location_)->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace tb::app
