#include "app/add_application_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialog_parts.h"
#include "app/message_box.h"
#include "platform/messages.h"

namespace tb::app {

AddApplicationDialog::AddApplicationDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Add Application"));
    name_ = new QLineEdit(this);
    name_->setMinimumWidth(320);
    path_ = new QLineEdit(this);
    auto* browse = new QPushButton(tr("&Browse..."), this);
    QLabel* name_label = buddy_label(tr("&Name:"), name_, this);
    QLabel* path_label = buddy_label(tr("&Path:"), path_, this);

    QDialogButtonBox* buttons = ok_cancel_buttons(this);
    connect(browse, &QPushButton::clicked, this, &AddApplicationDialog::browse);

    auto* grid = new QGridLayout(this);
    grid->addWidget(name_label, 0, 0);
    grid->addWidget(name_, 0, 1, 1, 2);
    grid->addWidget(path_label, 1, 0);
    grid->addWidget(path_, 1, 1);
    grid->addWidget(browse, 1, 2);
    grid->setRowStretch(2, 1);
    grid->addWidget(buttons, 3, 0, 1, 3);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    name_->setFocus();
}

QString AddApplicationDialog::name() const {
    return name_->text();
}

QString AddApplicationDialog::path() const {
    return path_->text();
}

void AddApplicationDialog::accept() {
    if (name().isEmpty() || path().isEmpty()) {
        MessageBoxes::show(this, message_text(Message::of(msg::kAppNamePathEmpty)));
        (name().isEmpty() ? name_ : path_)->setFocus();
        return;
    }
    // The list is stored as ";"-separated texts: a ";" inside would split the entry in two
    // and shift every later name against its path.
    if (name().contains(u';') || path().contains(u';')) {
        MessageBoxes::show(this, tr("Application name and path cannot contain ';'."));
        (name().contains(u';') ? name_ : path_)->setFocus();
        return;
    }
    QDialog::accept();
}

void AddApplicationDialog::browse() {
    // Programs have no common file extension here, so the dialog lists all files and starts
    // where programs live.
    QString start = QFileInfo(path()).absolutePath();
    if (path().isEmpty() || !QFileInfo::exists(start)) {
        start = QDir(QStringLiteral("/usr/bin")).exists() ? QStringLiteral("/usr/bin")
                                                          : QDir::rootPath();
    }
    QFileDialog dialog(this, tr("Select Application"), start);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({
#ifdef Q_OS_WIN
        tr("Applications (*.exe)"),
#endif
        tr("All files (*)")});
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        path_->setText(QDir::toNativeSeparators(dialog.selectedFiles().front()));
    }
}

}  // namespace tb::app
