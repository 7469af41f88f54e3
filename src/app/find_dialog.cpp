#include "app/find_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialog_parts.h"

namespace tb::app {

namespace {

QLabel* bold_label(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setWeight(QFont::Bold);
    label->setFont(font);
    return label;
}

}  // namespace

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Find"));
    auto* layout = new QVBoxLayout(this);

    auto* terms_label = bold_label(tr("&Search terms:"), this);
    terms_ = new QLineEdit(this);
    terms_label->setBuddy(terms_);
    layout->addWidget(terms_label);
    auto* terms_row = new QHBoxLayout;
    terms_row->addWidget(terms_, 1);
    auto* advanced = new QPushButton(tr("A&dvanced query..."), this);
    advanced->setAutoDefault(false);
    terms_row->addWidget(advanced);
    layout->addLayout(terms_row);

    mode_ = new QButtonGroup(this);
    auto* all_words = new QRadioButton(tr("A&ll words"), this);
    auto* any_word = new QRadioButton(tr("An&y word"), this);
    mode_->addButton(all_words, kAllWords);
    mode_->addButton(any_word, kAnyWord);
    all_words->setChecked(true);
    auto* mode_row = new QHBoxLayout;
    mode_row->addWidget(all_words);
    mode_row->addWidget(any_word);
    mode_row->addStretch();
    layout->addLayout(mode_row);

    layout->addWidget(bold_label(tr("Look in:"), this));
    titles_ = new QCheckBox(tr("&titles"), this);
    addresses_ = new QCheckBox(tr("&addresses"), this);
    comments_ = new QCheckBox(tr("&comments"), this);
    parent_titles_ = new QCheckBox(tr("&parent folders' titles"), this);
    titles_->setChecked(true);
    addresses_->setChecked(true);
    comments_->setChecked(true);
    auto* look_in = new QGridLayout;
    look_in->addWidget(titles_, 0, 0);
    look_in->addWidget(addresses_, 0, 1);
    look_in->addWidget(comments_, 1, 0);
    look_in->addWidget(parent_titles_, 1, 1);
    layout->addLayout(look_in);

    layout->addWidget(bold_label(tr("Folder options"), this));
    scope_ = new QButtonGroup(this);
    const QString scopes[] = {tr("search from the &root folder"),
                              tr("search from the c&urrent folder"),
                              tr("search in the current folder &only")};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(scopes[i], this);
        scope_->addButton(button, i);
        layout->addWidget(button);
    }
    scope_->button(kFromRoot)->setChecked(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* find = buttons->addButton(tr("&Find"), QDialogButtonBox::AcceptRole);
    find->setDefault(true);
    buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(advanced, &QPushButton::clicked, this, &FindDialog::open_advanced);
    terms_->setFocus();
}

SearchQuery FindDialog::entered() const {
    SearchQuery query;
    query.text = terms_->text().toStdString();
    query.in_titles = titles_->isChecked();
    query.in_addresses = addresses_->isChecked();
    query.in_comments = comments_->isChecked();
    query.in_parent_titles = parent_titles_->isChecked();
    query.match_mode = mode_->checkedId();
    query.folder_scope = scope_->checkedId();
    return query;
}

void FindDialog::open_advanced() {
    AdvancedQueryDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted) {
        terms_->setText(dialog.text());
    }
}

AdvancedQueryDialog::AdvancedQueryDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Advanced Query"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("&Query text:"), this);
    text_ = new QLineEdit(this);
    text_->setMinimumWidth(360);
    label->setBuddy(text_);
    layout->addWidget(label);
    layout->addWidget(text_);
    layout->addWidget(
        new QLabel(tr("Use parentheses to group search terms,\nAND and OR to make the search more "
                      "precise,\ne.g.: '(software OR applications) AND (free OR open)'"),
                   this));
    QDialogButtonBox* buttons = ok_cancel_buttons(this);
    layout->addWidget(buttons);
    text_->setFocus();
}

QString AdvancedQueryDialog::text() const {
    return text_->text();
}

}  // namespace tb::app
