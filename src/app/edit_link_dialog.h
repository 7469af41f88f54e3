#pragma once

#include <QDialog>

#include "app/ui_services.h"

class QLineEdit;
class QPlainTextEdit;

namespace tb::app {

// The properties of one link: title, address and comment.
class EditLinkDialog : public QDialog {
    Q_OBJECT

public:
    explicit EditLinkDialog(const Link& link, QWidget* parent = nullptr);

    // The three texts, trimmed.
    LinkTexts texts() const;

    QLineEdit* title_edit() const { return title_; }
    QLineEdit* address_edit() const { return address_; }
    QPlainTextEdit* comment_edit() const { return comment_; }

    void accept() override;

private:
    QLineEdit* title_;
    QLineEdit* address_;
    QPlainTextEdit* comment_;
};

}  // namespace tb::app
