#include "app/restore_backup_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tb::app {

namespace {

QString count_text(std::int64_t count) {
    return count < 0 ? QStringLiteral("?") : QString::number(count);
}

}  // namespace

RestoreBackupDialog::RestoreBackupDialog(const std::vector<Snapshot>& snapshots, QWidget* parent)
    : QDialog(parent), snapshots_(snapshots) {
    setWindowTitle(tr("Restore from Backup"));
    list_ = new QTreeWidget(this);
    list_->setHeaderLabels({tr("Date"), tr("Folders"), tr("Links")});
    list_->setRootIsDecorated(false);
    list_->setMinimumSize(QSize(420, 240));
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (std::size_t i = 0; i < snapshots_.size(); ++i) {
        const Snapshot& snapshot = snapshots_[i];
        const QDateTime time = QDateTime::fromMSecsSinceEpoch(snapshot.time_ms);
        auto* row =
            new QTreeWidgetItem(list_, {QLocale().toString(time, QLocale::ShortFormat),
                                        count_text(snapshot.folders), count_text(snapshot.links)});
        row->setData(0, Qt::UserRole, static_cast<int>(i));
        row->setToolTip(0, QString::fromStdString(snapshot.path.string()));
        row->setTextAlignment(1, Qt::AlignRight);
        row->setTextAlignment(2, Qt::AlignRight);
    }
    auto* label = new QLabel(tr("The current state is kept as one more backup before the chosen "
                                "one is restored."),
                             this);
    label->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    restore_ = buttons->addButton(tr("&Restore"), QDialogButtonBox::AcceptRole);
    restore_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(list_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { restore_->setEnabled(current != nullptr); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(label);
    layout->addWidget(buttons);
    list_->setCurrentItem(list_->topLevelItem(0));
    restore_->setEnabled(list_->currentItem() != nullptr);
    list_->setFocus();
}

std::optional<std::filesystem::path> RestoreBackupDialog::chosen() const {
    const QTreeWidgetItem* current = list_->currentItem();
    if (current == nullptr) {
        return std::nullopt;
    }
    return snapshots_[static_cast<std::size_t>(current->data(0, Qt::UserRole).toInt())].path;
}

}  // namespace tb::app
