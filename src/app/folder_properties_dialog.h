#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace tb::app {

// The title of a folder and its "Protect child links" flag.
class FolderPropertiesDialog : public QDialog {
    Q_OBJECT

public:
    FolderPropertiesDialog(const QString& title, bool is_protected, QWidget* parent = nullptr);

    QString title() const;
    bool is_protected() const;
    QLineEdit* title_edit() const { return title_; }
    QCheckBox* protect_box() const { return protect_; }

    void accept() override;

private:
    QLineEdit* title_;
    QCheckBox* protect_;
};

}  // namespace tb::app
