#pragma once

#include <QDialog>

class QLineEdit;

namespace tb::app {

// The name and program path of a new "Open With" entry.
class AddApplicationDialog : public QDialog {
    Q_OBJECT

public:
    explicit AddApplicationDialog(QWidget* parent = nullptr);

    // The texts as entered (untrimmed).
    QString name() const;
    QString path() const;
    QLineEdit* name_edit() const { return name_; }
    QLineEdit* path_edit() const { return path_; }

    void accept() override;
    void browse();

private:
    QLineEdit* name_;
    QLineEdit* path_;
};

}  // namespace tb::app
