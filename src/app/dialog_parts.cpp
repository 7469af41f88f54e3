#include "app/dialog_parts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/id_variant.h"
#include "app/message_box.h"
#include "platform/messages.h"

namespace tb::app {

namespace {

constexpr int kIdRole = Qt::UserRole;

}  // namespace

QLabel* buddy_label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QDialogButtonBox* ok_cancel_buttons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

void lay_out_list_dialog(QDialog* dialog, QLabel* label, QTreeWidget* list,
                         QDialogButtonBox* buttons) {
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
}

QTreeWidget* new_checkable_list(const QStringList& headers, QSize minimum, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setColumnCount(2);
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setMinimumSize(minimum);
    return list;
}

QTreeWidgetItem* add_checkable_row(QTreeWidget* list, const QString& first, const QString& second,
                                   RowId id) {
    auto* item = new QTreeWidgetItem(list, {first, second});
    item->setData(0, kIdRole, id_variant(id));
    item->setCheckState(0, Qt::Unchecked);
    item->setToolTip(1, second);
    return item;
}

void select_first_row(QTreeWidget* list) {
    if (list->topLevelItemCount() > 0) {
        list->setCurrentItem(list->topLevelItem(0));
    }
}

std::vector<RowId> checked_ids(const QTreeWidget* list) {
    std::vector<RowId> ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked) {
            ids.push_back(variant_id(item->data(0, kIdRole)));
        }
    }
    return ids;
}

bool confirm_deletion(QWidget* parent, QMessageBox::Icon icon) {
    const auto answer =
        MessageBoxes::show(parent, message_text(Message::of(msg::kDeleteItemsQuestion)), icon,
                           QMessageBox::Yes | QMessageBox::No);
    return answer == QMessageBox::Yes;
}

}  // namespace tb::app
