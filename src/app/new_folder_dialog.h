#pragma once

#include <QDialog>
#include <vector>

#include "app/ui_services.h"

class QLineEdit;

namespace tb::app {

// Asks for the title of a new folder, or several titles separated by ";".
class NewFolderDialog : public QDialog {
    Q_OBJECT

public:
    explicit NewFolderDialog(QWidget* parent = nullptr);

    QString text() const;
    QLineEdit* title_edit() const { return title_; }

    void accept() override;

private:
    QLineEdit* title_;
};

// The "New folder..." button of the folder dialogs: asks for titles and creates the folders
// under `parent` through the choice. Returns the new ids (none when cancelled or refused).
std::vector<RowId> ask_new_folders(QWidget* parent, RowId under, const FolderChoice& choice);
// The OK of the folder dialogs: false, once the user was told why, when the choice refuses
// `target`.
bool choice_accepts(QWidget* parent, const FolderChoice& choice, RowId target);

}  // namespace tb::app
