#pragma once

#include <QDialog>

#include "search/search_query.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace tb::app {

// The Find dialog: search terms, how words combine, where to look and how far.
class FindDialog : public QDialog {
    Q_OBJECT

public:
    explicit FindDialog(QWidget* parent = nullptr);

    // The query as entered; the rewriting of plain words is the search's own.
    SearchQuery entered() const;

private:
    void open_advanced();

    QLineEdit* terms_;
    QButtonGroup* mode_;
    QButtonGroup* scope_;
    QCheckBox* titles_;
    QCheckBox* addresses_;
    QCheckBox* comments_;
    QCheckBox* parent_titles_;
};

// The Advanced Query dialog: one query text with operators.
class AdvancedQueryDialog : public QDialog {
    Q_OBJECT

public:
    explicit AdvancedQueryDialog(QWidget* parent = nullptr);
    QString text() const;

private:
    QLineEdit* text_;
};

}  // namespace tb::app
