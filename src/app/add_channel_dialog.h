#pragma once

#include <QDialog>

class QLineEdit;

namespace tb::app {

// "Add Newsfeed": the title and location of a new subscription. OK with either one empty is
// refused with message 211 and the dialog stays open.
class AddChannelDialog : public QDialog {
    Q_OBJECT

public:
    explicit AddChannelDialog(const QString& location = {}, QWidget* parent = nullptr);

    QString title() const;
    QString location() const;
    QLineEdit* title_edit() const { return title_; }
    QLineEdit* location_edit() const { return location_; }

    void accept() override;

private:
    QLineEdit* title_;
    QLineEdit* location_;
};

}  // namespace tb::app
