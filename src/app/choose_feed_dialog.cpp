#include "app/choose_feed_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tb::app {

ChooseFeedDialog::ChooseFeedDialog(const std::vector<FeedLink>& feeds, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Choose a Newsfeed"));
    auto* label = new QLabel(tr("This page announces several newsfeeds. Subscribe to:"), this);
    list_ = new QListWidget(this);
    list_->setMinimumSize(QSize(420, 180));
    for (const FeedLink& feed : feeds) {
        const QString location = QString::fromStdString(feed.location);
        const QString title = QString::fromStdString(feed.title);
        auto* row = new QListWidgetItem(title.isEmpty() ? location : title + " - " + location);
        row->setToolTip(location);
        list_->addItem(row);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    list_->setCurrentRow(0);
    list_->setFocus();
}

std::optional<std::size_t> ChooseFeedDialog::chosen() const {
    const int row = list_->currentRow();
    return row < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(row));
}

}  // namespace tb::app
