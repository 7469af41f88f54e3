#pragma once

#include <QMessageBox>
#include <QSize>
#include <QStringList>
#include <vector>

#include "storage/ids.h"

class QDialog;
class QDialogButtonBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace tb::app {

// Pieces the dialogs share, so they look and behave alike.

// A label whose mnemonic moves the focus to `buddy`.
QLabel* buddy_label(const QString& text, QWidget* buddy, QWidget* parent);

// OK and Cancel wired to accept() and reject(); accept() stays virtual, so a dialog that
// checks its input before closing still does.
QDialogButtonBox* ok_cancel_buttons(QDialog* dialog);

// A flat two-column list whose rows carry an id and a check box, as the "Delete checked"
// dialogs show them.
// Lays out a list-editing dialog: its label, the list taking the spare height, and its buttons.
// "Close" accepts the dialog, since every change is already made.
void lay_out_list_dialog(QDialog* dialog, QLabel* label, QTreeWidget* list,
                         QDialogButtonBox* buttons);

QTreeWidget* new_checkable_list(const QStringList& headers, QSize minimum, QWidget* parent);
// An unchecked row; the second column usually holds a long path, hence its tool tip.
QTreeWidgetItem* add_checkable_row(QTreeWidget* list, const QString& first, const QString& second,
                                   RowId id);
void select_first_row(QTreeWidget* list);
// The ids of the checked rows, top to bottom.
std::vector<RowId> checked_ids(const QTreeWidget* list);

// Asks whether to delete the checked items.
bool confirm_deletion(QWidget* parent, QMessageBox::Icon icon = QMessageBox::Question);

}  // namespace tb::app
