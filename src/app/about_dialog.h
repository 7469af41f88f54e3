#pragma once

#include <QDialog>
#include <QList>

class QLabel;

namespace tb::app {

// The maker's web site, also named by exported bookmark files.

// "About Tagberry": version, build date and links to the libraries the program uses.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The link labels, in display order (the maker's site first).
    const QList<QLabel*>& links() const { return links_; }

private:
    QLabel* link(const QString& text, const QString& address);

    QList<QLabel*> links_;
};

}  // namespace tb::app
