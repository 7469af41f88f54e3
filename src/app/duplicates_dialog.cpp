#include "app/duplicates_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/message_box.h"
#include "platform/strings.h"

namespace tb::app {

namespace {

constexpr int kLinkIdRole = Qt::UserRole;

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

    list_ = new QTreeWidget(this);
    list_->setColumnCount(2);
    list_->setHeaderLabels({message_text(Message::of(209)), message_text(Message::of(210))});
    QFont bold = list_->header()->font();
    bold.setBold(true);
    list_->header()->setFont(bold);
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setMinimumSize(460, 180);
    for (const auto& [link, folder] : request.rows) {
        auto* item = new QTreeWidgetItem(list_, {QString::fromStdString(link.title), folder});
        item->setData(0, kLinkIdRole, link.id);
        item->setCheckState(0, Qt::Unchecked);
        item->setToolTip(0, QString::fromStdString(link.title));
        item->setToolTip(1, folder);
    }
    list_->header()->resizeSection(0, list_->minimumWidth() / 2);

    const QString caption =
        tr("Found %1 items with this URL in the folllowing folders:").arg(request.rows.size());
    auto* list_label = new QLabel(caption, this);
    list_label->setBuddy(list_);

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
    if (list_->topLevelItemCount() > 0) {
        list_->setCurrentItem(list_->topLevelItem(0));
    }
}

void DuplicatesDialog::delete_checked() {
    std::vector<int> ticked;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked) {
            ticked.push_back(item->data(0, kLinkIdRole).toInt());
        }
    }
    if (ticked.size() == static_cast<size_t>(list_->topLevelItemCount())) {
        MessageBoxes::show(this, message_text(Message::of(msg::kCannotDeleteAllEntries)));
        return;
    }
    if (ticked.empty()) {
        MessageBoxes::show(this, message_text(Message::of(msg::kNoItemsSelected)));
        return;
    }
    auto answer = MessageBoxes::show(this, message_text(Message::of(msg::kDeleteItemsQuestion)),
                                     QMessageBox::Information, QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        doomed_ = std::move(ticked);
        accept();
    }
}

}  // namespace tb::app
