#pragma once

#include <QDialog>
#include <optional>

#include "app/ui_services.h"
#include "model/folder_store.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace tb::app {

// The New Link dialog: texts, the parent folder (recent parents or "Select..."), and the
// duplicate guard. OK runs the request's checks and stays open on a refusal.
class NewLinkDialog : public QDialog {
    Q_OBJECT

public:
    NewLinkDialog(const FolderStore& folders, const NewLinkDialogRequest& request,
                  QWidget* parent = nullptr);

    const std::optional<NewLinkRequest>& accepted_request() const { return accepted_; }
    bool folders_created() const { return folders_created_; }
    RowId parent_folder() const { return parent_; }

    QLineEdit* title_edit() const { return title_; }
    QLineEdit* address_edit() const { return address_; }
    QPlainTextEdit* comment_edit() const { return comment_; }
    QComboBox* parent_combo() const { return parents_; }
    QCheckBox* no_duplicates_box() const { return no_duplicates_; }

    void accept() override;
    void select_parent();

private:
    void fill_parents();
    void choose_parent(int index);
    void focus_refused_field(int refusal);

    const FolderStore& folders_;
    NewLinkDialogRequest request_;
    RowId parent_;
    QLineEdit* title_;
    QLineEdit* address_;
    QPlainTextEdit* comment_;
    QComboBox* parents_;
    QCheckBox* no_duplicates_;
    std::optional<NewLinkRequest> accepted_;
    bool folders_created_ = false;
};

}  // namespace tb::app
