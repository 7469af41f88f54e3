#include "app/new_folder_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialog_parts.h"
#include "app/message_box.h"
#include "platform/messages.h"

namespace tb::app {

NewFolderDialog::NewFolderDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("New Folder"));
    title_ = new QLineEdit(this);
    title_->setMinimumWidth(320);
    QLabel* label = buddy_label(tr("&Title:"), title_, this);
    auto* hint = new QLabel(tr("You may create multiple folders on the same level at once.\n"
                               "To do this, separate folder names with ';'."),
                            this);
    hint->setWordWrap(true);
    QDialogButtonBox* buttons = ok_cancel_buttons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(title_);
    layout->addWidget(hint);
    layout->addStretch();
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    title_->setFocus();
}

QString NewFolderDialog::text() const {
    return title_->text();
}

void NewFolderDialog::accept() {
    // Blanks alone would create nothing, so they are refused like an empty title.
    if (title_->text().trimmed().isEmpty()) {
        MessageBoxes::show(this, message_text(Message::of(msg::kFolderTitleEmpty)));
        title_->setFocus();
        return;
    }
    QDialog::accept();
}

std::vector<RowId> ask_new_folders(QWidget* parent, RowId under, const FolderChoice& choice) {
    NewFolderDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted || !choice.create_folders) {
        return {};
    }
    return choice.create_folders(under, dialog.text());
}

bool choice_accepts(QWidget* parent, const FolderChoice& choice, RowId target) {
    const int refusal = choice.check ? choice.check(target) : 0;
    if (refusal != 0) {
        MessageBoxes::show(parent, message_text(Message::of(refusal)));
    }
    return refusal == 0;
}

}  // namespace tb::app
